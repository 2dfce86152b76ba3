#include "platform/win32/win32_windows.h"

#include <windows.h>

#include <thread>

#include "platform/win32/queued_message.h"
#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {

namespace {

HWND Handle(WindowHandle window) {
  return reinterpret_cast<HWND>(window);
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
  reinterpret_cast<std::vector<WindowHandle>*>(list)->push_back(
      reinterpret_cast<WindowHandle>(window));
  return TRUE;
}

BOOL CALLBACK CollectShownWindow(HWND window, LPARAM list) {
  if (GetWindowLongPtrA(window, GWL_STYLE) & WS_VISIBLE) CollectWindow(window, list);
  return TRUE;
}

}  // namespace

std::vector<WindowHandle> Win32Windows::TopLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::vector<WindowHandle> Win32Windows::ShownTopLevelWindows() {
  std::vector<WindowHandle> windows;
  EnumWindows(CollectShownWindow, reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string Win32Windows::WindowText(WindowHandle window, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::string text(buffer_size, '\0');
  const int length = GetWindowTextA(Handle(window), text.data(), static_cast<int>(buffer_size));
  text.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return text;
}

bool Win32Windows::IsVisible(WindowHandle window) {
  return IsWindowVisible(Handle(window));
}

bool Win32Windows::IsWindow(WindowHandle window) {
  return ::IsWindow(Handle(window));
}

std::string Win32Windows::ClassName(WindowHandle window, std::size_t buffer_size) {
  if (buffer_size == 0) return {};
  std::string name(buffer_size, '\0');
  const int length = GetClassNameA(Handle(window), name.data(), static_cast<int>(buffer_size));
  name.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return name;
}

std::optional<WindowRect> Win32Windows::Rect(WindowHandle window) {
  RECT rect;
  if (!GetWindowRect(Handle(window), &rect)) return std::nullopt;
  return WindowRect{rect.left, rect.top, rect.right, rect.bottom};
}

std::optional<int> Win32Windows::ShowState(WindowHandle window) {
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(Handle(window), &placement)) return std::nullopt;
  return static_cast<int>(placement.showCmd);
}

WindowHandle Win32Windows::Parent(WindowHandle window) {
  return reinterpret_cast<WindowHandle>(GetParent(Handle(window)));
}

std::uint32_t Win32Windows::ProcessId(WindowHandle window) {
  DWORD process = 0;
  GetWindowThreadProcessId(Handle(window), &process);
  return process;
}

bool Win32Windows::PostMessage(WindowHandle window, std::uint32_t message, std::uintptr_t wparam,
                               std::intptr_t lparam) {
  return PostMessageA(Handle(window), message, wparam, lparam);
}

bool Win32Windows::SetForegroundWindow(WindowHandle window) {
  return ::SetForegroundWindow(Handle(window));
}

void Win32Windows::ShowWindow(WindowHandle window, int show_command) {
  ::ShowWindow(Handle(window), show_command);
}

void Win32Windows::CloseWindow(WindowHandle window) {
  ::CloseWindow(Handle(window));
}

std::uint32_t Win32Windows::RegisterMessage(const std::string& name) {
  return RegisterWindowMessageA(name.c_str());
}

bool Win32Windows::IsKeyDown(int virtual_key) {
  return (GetAsyncKeyState(virtual_key) & 0x8000) != 0;
}

void Win32Windows::RunDispatchingMessages(std::function<void()> work) {
  HANDLE done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!done) {
    work();
    return;
  }
  // The worker uses the caller's work only until it sets the event, and the caller returns only
  // after that.
  std::thread([&work, done] {
    work();
    SetEvent(done);
  }).detach();
  while (MsgWaitForMultipleObjectsEx(1, &done, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE) !=
         WAIT_OBJECT_0) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchQueuedMessage(message);
  }
  ::CloseHandle(done);
}

}  // namespace sg::platform::win32
