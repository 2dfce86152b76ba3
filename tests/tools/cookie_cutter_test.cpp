#include "tools/cookie_cutter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "common/web_addresses.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"
#include "tools/cookie_cutter_dialog.h"

namespace sg::tools {
namespace {

using platform::ColumnAlignment;
using platform::FileTime;
using platform::UrlCacheEntry;
using platform::WinError;
using platform::fake::FakeDialogHost;
using Strings = std::vector<std::string>;

const std::string kCookies = "C:\\Documents and Settings\\ann\\Cookies\\";
constexpr std::uint32_t kPageEntry = 0x00000001;  // NORMAL_CACHE_ENTRY

// A UTC moment as the cache stores it.
FileTime At(int year, unsigned month, unsigned day, int hour, int minute, int second) {
  using namespace std::chrono;
  const sys_days date{std::chrono::year{year} / std::chrono::month{month} / std::chrono::day{day}};
  const auto unix_seconds = date.time_since_epoch() / 1s + hour * 3600 + minute * 60 + second;
  return static_cast<FileTime>(unix_seconds + 11'644'473'600LL) * 10'000'000u;
}

class CookieCutterTest : public ::testing::Test {
 protected:
  // A cookie as the browser keeps it: an entry of the cache and a text file in the cookie folder.
  UrlCacheEntry Cookie(const std::string& site, std::uint32_t hits) {
    UrlCacheEntry entry;
    entry.source_url = "Cookie:ann@" + site + "/";
    entry.local_file_name = kCookies + "ann@" + site + "[1].txt";
    entry.entry_type = platform::kCookieCacheEntry | kPageEntry;
    entry.hit_count = hits;
    entry.last_access_time = At(2004, 5, 6, 7, 8, 9);
    entry.expire_time = At(2010, 12, 31, 23, 59, 58);
    return entry;
  }
  void Add(const UrlCacheEntry& entry) {
    cache_.Add(entry);
    if (!entry.local_file_name.empty()) system_.files.PutFile(entry.local_file_name, "id\n1\n");
  }
  void AddCookie(const std::string& site, std::uint32_t hits) { Add(Cookie(site, hits)); }
  void AddPage(const std::string& url) {
    UrlCacheEntry page;
    page.source_url = url;
    page.local_file_name = "C:\\Temporary Internet Files\\Content.IE5\\X1\\page[1].htm";
    page.entry_type = kPageEntry;
    Add(page);
  }
  Strings CachedUrls() {
    Strings urls;
    for (const auto& entry : cache_.Entries()) urls.push_back(entry.source_url);
    return urls;
  }
  static Strings Names(const std::vector<CookieRow>& rows) {
    Strings names;
    for (const auto& row : rows) names.push_back(row[kCookieName]);
    return names;
  }

  platform::fake::FakePlatform system_;
  platform::fake::FakeUrlCache& cache_ = system_.url_cache;
};

TEST(CookieShortNameTest, IsTheFileNameAfterItsFirstAtSign) {
  EXPECT_EQ(CookieShortName("C:\\Cookies\\ann@ads.example[1].txt"), "ads.example[1].txt");
  EXPECT_EQ(CookieShortName("C:\\Cookies\\ann@mail@box.example.txt"), "mail@box.example.txt");
  EXPECT_EQ(CookieShortName("C:\\odd@place\\plain.txt"), "plain.txt") << "only the file name";
  EXPECT_EQ(CookieShortName("C:\\Cookies\\"), "");
  EXPECT_EQ(CookieShortName("ann@ads.example[1].txt"), "Unknown");
  EXPECT_EQ(CookieShortName("C:/Cookies/ann@ads.example.txt"), "Unknown");
  EXPECT_EQ(CookieShortName(""), "Unknown");
}

TEST_F(CookieCutterTest, TimesAreShownOnTheLocalClockMonthFirst) {
  EXPECT_EQ(FormatCookieTime(cache_, At(2004, 5, 6, 7, 8, 9)), "05/06/2004 07:08:09");
  cache_.SetLocalOffsetMinutes(90);
  EXPECT_EQ(FormatCookieTime(cache_, At(2004, 12, 31, 23, 0, 0)), "01/01/2005 00:30:00");
  EXPECT_EQ(FormatCookieTime(cache_, At(1601, 1, 1, 0, 0, 0)), "01/01/1601 01:30:00");
  cache_.SetLocalOffsetMinutes(-60);
  EXPECT_EQ(FormatCookieTime(cache_, 0), "") << "before the first moment the clock knows";
  EXPECT_EQ(FormatCookieTime(cache_, 0x8000'0000'0000'0000), "");
}

TEST_F(CookieCutterTest, OnlyCookiesAreReadInCacheOrderWithEveryColumn) {
  AddCookie("ads.example", 12);
  AddPage("http://news.example/");
  AddCookie("shop.example", 3);
  const auto rows = ReadCookies(cache_);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0],
            (CookieRow{"ads.example[1].txt", "12", "Cookie:ann@ads.example/", "05/06/2004 07:08:09",
                       "12/31/2010 23:59:58", kCookies + "ann@ads.example[1].txt"}));
  EXPECT_EQ(rows[1][kCookieName], "shop.example[1].txt");
  EXPECT_EQ(cache_.OpenFinds(), 0u) << "the enumeration is closed";
  EXPECT_EQ(cache_.BufferSizes(), (std::vector<std::uint32_t>(4, kFirstEntryBufferSize)))
      << "three entries and the end, each into the first buffer";
}

TEST_F(CookieCutterTest, AnEmptyCacheGivesNoRowsAndLeavesNothingOpen) {
  EXPECT_TRUE(ReadCookies(cache_).empty());
  EXPECT_EQ(cache_.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, AnEntryThatGrowsWhileItIsReadIsAskedForAgainUntilItFits) {
  AddCookie("first.example", 1);
  UrlCacheEntry big = Cookie("big.example", 2);
  big.source_url += std::string(5000, 'q');
  cache_.AddGrowing(big, 300, 2);
  AddCookie("last.example", 3);
  const std::uint32_t size = cache_.NeededSize(big.source_url);

  EXPECT_EQ(Names(ReadCookies(cache_)),
            (Strings{"first.example[1].txt", "big.example[1].txt", "last.example[1].txt"}));
  EXPECT_EQ(cache_.BufferSizes(),
            (std::vector<std::uint32_t>{kFirstEntryBufferSize, kFirstEntryBufferSize, size,
                                        size + 300, size + 600, size + 600, size + 600}))
      << "each retry takes the size the last answer gave; the bigger buffer stays";
  EXPECT_EQ(cache_.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, AFirstEntryTooBigForTheFirstBufferStartsTheEnumerationAgain) {
  UrlCacheEntry big = Cookie("big.example", 2);
  big.local_file_name = kCookies + "ann@big" + std::string(4100, 'b') + ".txt";
  Add(big);
  AddCookie("next.example", 1);
  EXPECT_EQ(ReadCookies(cache_).size(), 2u);
  EXPECT_EQ(cache_.BufferSizes().size(), 4u);
  EXPECT_EQ(cache_.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, AnEntryThatNeverStopsGrowingEndsTheWalkInsteadOfHangingIt) {
  AddCookie("first.example", 1);
  UrlCacheEntry big = Cookie("restless.example", 2);
  big.source_url += std::string(5000, 'r');
  cache_.AddGrowing(big, 1, 1'000'000);
  AddCookie("unseen.example", 3);
  EXPECT_EQ(Names(ReadCookies(cache_)), Strings{"first.example[1].txt"});
  EXPECT_LT(cache_.BufferSizes().size(), 100u);
  EXPECT_EQ(cache_.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, AFailingEnumerationListsWhatItFoundBeforeTheFailure) {
  AddCookie("first.example", 1);
  AddCookie("second.example", 2);
  cache_.FailFindAt(1, WinError::kAccessDenied);
  EXPECT_EQ(Names(ReadCookies(cache_)), Strings{"first.example[1].txt"});
  EXPECT_EQ(cache_.OpenFinds(), 0u);

  platform::fake::FakeUrlCache broken;
  broken.Add(Cookie("any.example", 1));
  broken.FailFindAt(0, WinError::kFileNotFound);
  EXPECT_TRUE(ReadCookies(broken).empty());
  EXPECT_EQ(broken.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, EntriesWithoutALocalPathOrWithUnconvertibleTimesStillGetARow) {
  UrlCacheEntry bare = Cookie("bare.example", 4);
  bare.local_file_name.clear();
  bare.last_access_time = 0xFFFF'FFFF'FFFF'FFFF;
  Add(bare);
  const auto rows = ReadCookies(cache_);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0],
            (CookieRow{"Unknown", "4", "Cookie:ann@bare.example/", "", "12/31/2010 23:59:58", ""}));
}

TEST_F(CookieCutterTest, DeletingByNameMatchesAnyPartOfTheFileNameIgnoringCase) {
  AddCookie("ads.example", 1);
  AddCookie("BadAds.example", 1);
  AddCookie("shop.example", 1);
  AddPage("http://ads.example/");
  DeleteCookies(cache_, "ADS.example[1]");
  EXPECT_EQ(CachedUrls(), (Strings{"Cookie:ann@shop.example/", "http://ads.example/"}))
      << "the name is a substring test; pages are never cookies";
  EXPECT_EQ(cache_.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, DeletingWithAnEmptyNameTakesEveryCookieThatHasAFolder) {
  AddCookie("ads.example", 1);
  UrlCacheEntry bare = Cookie("bare.example", 1);
  bare.local_file_name = "nofolder.txt";
  Add(bare);
  AddCookie("shop.example", 1);
  AddPage("http://news.example/");
  DeleteCookies(cache_, "");
  EXPECT_EQ(CachedUrls(), (Strings{"Cookie:ann@bare.example/", "http://news.example/"}));
}

TEST(CookieSortingTest, UsedCountsAreReadAsNumbersWithoutCommasAndKs) {
  EXPECT_EQ(UsedCountOf("1,234"), 1234);
  EXPECT_EQ(UsedCountOf("12k"), 12);
  EXPECT_EQ(UsedCountOf("7 hits"), 7);
  EXPECT_EQ(UsedCountOf(""), 0);
  EXPECT_EQ(UsedCountOf("many"), 0);
  EXPECT_EQ(UsedCountOf(" -3"), -3);
}

TEST(CookieSortingTest, RowsSortStablyByNumberOrByTextIgnoringCase) {
  auto row = [](std::string name, std::string used) {
    return CookieRow{std::move(name), std::move(used), "", "", "", ""};
  };
  std::vector<CookieRow> rows{row("b", "9"), row("A", "100"), row("a", "9"), row("C", "1,000")};
  SortCookieRows(rows, kCookieUsed, false);
  EXPECT_EQ(rows, (std::vector<CookieRow>{row("C", "1,000"), row("A", "100"), row("b", "9"),
                                          row("a", "9")}));
  SortCookieRows(rows, kCookieName, true);
  EXPECT_EQ(rows, (std::vector<CookieRow>{row("A", "100"), row("a", "9"), row("b", "9"),
                                          row("C", "1,000")}))
      << "equal names keep their order";
  SortCookieRows(rows, kCookieName, false);
  EXPECT_EQ(rows[0][kCookieName], "C");
  EXPECT_EQ(rows[2][kCookieName], "A") << "descending keeps equal rows in order too";
  SortCookieRows(rows, 17, true);
  EXPECT_EQ(rows[0][kCookieName], "C") << "no such column: no change";
}

TEST(CookieSortingTest, EachColumnFlipsOnItsOwn) {
  CookieSortState state;
  EXPECT_TRUE(state.Flip(kCookieName));
  EXPECT_FALSE(state.Flip(kCookieName));
  EXPECT_TRUE(state.Flip(kCookieUsed));
  EXPECT_TRUE(state.ascending(kCookieUsed));
  EXPECT_FALSE(state.ascending(kCookieUrl));
  EXPECT_FALSE(state.Flip(-1));
  EXPECT_FALSE(state.Flip(kCookieColumnCount));
}

// The dialog, as a user works it.
class CookieCutterDialogTest : public CookieCutterTest {
 protected:
  int Work(std::function<void(FakeDialogHost&)> script) {
    system_.dialogs.ScriptModal(IDD_COOKIE_CUTTER, std::move(script));
    CookieCutterDialog dialog(system_.ports(), sort_state_);
    return system_.dialogs.RunModal(IDD_COOKIE_CUTTER, dialog, nullptr);
  }
  static Strings Column(FakeDialogHost& dialog, int column) {
    Strings texts;
    for (int i = 0; i < dialog.ListViewCount(IDC_COOKIE_LIST); ++i) {
      texts.push_back(dialog.ListViewText(IDC_COOKIE_LIST, i, column));
    }
    return texts;
  }
  static bool RemoveEnabled(FakeDialogHost& dialog) {
    return dialog.control(IDC_COOKIE_REMOVE).enabled;
  }
  std::size_t Boxes() { return system_.dialogs.MessageBoxes().size(); }
  platform::fake::FakeDialogs::MessageBoxShown LastBox() {
    return system_.dialogs.MessageBoxes().back();
  }
  std::size_t Executions() { return system_.shell.Executions().size(); }

  CookieSortState sort_state_;
};

TEST_F(CookieCutterDialogTest, AnEmptyCacheShowsTheColumnsAndNothingToRemove) {
  const int result = Work([&](FakeDialogHost& dialog) {
    const auto& list = dialog.control(IDC_COOKIE_LIST);
    ASSERT_EQ(list.columns.size(), 6u);
    const Strings headers{"Name", "Used", "URL", "Accessed", "Expires", "Local Path"};
    const std::vector<int> widths{185, 50, 250, 115, 115, 350};
    for (std::size_t i = 0; i < 6; ++i) {
      EXPECT_EQ(list.columns[i].header, headers[i]);
      EXPECT_EQ(list.columns[i].width, widths[i]) << headers[i];
      EXPECT_EQ(list.columns[i].alignment,
                i == kCookieUrl ? ColumnAlignment::kRight : ColumnAlignment::kLeft)
          << headers[i];
    }
    EXPECT_TRUE(list.full_row_select);
    EXPECT_EQ(dialog.ListViewCount(IDC_COOKIE_LIST), 0);
    EXPECT_FALSE(RemoveEnabled(dialog));
    dialog.Click(IDC_COOKIE_OK);
  });
  EXPECT_EQ(result, IDC_COOKIE_OK);
  EXPECT_EQ(Boxes(), 0u);
}

TEST_F(CookieCutterDialogTest, TheListOpensMostUsedFirstCountingUsesAsNumbers) {
  AddCookie("nine.example", 9);
  AddCookie("hundred.example", 100);
  AddCookie("two.example", 2);
  AddCookie("ten.example", 10);
  Work([&](FakeDialogHost& dialog) {
    EXPECT_EQ(Column(dialog, kCookieUsed), (Strings{"100", "10", "9", "2"}));
    EXPECT_EQ(Column(dialog, kCookieUrl)[0], "Cookie:ann@hundred.example/");
    EXPECT_EQ(Column(dialog, kCookieLocalPath)[0], kCookies + "ann@hundred.example[1].txt");
  });
}

TEST_F(CookieCutterDialogTest, HeaderClicksFlipASortStateThatOutlivesTheDialog) {
  AddCookie("b.example", 1);
  AddCookie("C.example", 30);
  AddCookie("a.example", 200);
  Work([&](FakeDialogHost& dialog) {
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieName);
    EXPECT_EQ(Column(dialog, kCookieName),
              (Strings{"a.example[1].txt", "b.example[1].txt", "C.example[1].txt"}));
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieUsed);
    EXPECT_EQ(Column(dialog, kCookieUsed), (Strings{"1", "30", "200"}));
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieUsed);
    EXPECT_EQ(Column(dialog, kCookieUsed), (Strings{"200", "30", "1"}));
    EXPECT_EQ(Column(dialog, kCookieUrl)[0], "Cookie:ann@a.example/") << "whole rows move";
  });
  Work([&](FakeDialogHost& dialog) {
    EXPECT_EQ(Column(dialog, kCookieUsed), (Strings{"200", "30", "1"})) << "opens most used first";
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieName);
    EXPECT_EQ(Column(dialog, kCookieName)[0], "C.example[1].txt")
        << "the second click on Name in this program's life sorts descending";
  });
  EXPECT_FALSE(sort_state_.ascending(kCookieName));
  EXPECT_FALSE(sort_state_.ascending(kCookieUsed));
}

TEST_F(CookieCutterDialogTest, RemoveIsEnabledOnlyWhileRowsAreSelected) {
  AddCookie("ads.example", 1);
  AddCookie("shop.example", 2);
  Work([&](FakeDialogHost& dialog) {
    EXPECT_FALSE(RemoveEnabled(dialog));
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {1});
    EXPECT_TRUE(RemoveEnabled(dialog));
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {0, 1});
    EXPECT_TRUE(RemoveEnabled(dialog));
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {});
    EXPECT_FALSE(RemoveEnabled(dialog));
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {0});
    dialog.Click(IDC_COOKIE_REFRESH);
    EXPECT_FALSE(RemoveEnabled(dialog)) << "a fresh list has no selection";
  });
}

