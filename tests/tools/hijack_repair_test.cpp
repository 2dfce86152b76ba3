#include "tools/hijack_repair.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"
#include "settings/registry_presets.h"
#include "support/presets.h"
#include "tools/start_page_dialog.h"

namespace sg::tools {
namespace {

using platform::RegistryRoot;
using platform::RegistryType;
using platform::fake::FakeDialogHost;
using Strings = std::vector<std::string>;

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;
const std::string kMain = "Software\\Microsoft\\Internet Explorer\\Main";
const std::string kSearch = "Software\\Microsoft\\Internet Explorer\\Search";
const std::string kStyles = "Software\\Microsoft\\Internet Explorer\\Styles";
const std::string kProgram = "Software\\Snapgate!";
const std::string kPrefixes = "Software\\Microsoft\\Windows\\CurrentVersion\\URL\\Prefixes";
const std::string kResetFile = "C:\\Windows\\inf\\iereset.inf";
const std::string kSearchRedirector = "http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch";
const std::string kHomeRedirector =
    "http://www.microsoft.com/isapi/redir.dll?prd=ie&pver=6&ar=msnhome";
const std::string kHijacked = "http://Start.Example/go?id=7";
const std::string kSafePage(kOutsideNames.safe_start_page);
const std::string kPastReadLimit(1000, 'x');  // longer than any value the registry store reads
const std::string kOn = {1, 0, 0, 0};         // as DWORD bytes
const std::string kOff = {0, 0, 0, 0};

struct RecordedReport final : ProtectionReport {
  void AppendLine(const std::string& line) override { lines.push_back(line); }
  bool HasLine(const std::string& line) override { return std::ranges::count(lines, line) > 0; }
  int LineCount() override { return static_cast<int>(lines.size()); }
  void Flash() override { ++flashes; }
  void PlaySound() override {}
  Strings lines;
  int flashes = 0;
};

std::string Joined(const Strings& lines, const std::string& end = "\r\n") {
  std::string text;
  for (const std::string& line : lines) text += line + end;
  return text;
}

// The browser's reset file as it comes with Windows, with its "[Strings]" section last.
enum StockLine { kStartPageLine = 6, kSearchPageLine = 7 };
const Strings kStockResetFile = {"[Version]",
                                 "Signature=\"$Chicago$\"",
                                 "AdvancedINF=2.5",
                                 "",
                                 "[Strings]",
                                 "MS_START_PAGE_URL=\"" + kHomeRedirector + "\"",
                                 "START_PAGE_URL=\"" + kHomeRedirector + "\"",
                                 "SEARCH_PAGE_URL=\"" + kSearchRedirector + "\"",
                                 "SAFESITE_VALUE=\"ie.search.msn.com\""};
Strings ResetFileWith(StockLine line, const std::string& text) {
  Strings file = kStockResetFile;
  file[line] = text;
  return file;
}

class HijackRepairTest : public ::testing::Test {
 protected:
  HijackRepairTest() {
    // The search repair imports this preset through the registry editor.
    testing::AddHijackRepairPreset(system_);
  }

  void Run() { RunHijackRepair(system_.ports(), report_, nullptr); }
  bool Repair() { return RepairResetFile(system_.ports(), report_); }
  void Put(RegistryRoot root, const std::string& path, const std::string& name,
           const std::string& text) {
    system_.registry.PutString(root, path, name, text);
  }
  void PutRaw(RegistryRoot root, const std::string& path, const std::string& name,
              RegistryType type, const std::string& bytes) {
    system_.registry.Put(root, path, name, {type, {bytes.begin(), bytes.end()}});
  }
  std::optional<std::string> Get(RegistryRoot root, const std::string& path,
                                 const std::string& name) {
    return system_.registry.GetString(root, path, name);
  }
  int Questions() { return std::ranges::count(system_.dialogs.ModalRuns(), IDD_START_PAGE); }
  void PutResetFile(const Strings& lines) { system_.files.PutFile(kResetFile, Joined(lines)); }
  std::string ResetFile() { return system_.files.FileContent(kResetFile).value_or("<gone>"); }

