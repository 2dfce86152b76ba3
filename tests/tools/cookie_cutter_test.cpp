#include "tools/cookie_cutter.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/web_addresses.h"
#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"
#include "tools/cookie_cutter_dialog.h"

namespace sg::tools {
namespace {

using platform::FileTime;
using platform::UrlCacheEntry;
using platform::fake::FakeDialogHost;
using Strings = std::vector<std::string>;

const std::string kCookies = "C:\\Documents and Settings\\ann\\Cookies\\";
constexpr std::uint32_t kPageEntry = 0x00000001;  // NORMAL_CACHE_ENTRY
constexpr FileTime kUnconvertibleTime = 0xFFFF'FFFF'FFFF'FFFF;
constexpr int kMinutesEastOfUtc = 90;

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
  static UrlCacheEntry Cookie(const std::string& site, std::uint32_t hits,
                              std::optional<std::string> local_file_name = std::nullopt) {
    return {.source_url = "Cookie:ann@" + site + "/",
            .local_file_name = local_file_name.value_or(kCookies + "ann@" + site + "[1].txt"),
            .entry_type = platform::kCookieCacheEntry | kPageEntry,
            .hit_count = hits,
            .last_access_time = At(2004, 5, 6, 7, 8, 9),
            .expire_time = At(2010, 12, 31, 23, 59, 58)};
  }
  void Add(const UrlCacheEntry& entry) {
    cache_.Add(entry);
    if (!entry.local_file_name.empty()) system_.files.PutFile(entry.local_file_name, "id\n1\n");
  }
  void AddCookie(const std::string& site, std::uint32_t hits) { Add(Cookie(site, hits)); }
  void AddPage(const std::string& url) {
    Add({.source_url = url, .local_file_name = "C:\\Temp\\page[1].htm", .entry_type = kPageEntry});
  }
  Strings CachedUrls() {
    Strings urls;
    for (const auto& entry : cache_.Entries()) urls.push_back(entry.source_url);
    return urls;
  }