TEST_F(CookieCutterDialogTest, AnsweringNoRemovesNothingAndSaysNothingMore) {
  AddCookie("ads.example", 1);
  AddCookie("shop.example", 2);
  Work([&](FakeDialogHost& dialog) {
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {1});
    system_.dialogs.AnswerMessageBox(platform::kIdNo);
    dialog.Click(IDC_COOKIE_REMOVE);
    EXPECT_EQ(LastBox().text,
              "Removing a cookie may affect certain web sites.\n\nRemove 1 cookie?");
    EXPECT_EQ(LastBox().caption, "Snapgate! Cookie Cutter");
    EXPECT_EQ(LastBox().style, platform::kMbYesNo | platform::kMbIconQuestion);
    EXPECT_EQ(dialog.ListViewCount(IDC_COOKIE_LIST), 2);

    system_.dialogs.AnswerMessageBox(platform::kIdNo);
    dialog.Click(IDC_COOKIE_REMOVE_ALL);
    EXPECT_EQ(LastBox().text,
              "Removing cookies may affect certain web sites.\n\nRemove all 2 cookies?");
    EXPECT_EQ(dialog.ListViewCount(IDC_COOKIE_LIST), 2);
  });
  EXPECT_EQ(Boxes(), 2u);
  EXPECT_TRUE(cache_.Deletions().empty());
}