  platform::fake::FakePlatform system_;
  RecordedReport report_;
};

TEST_F(HijackRepairTest, AHijackedBrowserIsLeftAloneWhileSwitchedOffAndRepairedOnceOn) {
  Put(kMachine, kSearch, "SearchAssistant", "http://Evil.example/assist");
  Put(kMachine, kMain, "Start Page", kHijacked);
  system_.dialogs.ScriptModal(IDD_START_PAGE,
                              [](FakeDialogHost& dialog) { dialog.Click(platform::kIdOk); });
  PutRaw(kUser, kStyles, "Use My Stylesheet", RegistryType::kDword, kOn);
  Put(kUser, kStyles, "User Stylesheet", "C:\\ads.css");
  Put(kMachine, kPrefixes, "www", "http://evil.example/?");
  const Strings reset_file = ResetFileWith(kSearchPageLine, "SEARCH_PAGE_URL=\"http://evil\"");
  PutResetFile(reset_file);
  for (const std::string off : {"1", "2"}) {
    Put(kUser, kProgram, "bDisableIEFix", off);
    const auto before = system_.registry.Snapshot();
    Run();
    EXPECT_EQ(system_.registry.Snapshot(), before) << off;
    EXPECT_EQ(ResetFile(), Joined(reset_file)) << off;
  }

  Put(kUser, kProgram, "bDisableIEFix", "0");
  Run();
  EXPECT_EQ(report_.lines,
            (Strings{"Internet Explorer hijacker fixed: SEARCH_PAGE_URL=\"http://evil\"",
                     "Internet Explorer hijacker fixed: http://evil.example/assist",
                     "Internet Explorer style sheet hijacker fixed: C:\\ads.css",
                     "Internet Explorer prefix hijacker (www) fixed: http://evil.example/?"}))
      << "the reset file once, after the question's Yes; the start page is not reported";
  EXPECT_EQ(report_.flashes, 4);
  EXPECT_EQ(ResetFile(), Joined(kStockResetFile));
  EXPECT_EQ(Get(kUser, kMain, "Start Page"), kSafePage);
  EXPECT_EQ(Get(kMachine, kMain, "Start Page"), kSafePage) << "where the page came from";
  EXPECT_EQ(Get(kUser, kMain, "Search Page"), kSearchRedirector) << "all five are set back";
  EXPECT_EQ(system_.registry.Get(kUser, kStyles, "Use My Stylesheet")->data,
            std::vector<std::uint8_t>(kOff.begin(), kOff.end()));
  EXPECT_EQ(Get(kUser, kStyles, "User Stylesheet"), "");
}

TEST_F(HijackRepairTest, ALimitedUserIsToldOfNoRepairThatCouldNotBeWritten) {
  Put(kMachine, kSearch, "SearchAssistant", "http://Evil.example/assist");
  PutResetFile(ResetFileWith(kSearchPageLine, "SEARCH_PAGE_URL=\"http://evil\""));
  system_.files.SetReadOnly(kResetFile, true);
  system_.SetLimitedUser(true);
  Run();
  Run();
  EXPECT_TRUE(report_.lines.empty()) << "the search pages are still hijacked";
  EXPECT_EQ(report_.flashes, 0);
}

TEST_F(HijackRepairTest, HarmlessAndUnreadableValuesAreLeftAlone) {
  Put(kMachine, kSearch, "SearchAssistant",
      "HTTP://IE.SEARCH.MSN.COM/{SUB_RFC1766}/SRCHASST/SRCHASST.HTM");
  Put(kMachine, kMain, "Default_Search_URL", "http://www.GOOGLE.de/ie?q=");
  Put(kMachine, kMain, "Search Page", "http://toolbar.example/googlesearch");
  Put(kUser, kMain, "Search Page", "");
  Put(kMachine, kPrefixes, "www", "http://www.Google.com/ie?q=");
  Put(kMachine, kPrefixes, "ftp", "FTP://");
  // Values of the wrong type or length read as empty.
  Put(kMachine, kSearch, "CustomizeSearch", "http://evil.example/" + kPastReadLimit);
  PutRaw(kMachine, kMain, "Search Page", RegistryType::kDword, kOff);
  Put(kUser, kMain, "Start Page", "http://start.example/?" + kPastReadLimit);
  Put(kMachine, kMain, "Start Page", "http://home.example/");
  // A style sheet switched off, then one whose switch is too long to read.
  Put(kUser, kStyles, "User Stylesheet", "C:\\ads.css");
  PutRaw(kUser, kStyles, "Use My Stylesheet", RegistryType::kDword, kOff);
  Run();
  PutRaw(kUser, kStyles, "Use My Stylesheet", RegistryType::kBinary, kOn + kOff);
  Run();
  EXPECT_TRUE(report_.lines.empty()) << "nothing was repaired";
  EXPECT_EQ(Questions(), 0);
}

TEST_F(HijackRepairTest, HijackedPrefixesAreSetBackAndReportedByLabelWithOneFlash) {
  Put(kMachine, kPrefixes, "home", "http://www.google.com/");
  Put(kMachine, kPrefixes, "www", "http://www.Evil.example/?");
  Put(kMachine, kPrefixes, "ftp", "http://");
  Run();
  EXPECT_EQ(report_.lines,
            (Strings{"Internet Explorer prefix hijacker (home) fixed: http://www.google.com/",
                     "Internet Explorer prefix hijacker (www) fixed: http://www.evil.example/?",
                     "Internet Explorer prefix hijacker (ftp) fixed: http://"}))
      << "only some prefixes excuse the trusted engine";
  EXPECT_EQ(report_.flashes, 1);
  EXPECT_EQ(Get(kMachine, kPrefixes, "www"), "http://");
  EXPECT_EQ(Get(kMachine, kPrefixes, "ftp"), "ftp://");
}

using StartPageTest = HijackRepairTest;

TEST_F(StartPageTest, OnlyASuspiciousPageOnAnUnknownSiteRaisesTheQuestion) {
  const auto asks = [&](const std::string& page) {
    const int before = Questions();
    Put(kUser, kMain, "Start Page", page);
    Run();
    return Questions() > before;
  };
  // A trusted word outweighs a suspicious one.
  for (const char* page :
       {"http://www.Microsoft.com/?x", "http://my.yahoo.com/index.cgi", "http://home.example/", ""})
    EXPECT_FALSE(asks(page)) << page;
  for (const char* page : {"http://a.example/cgi-bin/", "http://a.example/?id=7",
                           "http://a.example/a.PL", "RES://a.dll"})
    EXPECT_TRUE(asks(page)) << page;
}

TEST_F(StartPageTest, EachAnswerSetsAPageThatIsRememberedWhateverItsCase) {
  const auto answered = [&](std::optional<std::string> typed, int button) {
    Put(kUser, kMain, "Start Page", kHijacked);
    Put(kUser, kProgram, "Start Page", "");
    system_.dialogs.ScriptModal(IDD_START_PAGE, [typed, button](FakeDialogHost& dialog) {
      if (typed) dialog.Type(IDC_START_PAGE_ADDRESS, *typed);
      dialog.Click(button);
    });
    Run();
    EXPECT_EQ(Get(kUser, kProgram, "Start Page"), Get(kUser, kMain, "Start Page"));
    return Get(kUser, kMain, "Start Page").value_or("<none>");
  };
  const Strings hijacked_file = ResetFileWith(kStartPageLine, "START_PAGE_URL=evil");
  PutResetFile(hijacked_file);
  EXPECT_EQ(answered("http://typed.example/", platform::kIdCancel), kHijacked);
  EXPECT_EQ(ResetFile(), Joined(hijacked_file)) << "only a Yes repairs the reset file";
  Put(kUser, kMain, "Start Page", AsciiUpper(kHijacked));
  Run();
  EXPECT_EQ(Questions(), 1) << "the same page in another case is not asked about again";

  EXPECT_EQ(answered(std::nullopt, platform::kIdOk), kSafePage) << "the page shown, unedited";
  EXPECT_EQ(ResetFile(), Joined(kStockResetFile));
  EXPECT_EQ(answered("http://my.own.example/a.asp?me", platform::kIdOk),
            "http://my.own.example/a.asp?me");
  EXPECT_EQ(answered("", platform::kIdOk), "about:blank");
  EXPECT_EQ(StartPageDialog(kHijacked).TooltipText(IDC_START_PAGE_ADDRESS), kStartPageTooltip);
}

using ResetFileTest = HijackRepairTest;

TEST_F(ResetFileTest, OnlyHijackedLinesOfTheStringsSectionAreSetBackAndTheLastIsReported) {
  const Strings file = {"[Version]", "SEARCH_PAGE_URL=\"http://evil.example/before\"", "", "", "",
                        "[Strings]", ";SEARCH_PAGE_URL=\"http://evil.example/comment\"",
                        // Judged by its own key, though it holds START_PAGE_URL too.
                        "MS_START_PAGE_URL=\"http://evil.example/start\"",
                        "START_PAGE_URL=\"" + kHomeRedirector + "\"",
                        "SAFESITE_VALUE=\"search.evil.example\"", "[Other]",
                        "SEARCH_PAGE_URL=\"http://evil.example/after\""};
  PutResetFile(file);
  EXPECT_TRUE(Repair());
  EXPECT_EQ(ResetFile(), Joined({file[0], file[1], "", file[5], file[6], kStockResetFile[5],
                                 file[8], kStockResetFile[8], file[10], file[11]}))
      << "one empty line is kept of a run";
  EXPECT_EQ(report_.lines, Strings{"Internet Explorer hijacker fixed: " + file[9]});
  EXPECT_FALSE(Repair()) << "nothing left to set back";
}

TEST_F(ResetFileTest, AShortOrReadOnlyFileStaysAsItWasAndNothingIsReported) {
  const Strings five = {"[Strings]", "START_PAGE_URL=evil", "a", "b", "c"};
  PutResetFile(five);
  EXPECT_FALSE(Repair());
  EXPECT_EQ(ResetFile(), Joined(five)) << "five lines or fewer are no reset file";

  const Strings file = ResetFileWith(kStartPageLine, "START_PAGE_URL=evil");
  PutResetFile(file);
  system_.files.SetReadOnly(kResetFile, true);
  EXPECT_FALSE(Repair());
  EXPECT_EQ(ResetFile(), Joined(file));
  EXPECT_TRUE(report_.lines.empty());

  system_.files.SetReadOnly(kResetFile, false);
  PutResetFile({"[Strings]", "START_PAGE_URL=evil", "a", "b", "c", "d"});
  EXPECT_TRUE(Repair()) << "six lines are";
}

TEST_F(ResetFileTest, AFileGrownPastAnyRealResetFileIsNeitherReadWholeNorRewritten) {
  Strings file = ResetFileWith(kStartPageLine, "START_PAGE_URL=evil");
  file.push_back(";" + std::string(kLargestResetFile, 'x'));
  PutResetFile(file);
  EXPECT_FALSE(Repair());
  EXPECT_EQ(ResetFile(), Joined(file));
  file.back().resize(kLargestResetFile - Joined(file).size() + file.back().size());
  PutResetFile(file);
  EXPECT_TRUE(Repair()) << "up to the limit, it is";
}

TEST_F(ResetFileTest, LongLinesCrOnlyEndsAndBinaryBytesComeBackWhole) {
  // A line cut short would let the key in the comment's second part be set back.
  const std::string long_comment = ";" + std::string(2500, 'c') + "SEARCH_PAGE_URL=evil";
  const std::string long_hijack =
      "START_PAGE_URL=\"http://evil.example/\x01" + std::string(1500, 'p') + "\"";
  Strings file = ResetFileWith(kSearchPageLine, long_comment);
  file[1] = std::string("\x00\x1a\xff\xfe\x7f junk \x00", 13);
  file[kStartPageLine] = long_hijack;
  system_.files.PutFile(kResetFile, Joined(file, "\r"));
  EXPECT_TRUE(Repair());
  Strings expected = file;
  expected[kStartPageLine] = kStockResetFile[kStartPageLine];
  EXPECT_EQ(ResetFile(), Joined(expected));
  EXPECT_EQ(report_.lines, Strings{"Internet Explorer hijacker fixed: " + long_hijack});
}

}  // namespace
}  // namespace sg::tools
