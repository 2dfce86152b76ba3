// Dialogs from this executable's resource templates, driven through the real USER32 and common
// controls of Wine.
#include "platform/win32/win32_dialogs.h"

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/win32/unclashed_names.h"
#include "platform/win32/win32_windows.h"
#include "win32/message_pump.h"
#include "win32/test_resources.h"

namespace sg::platform::win32 {
namespace {

using namespace std::chrono_literals;
using sg::testing::PumpFor;
using sg::testing::PumpUntil;

struct Received {
  std::uint32_t message;
  std::uintptr_t wparam;
  std::intptr_t lparam;
};

// A dialog's message map that records everything and lets each test add behaviour.
class RecordingEvents : public DialogEvents {
 public:
  void OnInitDialog(DialogHost& host) override {
    host_ = &host;
    ++inits;
    for (const char* item : {"Never", "Sometimes", "Always"}) host.ComboAdd(TEST_COMBO, item);
    if (on_init) on_init(host);
  }
  void OnCommand(int id, int notification) override {
    commands.emplace_back(id, notification);
    if (on_command) on_command(*host_, id);
  }
  void OnTimer(std::uint32_t timer_id) override {
    ++timers[timer_id];
    if (on_timer) on_timer(*host_, timer_id);
  }
  bool OnSysCommand(std::uint32_t command) override {
    sys_commands.push_back(command);
    return handle_sys_commands;
  }
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) override {
    messages.push_back({message, wparam, lparam});
    const auto answer = answers.find(message);
    if (answer == answers.end()) return std::nullopt;
    return answer->second;
  }
  std::string TooltipText(int control_id) override {
    const auto text = tooltips.find(control_id);
    return text == tooltips.end() ? std::string() : text->second;
  }
  void OnControlDoubleClick(int control_id) override { double_clicks.push_back(control_id); }
  void OnControlRightDoubleClick(int control_id) override {
    right_double_clicks.push_back(control_id);
  }
  void OnNotify(const ControlNotification& notification) override {
    notifications.push_back(
        {notification.control, notification.code, notification.item, notification.sub_item});
    if (host_ && notification.control == TEST_LIST_VIEW) {
      selected_when_told = host_->ListViewSelectedRows(TEST_LIST_VIEW);
    }
  }
  // The notifications of one kind, as {control, code, item, sub-item}.
  std::vector<std::array<int, 4>> NotificationsOf(int code) const {
    std::vector<std::array<int, 4>> found;
    for (const auto& notification : notifications) {
      if (notification[1] == code) found.push_back(notification);
    }
    return found;
  }

  bool Saw(std::uint32_t message) const {
    for (const Received& received : messages) {
      if (received.message == message) return true;
    }
    return false;
  }
  // The notifications a control sent, in order; focus changes of other controls left out.
  std::vector<int> CommandsFrom(int id) const {
    std::vector<int> notifications;
    for (const auto& command : commands) {
      if (command.first == id) notifications.push_back(command.second);
    }
    return notifications;
  }
  bool SawCommand(int id) const {
    for (const auto& command : commands) {
      if (command.first == id) return true;
    }
    return false;
  }

  std::function<void(DialogHost&)> on_init;
  std::function<void(DialogHost&, int)> on_command;
  std::function<void(DialogHost&, std::uint32_t)> on_timer;
  bool handle_sys_commands = false;
  std::map<std::uint32_t, std::intptr_t> answers;
  std::map<int, std::string> tooltips;

