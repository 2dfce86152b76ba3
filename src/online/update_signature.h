#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/ports/platform.h"

namespace sg::online {

// The downloaded setup program at path, opened so that nobody can write, replace, rename or
// delete it while the handle lives, and checked through that handle: the handle comes back
// only when the file is a Windows executable and the signature signs, with the key built into
// the program, the statement
//   Snapgate! <version_text> <the file's SHA-256 as 64 lowercase hex digits>
// (its SHA-256, without a line end), so that a setup program signed for one version is no
// setup program of another. signature_text is the line after "<!-- UPGRADE Signature" on the
// upgrade page: r||s as 128 hex digits of either case, white space around them allowed. Odd
// input of any kind gives null.
std::unique_ptr<platform::OpenFile> OpenGenuineInstaller(platform::Platform& platform,
                                                         const std::string& path,
                                                         std::string_view version_text,
                                                         std::string_view signature_text);

}  // namespace sg::online
