#include "online/upgrade_page.h"

#include <gtest/gtest.h>

#include <cmath>

namespace sg::online {
namespace {

TEST(UpgradePage, MarkersGiveTheOfferAndAPageWithoutThemKeepsVersionAndLink) {
  UpgradeOffer offer;
  ParseUpgradePage(
      {"<html>\n", "<!-- UPGRADE Version -->\n", "3.30 (March)\n", "<!-- UPGRADE Description -->\n",
       "Faster.\n", "Safer.\n", "<!-- END UPGRADE Description -->\n",
       "<!-- UPGRADE Download Link -->\n", "http://host.example/setup.exe\n",
       "<!-- UPGRADE Signature -->\n", "ab01\n", "</html>\n"},
      offer);
  EXPECT_FLOAT_EQ(offer.new_version, 3.30f);
  EXPECT_EQ(offer.description, "Faster.\nSafer.\n");
  EXPECT_EQ(offer.download_link, "http://host.example/setup.exe\n");
  EXPECT_EQ(offer.signature, "ab01\n");

  ParseUpgradePage({"<html>no markers</html>\n"}, offer);
  EXPECT_FLOAT_EQ(offer.new_version, 3.30f);
  EXPECT_EQ(offer.download_link, "http://host.example/setup.exe\n");
  EXPECT_EQ(offer.description, "") << "emptied by every page";
  EXPECT_EQ(offer.signature, "") << "a signature only ever belongs to its own page";
}

TEST(UpgradePage, OddPagesGiveWhatAtofAndTheMarkersGive) {
  UpgradeOffer offer;
  ParseUpgradePage({"<!-- UPGRADE Description", "one\n", "two\n"}, offer);
  EXPECT_EQ(offer.description, "one\ntwo\n") << "no end line: the rest of the page";

  ParseUpgradePage({"<!-- UPGRADE Description END UPGRADE Description -->\n", "not text\n"}, offer);
  EXPECT_EQ(offer.description, "");

  offer.new_version = 1;
  ParseUpgradePage({"x\n", "<!-- UPGRADE Version"}, offer);
  EXPECT_FLOAT_EQ(offer.new_version, 1) << "a marker on the last line changes nothing";

  const std::pair<const char*, float> versions[] = {
      {"abc\n", 0.0f}, {"-3\n", -3.0f}, {" 3.293x", 3.293f}};
  for (const auto& [line, expected] : versions) {
    ParseUpgradePage({"<!-- UPGRADE Version", line}, offer);
    EXPECT_FLOAT_EQ(offer.new_version, expected) << line;
  }
  ParseUpgradePage({"<!-- UPGRADE Version", "1e999\n"}, offer);
  EXPECT_TRUE(std::isinf(offer.new_version));
  ParseUpgradePage({"<!-- UPGRADE Version", "-1e300\n"}, offer);
  EXPECT_TRUE(std::isinf(offer.new_version) && offer.new_version < 0);

  // The version marker takes its next line even when that line is a marker itself.
  ParseUpgradePage({"<!-- UPGRADE Version", "<!-- UPGRADE Download Link", "4\n"}, offer);
  EXPECT_FLOAT_EQ(offer.new_version, 0);
}

}  // namespace
}  // namespace sg::online