  DialogHost* host_ = nullptr;
  int inits = 0;
  std::vector<std::pair<int, int>> commands;
  std::map<std::uint32_t, int> timers;
  std::vector<std::uint32_t> sys_commands;
  std::vector<Received> messages;
  std::vector<int> double_clicks;
  std::vector<int> right_double_clicks;
  std::vector<std::array<int, 4>> notifications;
  std::vector<int> selected_when_told;
};

// Waits on another thread for a top-level window with this title, as a user would, and then acts
// on it. The answer is the window found, or none after the time limit.
std::future<HWND> WhenShown(std::string title, std::function<void(HWND)> act) {
  return std::async(std::launch::async, [title = std::move(title), act = std::move(act)] {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    while (std::chrono::steady_clock::now() < deadline) {
      HWND window = FindWindowA(nullptr, title.c_str());
      if (window && IsWindowVisible(window)) {
        act(window);
        return window;
      }
      std::this_thread::sleep_for(20ms);
    }
    return HWND{};
  });
}

bool HasChildWithText(HWND window, const std::string& text) {
  std::pair<const std::string*, bool> search{&text, false};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM context) -> BOOL {
        auto* search = reinterpret_cast<std::pair<const std::string*, bool>*>(context);
        char buffer[256] = {};
        GetWindowTextA(child, buffer, sizeof buffer);
        if (*search->first == buffer) search->second = true;
        return !search->second;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.second;
}

class DialogsPortUnderWine : public ::testing::Test {
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
  LPARAM CentreOf(int control) {
    const RECT bounds = BoundsOf(control);
    return MAKELPARAM((bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2);
  }
  // Two clicks of one button at the centre of a control, as the user makes them.
  void RealDoubleClick(int control, DWORD down, DWORD up) {
    RECT bounds;
    GetWindowRect(Item(control), &bounds);
    RealDoubleClickAt({(bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2}, down,
                      up);
  }
  void RealDoubleClickAt(POINT screen, DWORD down, DWORD up) {
    SetCursorPos(screen.x, screen.y);
    INPUT clicks[4] = {};
    for (int i = 0; i < 4; ++i) {
      clicks[i].type = INPUT_MOUSE;
      clicks[i].mi.dwFlags = i % 2 == 0 ? down : up;
    }
    ASSERT_EQ(SendInput(4, clicks, sizeof clicks[0]), 4u);
  }
  void ShowInFront() {
    host_->Show(kSwShow);
    SetForegroundWindow(window_);
    PumpUntil([&] { return GetForegroundWindow() == window_; }, 5s);
  }

  Win32Dialogs dialogs_;
  RecordingEvents events_;
  std::unique_ptr<DialogHost> host_;
  HWND window_ = nullptr;
};

TEST_F(DialogsPortUnderWine, ModelessDialogStartsHiddenWithItsInitialisationDone) {
  Open();
  EXPECT_EQ(events_.inits, 1);
  EXPECT_EQ(events_.host_, host_.get());
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_EQ(host_->ComboCount(TEST_COMBO), 3);
  EXPECT_FALSE(host_->IsVisible());

  host_->Show(kSwShow);
  EXPECT_TRUE(host_->IsVisible());
  EXPECT_TRUE(IsWindowVisible(window_));
  host_->Show(kSwHide);
  EXPECT_FALSE(host_->IsVisible());

  host_->SetTitle("Snapgate! - 3 popups blocked");
  char title[100];
  GetWindowTextA(window_, title, sizeof title);
  EXPECT_STREQ(title, "Snapgate! - 3 popups blocked");
}

TEST_F(DialogsPortUnderWine, DestroyingTheHostDestroysTheWindowAndTellsTheEventsNothingMore) {
  Open();
  const std::size_t heard = events_.messages.size();
  host_.reset();
  EXPECT_FALSE(IsWindow(window_));
  EXPECT_EQ(events_.messages.size(), heard);
}

TEST_F(DialogsPortUnderWine, AMissingTemplateMakesNoDialog) {
  EXPECT_EQ(dialogs_.CreateModeless(4999, events_, nullptr), nullptr);
  EXPECT_EQ(dialogs_.RunModal(4999, events_, nullptr), -1);
  EXPECT_EQ(events_.inits, 0);
}

TEST_F(DialogsPortUnderWine, TextsOfAnyLengthGoInAndComeBack) {
  Open();
  const std::string long_text(5000, 'w');
  host_->SetText(TEST_EDIT, long_text);
  EXPECT_EQ(host_->Text(TEST_EDIT), long_text);
  host_->SetText(TEST_EDIT, "");
  EXPECT_EQ(host_->Text(TEST_EDIT), "");
  host_->SetText(TEST_STATIC, "12 popups");
  EXPECT_EQ(host_->Text(TEST_STATIC), "12 popups");
  EXPECT_EQ(host_->Text(4998), "");
}

TEST_F(DialogsPortUnderWine, CheckBoxesAndEnabling) {
  Open();
  EXPECT_FALSE(host_->IsChecked(TEST_CHECK));
  host_->SetChecked(TEST_CHECK, true);
  EXPECT_TRUE(host_->IsChecked(TEST_CHECK));
  EXPECT_EQ(SendMessageA(Item(TEST_CHECK), BM_GETCHECK, 0, 0), BST_CHECKED);
  host_->SetChecked(TEST_CHECK, false);
  EXPECT_FALSE(host_->IsChecked(TEST_CHECK));

  // A click by the user changes the mark and tells the dialog.
  SendMessageA(Item(TEST_CHECK), BM_CLICK, 0, 0);
  EXPECT_TRUE(host_->IsChecked(TEST_CHECK));
  EXPECT_EQ(events_.CommandsFrom(TEST_CHECK), std::vector<int>{kBnClicked});

  host_->EnableControl(TEST_EDIT, false);
  EXPECT_FALSE(IsWindowEnabled(Item(TEST_EDIT)));
  host_->EnableControl(TEST_EDIT, true);
  EXPECT_TRUE(IsWindowEnabled(Item(TEST_EDIT)));
}

TEST_F(DialogsPortUnderWine, FocusGoesToTheFirstControlUnlessInitialisationChoseOne) {
  Open();
  ShowInFront();
  EXPECT_EQ(GetFocus(), Item(TEST_EDIT));
  host_->SetFocus(TEST_LIST);
  EXPECT_EQ(GetFocus(), Item(TEST_LIST));
  host_.reset();

  events_.on_init = [](DialogHost& host) { host.SetFocus(TEST_COMBO); };
  Open();
  ShowInFront();
  EXPECT_EQ(GetFocus(), Item(TEST_COMBO));
}

TEST_F(DialogsPortUnderWine, UnsortedListKeepsTheOrderOfAddition) {
  Open();
  EXPECT_EQ(host_->ListCount(TEST_LIST), 0);
  EXPECT_EQ(host_->ListSelection(TEST_LIST), -1);
  EXPECT_EQ(host_->ListAdd(TEST_LIST, "popup.example"), 0);
  EXPECT_EQ(host_->ListAdd(TEST_LIST, "ads.example"), 1);
  const std::string long_item(700, 'z');
  EXPECT_EQ(host_->ListAdd(TEST_LIST, long_item), 2);
  EXPECT_EQ(host_->ListCount(TEST_LIST), 3);
  EXPECT_EQ(host_->ListText(TEST_LIST, 1), "ads.example");
  EXPECT_EQ(host_->ListText(TEST_LIST, 2), long_item);
  EXPECT_EQ(host_->ListText(TEST_LIST, 3), "");
  EXPECT_EQ(host_->ListText(TEST_LIST, -1), "");

  host_->ListSelect(TEST_LIST, 2);
  EXPECT_EQ(host_->ListSelection(TEST_LIST), 2);
  host_->ListDelete(TEST_LIST, 0);
  EXPECT_EQ(host_->ListCount(TEST_LIST), 2);
  EXPECT_EQ(host_->ListText(TEST_LIST, 0), "ads.example");
  host_->ListSelect(TEST_LIST, -1);
  EXPECT_EQ(host_->ListSelection(TEST_LIST), -1);

  host_->ListReset(TEST_LIST);
  EXPECT_EQ(host_->ListCount(TEST_LIST), 0);
}

TEST_F(DialogsPortUnderWine, DropDownSelectionAndIndexesOutOfRange) {
  Open();
  EXPECT_EQ(host_->ComboCount(TEST_COMBO), 3);
  EXPECT_EQ(host_->ComboSelection(TEST_COMBO), -1);
  host_->ComboSelect(TEST_COMBO, 2);
  EXPECT_EQ(host_->ComboSelection(TEST_COMBO), 2);
  char shown[50];
  GetWindowTextA(Item(TEST_COMBO), shown, sizeof shown);
  EXPECT_STREQ(shown, "Always");

  host_->ComboSelect(TEST_COMBO, 3);
  EXPECT_EQ(host_->ComboSelection(TEST_COMBO), -1);
  host_->ComboSelect(TEST_COMBO, 0);
  host_->ComboSelect(TEST_COMBO, -7);
  EXPECT_EQ(host_->ComboSelection(TEST_COMBO), -1);
  host_->ComboSelect(TEST_COMBO, 1);
  host_->ComboSelect(TEST_COMBO, 100);
  EXPECT_EQ(host_->ComboSelection(TEST_COMBO), -1);
}

TEST_F(DialogsPortUnderWine, SliderPositionStaysWithinItsRange) {
  Open();
  host_->SetSliderPosition(TEST_SLIDER, 40);
  EXPECT_EQ(host_->SliderPosition(TEST_SLIDER), 40);
  EXPECT_EQ(SendMessageA(Item(TEST_SLIDER), TBM_GETPOS, 0, 0), 40);
  SendMessageA(Item(TEST_SLIDER), TBM_SETRANGE, TRUE, MAKELPARAM(0, 10));
  host_->SetSliderPosition(TEST_SLIDER, 15);
  EXPECT_EQ(host_->SliderPosition(TEST_SLIDER), 10);
}

TEST_F(DialogsPortUnderWine, BoldFontIsACopyOfTheDialogFontFreedWithTheDialog) {
  Open();
  const auto dialog_font = reinterpret_cast<HFONT>(SendMessageA(window_, WM_GETFONT, 0, 0));
  host_->SetBold(TEST_STATIC);
  host_->SetBold(TEST_CHECK);
  const auto bold = reinterpret_cast<HFONT>(SendMessageA(Item(TEST_STATIC), WM_GETFONT, 0, 0));
  ASSERT_NE(bold, nullptr);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Item(TEST_CHECK), WM_GETFONT, 0, 0)), bold);
  LOGFONTA bold_description{};
  LOGFONTA dialog_description{};
  ASSERT_TRUE(GetObjectA(bold, sizeof bold_description, &bold_description));
  ASSERT_TRUE(GetObjectA(dialog_font, sizeof dialog_description, &dialog_description));
  EXPECT_EQ(bold_description.lfWeight, FW_BOLD);
  EXPECT_LT(dialog_description.lfWeight, FW_BOLD);
  EXPECT_STREQ(bold_description.lfFaceName, dialog_description.lfFaceName);
  EXPECT_EQ(bold_description.lfHeight, dialog_description.lfHeight);
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(Item(TEST_EDIT), WM_GETFONT, 0, 0)), dialog_font);

  host_.reset();
  EXPECT_EQ(GetObjectType(bold), 0u);
}