  // The dialog, as a user works it.
  void Work(std::function<void(FakeDialogHost&)> script) {
    system_.dialogs.ScriptModal(IDD_COOKIE_CUTTER, std::move(script));
    CookieCutterDialog dialog(system_.ports(), sort_state_);
    system_.dialogs.RunModal(IDD_COOKIE_CUTTER, dialog, nullptr);
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
  Strings BoxTexts() {
    Strings texts;
    for (const auto& box : system_.dialogs.MessageBoxes()) texts.push_back(box.text);
    return texts;
  }

  platform::fake::FakePlatform system_;
  platform::fake::FakeUrlCache& cache_ = system_.url_cache;
  CookieSortState sort_state_;
};

TEST_F(CookieCutterTest, TheCacheWalkReadsEveryCookieThroughGrowingAndOddEntries) {
  AddCookie("first.example", 1);
  UrlCacheEntry big = Cookie("big.example", 2);
  big.source_url += std::string(5000, 'q');
  cache_.AddGrowing(big, 300, 2);  // it grows again between the two calls, twice
  AddPage("http://news.example/");
  UrlCacheEntry bare = Cookie("bare.example", 4, "");
  bare.last_access_time = kUnconvertibleTime;
  cache_.Add(bare);
  const std::uint32_t size = cache_.NeededSize(big.source_url);

  const auto rows = ReadCookies(cache_);
  ASSERT_EQ(rows.size(), 3u) << "the page is no cookie";
  EXPECT_EQ(rows[0], (CookieRow{"first.example[1].txt", "1", "Cookie:ann@first.example/",
                                "05/06/2004 07:08:09", "12/31/2010 23:59:58",
                                kCookies + "ann@first.example[1].txt"}));
  EXPECT_EQ(rows[2],
            (CookieRow{"Unknown", "4", "Cookie:ann@bare.example/", "", "12/31/2010 23:59:58", ""}));
  // Each retry asks with the size the last answer gave; the bigger buffer then serves the
  // page, the bare cookie and the end.
  EXPECT_EQ(cache_.BufferSizes(), (std::vector<std::uint32_t>{
                                      kFirstEntryBufferSize, kFirstEntryBufferSize, size,
                                      size + 300, size + 600, size + 600, size + 600, size + 600}));
  EXPECT_EQ(cache_.OpenFinds(), 0u);

  // An entry that never stops growing ends the walk rather than hanging the dialog.
  platform::fake::FakeUrlCache restless;
  restless.AddGrowing(big, 1, 1'000'000);
  EXPECT_TRUE(ReadCookies(restless).empty());
  EXPECT_EQ(restless.OpenFinds(), 0u);
}

TEST_F(CookieCutterTest, NamesAndTimesReadAsTheListShowsThem) {
  EXPECT_EQ(CookieShortName("C:\\Cookies\\ann@mail@box.example.txt"), "mail@box.example.txt");
  EXPECT_EQ(CookieShortName("C:\\odd@place\\plain.txt"), "plain.txt") << "only the file name";
  EXPECT_EQ(CookieShortName("ann@ads.example[1].txt"), "Unknown");
  cache_.SetLocalOffsetMinutes(kMinutesEastOfUtc);
  EXPECT_EQ(FormatCookieTime(cache_, At(2004, 12, 31, 23, 0, 0)), "01/01/2005 00:30:00");
  EXPECT_EQ(FormatCookieTime(cache_, kUnconvertibleTime), "");
}

TEST_F(CookieCutterTest, AnEmptyCacheShowsAnEmptyListWithNothingToRemoveButHelp) {
  Work([&](FakeDialogHost& dialog) {
    EXPECT_EQ(dialog.ListViewCount(IDC_COOKIE_LIST), 0);
    EXPECT_FALSE(RemoveEnabled(dialog));
    dialog.Click(IDC_COOKIE_HELP);
    dialog.Click(IDC_COOKIE_OK);
  });
  EXPECT_TRUE(BoxTexts().empty());
  ASSERT_EQ(system_.shell.Executions().size(), 1u);
  EXPECT_EQ(system_.shell.Executions()[0].request.file, std::string(kOnlineHelpPage) + "#cookies");
}

TEST_F(CookieCutterTest, TheListOpensMostUsedFirstAndHeaderClicksFlipASharedSortState) {
  AddCookie("b.example", 9);
  AddCookie("C.example", 100);
  AddCookie("a.example", 10);
  Work([&](FakeDialogHost& dialog) {
    EXPECT_EQ(Column(dialog, kCookieUsed), (Strings{"100", "10", "9"})) << "as numbers, not text";
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieName);
    EXPECT_EQ(Column(dialog, kCookieName),
              (Strings{"a.example[1].txt", "b.example[1].txt", "C.example[1].txt"}));
    EXPECT_EQ(Column(dialog, kCookieUrl)[0], "Cookie:ann@a.example/") << "whole rows move";
  });
  Work([&](FakeDialogHost& dialog) {
    EXPECT_EQ(Column(dialog, kCookieUsed)[0], "100") << "every opening starts most used first";
    dialog.ClickListViewColumn(IDC_COOKIE_LIST, kCookieName);
    EXPECT_EQ(Column(dialog, kCookieName)[0], "C.example[1].txt")
        << "the second click on Name in this program's life sorts descending";
  });
}

TEST_F(CookieCutterTest, RemoveAsksThenTakesExactlyTheSelectedCookies) {
  AddCookie("ads.example", 40);
  AddCookie("badads.example", 30);  // its file name holds the short name "ads.example[1].txt"
  AddCookie("shop.example", 20);
  AddCookie("news.example", 10);
  const std::string kWarning = "Removing a cookie may affect certain web sites.\n\nRemove ";
  Work([&](FakeDialogHost& dialog) {
    EXPECT_FALSE(RemoveEnabled(dialog));
    dialog.SelectListViewRows(IDC_COOKIE_LIST, {0});
    EXPECT_TRUE(RemoveEnabled(dialog));
    system_.dialogs.AnswerMessageBox(platform::kIdNo);
    dialog.Click(IDC_COOKIE_REMOVE);
    EXPECT_EQ(dialog.ListViewCount(IDC_COOKIE_LIST), 4) << "No keeps every row";

    dialog.SelectListViewRows(IDC_COOKIE_LIST, {0, 2});
    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    dialog.Click(IDC_COOKIE_REMOVE);
    EXPECT_EQ(Column(dialog, kCookieName),
              (Strings{"badads.example[1].txt", "news.example[1].txt"}));
    EXPECT_FALSE(RemoveEnabled(dialog)) << "the selection went with its rows";
  });
  EXPECT_EQ(BoxTexts(),
            (Strings{kWarning + "1 cookie?", kWarning + "2 cookies?", "2 cookies removed."}))
      << "No shows nothing after the question";
  EXPECT_EQ(CachedUrls(), (Strings{"Cookie:ann@badads.example/", "Cookie:ann@news.example/"}));
}

TEST_F(CookieCutterTest, RemoveAllTakesEveryCookieWithAFolderAndListsWhatIsLeft) {
  AddCookie("ads.example", 1);
  AddCookie("shop.example", 2);
  Add(Cookie("bare.example", 5, "nofolder.txt"));
  AddPage("http://news.example/");
  const std::string kWarning = "Removing cookies may affect certain web sites.\n\nRemove all ";
  Work([&](FakeDialogHost& dialog) {
    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    dialog.Click(IDC_COOKIE_REMOVE_ALL);
    EXPECT_EQ(Column(dialog, kCookieName), Strings{"Unknown"}) << "the list is read again";
    system_.dialogs.AnswerMessageBox(platform::kIdNo);
    dialog.Click(IDC_COOKIE_REMOVE_ALL);
  });
  EXPECT_EQ(BoxTexts(), (Strings{kWarning + "3 cookies?", "All cookies were removed.",
                                 kWarning + "1 cookie?"}));
  EXPECT_EQ(CachedUrls(), (Strings{"Cookie:ann@bare.example/", "http://news.example/"}));
}

TEST_F(CookieCutterTest, DoubleClickOpensOnlyACookieTextFileThatExists) {
  AddCookie("ads.example", 50);
  Add(Cookie("program.example", 40, kCookies + "setup.exe"));
  cache_.Add(Cookie("gone.example", 30));  // its file was deleted behind the cache's back
  cache_.Add(Cookie("folder.example", 20, kCookies + "folder.txt"));
  system_.files.CreateDirectory(kCookies + "folder.txt");
  Add(Cookie("upper.example", 10, kCookies + "ANN@UPPER.TXT"));

  Work([&](FakeDialogHost& dialog) {
    for (int row = 0; row < dialog.ListViewCount(IDC_COOKIE_LIST); ++row) {
      dialog.DoubleClickListView(IDC_COOKIE_LIST, row);
    }
  });
  const auto executions = system_.shell.Executions();
  ASSERT_EQ(executions.size(), 2u) << "never a program, a missing file or a folder";
  EXPECT_EQ(executions[0].request.file, kCookies + "ann@ads.example[1].txt");
  EXPECT_EQ(executions[0].request.show_command, platform::kSwShowNormal);
  EXPECT_EQ(executions[1].request.file, kCookies + "ANN@UPPER.TXT");
}

}  // namespace
}  // namespace sg::tools
