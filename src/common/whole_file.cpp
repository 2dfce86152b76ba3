#include "common/whole_file.h"

#include <array>
#include <cstdint>
#include <limits>
#include <span>

namespace sg {

std::optional<std::string> ReadWholeFile(platform::FilePort& files, const std::string& path) {
  return ReadWholeFile(files, path, std::numeric_limits<std::size_t>::max());
}

std::optional<std::string> ReadWholeFile(platform::FilePort& files, const std::string& path,
                                         std::size_t most_bytes) {
  auto file = files.Open(path, platform::FileOpenMode::kReadOnly);
  if (!file) return std::nullopt;
  std::string content;
  std::array<std::uint8_t, 4096> buffer{};
  for (;;) {
    const auto count = file->Read(buffer);
    if (!count) return std::nullopt;
    if (*count == 0) return content;
    if (*count > most_bytes - content.size()) return std::nullopt;
    content.append(reinterpret_cast<const char*>(buffer.data()), *count);
  }
}

bool ReplaceWholeFile(platform::FilePort& files, const std::string& path,
                      std::string_view content) {
  const std::string new_file = path + ".new";
  auto file = files.Open(new_file, platform::FileOpenMode::kCreateWriteOnly);
  if (!file) return false;
  const bool written =
      file->Write({reinterpret_cast<const std::uint8_t*>(content.data()), content.size()});
  const bool closed = file->Close();
  if (written && closed && files.ReplaceFile(new_file, path)) return true;
  files.Delete(new_file);
  return false;
}

}  // namespace sg
