#include "online/upgrade_date.h"

#include <gtest/gtest.h>

namespace sg::online {
namespace {

TEST(UpgradeDate, OnlyAWholeDayDateWithThreeNumbersCounts) {
  const auto date = ParseUpgradeDate("4 1 2007");
  ASSERT_TRUE(date);
  EXPECT_EQ(FormatUpgradeDate(*date), "4 1 2007");
  EXPECT_EQ(date->year, 2007);
  EXPECT_EQ(date->month, 4);
  EXPECT_EQ(date->day, 1);
  EXPECT_TRUE(ParseUpgradeDate("  2 29 2024 and more"));
  for (const char* odd : {"", "0 0 0", "4 1", "4 0 2007", "x y z", "2 30 2023", "13 1 2007",
                          "4 1 -5", "2 29 2023", "99999999999 1 2007"}) {
    EXPECT_FALSE(ParseUpgradeDate(odd)) << odd;
  }
}

TEST(UpgradeDate, TheCheckIsDueAfterSixteenWholeDays) {
  const LocalDateTime stored{2026, 11, 20};
  EXPECT_FALSE(IsUpgradeCheckDueAt(stored, {2026, 12, 6, 1, 1, 0})) << "15 days 23 hours 59 s";
  EXPECT_TRUE(IsUpgradeCheckDueAt(stored, {2026, 12, 6, 1, 1, 1})) << "16 days";
  EXPECT_TRUE(IsUpgradeCheckDueAt({2025, 12, 31}, {2026, 1, 17, 0, 0, 0}));
  EXPECT_FALSE(IsUpgradeCheckDueAt(stored, {2026, 11, 1})) << "a date in the future is not due";
  EXPECT_FALSE(IsUpgradeCheckDueAt({2030, 1, 1}, {2026, 12, 9}));
  EXPECT_TRUE(IsUpgradeCheckDueAt({2024, 2, 13}, {2024, 2, 29, 12, 0, 0})) << "over a leap day";
}

}  // namespace
}  // namespace sg::online
