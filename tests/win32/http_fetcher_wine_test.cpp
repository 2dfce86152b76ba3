// Fetches through the real Windows of Wine: WinINet against the tests' own web server, a worker
// thread, and the caller's message loop while it waits.
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "online/http_fetcher.h"
#include "platform/win32/win32_platform.h"
#include "win32/loopback_http_server.h"

namespace sg::online {
namespace {

using Lines = std::vector<std::string>;

const Lines kPage = {"Snapgate test page\n", "second line\n"};

class HttpFetcherUnderWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { server_up_ = server_.Start(); }
  static void TearDownTestSuite() { server_.Stop(); }
  void SetUp() override {
    ASSERT_TRUE(server_up_) << "the test server did not come up on port " << server_.port();
    char folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    local_path_ =
        std::string(folder) + "snapgate-download-" + std::to_string(GetCurrentProcessId()) + ".exe";
  }
  void TearDown() override { DeleteFileA(local_path_.c_str()); }

  std::string Url(const std::string& path) { return server_.Url(path); }
  // What the download left at the local path; nothing when there is no file.
  std::optional<std::string> Downloaded() {
    std::ifstream file(local_path_, std::ios::binary);
    if (!file) return std::nullopt;
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
  }

  static inline sg::testing::LoopbackHttpServer server_;
  static inline bool server_up_ = false;
  platform::win32::Win32Platform windows_;
  HttpFetcher fetcher_{windows_.ports()};
  std::string local_path_;
};

TEST_F(HttpFetcherUnderWine, PagesArriveAsLinesOverOneRedirectAtMost) {
  const std::string bare = "127.0.0.1:" + std::to_string(server_.port()) + "/page";
  EXPECT_EQ(fetcher_.Fetch(bare), kPage) << "without a scheme";
  for (const char* moved : {"/redirect/301", "/redirect/302", "/redirect/303", "/redirect/long"}) {
    EXPECT_EQ(fetcher_.Fetch(Url(moved)), kPage) << moved;
  }
  for (const char* nowhere : {"/redirect/twice", "/redirect/https", "/redirect/empty",
                              "/redirect/relative", "/redirect/ftp", "/redirect/none"}) {
    EXPECT_EQ(fetcher_.Fetch(Url(nowhere)), Lines{}) << nowhere;
  }
  EXPECT_EQ(fetcher_.Fetch(Url("/missing")),
            Lines{"<html><body><h1>Not Found</h1></body></html>\n"});
}

TEST_F(HttpFetcherUnderWine, OnlyACompleteDownloadStays) {
  for (const int size : {1023, 1024, 2048}) {
    fetcher_.Fetch(Url("/bytes/" + std::to_string(size)), local_path_);
    EXPECT_TRUE(fetcher_.last_download_complete()) << size;
    const auto content = Downloaded();
    ASSERT_TRUE(content) << size;
    EXPECT_EQ(content->size(), static_cast<std::size_t>(size));
    EXPECT_EQ(static_cast<unsigned char>(content->back()), (size - 1) % 251);
  }
  // A refused download leaves what was at the path, and nothing beside it.
  const std::optional<std::string> earlier = Downloaded();
  for (const char* refused : {"/dropped", "/html-first-block", "/bytes/0", "/missing"}) {
    fetcher_.Fetch(Url(refused), local_path_);
    EXPECT_FALSE(fetcher_.last_download_complete()) << refused;
    EXPECT_EQ(Downloaded(), earlier) << refused;
    EXPECT_EQ(GetFileAttributesA((local_path_ + ".part").c_str()), INVALID_FILE_ATTRIBUTES);
  }
  DeleteFileA(local_path_.c_str());
  fetcher_.Fetch(Url("/dropped"), local_path_);
  EXPECT_FALSE(Downloaded()) << "a fresh path stays free";
}

// A window of the caller's thread that counts what is posted to it.
class CountingWindow {
 public:
  CountingWindow() {
    static const ATOM window_class = [] {
      WNDCLASSEXA description{};
      description.cbSize = sizeof description;
      description.lpfnWndProc = Procedure;
      description.hInstance = GetModuleHandleA(nullptr);
      description.lpszClassName = "SnapgateFetchWaitTest";
      return RegisterClassExA(&description);
    }();
    window_ = CreateWindowExA(0, MAKEINTATOM(window_class), "", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, GetModuleHandleA(nullptr), nullptr);
  }
  ~CountingWindow() { DestroyWindow(window_); }
  HWND hwnd() const { return window_; }
  static inline int arrived = 0;

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_APP) ++arrived;
    return DefWindowProcA(window, message, wparam, lparam);
  }
  HWND window_;
};

std::chrono::nanoseconds ProcessorTime() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  const auto ticks = [](const FILETIME& time) {
    return (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  };
  return std::chrono::nanoseconds((ticks(kernel) + ticks(user)) * 100);
}

TEST_F(HttpFetcherUnderWine, WhileASlowBodyArrivesTheCallerIdlesAndItsMessagesAreDispatched) {
  CountingWindow window;
  CountingWindow::arrived = 0;
  std::thread poster([&] {
    Sleep(1000);
    PostMessageA(window.hwnd(), WM_APP, 0, 0);
  });

  const auto wall_start = std::chrono::steady_clock::now();
  const auto processor_start = ProcessorTime();
  const Lines& lines = fetcher_.Fetch(Url("/slow"));
  const auto processor = ProcessorTime() - processor_start;
  const auto wall = std::chrono::steady_clock::now() - wall_start;
  poster.join();

  EXPECT_EQ(lines.size(), 8u);
  EXPECT_EQ(CountingWindow::arrived, 1) << "the message posted during the wait";
  EXPECT_GT(wall, std::chrono::seconds(2));
  using std::chrono::duration_cast;
  using std::chrono::milliseconds;
  EXPECT_LT(processor * 2, wall) << "busy for " << duration_cast<milliseconds>(processor).count()
                                 << " ms of " << duration_cast<milliseconds>(wall).count() << " ms";
}

}  // namespace
}  // namespace sg::online
