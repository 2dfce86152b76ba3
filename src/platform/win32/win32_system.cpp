#include "platform/win32/win32_system.h"

#include <windows.h>

#include <mmsystem.h>

#include <thread>

#include "platform/win32/system_libraries.h"
#include "platform/win32/unclashed_names.h"

namespace sg::platform::win32 {

CreatedMutex Win32System::CreateNamedMutex(const std::string& name) {
  CreatedMutex created;
  created.handle = reinterpret_cast<KernelHandle>(CreateMutexA(nullptr, TRUE, name.c_str()));
  created.already_existed = GetLastError() == ERROR_ALREADY_EXISTS;
  return created;
}

void Win32System::CloseHandle(KernelHandle handle) {
  ::CloseHandle(reinterpret_cast<HANDLE>(handle));
}

std::string Win32System::ModuleFileName() {
  return ExecutablePath();
}

bool Win32System::SetCurrentDirectory(const std::string& path) {
  return SetCurrentDirectoryA(path.c_str());
}

std::string Win32System::CurrentDirectory() {
  // Asked with no buffer, the call answers the size needed, terminator included.
  const DWORD needed = GetCurrentDirectoryA(0, nullptr);
  if (needed == 0) return {};
  std::string path(needed, '\0');
  const DWORD length = GetCurrentDirectoryA(needed, path.data());
  path.resize(length < needed ? length : 0);
  return path;
}

int Win32System::MajorVersion() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return 0;
  return static_cast<int>(version.dwMajorVersion);
}

namespace {

// GetWindowsDirectoryA and GetSystemDirectoryA: asked with a buffer too small, they answer the
// size needed, terminator included.
std::string FolderFrom(UINT(WINAPI* ask)(LPSTR, UINT)) {
  std::string path(MAX_PATH, '\0');
  for (int tries = 0; tries < 3; ++tries) {
    const UINT length = ask(path.data(), static_cast<UINT>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(length);
  }
  return {};
}

}  // namespace

std::string Win32System::WindowsDirectory() {
  return FolderFrom(GetWindowsDirectoryA);
}

std::string Win32System::SystemDirectory() {
  return FolderFrom(GetSystemDirectoryA);
}

LocalDateTime Win32System::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

std::string Win32System::TemporaryFolder() {
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return {};
  return std::string(folder, length);
}

void Win32System::StartThread(std::function<void()> work) {
  std::thread(std::move(work)).detach();
}

void Win32System::Sleep(std::uint32_t milliseconds) {
  ::Sleep(milliseconds);
}

void Win32System::PlaySound(const std::string& path, std::uint32_t flags) {
  PlaySoundA(path.c_str(), nullptr, flags);
}

void Win32System::MessageBeep(std::uint32_t type) {
  ::MessageBeep(type);
}

void Win32System::ExitProcess(int exit_code) {
  ::ExitProcess(static_cast<UINT>(exit_code));
}

}  // namespace sg::platform::win32
