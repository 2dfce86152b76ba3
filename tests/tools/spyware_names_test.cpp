#include "tools/spyware_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <set>
#include <string>
#include <string_view>

#include "common/ascii.h"

namespace sg::tools {
namespace {

constexpr std::size_t kDistinctSpywareNames = 852;

TEST(SpywareNamesTest, EachKnownNameOnceInCheckingOrderAndNoSystemProgram) {
  const auto names = SpywareNames();
  ASSERT_EQ(names.size(), kDistinctSpywareNames);
  EXPECT_EQ(names.front(), "tsadbot.exe");
  EXPECT_EQ(names.back(), "worldantispy.exe");

  std::set<std::string> folded;
  for (std::string_view name : names) {
    EXPECT_TRUE(folded.insert(AsciiLower(name)).second) << name << " is listed twice";
  }

  // Look-alikes of system programs hold a literal '?', so the real programs are never hit.
  EXPECT_NE(std::find(names.begin(), names.end(), "n?tepad.exe"), names.end());
  for (std::string_view system_program : {"notepad.exe", "svchost.exe", "lsass.exe"}) {
    EXPECT_EQ(folded.count(std::string(system_program)), 0u) << system_program;
  }
}

}  // namespace
}  // namespace sg::tools
