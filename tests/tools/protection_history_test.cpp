#include "tools/protection_history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"
#include "support/presets.h"
#include "tools/allowed_programs.h"
#include "tools/change_undo.h"
#include "tools/hijack_repair.h"
#include "tools/history_text.h"
#include "tools/plugin_cleaner.h"
#include "tools/spyware_pass.h"

namespace sg::tools {
namespace {

using platform::RegistryRoot;
using platform::RegistryType;
using platform::fake::FakeDialogHost;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;
const std::string kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kMain = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string kProgram = "Software\\Snapgate!";
const std::string kUserFolder = "C:\\Users\\User\\AppData\\Roaming\\Snapgate!";
const std::string kHistoryFile = kUserFolder + "\\history.txt";
const std::string kAllowedFile = kUserFolder + "\\allowed.txt";
const std::string kSafeFile = "C:\\Program Files\\Snapgate!\\safebho.txt";
const std::string kResetFile = "C:\\Windows\\inf\\iereset.inf";
const std::string kRandomProgram = "C:\\WINDOWS\\system32\\xkqzvbw.exe";
const std::string kHijackedPage = "http://start.example/go?id=7";

HistoryEntry Plain(std::string change, std::uint64_t id = 0) {
  HistoryEntry entry;
  entry.id = id;
  entry.time = {2026, 1, 2, 3, 4, 5};
  entry.tool = "Test";
  entry.change = std::move(change);
  return entry;
}

// The main dialog's report as the tools see it, with the history behind it.
struct HistoryReport final : ProtectionReport {
  explicit HistoryReport(ProtectionHistory& kept) : kept(kept) {}
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool HasLine(const std::string& line) override { return std::ranges::count(lines, line) > 0; }
  int LineCount() override { return static_cast<int>(lines.size()); }
  void Flash() override {}
  void PlaySound() override {}
  ChangeRecorder* history() override { return &kept; }
  ProtectionHistory& kept;
  std::vector<std::string> lines;
};

class ProtectionHistoryTest : public ::testing::Test {
 protected:
  ProtectionHistoryTest() { testing::AddHijackRepairPreset(system_); }

  std::uint32_t Start(const std::string& path) { return system_.processes.Start({.path = path}); }
  void Pass() { RunSpywarePass(system_.ports(), report_); }
  const HistoryEntry& Newest() { return history_.entries().back(); }
  HistoryActionOutcome Undo(std::uint64_t id) {
    return UndoChange(system_.ports(), history_, id, nullptr);
  }
  HistoryActionOutcome Allow(std::uint64_t id) {
    return AllowProgram(system_.ports(), history_, id, nullptr);
  }
  std::string FileOr(const std::string& path, const std::string& none = "<none>") {
    return system_.files.FileContent(path).value_or(none);
  }
  void InstallPlugin(const std::string& name, const std::string& dll) {
    const std::string class_id = "{" + name + "}";
    system_.registry.PutString(kMachine, std::string(kBrowserHelperObjectsKey) + "\\" + class_id,
                               "", "");
    system_.registry.PutString(RegistryRoot::kClassesRoot, "CLSID\\" + class_id, "", name);
    system_.registry.PutString(RegistryRoot::kClassesRoot,
                               "CLSID\\" + class_id + "\\InprocServer32", "", dll);
    system_.files.PutFile(dll, "MZ " + name);
  }
  // A hijacked start page under one root, which the user lets the repair replace.
  HistoryEntry RepairStartPage(RegistryRoot root) {
    system_.registry.PutString(root, kMain, "Start Page", kHijackedPage);
    system_.dialogs.ScriptModal(IDD_START_PAGE,
                                [](FakeDialogHost& dialog) { dialog.Click(platform::kIdOk); });
    RunHijackRepair(system_.ports(), report_, nullptr);
    return Newest();
  }
  int StartPageQuestions() {
    return static_cast<int>(std::ranges::count(system_.dialogs.ModalRuns(), IDD_START_PAGE));
  }

