#include "online/http_fetcher.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fake/fake_platform.h"
#include "resources/resource_ids.h"

namespace sg::online {
namespace {

using platform::fake::FakeInternet;
using namespace std::string_literals;
using Lines = std::vector<std::string>;
namespace flags = platform::request_flags;

constexpr std::uint32_t kPlainFlags =
    flags::kReload | flags::kExistingConnect | flags::kNoCacheWrite | flags::kNoAutoRedirect;
constexpr const char* kTextHeaders = "Accept: text/*\r\nUser-Agent: Snapgate!/3.293\r\n";
constexpr const char* kFileHeaders = "User-Agent: Snapgate!/3.293\r\n";
constexpr const char* kInstaller = "C:\\Temp\\NewUpdate.exe";

FakeInternet::Answer Page(std::string body, std::uint32_t status = 200) {
  const std::string length = "Content-Length: " + std::to_string(body.size());
  return {.status = status, .headers = {length}, .body = std::move(body)};
}

FakeInternet::Answer Redirect(const std::string& location, std::uint32_t status = 302) {
  return {.status = status, .headers = {"Location: " + location}};
}

class HttpFetcherTest : public ::testing::Test {
 protected:
  HttpFetcherTest() { windows_.files.CreateDirectory("C:\\Temp"); }
  void TearDown() override {
    EXPECT_EQ(windows_.internet.OpenHandles(), 0u) << "every fetch closes what it opened";
  }

  FakeInternet& web() { return windows_.internet; }
  std::vector<FakeInternet::Request> Requests() { return web().Requests(); }
  // The upgrade's status window, as the upgrade dialog opens it.
  platform::fake::FakeDialogHost& StatusWindow() {
    if (!status_)
      status_ = windows_.dialogs.CreateModeless(IDD_UPGRADE_STATUS, no_events_, nullptr);
    return static_cast<platform::fake::FakeDialogHost&>(*status_);
  }
  std::string StatusText() { return StatusWindow().Text(IDC_UPGRADE_STATUS_TEXT); }
  std::optional<std::string> Installer() { return windows_.files.FileContent(kInstaller); }

  platform::fake::FakePlatform windows_;
  HttpFetcher fetcher_{windows_.ports()};

 private:
  struct : platform::DialogEvents {
    void OnInitDialog(platform::DialogHost&) override {}
    void OnCommand(int, int) override {}
  } no_events_;
  std::unique_ptr<platform::DialogHost> status_;
};

TEST_F(HttpFetcherTest, ABareAddressIsAskedForOverHttpAndItsLinesKeepOnlyTheirLineFeeds) {
  web().Serve("http://www.example.com/check.html", Page("<html>\r\nVersion\r\n3.3\r\r\nend"));

  EXPECT_EQ(fetcher_.Fetch("www.example.com/check.html"),
            (Lines{"<html>\n", "Version\n", "3.3\n", "end"}));

  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].url, "http://www.example.com/check.html");
  EXPECT_EQ(Requests()[0].flags, 0xA4200000u);
  EXPECT_EQ(Requests()[0].headers, kTextHeaders);
  EXPECT_FALSE(fetcher_.last_download_complete());
}

TEST_F(HttpFetcherTest, AnHttpsAddressIsAskedForSecurely) {
  web().Serve("https://secure.example.com:8443/a?b=c", Page("ok\n"));
  EXPECT_EQ(fetcher_.Fetch("https://secure.example.com:8443/a?b=c"), Lines{"ok\n"});
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_EQ(Requests()[0].flags, kPlainFlags | flags::kSecure);
}

TEST_F(HttpFetcherTest, ALineLongerThanTheLineBufferArrivesInPieces) {
  const std::string line(2500, 'x');
  web().Serve("http://www.example.com/long", Page(line + "\r\nnext\r\n"));
  EXPECT_EQ(
      fetcher_.Fetch("http://www.example.com/long"),
      (Lines{line.substr(0, 1022), line.substr(1022, 1022), line.substr(2044) + "\n", "next\n"}));
}

TEST_F(HttpFetcherTest, AnErrorPageComesBackLineByLine) {
  web().Serve("http://www.example.com/gone", Page("<h1>Not Found</h1>\nsorry\n", 404));
  EXPECT_EQ(fetcher_.Fetch("http://www.example.com/gone"),
            (Lines{"<h1>Not Found</h1>\n", "sorry\n"}));
}

TEST_F(HttpFetcherTest, OneRedirectToPlainHttpIsFollowedWithTheSameFlagsAndHeaders) {
  web().Serve("http://old.example.com/check", Redirect("http://new.example.com/check?v=1", 301));
  web().Serve("http://new.example.com/check?v=1", Page("moved here\n"));

  EXPECT_EQ(fetcher_.Fetch("http://old.example.com/check"), Lines{"moved here\n"});

  const auto requests = Requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[1].url, "http://new.example.com/check?v=1");
  EXPECT_EQ(requests[1].flags, requests[0].flags);
  EXPECT_EQ(requests[1].headers, kTextHeaders);
}

