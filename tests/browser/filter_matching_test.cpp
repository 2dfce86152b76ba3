#include "browser/filter_matching.h"

#include <gtest/gtest.h>

namespace sg::browser {
namespace {

TEST(MatchesBlockEntryTest, ExactEntriesMatchWholeTitlesAndTheFirstAsteriskMakesASubstring) {
  EXPECT_TRUE(MatchesBlockEntry("SPECIAL offer", "Special Offer"));
  EXPECT_FALSE(MatchesBlockEntry("Special Offer - today", "Special Offer"));
  EXPECT_TRUE(MatchesBlockEntry("Today's SPECIAL OFFER", "*special offer"));
  EXPECT_TRUE(MatchesBlockEntry("Special Offer", "Special Offer*"));
  EXPECT_FALSE(MatchesBlockEntry("Special Offer", "Special*Offer")) << "the blank goes with it";
  EXPECT_FALSE(MatchesBlockEntry("Win a prize", "*prize*")) << "a second asterisk is literal";
  EXPECT_TRUE(MatchesBlockEntry("Inbox", "*")) << "a lone asterisk from a file matches all";
  EXPECT_FALSE(MatchesBlockEntry("caf\xe9 deals", "CAF\xc9*")) << "only a to z fold";
}

TEST(MatchesSafeSiteTest, AnEntryMatchesAnywhereInTheAddressWithItsExactCase) {
  EXPECT_TRUE(MatchesSafeSite("http://notexample.com.evil.test/", "example.com"));
  EXPECT_FALSE(MatchesSafeSite("http://www.Example.com/", "example.com"));
}

TEST(StripFirstAsteriskTest, RemovesTheFirstAsteriskOnly) {
  EXPECT_EQ(StripFirstAsterisk("ab*c*"), "abc*");
  EXPECT_EQ(StripFirstAsterisk("plain"), "plain");
}

}  // namespace
}  // namespace sg::browser
