#include "tools/random_name_checker.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sg::tools {
namespace {

using platform::RegistryRoot;
using Strings = std::vector<std::string>;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kSystem32 = "C:\\WINDOWS\\System32\\";

class RandomNameCheckerTest : public ::testing::Test {
 protected:
  void StartFromRun(RegistryRoot root, const std::string& value, const std::string& command) {
    system_.registry.PutString(root, kRunKey, value, command);
  }
  void SetDisabled(const std::string& text) {
    system_.registry.PutString(kUser, "Software\\Snapgate!", "bDisableRandomCheck", text);
  }
  Strings Find(const Strings& names, const Strings& paths) {
    return checker_.FindRandomNamedPrograms(&names, &paths);
  }

  platform::fake::FakePlatform system_;
  RandomNameChecker checker_{system_.ports().registry};
};

TEST(RandomNameLettersTest, TwoRarePairsOfLettersMakeARandomName) {
  EXPECT_FALSE(RandomNameChecker::LooksRandom("winlogon"));
  EXPECT_FALSE(RandomNameChecker::LooksRandom("mqtray"));  // one rare pair: an abbreviation
  EXPECT_TRUE(RandomNameChecker::LooksRandom("hqwin"));
  // Anything but a letter breaks the pair it stands in.
  EXPECT_FALSE(RandomNameChecker::LooksRandom("hq1win"));
  EXPECT_FALSE(RandomNameChecker::LooksRandom("hq-win"));
}

TEST_F(RandomNameCheckerTest, OnlyARandomNameInTheSystemFolderStartedFromRunIsFound) {
  StartFromRun(kUser, "hq", kSystem32 + "hqwin.exe /background");
  StartFromRun(kUser, "pad", kSystem32 + "notepad.exe");
  StartFromRun(kUser, "deep", "zxqvbk.exe");
  StartFromRun(kUser, "blank", "xqz vbk");
  StartFromRun(kUser, "elsewhere", "qxzvbk.exe");
  ASSERT_TRUE(RandomNameChecker::LooksRandom("xqz vbk"));

  // After the first, each entry fails one test: a real word, one folder too deep, a blank,
  // outside the system folder, named by no Run value, nothing left without the extension.
  const Strings names = {"Hqwin.EXE",  "notepad.exe", "zxqvbk.exe", "xqz vbk.exe",
                         "qxzvbk.exe", "vqxzjk.exe",  ".exe"};
  const Strings paths = {
      kSystem32 + "Hqwin.EXE",   kSystem32 + "notepad.exe",       kSystem32 + "drivers\\zxqvbk.exe",
      kSystem32 + "xqz vbk.exe", "C:\\Program Files\\qxzvbk.exe", "C:\\WINNT\\system\\vqxzjk.exe",
      kSystem32 + ".exe"};
  EXPECT_EQ(Find(names, paths), Strings{"Hqwin.EXE"});
}

TEST_F(RandomNameCheckerTest, TheRunCommandMayOmitTheExtensionAndMayBeMachineWide) {
  StartFromRun(kMachine, "service", "RUNDLL32 HQWIN,Start");
  EXPECT_FALSE(checker_.IsStartedFromRun("hqwin", kUser));
  EXPECT_TRUE(checker_.IsStartedFromRun("hqwin", kMachine));
  EXPECT_FALSE(checker_.IsStartedFromRun("", kMachine));

  // Only ".exe" and ".com" are dropped before looking in the Run keys.
  const Strings names = {"hqwin.com", "hqwin.scr"};
  EXPECT_EQ(Find(names, {kSystem32 + names[0], kSystem32 + names[1]}), Strings{"hqwin.com"});
}

TEST_F(RandomNameCheckerTest, TheSettingSwitchesTheCheckOffAndEachRunStartsAfresh) {
  StartFromRun(kUser, "hq", "hqwin.exe");
  const Strings names = {"hqwin.exe", "jqwert.exe"};
  const Strings paths = {kSystem32 + names[0], kSystem32 + names[1]};
  EXPECT_EQ(Find(names, paths), Strings{"hqwin.exe"});

  SetDisabled("1");
  EXPECT_TRUE(Find(names, paths).empty());
  SetDisabled("0");
  EXPECT_EQ(Find(names, paths), Strings{"hqwin.exe"});

  // Names and paths are walked together, as far as the shorter list goes.
  StartFromRun(kUser, "jq", "jqwert.exe");
  EXPECT_EQ(Find(names, {paths[0]}), Strings{"hqwin.exe"});
  EXPECT_EQ(Find({names[1]}, paths), Strings{"jqwert.exe"});
  EXPECT_TRUE(checker_.FindRandomNamedPrograms(&names, nullptr).empty());
  EXPECT_TRUE(checker_.FindRandomNamedPrograms(nullptr, &paths).empty());
}

}  // namespace
}  // namespace sg::tools
