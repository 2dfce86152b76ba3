#include "platform/win32/win32_hyperlink.h"

#include <windows.h>

#include <commctrl.h>

#include <string>

namespace sg::platform::win32 {

namespace {

constexpr UINT_PTR kSubclassId = 0x4C4B;  // one subclass of ours per control
constexpr UINT_PTR kToolId = 1;
constexpr int kHelpHandCursor = 106;

// Shared by every link of the process and never freed, as the links come and go.
HCURSOR hand_cursor = nullptr;

HCURSOR LoadHelpProgramHandCursor() {
  char folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  const std::string path = std::string(folder, length) + "\\winhlp32.exe";
  // Only its cursor is wanted: mapped as data, none of its code runs in this process.
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  if (!module) return nullptr;
  HCURSOR copy = nullptr;
  if (HCURSOR cursor = LoadCursorA(module, MAKEINTRESOURCEA(kHelpHandCursor))) {
    // The module's resource goes with the module.
    copy = CopyIcon(cursor);
  }
  FreeLibrary(module);
  return copy;
}

TTTOOLINFOA Tool(HWND control) {
  TTTOOLINFOA tool{};
  // The size every version of the common controls accepts.
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = control;
  tool.uId = kToolId;
  return tool;
}

}  // namespace

Win32HyperlinkWindow::Win32HyperlinkWindow(HWND control, HyperlinkEvents& events)
    : control_(control), events_(&events) {
  SetWindowSubclass(control_, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this));
}

Win32HyperlinkWindow::~Win32HyperlinkWindow() {
  if (control_) {
    RemoveWindowSubclass(control_, SubclassProc, kSubclassId);
    if (font_) {
      SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(template_font_), FALSE);
    }
  }
  if (tooltip_) DestroyWindow(tooltip_);
  if (font_) DeleteObject(font_);
}

HBRUSH Win32HyperlinkWindow::ColourControl(HDC dc) {
  if (events_) SetTextColor(dc, events_->TextColour());
  SetBkMode(dc, TRANSPARENT);
  return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
}

