// Hyperlinks on static controls of a real dialog under Wine: the window side of the link,
// with a shell that only records what it is asked to open.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "controls/hyperlink.h"
#include "platform/win32/win32_platform.h"
#include "win32/message_pump.h"
#include "win32/test_resources.h"

namespace sg::platform::win32 {
namespace {

using namespace std::chrono_literals;
using sg::testing::PumpUntil;

// Attaches links as the dialog initialises.
class LinkDialogEvents final : public DialogEvents {
 public:
  void OnInitDialog(DialogHost& host) override {
    if (on_init) on_init(host);
  }
  void OnCommand(int, int) override {}
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t,
                                         std::intptr_t lparam) override {
    if (message == WM_CTLCOLORSTATIC) coloured.push_back(reinterpret_cast<HWND>(lparam));
    return std::nullopt;
  }
  std::function<void(DialogHost&)> on_init;
  std::vector<HWND> coloured;  // controls whose WM_CTLCOLORSTATIC reached the map
};

class LinkDialogUnderWine : public ::testing::Test {
 protected:
  void Open() {
    host_ = dialogs_.CreateModeless(TEST_DIALOG, events_, nullptr);
    ASSERT_NE(host_, nullptr);
    window_ = reinterpret_cast<HWND>(host_->Window());
  }
  HWND Item(int control) { return GetDlgItem(window_, control); }
  // A control's rectangle in the dialog's client coordinates.
  RECT BoundsOf(int control) {
    RECT bounds;
    GetWindowRect(Item(control), &bounds);
    MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&bounds), 2);
    return bounds;
  }
  void ShowInFront() {
    host_->Show(SW_SHOW);
    SetForegroundWindow(window_);
    PumpUntil([&] { return GetForegroundWindow() == window_; }, 5s);
  }

  Win32Dialogs dialogs_;
  LinkDialogEvents events_;
  std::unique_ptr<DialogHost> host_;
  HWND window_ = nullptr;
};

// A shell that only records: links under test open nothing for real.
class RecordingShell final : public ShellPort {
 public:
  ShellExecuteResult Execute(const ShellExecuteRequest& request) override {
    requests.push_back(request);
    ShellExecuteResult result;
    result.instance = 42;
    return result;
  }
  void WaitForProcess(ProcessHandle) override {}
  void CloseProcessHandle(ProcessHandle) override {}
  std::uint32_t WinExec(const std::string& command_line, int) override {
    command_lines.push_back(command_line);
    return 42;
  }
  std::vector<ShellExecuteRequest> requests;
  std::vector<std::string> command_lines;
};

class HyperlinkUnderWine : public LinkDialogUnderWine {
 protected:
  // The real Windows, but with the recording shell.
  Platform Ports() {
    Platform& real = real_.ports();
    return {real.registry, real.files,     real.resources, shell_,         real.windows,
            real.system,   real.dialogs,   real.tray,      real.processes, real.hooks,
            real.browsers, real.url_cache, real.profile,   real.crypto,    real.internet};
  }
  // The text colour and brush that the dialog answers for a control's WM_CTLCOLORSTATIC.
  std::pair<COLORREF, HBRUSH> ColourOf(int control) {
    HDC dc = GetDC(Item(control));
    SetTextColor(dc, RGB(1, 2, 3));
    SetBkMode(dc, OPAQUE);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                     reinterpret_cast<LPARAM>(Item(control))));
    const COLORREF colour = GetTextColor(dc);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    ReleaseDC(Item(control), dc);
    return {colour, brush};
  }
  // The text of tool 1 of any tooltip of this thread over the control.
  std::string TooltipOver(int control) {
    struct Search {
      HWND control;
      std::string text;
    } search{Item(control), {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM context) -> BOOL {
          auto& search = *reinterpret_cast<Search*>(context);
          char class_name[64] = {};
          GetClassNameA(window, class_name, sizeof class_name);
          if (lstrcmpiA(class_name, TOOLTIPS_CLASSA) != 0) return TRUE;
          char text[256] = {};
          TTTOOLINFOA tool{};
          tool.cbSize = TTTOOLINFOA_V2_SIZE;
          tool.hwnd = search.control;
          tool.uId = 1;
          tool.lpszText = text;
          SendMessageA(window, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
          if (text[0]) search.text = text;
          return search.text.empty();
        },
        reinterpret_cast<LPARAM>(&search));
    return search.text;
  }

  win32::Win32Platform real_;
  RecordingShell shell_;
  Platform ports_ = Ports();
};