TEST_F(DialogsPortUnderWine, CommandsReachTheEventsAndNeverEndOrHideTheDialog) {
  Open();
  host_->Show(kSwShow);
  PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  PostMessageA(window_, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  PostMessageA(window_, WM_COMMAND, MAKEWPARAM(TEST_COMBO, kCbnSelEndOk),
               reinterpret_cast<LPARAM>(Item(TEST_COMBO)));
  ASSERT_TRUE(PumpUntil([&] { return events_.SawCommand(TEST_COMBO); }));
  EXPECT_EQ(events_.CommandsFrom(kIdOk), std::vector<int>{kBnClicked});
  EXPECT_EQ(events_.CommandsFrom(kIdCancel), std::vector<int>{kBnClicked});
  EXPECT_EQ(events_.CommandsFrom(TEST_COMBO), std::vector<int>{kCbnSelEndOk});
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_TRUE(host_->IsVisible());
}

TEST_F(DialogsPortUnderWine, ClosingAModelessDialogIsTheMessageMapsBusiness) {
  Open();
  host_->Show(kSwShow);
  // Unanswered, WM_CLOSE gets the default treatment: the dialog hears Cancel.
  PostMessageA(window_, WM_CLOSE, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.SawCommand(kIdCancel); }));
  EXPECT_TRUE(events_.Saw(WM_CLOSE));
  EXPECT_TRUE(IsWindow(window_));
  EXPECT_TRUE(host_->IsVisible());

  events_.commands.clear();
  events_.answers[WM_CLOSE] = 0;
  PostMessageA(window_, WM_CLOSE, 0, 0);
  PumpFor(200ms);
  EXPECT_TRUE(events_.commands.empty());
}

TEST_F(DialogsPortUnderWine, EscapeIsTheDialogsCancelWhileAWorkerIsWaitedFor) {
  Open();
  ShowInFront();
  std::atomic<bool> cancelled = false;
  events_.on_command = [&](DialogHost&, int id) { cancelled = cancelled || id == kIdCancel; };
  HWND edit = Item(TEST_EDIT);
  Win32Windows().RunDispatchingMessages([&] {
    PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    // Until the waiting thread has dealt with the key, or long after it should have.
    for (int tries = 0; tries < 500 && !cancelled; ++tries) Sleep(10);
  });
  EXPECT_TRUE(cancelled);
}

TEST_F(DialogsPortUnderWine, TimersFireUntilKilled) {
  Open();
  host_->SetTimer(7, 10);
  host_->SetTimer(8, 15);
  ASSERT_TRUE(PumpUntil([&] { return events_.timers[7] >= 2 && events_.timers[8] >= 2; }));
  host_->KillTimer(7);
  const int fired = events_.timers[7];
  const int other = events_.timers[8];
  ASSERT_TRUE(PumpUntil([&] { return events_.timers[8] >= other + 3; }));
  EXPECT_EQ(events_.timers[7], fired);
}

TEST_F(DialogsPortUnderWine, PostFromAWorkerThreadReachesTheMessageMap) {
  Open();
  std::thread worker([&] { host_->Post(kWmApp + 5, 11, -22); });
  worker.join();
  ASSERT_TRUE(PumpUntil([&] { return events_.Saw(kWmApp + 5); }));
  for (const Received& received : events_.messages) {
    if (received.message != kWmApp + 5) continue;
    EXPECT_EQ(received.wparam, 11u);
    EXPECT_EQ(received.lparam, -22);
  }
}

TEST_F(DialogsPortUnderWine, AnswersOfTheMessageMapReachTheSender) {
  Open();
  events_.answers[kWmApp + 6] = 1234;
  EXPECT_EQ(SendMessageA(window_, kWmApp + 6, 0, 0), 1234);
  EXPECT_EQ(SendMessageA(window_, kWmApp + 7, 0, 0), 0);
  EXPECT_TRUE(events_.Saw(kWmApp + 7));

  // Colour messages take the brush as the procedure's own return value.
  HBRUSH brush = GetSysColorBrush(COLOR_INFOBK);
  events_.answers[WM_CTLCOLORSTATIC] = reinterpret_cast<std::intptr_t>(brush);
  HDC context = GetDC(Item(TEST_STATIC));
  EXPECT_EQ(SendMessageA(window_, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(context),
                         reinterpret_cast<LPARAM>(Item(TEST_STATIC))),
            reinterpret_cast<LRESULT>(brush));
  ReleaseDC(Item(TEST_STATIC), context);
}

TEST_F(DialogsPortUnderWine, SystemMenuGetsASeparatorAndTheItem) {
  Open();
  HMENU menu = GetSystemMenu(window_, FALSE);
  const int before = GetMenuItemCount(menu);
  host_->AppendSystemMenuItem(0x0010, "About Snapgate!...");
  ASSERT_EQ(GetMenuItemCount(menu), before + 2);
  EXPECT_TRUE(GetMenuState(menu, before, MF_BYPOSITION) & MF_SEPARATOR);
  EXPECT_EQ(GetMenuItemID(menu, before + 1), 0x0010u);
  char text[50];
  GetMenuStringA(menu, before + 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "About Snapgate!...");

  host_->AppendSystemMenuItem(0x0020, "");
  EXPECT_EQ(GetMenuItemCount(menu), before + 2);
}

