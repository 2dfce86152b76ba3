#include "online/upgrade_page.h"

#include <cmath>
#include <cstdlib>
#include <limits>

namespace sg::online {
namespace {

bool Holds(const std::string& line, const char* marker) {
  return line.find(marker) != std::string::npos;
}

// The number at the start of the line, by atof's rules. A number beyond the range of the
// version's type becomes infinite rather than undefined.
float VersionAtStartOf(const std::string& line) {
  const double value = std::atof(line.c_str());
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (std::fabs(value) > std::numeric_limits<float>::max())
    return value > 0 ? kInfinity : -kInfinity;
  return static_cast<float>(value);
}

}  // namespace

void ParseUpgradePage(const std::vector<std::string>& lines, UpgradeOffer& offer) {
  offer.description.clear();
  offer.signature.clear();
  const std::size_t count = lines.size();
  for (std::size_t i = 0; i < count; ++i) {
    const std::string& line = lines[i];
    const bool has_next = i + 1 < count;
    if (Holds(line, kVersionMarker)) {
      if (has_next) offer.new_version = VersionAtStartOf(lines[++i]);
    } else if (Holds(line, kDescriptionMarker)) {
      if (Holds(line, kDescriptionEndMarker)) continue;
      while (++i < count && !Holds(lines[i], kDescriptionEndMarker)) offer.description += lines[i];
    } else if (Holds(line, kDownloadLinkMarker)) {
      if (has_next) offer.download_link = lines[++i];
    } else if (Holds(line, kSignatureMarker)) {
      if (has_next) offer.signature = lines[++i];
    }
  }
}

}  // namespace sg::online