TEST_F(CookieCutterDialogTest, RemoveTakesExactlyTheSelectedCookies) {
  AddCookie("ads.example", 40);
  AddCookie("badads.example", 30);  // its file name holds the short name "ads.example[1].txt"
  AddCookie("shop.example", 20);
  AddCookie("news.example", 10);
  AddPage("http://ads.example/");
  Work([&](FakeDialogHost& dialog) {
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {0, 2});
    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    dialog.Click(IDC_COOKIE_REMOVE);
    EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text,
              "Removing a cookie may affect certain web sites.\n\nRemove 2 cookies?");
    EXPECT_EQ(LastBox().text, "2 cookies removed.");
    EXPECT_EQ(LastBox().style, platform::kMbIconInformation);
    EXPECT_EQ(Column(dialog, kCookieName),
              (Strings{"badads.example[1].txt", "news.example[1].txt"}))
        << "the rows left are the ones not selected, in their order";
    EXPECT_FALSE(RemoveEnabled(dialog));
  });
  EXPECT_EQ(CachedUrls(), (Strings{"Cookie:ann@badads.example/", "Cookie:ann@news.example/",
                                   "http://ads.example/"}));
}

TEST_F(CookieCutterDialogTest, OneRemovedCookieIsStillCountedInThePlural) {
  AddCookie("ads.example", 1);
  Work([&](FakeDialogHost& dialog) {
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {0});
    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    dialog.Click(IDC_COOKIE_REMOVE);
    EXPECT_EQ(LastBox().text, "1 cookies removed.");
  });
  EXPECT_TRUE(cache_.Entries().empty());
}

