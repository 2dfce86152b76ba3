// WinINet's HTTP client through the real WININET of Wine, against the tests' own web server on
// the loopback address.
#include <windows.h>

#include <gtest/gtest.h>
#include <wininet.h>

#include <future>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/win32_internet.h"
#include "win32/loopback_http_server.h"
#include "win32/run_notes.h"

namespace sg::platform::win32 {
namespace {

namespace flags = request_flags;

constexpr std::uint32_t kFreshFlags =
    flags::kReload | flags::kExistingConnect | flags::kNoCacheWrite | flags::kNoAutoRedirect;

class InternetPortUnderWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_up_ = server_.Start(); }
  static void TearDownTestSuite() { server_.Stop(); }

  void SetUp() override {
    ASSERT_TRUE(server_up_) << "the test server did not come up on port " << server_.port();
    session_ = internet_.OpenSession();
    ASSERT_NE(session_, 0u) << GetLastError();
  }
  void TearDown() override {
    for (auto handle = opened_.rbegin(); handle != opened_.rend(); ++handle) {
      internet_.Close(*handle);
    }
    internet_.Close(session_);
  }

  // A GET of a path of the test server, sent with the header lines and the timeouts; its
  // request.
  InternetHandle Get(const std::string& path, const std::string& headers = {},
                     std::optional<InternetTimeouts> timeouts = std::nullopt) {
    const InternetHandle connection = internet_.Connect(session_, "127.0.0.1", server_.port());
    EXPECT_NE(connection, 0u) << GetLastError();
    opened_.push_back(connection);
    const InternetHandle request = internet_.OpenRequest(connection, path, kFreshFlags);
    EXPECT_NE(request, 0u) << GetLastError();
    opened_.push_back(request);
    if (timeouts) {
      EXPECT_TRUE(internet_.SetTimeouts(request, *timeouts)) << GetLastError();
    }
    if (!headers.empty()) {
      EXPECT_TRUE(internet_.AddRequestHeaders(request, headers));
    }
    const WinError sent = internet_.SendRequest(request);
    EXPECT_EQ(sent, WinError::kSuccess) << path << ": error " << static_cast<int>(sent);
    return request;
  }

  // The sizes of reads of up to 1,024 bytes until one returns nothing or fails.
  std::vector<std::size_t> ReadSizes(InternetHandle request, WinError* error = nullptr) {
    std::vector<std::size_t> sizes;
    std::uint8_t block[1024];
    for (;;) {
      const InternetRead read = internet_.ReadBody(request, block);
      if (error) *error = read.error;
      if (read.error != WinError::kSuccess) return sizes;
      sizes.push_back(read.size);
      if (read.size == 0) return sizes;
    }
  }

  std::string Body(InternetHandle request) {
    std::string body;
    std::uint8_t block[700];
    for (;;) {
      const InternetRead read = internet_.ReadBody(request, block);
      if (read.error != WinError::kSuccess || read.size == 0) return body;
      body.append(reinterpret_cast<const char*>(block), read.size);
    }
  }

  static inline sg::testing::LoopbackHttpServer server_;
  static inline bool server_up_ = false;
  Win32Internet internet_;
  InternetHandle session_ = 0;
  std::vector<InternetHandle> opened_;
};

TEST_F(InternetPortUnderWine, AnAddressIsCrackedIntoItsPartsHoweverLong) {
  const auto page = internet_.CrackUrl("http://www.example.com:8080/a/b.html?x=1&y=2");
  ASSERT_TRUE(page);
  EXPECT_EQ(page->scheme, UrlScheme::kHttp);
  EXPECT_EQ(page->host, "www.example.com");
  EXPECT_EQ(page->port, 8080);
  EXPECT_EQ(page->object, "/a/b.html?x=1&y=2");

  const auto secure = internet_.CrackUrl("https://www.example.com");
  ASSERT_TRUE(secure);
  EXPECT_EQ(secure->scheme, UrlScheme::kHttps);
  EXPECT_EQ(secure->port, 443);
  EXPECT_EQ(secure->object, "/");

  const auto files = internet_.CrackUrl("ftp://files.example.com/x");
  ASSERT_TRUE(files);
  EXPECT_EQ(files->scheme, UrlScheme::kOther);

  const std::string path = "/" + std::string(10000, 'a');
  const auto long_one = internet_.CrackUrl("http://www.example.com" + path);
  ASSERT_TRUE(long_one);
  EXPECT_EQ(long_one->object, path);

  for (const char* odd : {"", "/relative/path", "www.example.com/news.html"}) {
    EXPECT_FALSE(internet_.CrackUrl(odd)) << odd;
  }
}