TEST_F(DialogsPortUnderWine, SystemCommandsGoToTheEventsFirst) {
  Open();
  host_->Show(kSwShow);
  PostMessageA(window_, WM_SYSCOMMAND, 0x0010, 0);
  ASSERT_TRUE(PumpUntil([&] { return !events_.sys_commands.empty(); }));
  EXPECT_EQ(events_.sys_commands[0], 0x0010u);

  // Declined, the close command gets default processing, which closes by way of Cancel.
  SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.SawCommand(kIdCancel); }));
  EXPECT_TRUE(events_.Saw(WM_CLOSE));

  events_.commands.clear();
  events_.messages.clear();
  events_.handle_sys_commands = true;
  SendMessageA(window_, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpFor(200ms);
  EXPECT_FALSE(events_.Saw(WM_CLOSE));
  EXPECT_TRUE(events_.commands.empty());
}

TEST_F(DialogsPortUnderWine, WindowIconsComeFromTheIconResource) {
  Open();
  // Loaded shared at the large size first, as a dialog's icon control does.
  ASSERT_NE(LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(TEST_ICON)), nullptr);
  host_->SetIcon(TEST_ICON);
  const auto big = reinterpret_cast<HICON>(SendMessageA(window_, WM_GETICON, ICON_BIG, 0));
  const auto small = reinterpret_cast<HICON>(SendMessageA(window_, WM_GETICON, ICON_SMALL, 0));
  ASSERT_NE(big, nullptr);
  ASSERT_NE(small, nullptr);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(small, &info));
  BITMAP colours{};
  GetObjectA(info.hbmColor, sizeof colours, &colours);
  EXPECT_EQ(colours.bmWidth, GetSystemMetrics(SM_CXSMICON));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
}

TEST_F(DialogsPortUnderWine, TooltipsAskTheEventsForEachControlsText) {
  Open();
  events_.tooltips[TEST_EDIT] = "Type the address of a site";
  events_.tooltips[TEST_SLIDER] = "How loud the warning is";
  host_->EnableTooltips();
  host_->EnableTooltips();

  std::pair<HWND, std::vector<HWND>> found{window_, {}};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM context) -> BOOL {
        auto* found = reinterpret_cast<std::pair<HWND, std::vector<HWND>>*>(context);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) == TOOLTIPS_CLASSA && GetWindow(window, GW_OWNER) == found->first) {
          found->second.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&found));
  ASSERT_EQ(found.second.size(), 1u);
  HWND tooltip = found.second[0];

  int children = 0;
  for (HWND child = GetWindow(window_, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    ++children;
  }
  EXPECT_EQ(SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0), children);

  const auto text_of = [&](int control) {
    char buffer[100] = {};
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(Item(control));
    tool.lpszText = buffer;
    SendMessageA(tooltip, TTM_GETTEXTA, sizeof buffer, reinterpret_cast<LPARAM>(&tool));
    return std::string(buffer);
  };
  EXPECT_EQ(text_of(TEST_EDIT), "Type the address of a site");
  EXPECT_EQ(text_of(TEST_SLIDER), "How loud the warning is");
  EXPECT_EQ(text_of(TEST_CHECK), "");
}

TEST_F(DialogsPortUnderWine, DoubleClickInsideAControlNamesTheInnermostControl) {
  Open();
  host_->Show(kSwShow);
  PostMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, CentreOf(TEST_STATIC));
  ASSERT_TRUE(PumpUntil([&] { return events_.double_clicks.size() == 1; }));
  EXPECT_EQ(events_.double_clicks[0], TEST_STATIC);

  // Inside the group box but beside the text.
  RECT inside_group{100, 110, 100, 110};
  MapDialogRect(window_, &inside_group);
  PostMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON,
               MAKELPARAM(inside_group.left, inside_group.top));
  // Outside every control.
  RECT nowhere{200, 100, 200, 100};
  MapDialogRect(window_, &nowhere);
  PostMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(nowhere.left, nowhere.top));
  PostMessageA(window_, kWmApp + 9, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.Saw(kWmApp + 9); }));
  ASSERT_EQ(events_.double_clicks.size(), 2u);
  EXPECT_EQ(events_.double_clicks[1], TEST_GROUP);
}

TEST_F(DialogsPortUnderWine, ARealDoubleClickOnAStaticTextReachesTheEvents) {
  Open();
  ShowInFront();
  RealDoubleClick(TEST_STATIC, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !events_.double_clicks.empty(); }));
  EXPECT_EQ(events_.double_clicks[0], TEST_STATIC);
  EXPECT_TRUE(events_.right_double_clicks.empty());
}

TEST_F(DialogsPortUnderWine,
       AnAnimationTakesItsPlaceholdersPlaceAtItsFirstPlayAndStillTakesClicks) {
  Open();
  host_->Show(kSwShow);
  HWND placeholder = Item(TEST_ANIMATION);
  const RECT where = BoundsOf(TEST_ANIMATION);
  char name[32] = {};
  GetClassNameA(placeholder, name, sizeof name);
  ASSERT_STREQ(name, "Static");

  host_->PlayAnimation(TEST_ANIMATION, TEST_CLIP);
  HWND animation = Item(TEST_ANIMATION);
  GetClassNameA(animation, name, sizeof name);
  EXPECT_STREQ(name, ANIMATE_CLASSA);
  EXPECT_FALSE(IsWindow(placeholder));
  // Where the placeholder was; the control takes the clip's size, as it would in the template.
  const RECT now = BoundsOf(TEST_ANIMATION);
  EXPECT_EQ(now.left, where.left);
  EXPECT_EQ(now.top, where.top);
  EXPECT_TRUE(IsWindowVisible(animation));

  host_->PlayAnimation(TEST_ANIMATION, TEST_CLIP);
  EXPECT_EQ(Item(TEST_ANIMATION), animation) << "made once";
  host_->StopAnimation(TEST_ANIMATION);

  SendMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, CentreOf(TEST_ANIMATION));
  ASSERT_EQ(events_.double_clicks.size(), 1u);
  EXPECT_EQ(events_.double_clicks[0], TEST_ANIMATION);
}

TEST_F(DialogsPortUnderWine, RightDoubleClicksAreToldApartFromLeftOnes) {
  Open();
  host_->Show(kSwShow);
  PostMessageA(window_, WM_RBUTTONDBLCLK, MK_RBUTTON, CentreOf(TEST_ICON_STATIC));
  PostMessageA(window_, WM_LBUTTONDBLCLK, MK_LBUTTON, CentreOf(TEST_STATIC));
  RECT nowhere{200, 100, 200, 100};
  MapDialogRect(window_, &nowhere);
  PostMessageA(window_, WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(nowhere.left, nowhere.top));
  PostMessageA(window_, kWmApp + 9, 0, 0);
  ASSERT_TRUE(PumpUntil([&] { return events_.Saw(kWmApp + 9); }));
  EXPECT_EQ(events_.right_double_clicks, std::vector<int>{TEST_ICON_STATIC});
  EXPECT_EQ(events_.double_clicks, std::vector<int>{TEST_STATIC});
}

