#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace sg {

// Initialisation-file text as the system's profile functions read and write it: sections
// "[name]", entries "key=value", names compared without regard to case, lines ending in CR LF.

// The lines without their ends and the blanks around them.
std::vector<std::string> IniLines(const std::string& content);
std::string_view IniTrimmed(std::string_view text);
// The name of a "[name]" line; nothing for any other line.
std::optional<std::string_view> IniSectionName(std::string_view line);

// The text with one entry set, where WritePrivateProfileStringA would set it: in place of the
// entry, else at the end of its section, else in a new section at the end.
std::string WithIniEntry(const std::string& content, const std::string& section,
                         const std::string& key, const std::string& value);

}  // namespace sg
