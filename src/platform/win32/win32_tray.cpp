#include "platform/win32/win32_tray.h"

#include <windows.h>

#include <shellapi.h>

#include <cstring>
#include <map>
#include <mutex>

namespace sg::platform::win32 {

namespace {

constexpr char kClassName[] = "CSystemTray";
constexpr int kEnabledItemPosition = 3;
constexpr int kEnabledBitmap = 146;

// What a tray window knows; owned by the window and freed with it.
struct TrayWindowRecord {
  TrayEvents* events;
  UINT callback_message = 0;
};

HWND Handle(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

UINT TaskbarCreatedMessage() {
  static const UINT message = RegisterWindowMessageA("TaskbarCreated");
  return message;
}

TrayWindowRecord* RecordOf(HWND window) {
  return reinterpret_cast<TrayWindowRecord*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT CALLBACK TrayWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lparam);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  TrayWindowRecord* record = RecordOf(window);
  if (record) {
    if (message == WM_NCDESTROY) {
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      delete record;
    } else if (record->callback_message != 0 && message == record->callback_message) {
      return record->events->OnTrayNotification(wparam, lparam);
    } else if (message == TaskbarCreatedMessage()) {
      record->events->OnTaskbarCreated();
      return 0;
    }
  }
  return DefWindowProcA(window, message, wparam, lparam);
}

bool RegisterTrayClass() {
  WNDCLASSEXA window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = TrayWindowProc;
  window_class.hInstance = GetModuleHandleA(nullptr);
  window_class.lpszClassName = kClassName;
  return RegisterClassExA(&window_class) != 0;
}

// Loaded once per resource and kept: a shared icon would come back in whatever size it was
// first loaded in (a dialog's 32 pixels, say). Flashing threads ask for icons too.
HICON TrayIcon(int icon_resource) {
  static std::mutex guard;
  static std::map<int, HICON> icons;
  const std::lock_guard lock(guard);
  HICON& icon = icons[icon_resource];
  if (!icon) {
    icon = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(icon_resource),
                                         IMAGE_ICON, 16, 16, 0));
  }
  return icon;
}

NOTIFYICONDATAA IconData(WindowHandle window, std::uint32_t id, UINT flags) {
  NOTIFYICONDATAA data{};
  data.cbSize = sizeof data;
  data.hWnd = Handle(window);
  data.uID = id;
  data.uFlags = flags;
  return data;
}

void CopyTooltip(NOTIFYICONDATAA& data, const std::string& tooltip) {
  const std::size_t length = tooltip.size() < 127 ? tooltip.size() : 127;
  std::memcpy(data.szTip, tooltip.data(), length);
  data.szTip[length] = '\0';
}

HMENU LoadProgramMenu(int menu_resource) {
  return LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(menu_resource));
}

}  // namespace

WindowHandle Win32Tray::CreateTrayWindow(TrayEvents& events) {
  static const bool registered = RegisterTrayClass();
  if (!registered) return 0;
  TaskbarCreatedMessage();
  auto* record = new TrayWindowRecord{&events};
  HWND window = CreateWindowExA(0, kClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), record);
  // Without a window nobody received the record to free it.
  if (!window) delete record;
  return reinterpret_cast<WindowHandle>(window);
}

void Win32Tray::DestroyTrayWindow(WindowHandle window) {
  DestroyWindow(Handle(window));
}

bool Win32Tray::AddIcon(WindowHandle window, std::uint32_t id, std::uint32_t flags,
                        std::uint32_t callback_message, int icon_resource,
                        const std::string& tooltip) {
  if (TrayWindowRecord* record = RecordOf(Handle(window))) {
    record->callback_message = callback_message;
  }
  NOTIFYICONDATAA data = IconData(window, id, flags);
  data.uCallbackMessage = callback_message;
  data.hIcon = TrayIcon(icon_resource);
  CopyTooltip(data, tooltip);
  return Shell_NotifyIconA(NIM_ADD, &data);
}

bool Win32Tray::ModifyIcon(WindowHandle window, std::uint32_t id, int icon_resource) {
  NOTIFYICONDATAA data = IconData(window, id, NIF_ICON);
  data.hIcon = TrayIcon(icon_resource);
  return Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool Win32Tray::ModifyTooltip(WindowHandle window, std::uint32_t id, const std::string& tooltip) {
  NOTIFYICONDATAA data = IconData(window, id, NIF_TIP);
  CopyTooltip(data, tooltip);
  return Shell_NotifyIconA(NIM_MODIFY, &data);
}

bool Win32Tray::DeleteIcon(WindowHandle window, std::uint32_t id, std::uint32_t flags) {
  NOTIFYICONDATAA data = IconData(window, id, flags);
  return Shell_NotifyIconA(NIM_DELETE, &data);
}

bool Win32Tray::TrackMenu(int menu_resource, const TrayMenuState& state, WindowHandle owner) {
  HMENU menu = LoadProgramMenu(menu_resource);
  if (!menu) return false;
  HMENU popup = GetSubMenu(menu, 0);
  if (!popup) {
    DestroyMenu(menu);
    return false;
  }
  SetMenuDefaultItem(popup, static_cast<UINT>(state.default_position), TRUE);
  HBITMAP bitmap = nullptr;
  if (state.enabled_bitmap) {
    bitmap = LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kEnabledBitmap));
    SetMenuItemBitmaps(popup, kEnabledItemPosition, MF_BYPOSITION, bitmap, nullptr);
  }
  CheckMenuItem(popup, kEnabledItemPosition,
                MF_BYPOSITION | (state.enabled_checked ? MF_CHECKED : MF_UNCHECKED));
  POINT cursor{};
  GetCursorPos(&cursor);
  // The menu closes when the user clicks elsewhere only if the owner is in the foreground, and
  // the message after it lets a second click on the icon open the menu again.
  ::SetForegroundWindow(Handle(owner));
  TrackPopupMenu(popup, TPM_LEFTBUTTON, cursor.x, cursor.y, 0, Handle(owner), nullptr);
  PostMessageA(Handle(owner), WM_NULL, 0, 0);
  DestroyMenu(menu);
  if (bitmap) DeleteObject(bitmap);
  return true;
}

int Win32Tray::MenuItemCommand(int menu_resource, int position) {
  HMENU menu = LoadProgramMenu(menu_resource);
  if (!menu) return -1;
  HMENU popup = GetSubMenu(menu, 0);
  const int command = popup ? static_cast<int>(GetMenuItemID(popup, position)) : -1;
  DestroyMenu(menu);
  return command;
}

}  // namespace sg::platform::win32
