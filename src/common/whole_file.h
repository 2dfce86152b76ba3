#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ports/files.h"

namespace sg {

// The bytes of a file; nothing when it cannot be opened or a read fails part way.
std::optional<std::string> ReadWholeFile(platform::FilePort& files, const std::string& path);
// The same, but nothing also when the file holds more than most_bytes: a file that should be
// small is never read whole into memory however large it has grown.
std::optional<std::string> ReadWholeFile(platform::FilePort& files, const std::string& path,
                                         std::size_t most_bytes);

// Puts new content in place of a file: written to a new file beside it, which takes the old
// one's place only when complete, so an interrupted save leaves the old content whole. True
// when the new content is in place; on failure the old file is left as it was.
bool ReplaceWholeFile(platform::FilePort& files, const std::string& path, std::string_view content);

}  // namespace sg