TEST_F(InternetPortUnderWine, AGetCarriesTheAddedHeadersAndTellsStatusHeadersAndLength) {
  const InternetHandle echo = Get("/headers", "Accept: text/*\r\nUser-Agent: Snapgate!/3.293\r\n");
  EXPECT_EQ(internet_.StatusCode(echo), 200u);
  const std::string seen = Body(echo);
  EXPECT_NE(seen.find("User-Agent: Snapgate!/3.293"), std::string::npos) << seen;
  EXPECT_NE(seen.find("Accept: text/*"), std::string::npos) << seen;

  const InternetHandle page = Get("/bytes/1023");
  EXPECT_EQ(internet_.ContentLength(page), 1023u);
  const std::string raw = internet_.RawHeaders(page);
  EXPECT_TRUE(raw.starts_with("HTTP/1.0 200 OK\r\n")) << raw;
  EXPECT_TRUE(raw.ends_with("\r\n\r\n")) << raw;
  EXPECT_NE(raw.find("\r\nContent-Length: 1023\r\n"), std::string::npos) << raw;
}

TEST_F(InternetPortUnderWine, ReadsFillTheirBufferUntilTheBodyEnds) {
  EXPECT_EQ(ReadSizes(Get("/bytes/2048")), (std::vector<std::size_t>{1024, 1024, 0}));
  EXPECT_EQ(ReadSizes(Get("/bytes/1024")), (std::vector<std::size_t>{1024, 0}));
  EXPECT_EQ(ReadSizes(Get("/bytes/0")), (std::vector<std::size_t>{0}));
  EXPECT_EQ(ReadSizes(Get("/slow")), (std::vector<std::size_t>{1024, 1024, 0}))
      << "a slow server is waited for";

  const InternetHandle unsized = Get("/unsized/1500");
  EXPECT_FALSE(internet_.ContentLength(unsized));
  EXPECT_EQ(ReadSizes(unsized), (std::vector<std::size_t>{1024, 476, 0}));
}

TEST_F(InternetPortUnderWine, ABodyCutShortNeverReachesItsAnnouncedLength) {
  const InternetHandle dropped = Get("/dropped");
  EXPECT_EQ(internet_.ContentLength(dropped), 4096u);
  WinError error = WinError::kSuccess;
  std::size_t total = 0;
  for (const std::size_t size : ReadSizes(dropped, &error)) total += size;
  EXPECT_EQ(total, 2048u) << "error " << static_cast<int>(error);
}

TEST_F(InternetPortUnderWine, TimeoutsGoOnTheRequestAndEndAReadThatTheServerLeavesWaiting) {
  const InternetHandle stalled = Get("/stalled", {}, InternetTimeouts{2000, 2500, 3000});
  DWORD connect = 0;
  DWORD size = sizeof connect;
  EXPECT_TRUE(InternetQueryOptionA(reinterpret_cast<HINTERNET>(stalled),
                                   INTERNET_OPTION_CONNECT_TIMEOUT, &connect, &size))
      << GetLastError();
  EXPECT_EQ(connect, 2000u);
  // Wine tells no request's send or receive timeout back; the read shows the receive one.
  // The server says nothing after the first 1,024 bytes for far longer than the timeout.
  WinError error = WinError::kSuccess;
  EXPECT_EQ(ReadSizes(stalled, &error), std::vector<std::size_t>{1024});
  EXPECT_EQ(error, kInternetTimeout) << static_cast<int>(error);
}