TEST_F(HttpFetcherTest, ARedirectLeadsToNothingUnlessItsTargetAnswersAPlainPage) {
  web().Serve("http://a.example.com/", Redirect("http://b.example.com/", 303));
  web().Serve("http://b.example.com/", Redirect("http://c.example.com/"));
  web().Serve("http://c.example.com/", Page("too far\n"));
  web().Serve("http://d.example.com/", Redirect("https://d.example.com/"));
  web().Serve("https://d.example.com/", Page("secure\n"));
  web().Serve("http://e.example.com/", Redirect("http://e.example.com/missing"));
  web().Serve("http://e.example.com/missing", Page("not here\n", 404));

  EXPECT_EQ(fetcher_.Fetch("http://a.example.com/"), Lines{}) << "a second redirect";
  EXPECT_EQ(fetcher_.Fetch("http://d.example.com/"), Lines{}) << "to https";
  EXPECT_EQ(fetcher_.Fetch("http://e.example.com/"), Lines{}) << "to an error page";

  std::vector<std::string> asked;
  for (const auto& request : Requests()) asked.push_back(request.url);
  EXPECT_EQ(asked, (Lines{"http://a.example.com/", "http://b.example.com/", "http://d.example.com/",
                          "http://e.example.com/", "http://e.example.com/missing"}));
}

TEST_F(HttpFetcherTest, OddLocationsEndTheFetchQuietlyAndALongOneIsFollowedWhole) {
  const std::string long_target = "http://www.example.com/" + std::string(10000, 'a');
  web().Serve(long_target, Page("far away\n"));
  web().Serve("http://x.example.com/long", Redirect(long_target));
  web().Serve("http://x.example.com/none", {.status = 302});
  web().Serve("http://x.example.com/empty", {.status = 302, .headers = {"Location: "}});
  for (const char* odd : {"/relative/path", "ftp://files.example.com/a", "http://", "javascript:x",
                          "http://www.example.com:99999/"}) {
    web().Serve("http://x.example.com/odd", Redirect(odd));
    EXPECT_EQ(fetcher_.Fetch("http://x.example.com/odd"), Lines{}) << odd;
  }
  EXPECT_EQ(fetcher_.Fetch("http://x.example.com/none"), Lines{});
  EXPECT_EQ(fetcher_.Fetch("http://x.example.com/empty"), Lines{});
  EXPECT_EQ(fetcher_.Fetch("http://x.example.com/long"), Lines{"far away\n"});
}

TEST_F(HttpFetcherTest, A401BringsUpThePasswordDialogAndTheRequestGoesAgain) {
  web().Serve("http://www.example.com/private",
              {.status = 200, .body = "welcome\n", .needs_password = true});
  EXPECT_EQ(fetcher_.Fetch("http://www.example.com/private"), Lines{"welcome\n"});
  ASSERT_EQ(Requests().size(), 1u);
  EXPECT_TRUE(Requests()[0].asked_for_password);
  EXPECT_EQ(Requests()[0].sends, 2);
}

TEST_F(HttpFetcherTest, WithoutASessionTheUserIsToldAndNothingIsFetched) {
  web().RefuseSessions();
  EXPECT_EQ(fetcher_.Fetch("http://www.example.com/check.html"), Lines{});
  fetcher_.Fetch("http://www.example.com/NewUpdate.exe", kInstaller);
  EXPECT_FALSE(Installer());
  const auto boxes = windows_.dialogs.MessageBoxes();
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].text, "Cannot open internet connection.");
  EXPECT_EQ(boxes[0].caption, "Snapgate!");
  EXPECT_EQ(boxes[0].style, platform::kMbOk);
}

TEST_F(HttpFetcherTest, AFileArrivesInWholeBlocksWithItsProgressShown) {
  web().Serve("http://www.example.com/NewUpdate.exe", Page(std::string(2048, '\x7f')));
  web().Serve("http://www.example.com/page", Page("a page\n"));
  fetcher_.Fetch("http://www.example.com/page");

  const Lines& kept =
      fetcher_.Fetch("http://www.example.com/NewUpdate.exe", kInstaller, &StatusWindow());

  EXPECT_EQ(kept, Lines{"a page\n"}) << "a file fetch leaves the lines alone";
  EXPECT_EQ(Installer(), std::string(2048, '\x7f'));
  EXPECT_TRUE(fetcher_.last_download_complete());
  EXPECT_EQ(StatusText(), "Read 2048/2048 bytes");
  ASSERT_EQ(Requests().size(), 2u);
  EXPECT_EQ(Requests()[1].headers, kFileHeaders);
  EXPECT_EQ(Requests()[1].reads, (std::vector<std::size_t>{1024, 1024, 0}));
}

