#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/ports/platform.h"
#include "tools/protection_report.h"

namespace sg::tools {

// The outside parties that the checks know, by role: Internet Explorer's own stock values and
// well-known public sites. Changing one here changes every check and every repaired value.
struct OutsideNames {
  std::string_view maker_search_host;      // the browser maker's search host
  std::string_view maker_web_host;         // its main web host
  std::string_view maker_portal_domain;    // its web portal's domain
  std::string_view trusted_engine_word;    // the name of the search engine trusted everywhere
  std::string_view trusted_engine_domain;  // and its domain
  std::string_view second_engine_domain;   // another search engine's domain
  std::string_view provider_domain;        // a big internet provider's domain
  std::string_view safe_start_page;        // a well-known portal's home page
};
inline constexpr OutsideNames kOutsideNames = {
    .maker_search_host = "ie.search.msn.com",
    .maker_web_host = "www.microsoft.com",
    .maker_portal_domain = "msn.com",
    .trusted_engine_word = "google",
    .trusted_engine_domain = "google.com",
    .second_engine_domain = "yahoo.com",
    .provider_domain = "aol.com",
    .safe_start_page = "http://www.yahoo.com/",
};

inline constexpr const char* kHijackerFixedLine = "Internet Explorer hijacker fixed";
inline constexpr const char* kStyleSheetFixedLine =
    "Internet Explorer style sheet hijacker fixed: ";
inline constexpr const char* kResetFileFixedLine = "Internet Explorer hijacker fixed: ";
// Below the Windows folder.
inline constexpr const char* kResetFilePath = "\\inf\\iereset.inf";
// Windows' own is a few kilobytes; a larger one is no reset file to read whole or to rewrite.
inline constexpr std::size_t kLargestResetFile = 1u << 20;
// Where the browser keeps its start page, under either root.
inline constexpr std::string_view kIeMainPath = "Software\\Microsoft\\Internet Explorer\\Main";
inline constexpr std::string_view kStartPageValue = "Start Page";

// The browser's reset file; empty when the Windows folder cannot be read, since the path
// would then name a file at the root of the current drive.
std::string ResetFilePath(platform::SystemPort& system);

// Keeps a start page as the user's answer to the start-page question, so that it is not
// asked about again.
void RememberStartPage(platform::RegistryPort& registry, std::string_view page);

// Sets back browser settings that adware changed: the search pages, the start page (after
// asking the user, with `owner` as the question's parent), the user style sheet, the prefixes
// the address bar adds to bare names and the browser's reset file. Each repair but the start
// page's is reported in the blocked list. Does nothing when "bDisableIEFix" is 1 or more.
void RunHijackRepair(platform::Platform& platform, ProtectionReport& report,
                     platform::DialogHost* owner);

// Sets back the hijacked addresses in the "[Strings]" section of the browser's reset file and
// reports the last one. True when the repaired file took the old one's place; when that fails
// the old file stays as it was and nothing is reported.
bool RepairResetFile(platform::Platform& platform, ProtectionReport& report);

// What the reset file's repair would make of a file's bytes.
struct ResetFileText {
  bool changed = false;
  std::size_t line_count = 0;  // lines as read
  std::string last_replaced;   // the last line set back, as it was
  std::string content;         // the new content, CR LF line ends, empty-line runs collapsed
};
ResetFileText RepairResetFileText(std::string_view content);

}  // namespace sg::tools
