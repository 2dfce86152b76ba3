#include "common/ini_text.h"

#include <cstddef>

#include "common/ascii.h"

namespace sg {

std::string_view IniTrimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::vector<std::string> IniLines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.emplace_back(IniTrimmed(std::string_view(content).substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

std::optional<std::string_view> IniSectionName(std::string_view line) {
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t end = line.find(']');
  if (end == std::string_view::npos) return std::nullopt;
  return IniTrimmed(line.substr(1, end - 1));
}

std::string WithIniEntry(const std::string& content, const std::string& section,
                         const std::string& key, const std::string& value) {
  std::vector<std::string> lines = IniLines(content);
  const std::string entry = key + "=" + value;
  bool in_section = false;
  bool written = false;
  std::size_t section_end = lines.size();
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (const auto name = IniSectionName(lines[i])) {
      if (in_section) {
        section_end = i;
        break;
      }
      in_section = EqualsIgnoringCase(*name, section);
      continue;
    }
    const std::size_t equals = lines[i].find('=');
    if (in_section && equals != std::string::npos &&
        EqualsIgnoringCase(IniTrimmed(std::string_view(lines[i]).substr(0, equals)), key)) {
      lines[i] = entry;
      written = true;
    }
  }
  if (!written) {
    if (in_section) {
      // Past any blank lines that end the section.
      while (section_end > 0 && lines[section_end - 1].empty()) --section_end;
      lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(section_end), entry);
    } else {
      lines.push_back("[" + section + "]");
      lines.push_back(entry);
    }
  }
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

}  // namespace sg