TEST_F(DialogsPortUnderWine, ARealRightDoubleClickOnAnIconReachesTheEvents) {
  Open();
  ShowInFront();
  RealDoubleClick(TEST_ICON_STATIC, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(PumpUntil([&] { return !events_.right_double_clicks.empty(); }));
  EXPECT_EQ(events_.right_double_clicks[0], TEST_ICON_STATIC);
  EXPECT_TRUE(events_.double_clicks.empty());
}

TEST_F(DialogsPortUnderWine, IconStaticsShowTheSystemIconsAndMoveFromWhereTheyAre) {
  Open();
  const auto shown = [&] {
    return reinterpret_cast<HICON>(SendMessageA(Item(TEST_ICON_STATIC), STM_GETICON, 0, 0));
  };
  const HICON logo = LoadIcon(nullptr, IDI_WINLOGO);
  const HICON application = LoadIcon(nullptr, IDI_APPLICATION);
  ASSERT_NE(logo, application);
  ASSERT_NE(shown(), nullptr) << "the template's own icon";
  EXPECT_NE(shown(), logo);

  host_->SetControlSystemIcon(TEST_ICON_STATIC, SystemIcon::kWinLogo);
  EXPECT_EQ(shown(), logo);
  host_->SetControlSystemIcon(TEST_ICON_STATIC, SystemIcon::kApplication);
  EXPECT_EQ(shown(), application);

  const RECT before = BoundsOf(TEST_ICON_STATIC);
  host_->MoveControl(TEST_ICON_STATIC, -10, 11, 32, 32);
  RECT after = BoundsOf(TEST_ICON_STATIC);
  EXPECT_EQ(after.left, before.left - 10);
  EXPECT_EQ(after.top, before.top + 11);
  EXPECT_EQ(after.right - after.left, 32);
  EXPECT_EQ(after.bottom - after.top, 32);

  // A second move starts where the first left the control; another icon keeps it in place.
  host_->MoveControl(TEST_ICON_STATIC, 20, -2, 40, 24);
  host_->SetControlSystemIcon(TEST_ICON_STATIC, SystemIcon::kWinLogo);
  after = BoundsOf(TEST_ICON_STATIC);
  EXPECT_EQ(after.left, before.left + 10);
  EXPECT_EQ(after.top, before.top + 9);
}

TEST_F(DialogsPortUnderWine, ModalDialogRunsUntilTheProgramEndsIt) {
  // OK does not end the dialog by itself; a timer started by OK ends it later.
  events_.on_init = [](DialogHost& host) {
    host.Post(kWmCommand, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  };
  events_.on_command = [](DialogHost& host, int id) {
    if (id == kIdOk) host.SetTimer(3, 20);
  };
  events_.on_timer = [](DialogHost& host, std::uint32_t) { host.EndDialog(42); };
  EXPECT_EQ(dialogs_.RunModal(TEST_MODAL_DIALOG, events_, nullptr), 42);
  EXPECT_EQ(events_.inits, 1);
  ASSERT_FALSE(events_.commands.empty());
  EXPECT_EQ(events_.commands[0], std::make_pair(kIdOk, kBnClicked));
  EXPECT_GE(events_.timers[3], 1);
}

TEST_F(DialogsPortUnderWine, ClosingAModalDialogIsCancelWithoutNotification) {
  events_.on_init = [](DialogHost& host) { host.Post(kWmClose, 0, 0); };
  events_.on_command = [](DialogHost& host, int id) {
    if (id == kIdCancel) host.EndDialog(7);
  };
  EXPECT_EQ(dialogs_.RunModal(TEST_MODAL_DIALOG, events_, nullptr), 7);
  ASSERT_EQ(events_.commands.size(), 1u);
  EXPECT_EQ(events_.commands[0], std::make_pair(kIdCancel, 0));
}

TEST_F(DialogsPortUnderWine, ModalDialogDisablesItsParentWhileItRuns) {
  Open();
  host_->Show(kSwShow);
  RecordingEvents modal;
  bool parent_enabled_during_run = true;
  HWND owner = nullptr;
  modal.on_init = [](DialogHost& host) { host.SetTimer(1, 20); };
  modal.on_timer = [&](DialogHost& host, std::uint32_t) {
    parent_enabled_during_run = IsWindowEnabled(window_);
    owner = GetWindow(reinterpret_cast<HWND>(host.Window()), GW_OWNER);
    host.EndDialog(5);
  };
  EXPECT_EQ(dialogs_.RunModal(TEST_MODAL_DIALOG, modal, host_.get()), 5);
  EXPECT_FALSE(parent_enabled_during_run);
  EXPECT_EQ(owner, window_);
  EXPECT_TRUE(IsWindowEnabled(window_));
}

TEST_F(DialogsPortUnderWine, MessageBoxShowsTheQuestionAndReturnsTheAnswer) {
  Open();
  host_->Show(kSwShow);
  HWND owner = nullptr;
  bool has_text = false;
  bool has_yes_and_no = false;
  auto answered = WhenShown("Snapgate test question", [&](HWND box) {
    owner = GetWindow(box, GW_OWNER);
    has_text = HasChildWithText(box, "Block popups from this site?");
    has_yes_and_no = GetDlgItem(box, IDYES) && GetDlgItem(box, IDNO) && !GetDlgItem(box, IDOK);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDNO, BN_CLICKED), 0);
  });
  EXPECT_EQ(dialogs_.MessageBox(host_.get(), "Block popups from this site?",
                                "Snapgate test question", kMbYesNo | kMbIconQuestion),
            kIdNo);
  ASSERT_NE(answered.get(), nullptr);
  EXPECT_EQ(owner, window_);
  EXPECT_TRUE(has_text);
  EXPECT_TRUE(has_yes_and_no);
}

TEST_F(DialogsPortUnderWine, FindingAListItemIgnoresLetterCaseButNeedsTheWholeText) {
  Open();
  for (const char* item : {"ads.example", "POPUP.example", "popup.example"}) {
    host_->ListAdd(TEST_LIST, item);
  }
  EXPECT_EQ(host_->ListFindExact(TEST_LIST, "popup.example"), 1);
  EXPECT_EQ(host_->ListFindExact(TEST_LIST, "Ads.Example"), 0);
  EXPECT_EQ(host_->ListFindExact(TEST_LIST, "popup"), -1);
  EXPECT_EQ(host_->ListFindExact(TEST_LIST, "popup.example.org"), -1);
}