  platform::fake::FakePlatform system_;
  ProtectionHistory history_{system_.ports()};
  HistoryReport report_{history_};
};

TEST_F(ProtectionHistoryTest, ARandomlyNamedRunProgramIsTerminatedExplainedAndThenAllowed) {
  system_.registry.PutString(kUser, kRunKey, "Updater", kRandomProgram + " /background");
  system_.system.SetLocalTime({2026, 12, 9, 15, 46, 27});
  const std::uint32_t first = Start(kRandomProgram);
  Pass();
  EXPECT_FALSE(system_.processes.IsRunning(first));
  ASSERT_EQ(history_.entries().size(), 1u);
  const HistoryEntry row = Newest();
  EXPECT_EQ(row.tool, kSpywareKillerTool);
  EXPECT_EQ(row.change, "Terminated xkqzvbw.exe");
  EXPECT_EQ(row.reason,
            "Its name looks machine-made: 4 letter pairs that are rare in real words (xk, qz, "
            "zv, bw; 2 or more count), it lies directly in the system folder and a Run value "
            "starts it (HKEY_CURRENT_USER\\" +
                std::string(kRunKey) + ", value \"Updater\": " + kRandomProgram + " /background).");
  EXPECT_EQ(row.process_path, kRandomProgram);
  EXPECT_EQ(row.run_value,
            "HKEY_CURRENT_USER\\" + std::string(kRunKey) + ", value \"Updater\": " +
                                kRandomProgram + " /background");
  EXPECT_EQ(HistoryTimeText(row.time), "2026-12-09 15:46:27");
  EXPECT_NE(FileOr(kHistoryFile).find("reason=Its name looks machine-made"), std::string::npos)
      << "readable as text";
  EXPECT_FALSE(Undo(row.id).done) << "a terminated program cannot come back";

  // Not a program of the built-in table: allowed without a question, by its full path.
  const HistoryActionOutcome allowed = Allow(row.id);
  EXPECT_TRUE(allowed.done) << allowed.message;
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
  EXPECT_EQ(FileOr(kAllowedFile), kRandomProgram + "\r\n");
  EXPECT_TRUE(Allow(row.id).done);
  EXPECT_EQ(FileOr(kAllowedFile), kRandomProgram + "\r\n") << "listed once";

  const std::uint32_t again = Start(kRandomProgram);
  const std::uint32_t elsewhere = Start("C:\\WINDOWS\\system\\xkqzvbw.exe");
  Pass();
  EXPECT_TRUE(system_.processes.IsRunning(again)) << "the allowed path runs on";
  EXPECT_FALSE(system_.processes.IsRunning(elsewhere)) << "the same name elsewhere does not";
  EXPECT_EQ(history_.entries().size(), 2u);
}

TEST_F(ProtectionHistoryTest,
       AllowingAProgramOfTheBuiltInTableAsksOnceAndAGarbledListAllowsNothing) {
  system_.files.PutFile(
      kAllowedFile, std::string("\0\0*\r\n\r\n   \r\n", 12) + std::string(100000, 'x') + "\n.exe");
  const std::uint32_t first = Start("C:\\Offers\\savenow.exe");
  Pass();
  EXPECT_FALSE(system_.processes.IsRunning(first)) << "no garbled line allows anything";
  const HistoryEntry row = Newest();
  EXPECT_TRUE(row.built_in_name);
  EXPECT_EQ(row.change, "Terminated savenow.exe");
  EXPECT_EQ(row.reason, "Its name is on the built-in list of spyware programs (SAVENOW.exe).");

  system_.dialogs.AnswerMessageBox(platform::kIdNo);
  EXPECT_FALSE(Allow(row.id).done);
  EXPECT_EQ(system_.dialogs.MessageBoxes().size(), 1u);
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  EXPECT_TRUE(Allow(row.id).done);
  EXPECT_TRUE(Allow(row.id).done);
  EXPECT_EQ(system_.dialogs.MessageBoxes().size(), 2u) << "no question once allowed";
  EXPECT_TRUE(FileOr(kAllowedFile).ends_with("\n.exe\r\nC:\\Offers\\savenow.exe\r\n"))
      << "a last line without its end is ended first";

  const std::uint32_t again = Start("C:\\OFFERS\\SaveNow.exe");
  Pass();
  EXPECT_TRUE(system_.processes.IsRunning(again)) << "paths compare without regard to case";
}

TEST_F(ProtectionHistoryTest, ANameAloneAllowsOnlyAProgramOfUnknownPathAndOnlyTheUsersListCounts) {
  // A list beside the program, where another user may write, allows nothing.
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\allowed.txt", "C:\\Offers\\savenow.exe\r\n");
  const std::uint32_t beside = Start("C:\\Offers\\savenow.exe");
  Pass();
  EXPECT_FALSE(system_.processes.IsRunning(beside));

  system_.files.PutFile(kAllowedFile, "savenow.exe\r\n");
  const std::uint32_t named = Start("C:\\Offers\\savenow.exe");
  Pass();
  EXPECT_FALSE(system_.processes.IsRunning(named)) << "a bare name does not allow a known path";
  const AllowedPrograms allowed = AllowedPrograms::Read(system_.ports());
  EXPECT_TRUE(allowed.Allows("SaveNow.exe", ""));
  EXPECT_FALSE(allowed.Allows("savenow.exe", "C:\\Offers\\savenow.exe"));
}

TEST_F(ProtectionHistoryTest, ADisabledPluginIsUndoneOnceAndStaysEnabled) {
  InstallPlugin("Helper", "C:\\Ads\\helper.dll");
  Pass();
  ASSERT_FALSE(system_.files.Exists("C:\\Ads\\helper.dll"));
  const HistoryEntry row = Newest();
  EXPECT_EQ(row.tool, kPluginCleanerTool);
  EXPECT_EQ(row.old_path, "C:\\Ads\\helper.dll");
  EXPECT_EQ(row.new_path, "C:\\Ads\\disabled_helper.dll");

  const HistoryActionOutcome undone = Undo(row.id);
  EXPECT_TRUE(undone.done) << undone.message;
  EXPECT_EQ(FileOr("C:\\Ads\\helper.dll"), "MZ Helper");
  EXPECT_EQ(FileOr(kSafeFile), "exe: helper.dll\r\n");
  EXPECT_EQ(Newest().undoes, row.id) << "the undo is recorded";
  EXPECT_EQ(Undo(row.id).message,
            "This change was undone already, at 2026-12-09 10:00:00. "
            "Nothing was changed.");

  Pass();
  EXPECT_TRUE(system_.files.Exists("C:\\Ads\\helper.dll")) << "the next pass leaves it";

  // A second plug-in, disabled and then renamed back by someone else.
  InstallPlugin("Other", "C:\\Ads\\other.dll");
  Pass();
  const std::uint64_t other = Newest().id;
  system_.files.Move("C:\\Ads\\disabled_other.dll", "C:\\Ads\\other.dll");
  EXPECT_FALSE(Undo(other).done);
  system_.files.Move("C:\\Ads\\other.dll", "C:\\Ads\\disabled_other.dll");
  platform::RegistryKey helpers = 0;
  ASSERT_EQ(system_.registry.OpenKey(kMachine, std::string(kBrowserHelperObjectsKey),
                                     platform::key_access::kAllAccess, helpers),
            platform::WinError::kSuccess);
  system_.registry.DeleteKey(helpers, "{Other}");
  system_.registry.CloseKey(helpers);
  EXPECT_EQ(Undo(other).message,
            "The plug-in is no longer registered with the browser. Nothing was changed.");
  EXPECT_TRUE(system_.files.Exists("C:\\Ads\\disabled_other.dll"));
}

TEST_F(ProtectionHistoryTest, ARepairedStartPageComesBackAndIsNotAskedAboutAgain) {
  const std::string& hijacked = kHijackedPage;
  const HistoryEntry row = RepairStartPage(kUser);
  EXPECT_EQ(row.tool, kHijackRepairTool);
  ASSERT_EQ(row.values.size(), 1u) << "the machine's page was not touched";
  EXPECT_EQ(row.values[0].old_data, hijacked + '\0');
  EXPECT_NE(row.reason.find("you answered Yes"), std::string::npos) << row.reason;

  // Someone else sets another page first: the undo says so and leaves it.
  system_.registry.PutString(kUser, kMain, "Start Page", "http://mine.example/");
  EXPECT_EQ(Undo(row.id).message,
            "The value HKEY_CURRENT_USER\\" + kMain +
                "\\Start Page was changed since, by someone else. Nothing was changed.");
  system_.registry.Put(kUser, kMain, "Start Page", {RegistryType::kExpandString, {'x', 0}});
  EXPECT_NE(Undo(row.id).message.find("has changed its type since"), std::string::npos);
  EXPECT_EQ(system_.registry.Get(kUser, kMain, "Start Page")->type, RegistryType::kExpandString);

  system_.registry.PutString(kUser, kMain, "Start Page",
                             std::string(kOutsideNames.safe_start_page));
  EXPECT_TRUE(Undo(row.id).done);
  EXPECT_EQ(system_.registry.GetString(kUser, kMain, "Start Page"), hijacked);
  EXPECT_EQ(system_.registry.GetString(kUser, kProgram, "Start Page"), hijacked)
      << "remembered like the question's No";
  RunHijackRepair(system_.ports(), report_, nullptr);
  EXPECT_EQ(StartPageQuestions(), 1);
  EXPECT_EQ(system_.registry.GetString(kUser, kMain, "Start Page"), hijacked);
}

TEST_F(ProtectionHistoryTest, ValuesSetTogetherGoBackTogetherOrNotAtAll) {
  // The machine's start page, copied to the user's by the repair: two values in one change.
  const HistoryEntry row = RepairStartPage(kMachine);
  ASSERT_EQ(row.values.size(), 2u);
  EXPECT_FALSE(row.values[0].old_present) << "the user had no page of their own";

  system_.SetLimitedUser(true);
  const auto before = system_.registry.Snapshot();
  EXPECT_NE(Undo(row.id).message.find("could not be written"), std::string::npos);
  EXPECT_EQ(system_.registry.Snapshot(), before) << "the user's value was put back again";

  system_.SetLimitedUser(false);
  EXPECT_TRUE(Undo(row.id).done);
  EXPECT_FALSE(system_.registry.Get(kUser, kMain, "Start Page").has_value());
  EXPECT_EQ(system_.registry.GetString(kMachine, kMain, "Start Page"), kHijackedPage);
}

TEST_F(ProtectionHistoryTest, TheResetFileGetsItsOldBytesBackUnlessChangedSince) {
  std::string old = "[Version]\rSignature=\"$Chicago$\"\n\n\n\n[Strings]\r\n";
  old += "SEARCH_PAGE_URL=\"http://evil.example/\xE9\"\r\n;x\r\nA=1\nB=2";
  system_.files.PutFile(kResetFile, old);
  ASSERT_TRUE(RepairResetFile(system_.ports(), report_));
  const HistoryEntry row = Newest();
  ASSERT_FALSE(row.backup_path.empty());
  EXPECT_EQ(FileOr(row.backup_path), old);
  const std::string repaired = FileOr(kResetFile);

  system_.files.PutFile(kResetFile, repaired + "; edited\r\n");
  EXPECT_FALSE(Undo(row.id).done);
  system_.files.Delete(kResetFile);
  EXPECT_EQ(Undo(row.id).message, "The file " + kResetFile + " is gone. Nothing was changed.");
  EXPECT_FALSE(system_.files.Exists(kResetFile));

  system_.files.PutFile(kResetFile, repaired);
  const HistoryActionOutcome undone = Undo(row.id);
  EXPECT_TRUE(undone.done) << undone.message;
  EXPECT_EQ(FileOr(kResetFile), old) << "byte for byte";
}

TEST_F(ProtectionHistoryTest, The1001stChangeDropsTheOldestAndItsBackup) {
  const std::string backup = history_.KeepBackup("iereset.inf", "old");
  HistoryEntry first;
  first.tool = kHijackRepairTool;
  first.kind = ChangeKind::kFileReplaced;
  first.file_path = kResetFile;
  first.backup_path = backup;
  history_.Record(first);
  for (int i = 2; i <= 1000; ++i) history_.Record(Plain(std::to_string(i)));
  EXPECT_TRUE(system_.files.Exists(backup));
  history_.Record(Plain("1001"));
  ASSERT_EQ(history_.entries().size(), kMostHistoryEntries);
  EXPECT_EQ(history_.entries().front().change, "2");
  EXPECT_FALSE(system_.files.Exists(backup));

  ProtectionHistory reread(system_.ports());
  ASSERT_EQ(reread.entries().size(), kMostHistoryEntries);
  EXPECT_EQ(reread.entries().front(), history_.entries().front());
  EXPECT_EQ(reread.entries().back().id, 1001u);
}

TEST_F(ProtectionHistoryTest, ADamagedHistoryIsSetAsideWithANoteAndProtectionGoesOn) {
  const HistoryEntry kept = Plain("kept", 7);
  std::string damaged = FormatHistory({kept});
  damaged += std::string("\r\n[change 8]\r\ntime=2026-13-45 99:00:00\r\ntool=Test\r\n");
  damaged += "[change 9]\r\ntime=2026-01-02 03:04:05\r\ntool=Te" + std::string(1, '\0') + "st\r\n";
  damaged +=
      std::string(100000, 'g') + "\r\n[change 7]\r\ntime=2026-01-02 03:04:05\r\ntool=Old\r\n";
  system_.files.CreateDirectory(kUserFolder);
  system_.files.PutFile(kHistoryFile, damaged);

  const std::uint32_t spyware = Start("C:\\Offers\\savenow.exe");
  Pass();
  EXPECT_FALSE(system_.processes.IsRunning(spyware));
  EXPECT_EQ(FileOr(kUserFolder + "\\history.damaged.txt"), damaged) << "set aside whole";
  const std::vector<HistoryEntry>& entries = history_.entries();
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(entries[0].change, "kept");
  EXPECT_EQ(entries[1].tool, kHistoryTool);
  EXPECT_EQ(entries[1].change, "The history file was damaged and was set aside as " + kUserFolder +
                                   "\\history.damaged.txt.");
  EXPECT_EQ(entries[2].id, 9u) << "ids go on after the last one read";
  EXPECT_EQ(ProtectionHistory(system_.ports()).entries(), entries) << "the new file is whole";

  // An oversized file is not read at all, and the next name is taken for it.
  system_.files.PutFile(kHistoryFile, std::string(kLargestHistoryFile + 1, '\n'));
  ProtectionHistory oversized(system_.ports());
  ASSERT_EQ(oversized.entries().size(), 1u);
  EXPECT_TRUE(system_.files.Exists(kUserFolder + "\\history.damaged-2.txt"));

  // With no name left to set it aside under, the damaged file is kept as it is.
  for (int i = 3; i <= 100; ++i) {
    system_.files.PutFile(kUserFolder + "\\history.damaged-" + std::to_string(i) + ".txt", "");
  }
  system_.files.PutFile(kHistoryFile, "garbage");
  ProtectionHistory stuck(system_.ports());
  stuck.Record(Plain("in memory"));
  EXPECT_EQ(stuck.entries().size(), 2u);
  EXPECT_EQ(FileOr(kHistoryFile), "garbage");
}

TEST(HistoryTextTest, EveryByteSurvivesAndGarbageNeverHangs) {
  HistoryEntry entry = Plain("100% = done\r\n", 3);
  entry.kind = ChangeKind::kRegistryValues;
  entry.reason = std::string("tab\tnul\0end", 11);
  entry.values.push_back({kMachine, "Software\\Microsoft\\Internet Explorer\\Main", "a=b", true,
                          static_cast<RegistryType>(0x12345), std::string("\0\x01%25\xFF", 6),
                          false, RegistryType::kNone, ""});
  const std::string text = FormatHistory({entry});
  EXPECT_EQ(std::ranges::count(text, '\0'), 0);
  const ParsedHistory parsed = ParseHistory(text, 10);
  EXPECT_FALSE(parsed.damaged());
  ASSERT_EQ(parsed.entries.size(), 1u);
  EXPECT_EQ(parsed.entries[0], entry);

  std::string many(kHistoryHeader);
  for (int i = 1; i <= 333333; ++i) {  // a million lines
    // Every other entry has a time that cannot be read.
    many += "\n[change " + std::to_string(i) + "]\ntime=2026-" + (i % 2 ? "12" : "99") +
            "-09 10:00:00\ntool=T";
  }
  const ParsedHistory big = ParseHistory(many, kMostHistoryEntries);
  EXPECT_EQ(big.entries.size(), kMostHistoryEntries);
  EXPECT_EQ(big.entries.back().id, 333333u);
  EXPECT_EQ(big.unreadable_lines, 166666u * 3) << "each skipped entry with all its lines";
}

}  // namespace
}  // namespace sg::tools