std::string Win32HyperlinkWindow::Text() {
  std::string text(static_cast<std::size_t>(GetWindowTextLengthA(control_)) + 1, '\0');
  text.resize(static_cast<std::size_t>(
      GetWindowTextA(control_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void Win32HyperlinkWindow::SetText(const std::string& text) {
  SetWindowTextA(control_, text.c_str());
}

std::uint32_t Win32HyperlinkWindow::Style() {
  return static_cast<std::uint32_t>(GetWindowLongPtrA(control_, GWL_STYLE));
}

bool Win32HyperlinkWindow::UseFontCopy(bool underline) {
  const auto font = reinterpret_cast<HFONT>(SendMessageA(control_, WM_GETFONT, 0, 0));
  if (!font) return false;
  LOGFONTA description{};
  if (!GetObjectA(font, sizeof description, &description)) return false;
  description.lfUnderline = underline ? TRUE : FALSE;
  HFONT made = CreateFontIndirectA(&description);
  if (!made) return false;
  SendMessageA(control_, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
  if (font_) {
    DeleteObject(font_);
  } else {
    template_font_ = font;
  }
  font_ = made;
  return true;
}

WindowRect Win32HyperlinkWindow::WindowRectInParent() {
  RECT bounds{};
  GetWindowRect(control_, &bounds);
  MapWindowPoints(nullptr, GetParent(control_), reinterpret_cast<POINT*>(&bounds), 2);
  return {bounds.left, bounds.top, bounds.right, bounds.bottom};
}

WindowRect Win32HyperlinkWindow::ClientRect() {
  RECT client{};
  GetClientRect(control_, &client);
  return {client.left, client.top, client.right, client.bottom};
}

TextExtent Win32HyperlinkWindow::MeasureText() {
  const std::string text = Text();
  HDC dc = GetDC(control_);
  if (!dc) return {};
  const auto font = reinterpret_cast<HFONT>(SendMessageA(control_, WM_GETFONT, 0, 0));
  HGDIOBJ previous = font ? SelectObject(dc, font) : nullptr;
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  if (previous) SelectObject(dc, previous);
  ReleaseDC(control_, dc);
  return {size.cx, size.cy};
}

void Win32HyperlinkWindow::MoveTo(const WindowRect& rect) {
  MoveWindow(control_, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
}

void Win32HyperlinkWindow::Show(bool visible) {
  ShowWindow(control_, visible ? SW_SHOW : SW_HIDE);
}

void Win32HyperlinkWindow::Repaint() {
  InvalidateRect(control_, nullptr, TRUE);
}

void Win32HyperlinkWindow::CaptureMouse() {
  SetCapture(control_);
}

void Win32HyperlinkWindow::ReleaseMouse() {
  ReleaseCapture();
}

void Win32HyperlinkWindow::TakeFocus() {
  SetFocus(control_);
}

void Win32HyperlinkWindow::MakeHandCursor() {
  if (hand_cursor) return;
  hand_cursor = LoadHelpProgramHandCursor();
  // Today's Windows has no such help program: the system's own hand still says "link".
  if (!hand_cursor) hand_cursor = LoadCursor(nullptr, IDC_HAND);
}

void Win32HyperlinkWindow::CreateTooltip(const std::string& text) {
  if (tooltip_) return;
  tooltip_ = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                             CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, control_,
                             nullptr, GetModuleHandleA(nullptr), nullptr);
  if (!tooltip_) return;
  TTTOOLINFOA tool = Tool(control_);
  GetClientRect(control_, &tool.rect);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tooltip_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(tooltip_, TTM_ACTIVATE, TRUE, 0);
}

void Win32HyperlinkWindow::SetTooltipText(const std::string& text) {
  if (!tooltip_) return;
  TTTOOLINFOA tool = Tool(control_);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tooltip_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  // A resize to the text moved the client area.
  GetClientRect(control_, &tool.rect);
  SendMessageA(tooltip_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32HyperlinkWindow::RelayToTooltip(UINT message, WPARAM wparam, LPARAM lparam) {
  if (!tooltip_) return;
  MSG relayed{};
  relayed.hwnd = control_;
  relayed.message = message;
  relayed.wParam = wparam;
  relayed.lParam = lparam;
  relayed.time = static_cast<DWORD>(GetMessageTime());
  const DWORD position = GetMessagePos();
  relayed.pt = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
  SendMessageA(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

LRESULT CALLBACK Win32HyperlinkWindow::SubclassProc(HWND window, UINT message, WPARAM wparam,
                                                    LPARAM lparam, UINT_PTR /*id*/,
                                                    DWORD_PTR self) {
  auto* link = reinterpret_cast<Win32HyperlinkWindow*>(self);
  if (message == WM_NCDESTROY) {
    RemoveWindowSubclass(window, SubclassProc, kSubclassId);
    link->control_ = nullptr;
    if (link->tooltip_) DestroyWindow(link->tooltip_);
    link->tooltip_ = nullptr;
    return DefSubclassProc(window, message, wparam, lparam);
  }
  if (!link->events_) return DefSubclassProc(window, message, wparam, lparam);
  return link->Handle(message, wparam, lparam);
}

LRESULT Win32HyperlinkWindow::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) RelayToTooltip(message, wparam, lparam);
  switch (message) {
    case WM_NCHITTEST:
      return HTCLIENT;
    case WM_SETCURSOR:
      if (!hand_cursor) break;
      SetCursor(hand_cursor);
      return TRUE;
    case WM_MOUSEMOVE: {
      RECT client{};
      GetClientRect(control_, &client);
      const POINT point{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      events_->OnMouseMove(PtInRect(&client, point) != FALSE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      events_->OnLeftButtonDown();
      return 0;
    case WM_LBUTTONUP:
      events_->OnLeftButtonUp();
      return 0;
    case WM_SETFOCUS:
      events_->OnSetFocus();
      return 0;
    case WM_KILLFOCUS:
      events_->OnKillFocus();
      return 0;
    case WM_KEYDOWN:
      if (events_->OnKeyDown(static_cast<std::uint32_t>(wparam))) return 0;
      break;
    default:
      break;
  }
  return DefSubclassProc(control_, message, wparam, lparam);
}

}  // namespace sg::platform::win32
