#pragma once

#include <string>
#include <vector>

namespace sg::online {

inline constexpr const char* kVersionMarker = "<!-- UPGRADE Version";
inline constexpr const char* kDescriptionMarker = "<!-- UPGRADE Description";
inline constexpr const char* kDescriptionEndMarker = "END UPGRADE Description";
inline constexpr const char* kDownloadLinkMarker = "<!-- UPGRADE Download Link";
inline constexpr const char* kSignatureMarker = "<!-- UPGRADE Signature";

// What the last upgrade page offered.
struct UpgradeOffer {
  float new_version = 0;
  // The number at the start of the version line as the page wrote it: what the maker signs.
  std::string version_text;
  std::string description;
  std::string download_link;
  std::string signature;  // of the installer behind the link
};

// Reads the marker lines of the upgrade page (each line keeps its line feed). The description
// and the signature start empty on every page; the version (number and text) and the link keep
// what they held when the page has none.
void ParseUpgradePage(const std::vector<std::string>& lines, UpgradeOffer& offer);

}  // namespace sg::online
