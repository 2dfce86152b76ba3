#include "tools/spyware_pass.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/ascii.h"
#include "platform/fake/fake_platform.h"
#include "tools/plugin_cleaner.h"

namespace sg::tools {
namespace {

using platform::RegistryRoot;
using platform::fake::FakeProcesses;
using Strings = std::vector<std::string>;

// The blocked list as the tools see it, with the flashes and sounds they asked for.
class RecordedReport final : public ProtectionReport {
 public:
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool HasLine(const std::string& line) override {
    for (const std::string& listed : lines) {
      if (EqualsIgnoringCase(listed, line)) return true;
    }
    return false;
  }
  int LineCount() override { return static_cast<int>(lines.size()); }
  void Flash() override { ++flashes; }
  void PlaySound() override { ++sounds; }

  Strings lines;
  int flashes = 0;
  int sounds = 0;
};

class SpywarePassTest : public ::testing::Test {
 protected:
  std::uint32_t Start(const std::string& path, FakeProcesses::Process process = {}) {
    process.path = path;
    return system_.processes.Start(std::move(process));
  }
  void Pass() { RunSpywarePass(system_.ports(), report_); }
  void Store(const std::string& name, const std::string& value) {
    system_.registry.PutString(RegistryRoot::kCurrentUser, "Software\\Snapgate!", name, value);
  }
  std::optional<std::string> Stored(const std::string& name) {
    return system_.registry.GetString(RegistryRoot::kCurrentUser, "Software\\Snapgate!", name);
  }
  bool Running(std::uint32_t id) { return system_.processes.IsRunning(id); }

  platform::fake::FakePlatform system_;
  RecordedReport report_;
};

TEST_F(SpywarePassTest, ListedNamesAreKilledWholeAndExactWhileLookalikesRunOn) {
  const std::uint32_t save_now = Start("C:\\Offers\\savenow.EXE");
  const std::uint32_t first = Start("C:\\Ads\\tsadbot.exe");
  const std::uint32_t second = Start("C:\\Ads\\TSADBOT.EXE");
  const std::vector<std::uint32_t> innocent = {
      Start("C:\\Offers\\mysavenow.exe"), Start("C:\\WINDOWS\\notepad.exe"),
      Start("C:\\WINDOWS\\system32\\svchost.exe"), Start("C:\\WINDOWS\\system32\\lsass.exe"),
      Start("C:\\WINDOWS\\explorer.exe")};

  Pass();
  EXPECT_EQ(report_.lines, (Strings{"Spyware detected and killed: tsadbot.exe",
                                    "Spyware detected and killed: SAVENOW.exe"}))
      << "the table's order and spelling";
  EXPECT_FALSE(Running(save_now));
  EXPECT_FALSE(Running(first));
  EXPECT_TRUE(Running(second)) << "a second copy waits for the next pass";
  for (std::uint32_t id : innocent) EXPECT_TRUE(Running(id)) << id;
  EXPECT_EQ(report_.flashes, 2);
  EXPECT_EQ(report_.sounds, 1) << "one sound for the whole pass";
  EXPECT_EQ(Stored("bEnablePluginCleaner"), "1") << "a missing setting runs the cleaner";

  Pass();
  EXPECT_FALSE(Running(second));
  EXPECT_EQ(report_.lines.size(), 3u);
}

TEST_F(SpywarePassTest, WhatCannotBeKilledIsReportedOnceUntilTheListGrowsLong) {
  Start("C:\\Ads\\msbb.exe", {.refuses_termination = true});
  Start("C:\\Ads\\fsg.exe", {.ends_before_termination = true});
  Start("C:\\Ads\\NewsUpd.exe", {.cannot_be_opened = true});
  Pass();
  // The one that could not be listed is not seen; the one that ended by itself is no failure.
  EXPECT_EQ(report_.lines, (Strings{"Spyware detected, but could not kill: msbb.exe",
                                    std::string(kUninstallAdviceLine)}));
  EXPECT_EQ(report_.sounds, 1);

  Pass();
  EXPECT_EQ(report_.lines.size(), 2u);
  EXPECT_EQ(report_.sounds, 1) << "nothing new, no sound";

  report_.lines.resize(2000, "Spyware popup");
  Pass();
  EXPECT_EQ(report_.lines.size(), 2002u) << "a long list is no longer searched";
  EXPECT_EQ(report_.lines.back(), kUninstallAdviceLine);
}

TEST_F(SpywarePassTest, RandomNamedStartUpProgramsAreKilledOnceAndPluginsCleaned) {
  system_.registry.PutString(RegistryRoot::kLocalMachine,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "loader",
                             "C:\\WINDOWS\\system32\\xqzvkj.exe /background");
  const std::uint32_t random = Start("C:\\WINDOWS\\system32\\Xqzvkj.exe");
  const std::uint32_t copy = Start("C:\\WINDOWS\\system32\\xqzvkj.exe");
  system_.registry.PutString(RegistryRoot::kLocalMachine,
                             std::string(kBrowserHelperObjectsKey) + "\\{AD}", "", "");
  system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\{AD}\\InprocServer32", "",
                             "C:\\Ads\\bar.dll");
  system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\{AD}", "", "Ad Bar");
  system_.files.PutFile("C:\\Ads\\bar.dll", "MZ");

  Pass();
  EXPECT_EQ(report_.lines, (Strings{"Spyware detected and killed: Xqzvkj.exe",
                                    std::string(kPluginDisabledLine) + "Ad Bar"}))
      << "the second copy is no failure to report";
  EXPECT_FALSE(Running(random));
  EXPECT_TRUE(Running(copy));
  EXPECT_EQ(report_.flashes, 2);

  // The plug-in comes back under its own name: its line is already there.
  system_.files.PutFile("C:\\Ads\\bar.dll", "MZ");
  system_.files.Delete("C:\\Ads\\disabled_bar.dll");
  Pass();
  EXPECT_EQ(report_.lines.size(), 3u);
  EXPECT_EQ(report_.lines.back(), "Spyware detected and killed: xqzvkj.exe");
  EXPECT_FALSE(system_.files.FileContent("C:\\Ads\\bar.dll").has_value());
}

TEST_F(SpywarePassTest, NothingFoundWithTheCleanerOffSaysNothing) {
  Store("bEnablePluginCleaner", "0");
  system_.processes.SetLibraries(false, false, false);  // no process list at all
  Start("C:\\Ads\\msbb.exe");
  Pass();
  EXPECT_TRUE(report_.lines.empty());
  EXPECT_EQ(report_.sounds + report_.flashes, 0);
  EXPECT_EQ(Stored("bEnablePluginCleaner"), "0");
}

}  // namespace
}  // namespace sg::tools
