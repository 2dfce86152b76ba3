#pragma once

#include <span>
#include <string_view>

namespace sg::tools {

// The built-in names of adware and spyware executables that a spyware pass terminates, in the
// order it checks them. Each name appears once, letter case ignored; compare without regard to
// case, as process names are.
std::span<const std::string_view> SpywareNames();

}  // namespace sg::tools
