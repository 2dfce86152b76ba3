#pragma once

#include <array>
#include <cstddef>
#include <string_view>

// The program's addresses on its maker's web site, in one place. The host comes from the build
// option SNAPGATE_WEB_SITE_HOST (see README.md); every address below is made from it, so no other
// file spells it.
//
// The build passes the host as a string literal, not as bare words: a host such as
// "interface.example" would otherwise be rewritten by the Windows headers' own macros.
#ifndef SNAPGATE_WEB_SITE_HOST
#error "SNAPGATE_WEB_SITE_HOST is set by the build (link sg_ports); see README.md."
#endif

namespace sg {

inline constexpr const char* kWebSiteHost = SNAPGATE_WEB_SITE_HOST;
inline constexpr const char* kWebSite = "http://" SNAPGATE_WEB_SITE_HOST "/";
inline constexpr const char* kProductPage = "http://" SNAPGATE_WEB_SITE_HOST "/snapgate.html";
inline constexpr const char* kOnlineHelpPage = "http://" SNAPGATE_WEB_SITE_HOST "/help.html";
inline constexpr const char* kBlockListHelpPage =
    "http://" SNAPGATE_WEB_SITE_HOST "/help.html#blocklist";
// Asked whether a newer version exists; a user's "UpgradeURL" setting may name another page.
inline constexpr const char* kUpgradeCheckPage =
    "http://" SNAPGATE_WEB_SITE_HOST "/snapgate_upgrade_check.html";

// Told when the browsers' Shell Windows collection is missing; the version follows.
inline constexpr const char* kFailureReportPage =
    "http://" SNAPGATE_WEB_SITE_HOST "/snapgate_failure_report.html?version=";

// The popup test page that ships beside the program, for "Popup &Test".
inline constexpr const char* kPopupTestPageFile = "popuptest.html";

namespace web_address_detail {

// Mail goes to the domain, not to the web server's "www." name.
constexpr std::string_view MailDomain(std::string_view host) {
  return host.starts_with("www.") ? host.substr(4) : host;
}

constexpr std::string_view kMailbox = "support@";
constexpr std::size_t kSupportEmailSize =
    kMailbox.size() + MailDomain(SNAPGATE_WEB_SITE_HOST).size() + 1;

constexpr std::array<char, kSupportEmailSize> SupportEmail() {
  std::array<char, kSupportEmailSize> text{};
  std::size_t at = 0;
  for (const char c : kMailbox) text[at++] = c;
  for (const char c : MailDomain(SNAPGATE_WEB_SITE_HOST)) text[at++] = c;
  text[at] = '\0';
  return text;
}

inline constexpr std::array<char, kSupportEmailSize> kSupportEmailText = SupportEmail();

}  // namespace web_address_detail

inline constexpr const char* kSupportEmail = web_address_detail::kSupportEmailText.data();

}  // namespace sg
