#include "settings/preset_scrambling.h"

#include <gtest/gtest.h>

#include <string>

namespace sg::settings {
namespace {

std::vector<std::uint8_t> Bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

std::string Descramble(const std::vector<std::uint8_t>& block, bool first_block) {
  std::vector<std::uint8_t> out;
  DescramblePresetBlock(block, first_block, out);
  return {out.begin(), out.end()};
}

TEST(PresetScramblingTest, TheFirstBlockPassesItsFirstTwoBytesOnlyAsRAndE) {
  EXPECT_EQ(Descramble(ScramblePreset(Bytes("REGEDIT4")), true), "REGEDIT4");
  EXPECT_EQ(Descramble(ScramblePreset(Bytes("XYGEDIT4")), true), "GEDIT4");
  EXPECT_EQ(Descramble(ScramblePreset(Bytes("EREDIT4")), true), "EDIT4")
      << "'E' at position 0 and 'R' at position 1 are both dropped";
  EXPECT_EQ(Descramble(ScramblePreset(Bytes("XYGEDIT4")), false), "XYGEDIT4");
}

TEST(PresetScramblingTest, BytesThatDecodeToZeroVanishEverywhere) {
  const std::vector<std::uint8_t> block = {'X' + 2, 2, 'E' + 2, 'A' + 2, 2, 2, 'B' + 2};
  EXPECT_EQ(Descramble(block, true), "EAB")
      << "the rule for position 1 meets the zero byte, so the 'E' after it stays";
  EXPECT_EQ(Descramble(block, false), "XEAB");
}

TEST(PresetScramblingTest, EveryByteButZeroSurvivesTheRoundTrip) {
  std::vector<std::uint8_t> all = {'R', 'E'};
  for (int b = 1; b < 256; ++b) all.push_back(static_cast<std::uint8_t>(b));
  std::vector<std::uint8_t> out;
  DescramblePresetBlock(ScramblePreset(all), true, out);
  EXPECT_EQ(out, all);
}

}  // namespace
}  // namespace sg::settings
