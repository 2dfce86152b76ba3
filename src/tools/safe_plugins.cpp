#include "tools/safe_plugins.h"

#include <array>
#include <optional>
#include <vector>

#include "common/ascii.h"
#include "common/whole_file.h"

namespace sg::tools {

namespace {

constexpr std::array<std::string_view, 18> kBuiltInSafePlugins = {
    "name: CitiUS",
    "name: Citi Virtual",
    "name: Google Toolbar",
    "name: SpywareGuard",
    "name: zAcroIEHlprObj",
    "exe: AcroIEhelper.dll",
    "exe: Adobe",
    "name: Yahoo! Companion",
    "name: Yahoo Companion",
    "name: Popup Eliminator",
    "name: Altavista",
    "name: NetZero",
    "name: WS_FTP",
    "name: Xerox DocuShare",
    "name: Metamail",
    "name: Alligator download manager",
    "name: Verisign",
    "exe: newdotnet"};

constexpr std::array<std::string_view, 9> kSharedComponentFiles = {
    "mscoree.dll", "ieframe.dll",  "shdocvw.dll", "mshtml.dll", "browseui.dll",
    "urlmon.dll",  "iertutil.dll", "ieproxy.dll", "wininet.dll"};
constexpr std::array<std::string_view, 4> kSharedComponentFolders = {
    "\\system32", "\\syswow64", "\\system", "\\internet explorer"};

constexpr std::string_view kLineEnd = "\r\n";

enum class RuleKind { kNone, kName, kExe };

struct Rule {
  RuleKind kind = RuleKind::kNone;
  std::string text;  // lower case
};

// A line as a C string reads it: up to a NUL.
std::string_view UpToNul(std::string_view line) {
  return line.substr(0, line.find('\0'));
}

// A rule without text would match everything; it is no rule.
Rule ParseRule(std::string_view line) {
  const std::string lower = AsciiLower(UpToNul(line));
  const auto separator = lower.find(": ");
  if (separator == std::string::npos || separator + 2 == lower.size()) return {};
  Rule rule{RuleKind::kNone, lower.substr(separator + 2)};
  if (lower.starts_with("exe:")) rule.kind = RuleKind::kExe;
  if (lower.starts_with("name:")) rule.kind = RuleKind::kName;
  return rule;
}

// The file's lines as they stand, without their ends.
std::vector<std::string> LinesOf(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    std::string line = content.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
    start = end + 1;
  }
  return lines;
}

bool NamesFile(const std::string& line, std::string_view file_name) {
  const Rule rule = ParseRule(line);
  return rule.kind == RuleKind::kExe && rule.text == AsciiLower(file_name);
}

}  // namespace

std::string FileNamePart(std::string_view path) {
  const auto slash = path.rfind('\\');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

bool IsSharedWindowsComponent(std::string_view path) {
  const std::string lower = AsciiLower(path);
  const auto slash = lower.rfind('\\');
  if (slash == std::string::npos) return false;
  const std::string_view folder = std::string_view(lower).substr(0, slash);
  const std::string_view file = std::string_view(lower).substr(slash + 1);
  bool shared_file = false;
  for (std::string_view name : kSharedComponentFiles) shared_file |= file == name;
  bool system_folder = false;
  for (std::string_view ending : kSharedComponentFolders) system_folder |= folder.ends_with(ending);
  return shared_file && system_folder;
}

bool SafePluginRules::IsSafePlugin(std::string_view name, std::string_view path) {
  const std::string lower_name = AsciiLower(name);
  const std::string lower_path = AsciiLower(path);
  for (std::string_view built_in : kBuiltInSafePlugins) {
    const Rule rule = ParseRule(built_in);
    if (rule.kind == RuleKind::kExe && lower_path.find(rule.text) != std::string::npos) {
      return true;
    }
    if (rule.kind == RuleKind::kName && lower_name.find(rule.text) != std::string::npos) {
      return true;
    }
  }

  const std::optional<std::string> content = ReadWholeFile(files_, safe_file_path_);
  if (!content) return false;
  const std::string file_name = FileNamePart(lower_path);
  for (const std::string& line : LinesOf(*content)) {
    if (UpToNul(line).size() < 3) continue;
    const Rule rule = ParseRule(line);
    if (rule.kind == RuleKind::kExe && rule.text == file_name) return true;
    if (rule.kind == RuleKind::kName && lower_name.find(rule.text) != std::string::npos) {
      return true;
    }
  }
  return false;
}

void SafePluginRules::AddSafeFile(std::string_view file_name) {
  if (file_name.empty()) return;
  std::string content;
  if (files_.Exists(safe_file_path_)) {
    // A file that cannot be read now is left alone rather than overwritten.
    const std::optional<std::string> read = ReadWholeFile(files_, safe_file_path_);
    if (!read) return;
    content = *read;
  }
  for (const std::string& line : LinesOf(content)) {
    if (NamesFile(line, file_name)) return;
  }
  // The new line must not run on from a last line that lacks its end.
  if (!content.empty() && content.back() != '\n') content += kLineEnd;
  content += "exe: ";
  content += file_name;
  content += kLineEnd;
  ReplaceWholeFile(files_, safe_file_path_, content);
}

void SafePluginRules::RemoveSafeFile(std::string_view file_name) {
  const std::optional<std::string> content = ReadWholeFile(files_, safe_file_path_);
  if (!content) return;
  std::string kept;
  bool removed = false;
  for (const std::string& line : LinesOf(*content)) {
    if (NamesFile(line, file_name)) {
      removed = true;
    } else if (!line.empty()) {
      kept += line;
      kept += kLineEnd;
    }
  }
  if (removed) ReplaceWholeFile(files_, safe_file_path_, kept);
}

}  // namespace sg::tools