TEST_F(HttpFetcherTest, WithoutALengthTheFileEndsAtTheFirstShortBlock) {
  web().Serve("http://www.example.com/NewUpdate.exe", {.body = std::string(1023, 'M')});
  fetcher_.Fetch("http://www.example.com/NewUpdate.exe", kInstaller, &StatusWindow());
  EXPECT_EQ(Installer(), std::string(1023, 'M'));
  EXPECT_TRUE(fetcher_.last_download_complete());
  EXPECT_EQ(StatusText(), "Read 1023 bytes");
  EXPECT_EQ(Requests()[0].reads, std::vector<std::size_t>{1023});
}

TEST_F(HttpFetcherTest, AWebPageWhereAFileWasExpectedLeavesNoFile) {
  web().Serve("http://www.example.com/first", Page("MZ\0<HTML> behind a zero byte\n"s));
  web().Serve("http://www.example.com/html",
              Page("<!DOCTYPE x>\n<HTML><body>Not Found</body>", 404));
  web().Serve("http://www.example.com/late", Page(std::string(1024, 'M') + "<html>" + "rest"));

  fetcher_.Fetch("http://www.example.com/first", kInstaller);
  EXPECT_TRUE(fetcher_.last_download_complete()) << "text after a zero byte is not looked at";
  const auto first = Installer();
  fetcher_.Fetch("http://www.example.com/html", kInstaller);
  EXPECT_EQ(Installer(), first) << "a refused download leaves what was there";
  windows_.files.Delete(kInstaller);

  fetcher_.Fetch("http://www.example.com/html", kInstaller, &StatusWindow());
  EXPECT_FALSE(Installer()) << "an error page in the first block";
  EXPECT_EQ(StatusText(), "Downloading update ..");

  fetcher_.Fetch("http://www.example.com/late", kInstaller, &StatusWindow());
  EXPECT_FALSE(Installer()) << "a page in a later block";
  EXPECT_EQ(StatusText(), "Read 1024/1034 bytes");
  EXPECT_FALSE(fetcher_.last_download_complete());
}

TEST_F(HttpFetcherTest, OnlyAWholeBodyStaysAsAFile) {
  web().Serve("http://www.example.com/empty", Page(""));
  web().Serve(
      "http://www.example.com/broken",
      {.headers = {"Content-Length: 4096"}, .body = std::string(4096, 'M'), .breaks_after = 2048});
  web().Serve("http://www.example.com/short",
              {.headers = {"Content-Length: 4096"}, .body = std::string(3000, 'M')});

  fetcher_.Fetch("http://www.example.com/empty", kInstaller, &StatusWindow());
  EXPECT_FALSE(Installer());
  EXPECT_EQ(StatusText(), "Read 0 bytes");

  fetcher_.Fetch("http://www.example.com/broken", kInstaller, &StatusWindow());
  EXPECT_FALSE(Installer()) << "broken off";
  EXPECT_EQ(StatusText(), "Read 2048/4096 bytes");

  fetcher_.Fetch("http://www.example.com/short", kInstaller);
  EXPECT_FALSE(Installer()) << "fewer bytes than announced";

  fetcher_.Fetch("http://unreachable.example.com/NewUpdate.exe", kInstaller);
  EXPECT_FALSE(Installer());
  EXPECT_FALSE(fetcher_.last_download_complete());
}

TEST_F(HttpFetcherTest, ALengthThatIsNoNumberIsNoLengthAndTheWholeBodyStays) {
  // The first found by fuzzing: a header of control characters once stopped the fake server.
  for (const std::string& length : {"content-length:\x0e\x08+"s, "Content-Length: many"s,
                                   "Content-Length: 99999999999"s, "Content-Length: 12 bytes"s}) {
    web().Serve("http://www.example.com/NewUpdate.exe",
                {.headers = {length}, .body = std::string(3000, 'M')});
    fetcher_.Fetch("http://www.example.com/NewUpdate.exe", kInstaller, &StatusWindow());
    EXPECT_EQ(Installer(), std::string(3000, 'M')) << length;
    EXPECT_EQ(StatusText(), "Read 3000 bytes") << "no length announced: " << length;
  }
}

TEST_F(HttpFetcherTest, AFileThatCannotBeWrittenIsNoDownload) {
  web().Serve("http://www.example.com/NewUpdate.exe", Page(std::string(3000, 'M')));
  fetcher_.Fetch("http://www.example.com/NewUpdate.exe", "C:\\Missing\\NewUpdate.exe");
  EXPECT_FALSE(fetcher_.last_download_complete());

  windows_.files.FailWritesAfter(1500);
  fetcher_.Fetch("http://www.example.com/NewUpdate.exe", kInstaller);
  EXPECT_FALSE(Installer()) << "a full disk";
  EXPECT_FALSE(fetcher_.last_download_complete());
}

}  // namespace
}  // namespace sg::online
