#include "platform/fake/fake_profile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "common/ascii.h"

namespace sg::platform::fake {

namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

std::vector<std::string> Lines(const std::string& content) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.emplace_back(Trimmed(std::string_view(content).substr(start, end - start)));
    start = end + 1;
  }
  return lines;
}

std::optional<std::string_view> SectionName(std::string_view line) {
  if (line.size() < 2 || line.front() != '[') return std::nullopt;
  const std::size_t end = line.find(']');
  if (end == std::string_view::npos) return std::nullopt;
  return Trimmed(line.substr(1, end - 1));
}

// The number at the start of a text as the system reads it: blanks, a sign, an optional base
// prefix (0x, 0o, 0b), digits; the value wraps around in 32 bits.
int LeadingNumber(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  unsigned base = 10;
  if (text.size() >= 2 && text[0] == '0') {
    const char prefix = AsciiLower(text[1]);
    if (prefix == 'x' || prefix == 'o' || prefix == 'b') {
      base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : 2;
      text.remove_prefix(2);
    }
  }
  std::uint32_t value = 0;
  for (const char c : text) {
    const char lower = AsciiLower(c);
    unsigned digit = 0;
    if (lower >= '0' && lower <= '9') {
      digit = static_cast<unsigned>(lower - '0');
    } else if (lower >= 'a' && lower <= 'f') {
      digit = static_cast<unsigned>(lower - 'a' + 10);
    } else {
      break;
    }
    if (digit >= base) break;
    value = value * base + digit;
  }
  if (negative) value = 0u - value;
  return static_cast<int>(value);
}

}  // namespace

FakeProfile::FakeProfile(FakeFileSystem& files) : files_(files) {
  files_.CreateDirectory(application_data_);
}

int FakeProfile::GetPrivateProfileInt(const std::string& section, const std::string& key,
                                      int default_value, const std::string& file) {
  const std::optional<std::string> content = files_.FileContent(file);
  if (!content) return default_value;
  bool in_section = false;
  for (const std::string& line : Lines(*content)) {
    if (const auto name = SectionName(line)) {
      in_section = SameName(*name, section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_section || equals == std::string::npos) continue;
    if (!SameName(Trimmed(std::string_view(line).substr(0, equals)), key)) continue;
    const std::string_view value = Trimmed(std::string_view(line).substr(equals + 1));
    return value.empty() ? default_value : LeadingNumber(value);
  }
  return default_value;
}

bool FakeProfile::WritePrivateProfileString(const std::string& section, const std::string& key,
                                            const std::string& value, const std::string& file) {
  std::vector<std::string> lines = Lines(files_.FileContent(file).value_or(""));
  const std::string entry = key + "=" + value;
  bool in_section = false;
  bool written = false;
  std::size_t section_end = lines.size();
  for (std::size_t i = 0; i < lines.size() && !written; ++i) {
    if (const auto name = SectionName(lines[i])) {
      if (in_section) {
        section_end = i;
        break;
      }
      in_section = SameName(*name, section);
      continue;
    }
    const std::size_t equals = lines[i].find('=');
    if (in_section && equals != std::string::npos &&
        SameName(Trimmed(std::string_view(lines[i]).substr(0, equals)), key)) {
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
  std::string content;
  for (const std::string& line : lines) content += line + "\r\n";
  auto out = files_.Open(file, FileOpenMode::kCreateWriteOnly);
  if (!out) return false;
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(content.data());
  return out->Write(std::span(bytes, content.size())) && out->Close();
}

}  // namespace sg::platform::fake