TEST_F(HyperlinkUnderWine, TheDialogColoursTheLinkTransparentlyOnTheNullBrush) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  const auto [colour, brush] = ColourOf(TEST_LINK);
  EXPECT_EQ(colour, controls::kLinkColour);
  EXPECT_EQ(brush, static_cast<HBRUSH>(GetStockObject(NULL_BRUSH)));

  ShowInFront();
  SetFocus(Item(TEST_LINK));
  EXPECT_TRUE(link.State().armed);
  EXPECT_EQ(ColourOf(TEST_LINK).first, controls::kFocusColour);
  for (HWND control : events_.coloured) {
    EXPECT_NE(control, Item(TEST_LINK)) << "the link's colour is not the map's business";
  }
}

TEST_F(HyperlinkUnderWine, TheLinkIsHitWhereAPlainStaticIsTransparent) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  RECT bounds;
  GetWindowRect(Item(TEST_LINK), &bounds);
  EXPECT_EQ(
      SendMessageA(Item(TEST_LINK), WM_NCHITTEST, 0, MAKELPARAM(bounds.left + 1, bounds.top + 1)),
      HTCLIENT);
  GetWindowRect(Item(TEST_STATIC), &bounds);
  EXPECT_EQ(
      SendMessageA(Item(TEST_STATIC), WM_NCHITTEST, 0, MAKELPARAM(bounds.left + 1, bounds.top + 1)),
      HTTRANSPARENT);
}

TEST_F(HyperlinkUnderWine, SizedToItsUnderlinedTextARightAlignedLinkKeepsItsRightEdge) {
  controls::CHyperLink left(ports_);
  controls::CHyperLink right(ports_);
  RECT left_before{};
  RECT right_before{};
  events_.on_init = [&](DialogHost& host) {
    window_ = reinterpret_cast<HWND>(host.Window());
    left_before = BoundsOf(TEST_LINK);
    right_before = BoundsOf(TEST_RIGHT_LINK);
    left.Attach(host, TEST_LINK);
    right.Attach(host, TEST_RIGHT_LINK);
  };
  Open();
  const RECT left_after = BoundsOf(TEST_LINK);
  const RECT right_after = BoundsOf(TEST_RIGHT_LINK);

  EXPECT_EQ(right_after.right, right_before.right);
  EXPECT_GT(right_after.left, right_before.left);
  EXPECT_EQ(left_after.left, left_before.left);
  EXPECT_EQ(left_after.top, left_before.top);

  // The client area is exactly the text.
  HDC dc = GetDC(Item(TEST_RIGHT_LINK));
  const auto font = reinterpret_cast<HFONT>(SendMessageA(Item(TEST_RIGHT_LINK), WM_GETFONT, 0, 0));
  HGDIOBJ previous = SelectObject(dc, font);
  SIZE text{};
  GetTextExtentPoint32A(dc, "Right link", 10, &text);
  SelectObject(dc, previous);
  ReleaseDC(Item(TEST_RIGHT_LINK), dc);
  EXPECT_EQ(right_after.right - right_after.left, text.cx);
  EXPECT_EQ(right_after.bottom - right_after.top, text.cy);

  LOGFONTA description{};
  ASSERT_TRUE(GetObjectA(font, sizeof description, &description));
  EXPECT_TRUE(description.lfUnderline);
  EXPECT_NE(font, reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0)));
}

