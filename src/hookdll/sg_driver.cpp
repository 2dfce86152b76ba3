// SGDriver.dll: tells one window of the program about every new top-level window of the desktop,
// about every top-level window created, shown, renamed or destroyed, and about the clicks and key presses in
// Internet Explorer after which the user may rightly get a new browser window. Out-of-context
// window events and low-level input hooks need no code in other processes; they arrive at the
// message loop of a thread of this library.
#include "hookdll/sg_driver.h"

#include <cstring>
#include <mutex>
#include <set>

#include "platform/ports/hook_library.h"

namespace {

// Where notifications go. Posting happens under the lock, so that once ShutdownHooksDll has
// returned nothing more is sent.
std::mutex target_mutex;
HWND target_window = nullptr;
UINT target_message = 0;

// The thread that owns the hooks and runs their message loop.
std::mutex lifecycle_mutex;
HANDLE hook_thread = nullptr;
DWORD hook_thread_id = 0;

// Top-level windows already reported or there before the hooks went in. Only the hook thread
// touches it.
std::set<HWND> known_windows;

void Notify(std::uintptr_t code, LPARAM lparam) {
  std::lock_guard lock(target_mutex);
  if (target_window && target_message) PostMessageA(target_window, target_message, code, lparam);
}

bool IsTopLevel(HWND window) {
  return GetAncestor(window, GA_PARENT) == GetDesktopWindow();
}

// A window inside an Internet Explorer frame or web dialog.
bool InBrowser(HWND window) {
  HWND root = window ? GetAncestor(window, GA_ROOT) : nullptr;
  if (!root) return false;
  char name[64];
  if (GetClassNameA(root, name, sizeof name) <= 0) return false;
  return strcmp(name, "IEFrame") == 0 || strcmp(name, "Internet Explorer_TridentDlgFrame") == 0;
}

void CALLBACK OnWindowEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD,
                            DWORD) {
  if (!window || object != OBJID_WINDOW || child != CHILDID_SELF) return;
  // The handle may come back for another window.
  if (event == EVENT_OBJECT_DESTROY) {
    if (known_windows.erase(window) > 0) {
      Notify(sg::platform::kHookWindowGone, reinterpret_cast<LPARAM>(window));
    }
    return;
  }
  if (!IsTopLevel(window)) return;
  if (event != EVENT_OBJECT_NAMECHANGE && known_windows.insert(window).second) {
    Notify(sg::platform::kHookNewWindow, reinterpret_cast<LPARAM>(window));
  }
  // Its title may now be one the user blocks: judged at once, before it is painted for long.
  // Its creation counts too: a window gets its first title there, and Wine sends no show or
  // name-change events at all.
  Notify(sg::platform::kHookWindowTitle, reinterpret_cast<LPARAM>(window));
}

bool IsButtonDown(WPARAM message) {
  return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
         message == WM_XBUTTONDOWN;
}

LRESULT CALLBACK OnMouse(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && IsButtonDown(message)) {
    // The hook runs before the click activates the window under it, so that window counts too.
    const auto* mouse = reinterpret_cast<const MSLLHOOKSTRUCT*>(data);
    if (InBrowser(GetForegroundWindow()) || InBrowser(WindowFromPoint(mouse->pt))) {
      Notify(sg::platform::kHookBrowserClick, 0);
    }
  }
  return CallNextHookEx(nullptr, code, message, data);
}

// Keys that follow a link or press a button, and shortcuts and menu keys (Ctrl+N, Alt+F). Plain
// typing is not reported: it would keep the graces open while the user fills in a form.
bool MayOpenWindow(const KBDLLHOOKSTRUCT& key) {
  switch (key.vkCode) {
    case VK_RETURN:
    case VK_SPACE:
      return true;
    case VK_SHIFT:
    case VK_LSHIFT:
    case VK_RSHIFT:
    case VK_CONTROL:
    case VK_LCONTROL:
    case VK_RCONTROL:
    case VK_MENU:
    case VK_LMENU:
    case VK_RMENU:
      return false;
    default:
      return (key.flags & LLKHF_ALTDOWN) != 0 || (GetAsyncKeyState(VK_CONTROL) & 0x8000) != 0;
  }
}

