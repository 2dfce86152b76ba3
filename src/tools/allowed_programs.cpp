#include "tools/allowed_programs.h"

#include <optional>

#include "common/ascii.h"
#include "common/user_data_folder.h"
#include "common/whole_file.h"

namespace sg::tools {

namespace {

// Many thousands of programs; a larger file is no list the user keeps.
constexpr std::size_t kLargestListFile = 4u << 20;
// Windows paths are never longer.
constexpr std::size_t kLongestEntry = 32767;

// Empty when the system names no data folder: nothing is allowed then.
std::string ListPath(platform::Platform& platform) {
  const std::string folder = UserDataFolder(platform.profile);
  return folder.empty() ? std::string() : folder + "\\" + kAllowedProgramsFileName;
}

bool IsPath(std::string_view entry) {
  return entry.find_first_of("\\/:") != std::string_view::npos;
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
  const std::string path = ListPath(platform);
  if (path.empty()) return allowed;
  const std::optional<std::string> content =
      ReadWholeFile(platform.files, path, kLargestListFile);
  if (content) {
    ForEachEntry(*content, [&](std::string_view entry) {
      (IsPath(entry) ? allowed.paths_ : allowed.names_).insert(AsciiUpper(entry));
    });
  }
  return allowed;
}

bool AllowedPrograms::Allows(std::string_view name, std::string_view path) const {
  if (!path.empty()) return paths_.contains(AsciiUpper(path));
  return !name.empty() && names_.contains(AsciiUpper(name));
}

bool AllowedPrograms::Add(platform::Platform& platform, std::string_view entry) {
  entry = EntryOf(entry);
  if (entry.empty() || entry.size() > kLongestEntry) return false;
  const std::string path = ListPath(platform);
  if (path.empty()) return false;
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
  // A copy whose lists lie beside it may not have made the data folder yet.
  platform.files.CreateFolder(UserDataFolder(platform.profile));
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