class ListViewUnderWine : public DialogsPortUnderWine {
 protected:
  HWND List() { return Item(TEST_LIST_VIEW); }
  void AddColumns() {
    host_->ListViewAddColumn(TEST_LIST_VIEW, 0, "Status", 55, ColumnAlignment::kLeft);
    host_->ListViewAddColumn(TEST_LIST_VIEW, 1, "Name", 165, ColumnAlignment::kCenter);
    host_->ListViewAddColumn(TEST_LIST_VIEW, 2, "File", 400, ColumnAlignment::kRight);
  }
  void Select(int row) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
  }
  // The colour an image of the small list paints at a point over white.
  COLORREF PaintedOverWhite(int image, int x, int y) {
    const auto images =
        reinterpret_cast<HIMAGELIST>(SendMessageA(List(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
    HDC screen = GetDC(nullptr);
    HDC canvas = CreateCompatibleDC(screen);
    HBITMAP pixels = CreateCompatibleBitmap(screen, 16, 16);
    ReleaseDC(nullptr, screen);
    HGDIOBJ before = SelectObject(canvas, pixels);
    RECT all{0, 0, 16, 16};
    FillRect(canvas, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    ImageList_Draw(images, image, canvas, 0, 0, ILD_TRANSPARENT);
    const COLORREF colour = GetPixel(canvas, x, y);
    SelectObject(canvas, before);
    DeleteObject(pixels);
    DeleteDC(canvas);
    return colour;
  }
};

TEST_F(ListViewUnderWine, ColumnsFullRowSelectionAndTheStatePicturesReachTheControl) {
  Open();
  AddColumns();
  host_->ListViewSetFullRowSelect(TEST_LIST_VIEW);
  host_->ListViewSetImages(TEST_LIST_VIEW, TEST_STATES, RGB(255, 0, 255));

  const std::pair<const char*, int> expected[] = {{"Status", 55}, {"Name", 165}, {"File", 400}};
  const int formats[] = {LVCFMT_LEFT, LVCFMT_CENTER, LVCFMT_RIGHT};
  for (int column = 0; column < 3; ++column) {
    SCOPED_TRACE(column);
    char header[32] = {};
    LVCOLUMNA description{};
    description.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    description.pszText = header;
    description.cchTextMax = sizeof header;
    ASSERT_TRUE(
        SendMessageA(List(), LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&description)));
    EXPECT_STREQ(header, expected[column].first);
    EXPECT_EQ(description.cx, expected[column].second);
    EXPECT_EQ(description.fmt & LVCFMT_JUSTIFYMASK, formats[column]);
  }
  EXPECT_TRUE(SendMessageA(List(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT);

  const auto images =
      reinterpret_cast<HIMAGELIST>(SendMessageA(List(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(images, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(images), 2);
  int width = 0, height = 0;
  ImageList_GetIconSize(images, &width, &height);
  EXPECT_EQ(width, 16);
  EXPECT_EQ(height, 16);
  // The magenta border is see-through; the blue and red squares are not.
  EXPECT_EQ(PaintedOverWhite(0, 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(PaintedOverWhite(1, 14, 14), RGB(255, 255, 255));
  const COLORREF blue = PaintedOverWhite(0, 8, 8);
  const COLORREF red = PaintedOverWhite(1, 8, 8);
  EXPECT_GT(GetBValue(blue), GetRValue(blue) + 64) << std::hex << blue;
  EXPECT_GT(GetRValue(red), GetBValue(red) + 64) << std::hex << red;

  // New pictures replace the old list.
  host_->ListViewSetImages(TEST_LIST_VIEW, TEST_STATES, RGB(255, 0, 255));
  const auto replaced =
      reinterpret_cast<HIMAGELIST>(SendMessageA(List(), LVM_GETIMAGELIST, LVSIL_SMALL, 0));
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(ImageList_GetImageCount(replaced), 2);
}

TEST_F(ListViewUnderWine, RowsGoInOnTopAndComeBackWithTextsImagesAndSelection) {
  Open();
  AddColumns();
  EXPECT_EQ(host_->ListViewCount(TEST_LIST_VIEW), 0);
  EXPECT_EQ(host_->ListViewInsert(TEST_LIST_VIEW, 0, "Enabled", 0), 0);
  EXPECT_EQ(host_->ListViewInsert(TEST_LIST_VIEW, 0, "Disabled", 1), 0);
  EXPECT_EQ(host_->ListViewInsert(TEST_LIST_VIEW, 40, "Last", 0), 2);
  EXPECT_EQ(host_->ListViewInsert(TEST_LIST_VIEW, -1, "Nowhere", 0), -1);
  ASSERT_EQ(host_->ListViewCount(TEST_LIST_VIEW), 3);
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 0, 0), "Disabled");
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 1, 0), "Enabled");
  EXPECT_EQ(host_->ListViewImage(TEST_LIST_VIEW, 0), 1);
  EXPECT_EQ(host_->ListViewImage(TEST_LIST_VIEW, 1), 0);
  EXPECT_EQ(host_->ListViewImage(TEST_LIST_VIEW, 3), -1);

  const std::string long_path = "C:\\" + std::string(3000, 'p') + "\\bho.dll";
  host_->ListViewSetText(TEST_LIST_VIEW, 1, 2, long_path);
  host_->ListViewSetText(TEST_LIST_VIEW, 1, 1, "Toolbar Helper");
  host_->ListViewSetText(TEST_LIST_VIEW, 1, 7, "no such column");
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 1, 2), long_path);
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 1, 1), "Toolbar Helper");
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 1, 7), "");
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 2, 1), "");
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 9, 0), "");
  const std::string exactly_full(255, 'f');  // fills the first buffer to the last byte
  host_->ListViewSetText(TEST_LIST_VIEW, 2, 1, exactly_full);
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 2, 1), exactly_full);

  EXPECT_TRUE(host_->ListViewSelectedRows(TEST_LIST_VIEW).empty());
  Select(2);
  Select(0);
  EXPECT_EQ(host_->ListViewSelectedRows(TEST_LIST_VIEW), (std::vector<int>{0, 2}));

  // Deleting a row moves the ones below it up, selection and all.
  host_->ListViewDelete(TEST_LIST_VIEW, 1);
  ASSERT_EQ(host_->ListViewCount(TEST_LIST_VIEW), 2);
  EXPECT_EQ(host_->ListViewText(TEST_LIST_VIEW, 1, 0), "Last");
  EXPECT_EQ(host_->ListViewSelectedRows(TEST_LIST_VIEW), (std::vector<int>{0, 1}));
  host_->ListViewDeleteAll(TEST_LIST_VIEW);
  EXPECT_EQ(host_->ListViewCount(TEST_LIST_VIEW), 0);
  EXPECT_TRUE(host_->ListViewSelectedRows(TEST_LIST_VIEW).empty());
}