LRESULT CALLBACK OnKey(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN) &&
      MayOpenWindow(*reinterpret_cast<const KBDLLHOOKSTRUCT*>(data)) &&
      InBrowser(GetForegroundWindow())) {
    Notify(sg::platform::kHookBrowserKey, 0);
  }
  return CallNextHookEx(nullptr, code, message, data);
}

BOOL CALLBACK RememberWindow(HWND window, LPARAM) {
  known_windows.insert(window);
  return TRUE;
}

HMODULE ThisLibrary() {
  HMODULE library = nullptr;
  GetModuleHandleExA(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCSTR>(&target_message), &library);
  return library;
}

struct Start {
  HANDLE ready;
  bool installed = false;
};

DWORD WINAPI RunHooks(LPVOID parameter) {
  auto* start = static_cast<Start*>(parameter);
  MSG message;
  // The queue must exist before the installer may post WM_QUIT to it.
  PeekMessageA(&message, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
  // Windows that exist now are not new. Taken before the hooks go in: a window made in between
  // is still reported when it is shown.
  known_windows.clear();
  EnumWindows(RememberWindow, 0);
  HWINEVENTHOOK windows = SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_SHOW, nullptr,
                                          OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  // A hook of its own: the events between would wake the thread for every window moved.
  HWINEVENTHOOK titles = SetWinEventHook(EVENT_OBJECT_NAMECHANGE, EVENT_OBJECT_NAMECHANGE, nullptr,
                                         OnWindowEvent, 0, 0, WINEVENT_OUTOFCONTEXT);
  HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, OnMouse, ThisLibrary(), 0);
  HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, OnKey, ThisLibrary(), 0);
  const bool installed = windows && titles && mouse && keyboard;
  start->installed = installed;
  SetEvent(start->ready);
  if (installed) {
    while (GetMessageA(&message, nullptr, 0, 0) > 0) DispatchMessageA(&message);
  }
  // Window event hooks can only be removed by the thread that set them.
  if (keyboard) UnhookWindowsHookEx(keyboard);
  if (mouse) UnhookWindowsHookEx(mouse);
  if (titles) UnhookWinEvent(titles);
  if (windows) UnhookWinEvent(windows);
  return 0;
}

void StopHookThread() {
  if (!hook_thread) return;
  // Asks again in case a quit message could not be queued.
  do {
    PostThreadMessageA(hook_thread_id, WM_QUIT, 0, 0);
  } while (WaitForSingleObject(hook_thread, 100) == WAIT_TIMEOUT);
  CloseHandle(hook_thread);
  hook_thread = nullptr;
  hook_thread_id = 0;
}

}  // namespace

bool InitHooksDll(HWND window, unsigned int message) {
  std::lock_guard lock(target_mutex);
  target_window = window;
  target_message = message;
  return window && message && IsWindow(window);
}

bool InstallFilters() {
  std::lock_guard lock(lifecycle_mutex);
  if (hook_thread) return true;
  Start start{CreateEventA(nullptr, TRUE, FALSE, nullptr), false};
  if (!start.ready) return false;
  DWORD id = 0;
  HANDLE thread = CreateThread(nullptr, 0, RunHooks, &start, 0, &id);
  if (thread) WaitForSingleObject(start.ready, INFINITE);
  CloseHandle(start.ready);
  if (!thread) return false;
  if (!start.installed) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return false;
  }
  hook_thread = thread;
  hook_thread_id = id;
  return true;
}

bool UnInstallFilters() {
  std::lock_guard lock(lifecycle_mutex);
  StopHookThread();
  return true;
}

bool ShutdownHooksDll() {
  UnInstallFilters();
  std::lock_guard lock(target_mutex);
  target_window = nullptr;
  target_message = 0;
  return true;
}
