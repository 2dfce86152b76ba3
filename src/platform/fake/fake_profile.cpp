#include "platform/fake/fake_profile.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "common/ascii.h"
#include "common/ini_text.h"

namespace sg::platform::fake {

namespace {

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
  for (const std::string& line : IniLines(*content)) {
    if (const auto name = IniSectionName(line)) {
      in_section = EqualsIgnoringCase(*name, section);
      continue;
    }
    const std::size_t equals = line.find('=');
    if (!in_section || equals == std::string::npos) continue;
    if (!EqualsIgnoringCase(IniTrimmed(std::string_view(line).substr(0, equals)), key)) continue;
    const std::string_view value = IniTrimmed(std::string_view(line).substr(equals + 1));
    return value.empty() ? default_value : LeadingNumber(value);
  }
  return default_value;
}

}  // namespace sg::platform::fake