TEST_F(HyperlinkUnderWine, AControlWithoutAFontKeepsItsSize) {
  controls::CHyperLink link(ports_);
  RECT before{};
  events_.on_init = [&](DialogHost& host) {
    window_ = reinterpret_cast<HWND>(host.Window());
    SendMessageA(Item(TEST_LINK), WM_SETFONT, 0, FALSE);
    before = BoundsOf(TEST_LINK);
    link.Attach(host, TEST_LINK);
  };
  Open();
  const RECT after = BoundsOf(TEST_LINK);
  EXPECT_EQ(after.right - after.left, before.right - before.left);
  EXPECT_EQ(after.bottom - after.top, before.bottom - before.top);
  EXPECT_EQ(SendMessageA(Item(TEST_LINK), WM_GETFONT, 0, 0), 0);
  EXPECT_EQ(link.Style() & controls::kSizeToText, 0u);
}

TEST_F(HyperlinkUnderWine, ATooltipShowsTheTargetAndFollowsANewOne) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  EXPECT_EQ(TooltipOver(TEST_LINK), "http://www.example.com/");
  link.SetUrl("http://www.example.org/help.htm");
  EXPECT_EQ(TooltipOver(TEST_LINK), "http://www.example.org/help.htm");
  EXPECT_FALSE(IsWindowVisible(Item(TEST_LINK))) << "the dialog itself is still hidden";
  ShowInFront();
  EXPECT_TRUE(IsWindowVisible(Item(TEST_LINK)));
}

TEST_F(HyperlinkUnderWine, TheHandCursorIsSetOverTheLink) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  ShowInFront();
  SetCursor(nullptr);
  EXPECT_EQ(SendMessageA(Item(TEST_LINK), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(TEST_LINK)),
                         MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
            TRUE);
  EXPECT_NE(GetCursor(), nullptr);
}

TEST_F(HyperlinkUnderWine, ThePointerCapturesTheMouseUntilItLeavesTheClientArea) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  ShowInFront();
  SendMessageA(Item(TEST_LINK), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
  EXPECT_EQ(GetCapture(), Item(TEST_LINK));
  EXPECT_TRUE(link.State().pointer_over);
  SendMessageA(Item(TEST_LINK), WM_MOUSEMOVE, 0, MAKELPARAM(-5 & 0xFFFF, 2));
  EXPECT_NE(GetCapture(), Item(TEST_LINK));
  EXPECT_FALSE(link.State().pointer_over);
}

TEST_F(HyperlinkUnderWine, AClickOpensTheTargetAndLeavesItPurple) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  ShowInFront();
  PostMessageA(Item(TEST_LINK), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
  PostMessageA(Item(TEST_LINK), WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  ASSERT_TRUE(PumpUntil([&] { return !shell_.requests.empty(); }, 10s));
  EXPECT_EQ(shell_.requests[0].verb, "open");
  EXPECT_EQ(shell_.requests[0].file, "http://www.example.com/");
  EXPECT_EQ(shell_.requests[0].show_command, SW_SHOW);
  EXPECT_EQ(GetFocus(), Item(TEST_LINK));

  SetFocus(Item(TEST_EDIT));
  EXPECT_EQ(ColourOf(TEST_LINK).first, controls::kVisitedColour);
}

TEST_F(HyperlinkUnderWine, TheSpaceBarOpensTheFocusedLink) {
  controls::CHyperLink link(ports_);
  events_.on_init = [&](DialogHost& host) { link.Attach(host, TEST_LINK); };
  Open();
  ShowInFront();
  SetFocus(Item(TEST_LINK));
  SendMessageA(Item(TEST_LINK), WM_KEYDOWN, VK_SPACE, 0);
  ASSERT_EQ(shell_.requests.size(), 1u);
  SendMessageA(Item(TEST_LINK), WM_KEYDOWN, 'A', 0);
  EXPECT_EQ(shell_.requests.size(), 1u);
}

TEST(LinkSystemCallsUnderWine, WinExecOfAMissingProgramSaysFileNotFound) {
  Win32Shell shell;
  EXPECT_EQ(shell.WinExec("C:\\no such folder\\no-program.exe http://www.example.com/", SW_SHOW),
            static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
  Win32System system;
  system.MessageBeep(MB_ICONEXCLAMATION);  // no sound device needed
  EXPECT_EQ(MB_ICONEXCLAMATION, kMbIconExclamation);
}

}  // namespace
}  // namespace sg::platform::win32
