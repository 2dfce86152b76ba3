#include "browser/list_files.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <utility>

#include "browser/filter_list.h"
#include "common/whole_file.h"

namespace sg::browser {
namespace {

// The line buffer of the list files: 99 characters and the terminator.
constexpr std::size_t kMaxEntryLength = 99;
constexpr std::string_view kLineEnd = "\r\n";

// Characters of a file as a text-mode stream delivers them: CR LF becomes LF, a lone CR stays.
class TextModeReader {
 public:
  enum class Status { kCharacter, kEnd, kError };

  explicit TextModeReader(platform::OpenFile& file) : file_(file) {}

  Status Next(char& c) {
    auto byte = NextByte();
    if (!byte) return Status::kError;
    if (*byte < 0) return Status::kEnd;
    if (*byte == '\r') {
      auto following = NextByte();
      if (!following) return Status::kError;
      if (*following == '\n') {
        byte = following;
      } else if (*following >= 0) {
        held_back_ = *following;
      }
    }
    c = static_cast<char>(*byte);
    return Status::kCharacter;
  }

 private:
  // A byte, -1 at the end, nothing on a read error.
  std::optional<int> NextByte() {
    if (held_back_) return std::exchange(held_back_, std::nullopt);
    if (position_ == filled_) {
      auto count = file_.Read(buffer_);
      if (!count) return std::nullopt;
      if (*count == 0) return -1;
      position_ = 0;
      filled_ = *count;
    }
    return buffer_[position_++];
  }

  platform::OpenFile& file_;
  std::array<std::uint8_t, 4096> buffer_{};
  std::size_t position_ = 0;
  std::size_t filled_ = 0;
  std::optional<int> held_back_;
};

}  // namespace

void LoadListFile(platform::FilePort& files, const std::string& file_name,
                  platform::DialogHost& list_dialog, int list_control) {
  auto file = files.Open(file_name, platform::FileOpenMode::kReadOnly);
  if (!file) return;
  FilterList list(list_dialog, list_control);
  TextModeReader reader(*file);
  for (;;) {
    // One read of a line: up to its LF or the buffer's capacity, whichever comes first.
    std::string piece;
    auto status = TextModeReader::Status::kCharacter;
    char c = 0;
    while (piece.size() < kMaxEntryLength) {
      status = reader.Next(c);
      if (status != TextModeReader::Status::kCharacter || c == '\n') break;
      piece += c;
    }
    // A failed read leaves the line half read; it is dropped, as the stream would drop it.
    if (status == TextModeReader::Status::kError) return;
    if (!piece.empty()) list.Append(piece);
    if (status == TextModeReader::Status::kEnd) return;
  }
}

bool SaveListFile(platform::FilePort& files, const std::string& file_name,
                  platform::DialogHost& list_dialog, int list_control) {
  const FilterList list(list_dialog, list_control);
  std::string content;
  for (int i = 0; i < list.Count(); ++i) {
    content += list.At(i);
    content += kLineEnd;
  }
  return ReplaceWholeFile(files, file_name, content);
}

}  // namespace sg::browser