TEST_F(ListViewUnderWine, DoubleClicksAndColumnClicksReachTheEventsWithRowAndColumn) {
  Open();
  AddColumns();
  for (const char* name : {"first", "second", "third"}) {
    host_->ListViewInsert(TEST_LIST_VIEW, 99, name, 0);
  }

  NMITEMACTIVATE activation{};
  activation.hdr = {List(), TEST_LIST_VIEW, static_cast<UINT>(NM_DBLCLK)};
  activation.iItem = 2;
  activation.iSubItem = 1;
  EXPECT_EQ(SendMessageA(window_, WM_NOTIFY, TEST_LIST_VIEW, reinterpret_cast<LPARAM>(&activation)),
            0);
  NMLISTVIEW column_click{};
  column_click.hdr = {List(), TEST_LIST_VIEW, static_cast<UINT>(LVN_COLUMNCLICK)};
  column_click.iItem = -1;
  column_click.iSubItem = 2;
  SendMessageA(window_, WM_NOTIFY, TEST_LIST_VIEW, reinterpret_cast<LPARAM>(&column_click));
  // Another control's notification carries only the header: nothing more is read from it.
  NMHDR from_slider{Item(TEST_SLIDER), TEST_SLIDER, static_cast<UINT>(NM_DBLCLK)};
  SendMessageA(window_, WM_NOTIFY, TEST_SLIDER, reinterpret_cast<LPARAM>(&from_slider));
  EXPECT_EQ(events_.NotificationsOf(kNmDblClk),
            (std::vector<std::array<int, 4>>{{TEST_LIST_VIEW, kNmDblClk, 2, 1},
                                             {TEST_SLIDER, kNmDblClk, -1, -1}}));
  EXPECT_EQ(events_.NotificationsOf(kLvnColumnClick),
            (std::vector<std::array<int, 4>>{{TEST_LIST_VIEW, kLvnColumnClick, -1, 2}}));

  // A real double click on the second row selects it and names it.
  events_.notifications.clear();
  ShowInFront();
  RECT row{};
  row.left = LVIR_LABEL;
  ASSERT_TRUE(SendMessageA(List(), LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row)));
  POINT target{row.left + 10, (row.top + row.bottom) / 2};
  ClientToScreen(List(), &target);
  RealDoubleClickAt(target, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(PumpUntil([&] { return !events_.NotificationsOf(kNmDblClk).empty(); }));
  const auto double_click = events_.NotificationsOf(kNmDblClk)[0];
  EXPECT_EQ(double_click[0], TEST_LIST_VIEW);
  EXPECT_EQ(double_click[2], 1);
  EXPECT_EQ(events_.selected_when_told, std::vector<int>{1});
}

TEST_F(ListViewUnderWine, ASelectionChangeReachesTheEventsWithItsRow) {
  Open();
  AddColumns();
  for (const char* name : {"first", "second"}) host_->ListViewInsert(TEST_LIST_VIEW, 99, name, 0);
  events_.notifications.clear();
  Select(1);
  const auto changes = events_.NotificationsOf(kLvnItemChanged);
  ASSERT_FALSE(changes.empty()) << "no LVN_ITEMCHANGED for a selected row";
  EXPECT_EQ(changes.back()[0], TEST_LIST_VIEW);
  EXPECT_EQ(changes.back()[2], 1);
  EXPECT_EQ(events_.selected_when_told, std::vector<int>{1}) << "told after the change";
}

class FileDialogUnderWine : public DialogsPortUnderWine {
 protected:
  void SetUp() override {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    folder_ = std::string(temp) + "snapgate-sounds-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder_.c_str(), nullptr);
    for (const char* name : {"\\ding.wav", "\\notes.txt"}) {
      HANDLE file = CreateFileA((folder_ + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
      CloseHandle(file);
    }
  }
  void TearDown() override {
    DeleteFileA((folder_ + "\\ding.wav").c_str());
    DeleteFileA((folder_ + "\\notes.txt").c_str());
    RemoveDirectoryA(folder_.c_str());
  }

  std::optional<std::string> Choose() {
    return dialogs_.ChooseFileToOpen(nullptr, "Choose a test sound", "wav",
                                     "WAV Sound Files (*.wav)|*.wav||", folder_);
  }

  std::string folder_;
};

TEST_F(FileDialogUnderWine, TypedNameGetsTheDefaultExtensionInTheInitialFolder) {
  std::vector<std::string> filters;
  auto answered = WhenShown("Choose a test sound", [&](HWND dialog) {
    HWND types = GetDlgItem(dialog, cmb1);
    const int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      char name[100] = {};
      SendMessageA(types, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(name));
      filters.push_back(name);
    }
    // The file name box is an edit or a combo box, depending on the dialog's style.
    for (int control : {edt1, cmb13}) {
      if (HWND name = GetDlgItem(dialog, control)) SetWindowTextA(name, "ding");
    }
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  });
  const std::optional<std::string> chosen = Choose();
  ASSERT_NE(answered.get(), nullptr);
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(_stricmp(chosen->c_str(), (folder_ + "\\ding.wav").c_str()), 0) << *chosen;
  EXPECT_EQ(filters, std::vector<std::string>{"WAV Sound Files (*.wav)"});
}

TEST_F(FileDialogUnderWine, CancelChoosesNothing) {
  auto answered = WhenShown("Choose a test sound", [](HWND dialog) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  });
  EXPECT_EQ(Choose(), std::nullopt);
  EXPECT_NE(answered.get(), nullptr);
}

TEST_F(DialogsPortUnderWine, StringsOfTheStringTableOfAnyLength) {
  EXPECT_EQ(dialogs_.LoadString(TEST_SHORT_STRING), "Popups blocked");
  const std::string long_string = dialogs_.LoadString(TEST_LONG_STRING);
  EXPECT_EQ(long_string.size(), 399u);
  EXPECT_TRUE(long_string.starts_with("A string longer"));
  EXPECT_TRUE(long_string.ends_with("at a buffer."));
  EXPECT_EQ(dialogs_.LoadString(4997), "");
}

// A resizable dialog's message map: records what the sizing messages brought and answers as
// each test says.
class SizingEvents : public DialogEvents {
 public:
  void OnInitDialog(DialogHost& host) override {
    host_ = &host;
    if (on_init) on_init(host);
  }
  void OnCommand(int id, int) override {
    if (id == IDOK || id == IDCANCEL) host_->EndDialog(id);
  }
  void OnSize(int type, int cx, int cy) override { sizes.push_back({type, cx, cy}); }
  std::optional<WindowSize> OnGetMinMaxInfo() override { return minimum; }
  std::optional<int> OnNcHitTest(int default_answer, int x, int y) override {
    hit_tests.push_back({default_answer, x, y});
    return hit_answer;
  }
  void OnPaint() override {
    ++paints;
    if (grip) host_->DrawSizeGrip(*grip);
  }
  void OnDestroy() override {
    ++destroys;
    // The controls are still there to be read.
    ok_at_destroy = host_->ControlRect(IDOK);
  }

