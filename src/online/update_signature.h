#pragma once

#include <string>
#include <string_view>

#include "platform/ports/platform.h"

namespace sg::online {

// True only for an upgrade installer that arrived whole and comes from us: a Windows
// executable whose SHA-256 the signature signs with the key built into the program.
// signature_text is the line after "<!-- UPGRADE Signature" on the upgrade page: r||s as 128
// hex digits of either case, white space around them allowed. Odd input of any kind is false.
bool IsGenuineInstaller(platform::Platform& platform, const std::string& path,
                        std::string_view signature_text);

}  // namespace sg::online
