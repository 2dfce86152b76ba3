#include "online/upgrade_page.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace sg::online {
namespace {

bool Holds(const std::string& line, const char* marker) {
  return line.find(marker) != std::string::npos;
}

// The number at the start of the line, by atof's rules, and its text as written. A number
// beyond the range of the version's type becomes infinite rather than undefined.
void ReadVersion(const std::string& line, UpgradeOffer& offer) {
  const char* start = line.c_str();
  char* end = nullptr;
  const double value = std::strtod(start, &end);
  constexpr float kInfinity = std::numeric_limits<float>::infinity();
  if (std::fabs(value) > std::numeric_limits<float>::max()) {
    offer.new_version = value > 0 ? kInfinity : -kInfinity;
  } else {
    offer.new_version = static_cast<float>(value);
  }
  // strtod passes over leading white space, which is no part of the number.
  const char* number = start;
  while (number < end && std::isspace(static_cast<unsigned char>(*number))) ++number;
  offer.version_text.assign(number, static_cast<std::size_t>(end - number));
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
      if (has_next) ReadVersion(lines[++i], offer);
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
