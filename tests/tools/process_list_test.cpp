#include "tools/process_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"

namespace sg::tools {
namespace {

using platform::fake::FakeDesktop;
using platform::fake::FakeProcesses;
using Strings = std::vector<std::string>;

class ProcessListTest : public ::testing::Test {
 protected:
  std::uint32_t Start(const std::string& path, FakeProcesses::Process process = {}) {
    process.path = path;
    return system_.processes.Start(std::move(process));
  }
  ProcessList Collected() {
    ProcessList list;
    collected_ = CollectProcesses(system_.ports().processes, list);
    return list;
  }
  int Kill(const std::string& name, const ProcessList& list) {
    return KillProcessByName(system_.ports().processes, name, list);
  }

  platform::fake::FakePlatform system_;
  bool collected_ = false;
};

TEST_F(ProcessListTest, NtListsEachOpenableProcessWithItsExecutable) {
  const std::uint32_t editor = Start("C:\\Windows\\NOTEPAD.EXE");
  Start("C:\\Windows\\system32\\secret.exe", {.cannot_be_opened = true});
  Start("");  // still starting: no module loaded yet
  const std::uint32_t long_path = Start("C:\\" + std::string(300, 'd') + "\\x.exe");

  const ProcessList list = Collected();
  EXPECT_TRUE(collected_);
  EXPECT_EQ(list.names, (Strings{"NOTEPAD.EXE", "x.exe"}));
  EXPECT_EQ(list.ids, (Strings{std::to_string(editor), std::to_string(long_path)}));
  ASSERT_EQ(list.paths.size(), 2u);
  EXPECT_EQ(list.paths[0], "C:\\Windows\\NOTEPAD.EXE");
  EXPECT_EQ(list.paths[1], ("C:\\" + std::string(300, 'd')).substr(0, 259));
  EXPECT_EQ(system_.processes.OpenHandles(), 0u);
}

TEST_F(ProcessListTest, CollectingAppendsAndNeedsNamesAndIds) {
  Start("C:\\a\\one.exe");
  ProcessList list{{"earlier"}, {"1"}, {"C:\\earlier"}};
  EXPECT_TRUE(CollectProcesses(system_.ports().processes, list));
  EXPECT_EQ(list.names, (Strings{"earlier", "one.exe"}));

  Strings names, ids;
  EXPECT_TRUE(CollectProcesses(system_.ports().processes, &names, &ids, nullptr));
  EXPECT_EQ(names, Strings{"one.exe"});
  EXPECT_FALSE(CollectProcesses(system_.ports().processes, nullptr, &ids, nullptr));
  EXPECT_FALSE(CollectProcesses(system_.ports().processes, &names, nullptr, nullptr));
  EXPECT_EQ(ids.size(), 1u);
}

TEST_F(ProcessListTest, NoProcessOrNoUsableSystemMeansFalse) {
  EXPECT_TRUE(Collected().names.empty());
  EXPECT_FALSE(collected_);

  Start("C:\\a\\one.exe");
  system_.processes.SetLibraries(false, true, true);
  EXPECT_TRUE(Collected().names.empty());
  EXPECT_FALSE(collected_);

  system_.processes.SetLibraries(true, true, true);
  system_.processes.SetPlatformId(0);
  EXPECT_TRUE(Collected().names.empty());
  EXPECT_FALSE(collected_);
}

// The outcomes are numbers that callers of the tool act on: 0 killed, 602 not terminated, 603 not
// running, 604 not opened, 632 a bad name, 705 no list.
TEST_F(ProcessListTest, EveryProcessIsFoundBeyondTheFirst250) {
  for (int i = 0; i < 600; ++i) Start("C:\\p\\p" + std::to_string(i) + ".exe");
  const ProcessList list = Collected();
  ASSERT_EQ(list.names.size(), 600u);
  EXPECT_EQ(list.names[249], "p249.exe");
  EXPECT_EQ(list.names[599], "p599.exe");
  EXPECT_EQ(Kill("p599.exe", list), 0);
}

TEST_F(ProcessListTest, ExactlyAFullFirstBufferLosesNothing) {
  for (int i = 0; i < 250; ++i) Start("C:\\p\\p" + std::to_string(i) + ".exe");
  EXPECT_EQ(Collected().names.size(), 250u);
  Start("C:\\p\\late.exe");
  EXPECT_EQ(Collected().names.back(), "late.exe");
}

TEST_F(ProcessListTest, The95FamilyListsEveryLongNamedModuleWithItsProcess) {
  system_.processes.SetPlatformId(platform::kPlatformWin32Windows);
  const std::uint32_t shell =
      Start("C:\\WINDOWS\\EXPLORER.EXE",
            {.libraries = {"C:\\WINDOWS\\SYSTEM\\SHELL32.DLL", "C:\\WINDOWS\\SYSTEM\\A.DL"}});
  const std::uint32_t spy = Start("C:\\Temp\\spy.exe");
  const std::string shell_id = std::to_string(shell), spy_id = std::to_string(spy);

  const ProcessList list = Collected();
  EXPECT_TRUE(collected_);
  // "A.DL" has a name of only four characters and is left out.
  EXPECT_EQ(list.names, (Strings{"EXPLORER.EXE", "SHELL32.DLL", "spy.exe"}));
  EXPECT_EQ(list.ids, (Strings{shell_id, shell_id, spy_id}));
  EXPECT_EQ(list.paths[1], "C:\\WINDOWS\\SYSTEM\\SHELL32.DLL");

  // A library's name selects the process that loaded it.
  EXPECT_EQ(Kill("shell32.dll", list), 0);
  EXPECT_FALSE(system_.processes.IsRunning(shell));
}

TEST_F(ProcessListTest, On95OneFailedModuleSnapshotFailsTheWholeCall) {
  system_.processes.SetPlatformId(platform::kPlatformWin32Windows);
  Start("C:\\WINDOWS\\EXPLORER.EXE");
  Start("C:\\WINDOWS\\KERNEL.EXE", {.cannot_be_opened = true});
  Start("C:\\WINDOWS\\LATER.EXE");

  const ProcessList list = Collected();
  EXPECT_FALSE(collected_);
  EXPECT_EQ(list.names, Strings{"EXPLORER.EXE"});  // what came before stays

  system_.processes.SetLibraries(true, true, false);
  EXPECT_TRUE(Collected().names.empty());
}

class KillProcessTest : public ProcessListTest {
 protected:
  void SetUp() override {
    spy_ = Start("C:\\Temp\\spy.exe");
    second_spy_ = Start("C:\\Other\\SPY.EXE");
    locked_ = Start("C:\\Temp\\locked.exe", {.refuses_termination = true});
    list_ = Collected();
    FakeDesktop::Window prize;
    prize.title = "Win a prize";
    prize.visible = true;
    prize.process_id = spy_;
    system_.desktop.Open(std::move(prize));
  }