TEST_F(CookieCutterDialogTest, RemoveAllTakesEveryCookieWithAFolderAndListsWhatIsLeft) {
  AddCookie("ads.example", 1);
  UrlCacheEntry bare = Cookie("bare.example", 5);
  bare.local_file_name.clear();
  Add(bare);
  AddPage("http://news.example/");
  Work([&](FakeDialogHost& dialog) {
    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    dialog.Click(IDC_COOKIE_REMOVE_ALL);
    EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text,
              "Removing cookies may affect certain web sites.\n\nRemove all 2 cookies?");
    EXPECT_EQ(LastBox().text, "All cookies were removed.");
    EXPECT_EQ(Column(dialog, kCookieName), Strings{"Unknown"})
        << "a cookie without a local file is not one Remove All knows to take";

    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    dialog.Click(IDC_COOKIE_REMOVE_ALL);
    EXPECT_EQ(system_.dialogs.MessageBoxes()[2].text,
              "Removing cookies may affect certain web sites.\n\nRemove all 1 cookie?");
  });
  EXPECT_EQ(CachedUrls(), (Strings{"Cookie:ann@bare.example/", "http://news.example/"}));
}

TEST_F(CookieCutterDialogTest, RefreshShowsTheCacheAsItIsNowMostUsedFirst) {
  AddCookie("ads.example", 1);
  Work([&](FakeDialogHost& dialog) {
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieName);
    AddCookie("new.example", 7);
    cache_.DeleteEntry("Cookie:ann@ads.example/");
    AddCookie("shop.example", 3);
    dialog.Click(IDC_COOKIE_REFRESH);
    EXPECT_EQ(Column(dialog, kCookieName), (Strings{"new.example[1].txt", "shop.example[1].txt"}));
  });
  EXPECT_TRUE(sort_state_.ascending(kCookieName)) << "a refresh leaves the header state alone";
}