TEST_F(InternetPortUnderWine, RedirectsAreLeftToTheCallerWithTheirLocation) {
  const InternetHandle moved = Get("/redirect/302");
  EXPECT_EQ(internet_.StatusCode(moved), 302u);
  EXPECT_NE(internet_.RawHeaders(moved).find("\r\nLocation: " + server_.Url("/page") + "\r\n"),
            std::string::npos);

  // Wine keeps a header line only up to a few thousand bytes; the caller gets what WinINet kept.
  const std::string distant = internet_.RawHeaders(Get("/redirect/long"));
  const std::string sent = "\r\nLocation: " + server_.Url("/page?" + std::string(10000, 'a'));
  const std::size_t at = distant.find(sent.substr(0, 100));
  ASSERT_NE(at, std::string::npos) << distant.substr(0, 300);
  const std::size_t kept = distant.find_first_of("\r\n", at + 2) - at;
  EXPECT_EQ(distant.compare(at, kept, sent, 0, kept), 0);
  if (kept < sent.size()) {
    sg::testing::NoteForTheRun("WinINet kept " + std::to_string(kept - 2) + " of " +
                               std::to_string(sent.size() - 2) + " bytes of a header line");
  }
}

TEST_F(InternetPortUnderWine, NoServerBehindAPortMeansTheSendFails) {
  // Nothing listens on port 1 of the loopback address.
  const InternetHandle connection = internet_.Connect(session_, "127.0.0.1", 1);
  ASSERT_NE(connection, 0u);
  opened_.push_back(connection);
  const InternetHandle request = internet_.OpenRequest(connection, "/page", kFreshFlags);
  opened_.push_back(request);
  const WinError sent = internet_.SendRequest(request);
  EXPECT_EQ(sent, kInternetCannotConnect) << static_cast<int>(sent);
  EXPECT_EQ(internet_.StatusCode(request), 0u);
}

// What a user does with the password dialog that the thread shows: the name goes in its first
// edit, the password in its second, and OK.
void AnswerPasswordDialog(DWORD thread, const char* name, const char* password) {
  for (int tries = 0; tries < 100; ++tries) {
    HWND dialog = nullptr;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM found) {
          char class_name[16] = {};
          GetClassNameA(window, class_name, sizeof class_name);
          HWND first_edit = FindWindowExA(window, nullptr, "Edit", nullptr);
          if (std::string(class_name) != "#32770" || !IsWindowVisible(window) || !first_edit ||
              !FindWindowExA(window, first_edit, "Edit", nullptr)) {
            return TRUE;
          }
          *reinterpret_cast<HWND*>(found) = window;
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&dialog));
    if (dialog) {
      HWND name_edit = FindWindowExA(dialog, nullptr, "Edit", nullptr);
      SetWindowTextA(name_edit, name);
      SetWindowTextA(FindWindowExA(dialog, name_edit, "Edit", nullptr), password);
      PostMessageA(dialog, WM_COMMAND, IDOK, 0);
      return;
    }
    Sleep(100);
  }
  ADD_FAILURE() << "no password dialog appeared";
}

TEST_F(InternetPortUnderWine, APasswordGivenInTheDialogGoesWithTheNextSend) {
  const InternetHandle request = Get("/private");
  ASSERT_EQ(internet_.StatusCode(request), 401u);

  auto user = std::async(std::launch::async, [thread = GetCurrentThreadId()] {
    AnswerPasswordDialog(thread, "ann", "secret");
  });
  const WinError answer = internet_.AskForPassword(request);
  user.get();
  EXPECT_EQ(answer, kInternetForceRetry) << static_cast<int>(answer);

  ASSERT_EQ(internet_.SendRequest(request), WinError::kSuccess);
  EXPECT_EQ(internet_.StatusCode(request), 200u);
  EXPECT_EQ(Body(request), "welcome\n");
}

}  // namespace
}  // namespace sg::platform::win32