  std::function<void(DialogHost&)> on_init;
  std::optional<WindowSize> minimum;
  std::optional<int> hit_answer;
  std::optional<WindowRect> grip;
  DialogHost* host_ = nullptr;
  std::vector<std::array<int, 3>> sizes;
  std::vector<std::array<int, 3>> hit_tests;
  int paints = 0;
  int destroys = 0;
  std::optional<WindowRect> ok_at_destroy;
};

class ResizableDialogUnderWine : public ::testing::Test {
 protected:
  void Open() {
    host_ = dialogs_.CreateModeless(TEST_RESIZABLE_DIALOG, events_, nullptr);
    ASSERT_NE(host_, nullptr);
    window_ = reinterpret_cast<HWND>(host_->Window());
  }
  WindowSize Outer() {
    const WindowRect outer = host_->OuterRect();
    return {outer.right - outer.left, outer.bottom - outer.top};
  }

  Win32Dialogs dialogs_;
  SizingEvents events_;
  std::unique_ptr<DialogHost> host_;
  HWND window_ = nullptr;
};

TEST_F(ResizableDialogUnderWine, ResizingTheWindowTellsTheNewClientSize) {
  Open();
  const WindowSize before = Outer();
  host_->ResizeWindow(before.width + 100, before.height + 50);
  EXPECT_EQ(Outer(), (WindowSize{before.width + 100, before.height + 50}));
  ASSERT_FALSE(events_.sizes.empty());
  const WindowSize client = host_->ClientSize();
  RECT real{};
  GetClientRect(window_, &real);
  EXPECT_EQ(client, (WindowSize{real.right, real.bottom}));
  EXPECT_EQ(events_.sizes.back(), (std::array<int, 3>{kSizeRestored, client.width, client.height}));
  ShowWindow(window_, SW_MAXIMIZE);
  EXPECT_EQ(events_.sizes.back()[0], kSizeMaximized);
  ShowWindow(window_, SW_MINIMIZE);
  EXPECT_EQ(events_.sizes.back()[0], kSizeMinimized);
  EXPECT_EQ(SIZE_RESTORED, kSizeRestored);
}

TEST_F(ResizableDialogUnderWine, TheMinimumTrackingSizeIsAnsweredAndHolds) {
  events_.minimum = WindowSize{400, 380};
  Open();
  MINMAXINFO info{};
  SendMessageA(window_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  EXPECT_EQ(info.ptMinTrackSize.x, 400);
  EXPECT_EQ(info.ptMinTrackSize.y, 380);
  host_->ResizeWindow(150, 120);
  const WindowSize outer = Outer();
  EXPECT_EQ(outer, (WindowSize{400, 380})) << outer.width << " x " << outer.height;
}

TEST_F(ResizableDialogUnderWine, HitTestsGetTheDefaultAnswerAndMayAnswerBottomRight) {
  events_.hit_answer = kHtBottomRight;
  Open();
  RECT client{};
  GetClientRect(window_, &client);
  POINT corner{client.right - 2, client.bottom - 2};
  ClientToScreen(window_, &corner);
  const LRESULT answer = SendMessageA(window_, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y));
  EXPECT_EQ(answer, HTBOTTOMRIGHT);
  ASSERT_FALSE(events_.hit_tests.empty());
  EXPECT_EQ(events_.hit_tests.back(), (std::array<int, 3>{HTCLIENT, corner.x, corner.y}));
  EXPECT_EQ(HTCLIENT, kHtClient);
  EXPECT_EQ(HTBOTTOMRIGHT, kHtBottomRight);

  events_.hit_answer.reset();
  EXPECT_EQ(SendMessageA(window_, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTCLIENT);
}

TEST_F(ResizableDialogUnderWine, AControlMovedToARectangleReadsItBack) {
  Open();
  EXPECT_FALSE(host_->ControlRect(4998)) << "no such control";
  const WindowRect target{12, 34, 112, 64};
  host_->SetControlRect(IDOK, target);
  EXPECT_EQ(host_->ControlRect(IDOK), target);
  host_->InvalidateControl(IDOK);
  host_->Invalidate({0, 0, 10, 10});
}

TEST_F(ResizableDialogUnderWine, PaintingLetsTheDialogDrawTheSizeGrip) {
  events_.grip = WindowRect{0, 0, 17, 17};
  Open();
  host_->Show(kSwShow);
  const WindowSize grip = host_->SizeGripSize();
  EXPECT_EQ(grip, (WindowSize{GetSystemMetrics(SM_CXHSCROLL), GetSystemMetrics(SM_CYHSCROLL)}));
  const int before = events_.paints;
  InvalidateRect(window_, nullptr, TRUE);
  UpdateWindow(window_);
  EXPECT_GT(events_.paints, before);
  // Outside painting there is no device context to draw on, and no harm done.
  host_->DrawSizeGrip({0, 0, 17, 17});
}

TEST_F(ResizableDialogUnderWine, AModalDialogIsToldOfItsDestructionWhileItsControlsExist) {
  events_.on_init = [](DialogHost& host) { host.Post(WM_COMMAND, IDOK, 0); };
  EXPECT_EQ(dialogs_.RunModal(TEST_RESIZABLE_DIALOG, events_, nullptr), IDOK);
  EXPECT_EQ(events_.destroys, 1);
  EXPECT_TRUE(events_.ok_at_destroy.has_value());
}

TEST_F(ResizableDialogUnderWine, ABrowserTakesTheFramesPlaceWithTheAddressAsItsText) {
  CoInitialize(nullptr);
  const std::string address = "res://sg_win32_tests.exe/23/186";
  Open();
  const std::optional<WindowRect> frame = host_->ControlRect(TEST_BROWSER_FRAME);
  ASSERT_TRUE(frame);
  const bool embedded = host_->EmbedBrowser(TEST_BROWSER_FRAME, address);
  HWND control = GetDlgItem(window_, TEST_BROWSER_FRAME);
  ASSERT_NE(control, nullptr);
  char text[256] = {};
  GetWindowTextA(control, text, sizeof text);
  char class_name[64] = {};
  GetClassNameA(control, class_name, sizeof class_name);
  EXPECT_EQ(std::string(text), address);
  EXPECT_EQ(host_->ControlRect(TEST_BROWSER_FRAME), frame);
  if (embedded) {
    EXPECT_STREQ(class_name, "AtlAxWin");
  } else {
    ADD_FAILURE() << "no AtlAxWin browser here; the frame (" << class_name << ") shows the address";
  }
  host_.reset();
  CoUninitialize();
}

}  // namespace
}  // namespace sg::platform::win32