TEST_F(CookieCutterDialogTest, DoubleClickOpensOnlyACookieTextFileThatExists) {
  AddCookie("ads.example", 50);
  UrlCacheEntry program = Cookie("program.example", 40);
  program.local_file_name = kCookies + "setup.exe";
  Add(program);
  UrlCacheEntry gone = Cookie("gone.example", 30);
  cache_.Add(gone);  // its file was deleted behind the cache's back
  UrlCacheEntry bare = Cookie("bare.example", 20);
  bare.local_file_name.clear();
  Add(bare);
  UrlCacheEntry folder = Cookie("folder.example", 10);
  folder.local_file_name = kCookies + "folder.txt";
  cache_.Add(folder);
  system_.files.CreateDirectory(folder.local_file_name);
  UrlCacheEntry shouting = Cookie("upper.example", 5);
  shouting.local_file_name = kCookies + "ANN@UPPER.TXT";
  Add(shouting);

  Work([&](FakeDialogHost& dialog) {
    for (int row = 1; row <= 4; ++row) dialog.DoubleClickListView(IDC_COOKIE_LIST, row);
    EXPECT_EQ(Executions(), 0u) << "a program, a missing file, no file and a folder";
    dialog.DoubleClickListView(IDC_COOKIE_LIST, 0);
    dialog.DoubleClickListView(IDC_COOKIE_LIST, 5);
    dialog.DoubleClickListView(IDC_COOKIE_LIST, 9);
  });
  const auto executions = system_.shell.Executions();
  ASSERT_EQ(executions.size(), 2u);
  EXPECT_EQ(executions[0].request.file, kCookies + "ann@ads.example[1].txt");
  EXPECT_EQ(executions[0].request.verb, "");
  EXPECT_EQ(executions[0].request.directory, "");
  EXPECT_EQ(executions[0].request.show_command, platform::kSwShowNormal);
  EXPECT_EQ(executions[1].request.file, kCookies + "ANN@UPPER.TXT");
}

TEST_F(CookieCutterDialogTest, HelpOpensTheCookiesSectionOfTheOnlineHelp) {
  Work([&](FakeDialogHost& dialog) { dialog.Click(IDC_COOKIE_HELP); });
  ASSERT_EQ(Executions(), 1u);
  EXPECT_EQ(system_.shell.Executions()[0].request.file, std::string(kOnlineHelpPage) + "#cookies");
}

TEST_F(CookieCutterDialogTest, TheTemplateKeepsTheNumbersOtherCodeKnows) {
  EXPECT_EQ(IDD_COOKIE_CUTTER, 130);
  EXPECT_EQ(IDC_COOKIE_OK, platform::kIdCancel) << "\"&OK\" is the dialog's cancel button";
  EXPECT_EQ(IDC_COOKIE_REMOVE, 4);
  EXPECT_EQ(IDC_COOKIE_REMOVE_ALL, 1004);
  EXPECT_EQ(IDC_COOKIE_REFRESH, 1006);
  EXPECT_EQ(IDC_COOKIE_HELP, 1010);
}

}  // namespace
}  // namespace sg::tools