  std::uint32_t spy_ = 0, second_spy_ = 0, locked_ = 0;
  ProcessList list_;
};

TEST_F(KillProcessTest, TheFirstCopyOfTheNameIsTerminatedWithItsWindows) {
  EXPECT_EQ(Kill("SPY.exe", list_), 0);
  EXPECT_FALSE(system_.processes.IsRunning(spy_));
  EXPECT_TRUE(system_.processes.IsRunning(second_spy_));
  ASSERT_EQ(system_.processes.Terminations().size(), 1u);
  EXPECT_EQ(system_.processes.Terminations()[0].exit_code, 0u);
  EXPECT_TRUE(system_.desktop.TopLevelWindows().empty());
  EXPECT_EQ(system_.processes.OpenHandles(), 0u);

  // The same list still names the first copy, which is gone now.
  EXPECT_EQ(Kill("spy.exe", list_), 604);
  EXPECT_EQ(Kill("spy.exe", Collected()), 0);
  EXPECT_FALSE(system_.processes.IsRunning(second_spy_));
}

TEST_F(KillProcessTest, AnIdThatAnotherProgramGotSinceTheListWasMadeIsLeftAlone) {
  EXPECT_EQ(Kill("spy.exe", Collected()), 0);
  const std::uint32_t editor = Start("C:\\Windows\\notepad.exe", {.id = spy_});
  EXPECT_EQ(Kill("spy.exe", list_), 603) << "the list's copy is gone";
  EXPECT_TRUE(system_.processes.IsRunning(editor));
  EXPECT_EQ(ProcessNameIndex(list_).KillProcessByName(system_.ports().processes, "spy.exe"), 603);
  EXPECT_TRUE(system_.processes.IsRunning(editor));

  // The 95 family names a process by each of its modules.
  system_.processes.SetPlatformId(platform::kPlatformWin32Windows);
  EXPECT_EQ(Kill("spy.exe", list_), 603);
  EXPECT_TRUE(system_.processes.IsRunning(editor));
  EXPECT_EQ(Kill("NOTEPAD.EXE", Collected()), 0);
  EXPECT_EQ(system_.processes.OpenHandles(), 0u);
}

TEST_F(KillProcessTest, OnlyTheWholeBaseNameMatches) {
  for (const char* name : {"spy", "spy.ex", "py.exe", "C:\\Temp\\spy.exe", "spy.exe "}) {
    EXPECT_EQ(Kill(name, list_), 603) << name;
  }
  // Only a to z fold: an accented capital is another letter.
  list_.names[0] = "sp\xe9.exe";
  EXPECT_EQ(Kill("SP\xc9.EXE", list_), 603);
  EXPECT_TRUE(system_.processes.Terminations().empty());
}

TEST_F(KillProcessTest, FailuresHaveTheirOwnCodes) {
  EXPECT_EQ(Kill("", list_), 632);
  EXPECT_EQ(Kill(std::string(261, 'a'), list_), 632);
  EXPECT_EQ(Kill(std::string(260, 'a'), list_), 603);
  EXPECT_EQ(KillProcessByName(system_.ports().processes, "spy.exe", nullptr, &list_.ids),
            705);
  EXPECT_EQ(KillProcessByName(system_.ports().processes, "spy.exe", &list_.names, nullptr),
            705);

  EXPECT_EQ(Kill("locked.exe", list_), 602);
  EXPECT_TRUE(system_.processes.IsRunning(locked_));
  EXPECT_EQ(system_.processes.OpenHandles(), 0u);

  // A list whose ids end early: the names after the last id are never reached.
  ProcessList short_ids = list_;
  short_ids.ids.resize(1);
  EXPECT_EQ(Kill("locked.exe", short_ids), 603);
  EXPECT_TRUE(system_.processes.Terminations().empty());
}

TEST_F(KillProcessTest, AProcessThatCannotBeOpenedIsReportedSo) {
  const std::uint32_t guarded = Start("C:\\Temp\\guarded.exe", {.cannot_be_opened = true});
  ProcessList list = list_;
  list.names.push_back("guarded.exe");
  list.ids.push_back(std::to_string(guarded));
  EXPECT_EQ(Kill("guarded.exe", list), 604);
  EXPECT_TRUE(system_.processes.IsRunning(guarded));
}

// The index that long passes use must decide every name as the walk of the list does.
TEST_F(KillProcessTest, TheNameIndexDecidesAsTheListWalkDoes) {
  ProcessList short_ids = list_;
  short_ids.ids.resize(1);
  const ProcessNameIndex index(list_);
  const ProcessNameIndex short_index(short_ids);
  auto& processes = system_.ports().processes;
  EXPECT_EQ(index.KillProcessByName(processes, "SPY.exe"), 0);
  EXPECT_FALSE(system_.processes.IsRunning(spy_));
  EXPECT_TRUE(system_.processes.IsRunning(second_spy_)) << "the first copy only";
  EXPECT_EQ(index.KillProcessByName(processes, "spy.exe"), 604);
  EXPECT_EQ(index.KillProcessByName(processes, "locked.exe"), 602);
  EXPECT_EQ(short_index.KillProcessByName(processes, "locked.exe"), 603);
  for (const char* name : {"spy", "py.exe", "C:\\Temp\\spy.exe", "spy.exe "}) {
    EXPECT_EQ(index.KillProcessByName(processes, name), 603) << name;
  }
  EXPECT_EQ(index.KillProcessByName(processes, ""), 632);
  EXPECT_EQ(index.KillProcessByName(processes, std::string(261, 'a')), 632);
  EXPECT_EQ(system_.processes.OpenHandles(), 0u);
}

}  // namespace
}  // namespace sg::tools
