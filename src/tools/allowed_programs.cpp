#include "tools/allowed_programs.h"

#include <optional>

#include "common/ascii.h"
#include "common/user_file_path.h"
#include "common/whole_file.h"

namespace sg::tools {

namespace {

// Many thousands of programs; a larger file is no list the user keeps.
constexpr std::size_t kLargestListFile = 4u << 20;
// Windows paths are never longer.
constexpr std::size_t kLongestEntry = 32767;

std::string ListPath(platform::Platform& platform) {
  return UserFilePath(platform.system, kAllowedProgramsFileName);
}

// An entry as a line holds it: up to a NUL, without the blanks around it.
std::string_view EntryOf(std::string_view line) {
  return TrimmedAsciiSpace(line.substr(0, line.find('\0')));
}

template <typename Visit>
void ForEachEntry(std::string_view content, Visit visit) {
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string_view::npos) end = content.size();
    const std::string_view entry = EntryOf(content.substr(start, end - start));
    if (!entry.empty() && entry.size() <= kLongestEntry) visit(entry);
    start = end + 1;
  }
}

}  // namespace

AllowedPrograms AllowedPrograms::Read(platform::Platform& platform) {
  AllowedPrograms allowed;
  const std::optional<std::string> content =
      ReadWholeFile(platform.files, ListPath(platform), kLargestListFile);
  if (content) {
    ForEachEntry(*content,
                 [&](std::string_view entry) { allowed.entries_.insert(AsciiUpper(entry)); });
  }
  return allowed;
}

bool AllowedPrograms::Allows(std::string_view name, std::string_view path) const {
  if (entries_.empty()) return false;
  // A path holds a backslash and a bare name none, so one set serves both.
  if (!path.empty() && entries_.contains(AsciiUpper(path))) return true;
  return !name.empty() && entries_.contains(AsciiUpper(name));
}

bool AllowedPrograms::Add(platform::Platform& platform, std::string_view entry) {
  entry = EntryOf(entry);
  if (entry.empty() || entry.size() > kLongestEntry) return false;
  const std::string path = ListPath(platform);
  std::string content;
  if (platform.files.Exists(path)) {
    // A list that cannot be read now is left alone rather than overwritten.
    const std::optional<std::string> read = ReadWholeFile(platform.files, path, kLargestListFile);
    if (!read) return false;
    content = *read;
  }
  bool listed = false;
  ForEachEntry(content, [&](std::string_view line) { listed |= EqualsIgnoringCase(line, entry); });
  if (listed) return true;
  // The new line must not run on from a last line that lacks its end.
  if (!content.empty() && content.back() != '\n') content += "\r\n";
  content += entry;
  content += "\r\n";
  return ReplaceWholeFile(platform.files, path, content);
}

ProcessList WithoutAllowed(const ProcessList& list, const AllowedPrograms& allowed) {
  if (allowed.empty()) return list;
  ProcessList kept;
  const std::size_t count = std::min(list.names.size(), list.ids.size());
  for (std::size_t i = 0; i < count; ++i) {
    const std::string path = i < list.paths.size() ? list.paths[i] : std::string();
    if (allowed.Allows(list.names[i], path)) continue;
    kept.names.push_back(list.names[i]);
    kept.ids.push_back(list.ids[i]);
    // The paths stay beside their names: a list without paths gets none.
    if (i < list.paths.size()) kept.paths.push_back(path);
  }
  return kept;
}

}  // namespace sg::tools
