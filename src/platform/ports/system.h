#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace sg::platform {

// A named kernel object held by the process; 0 is none.
using KernelHandle = std::uintptr_t;

// A moment of the local calendar (GetLocalTime).
struct LocalDateTime {
  int year = 0;
  int month = 0;  // 1..12
  int day = 0;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  bool operator==(const LocalDateTime&) const = default;
};

struct CreatedMutex {
  KernelHandle handle = 0;
  bool already_existed = false;  // GetLastError was ERROR_ALREADY_EXISTS
};

// The process and what it knows of the system (KERNEL32).
class SystemPort {
 public:
  virtual ~SystemPort() = default;
  // CreateMutexA with initial ownership.
  virtual CreatedMutex CreateNamedMutex(const std::string& name) = 0;
  virtual void CloseHandle(KernelHandle handle) = 0;
  // GetModuleFileNameA of the program.
  virtual std::string ModuleFileName() = 0;
  virtual bool SetCurrentDirectory(const std::string& path) = 0;
  virtual std::string CurrentDirectory() = 0;
  // Major version of the operating system (GetVersionExA); 0 when it cannot be read.
  virtual int MajorVersion() = 0;
  // GetWindowsDirectoryA: the Windows folder, without a trailing backslash except at a drive's
  // root; empty when it cannot be read.
  virtual std::string WindowsDirectory() = 0;
  // GetSystemDirectoryA: the system folder ("C:\Windows\System32"), with the same rules.
  virtual std::string SystemDirectory() = 0;
  virtual LocalDateTime LocalTime() = 0;
  // GetTempPathA: the user's temporary folder, ending in a backslash; empty when it cannot be
  // read.
  virtual std::string TemporaryFolder() = 0;
  // Starts a worker thread that ends by itself; no handle is kept.
  virtual void StartThread(std::function<void()> work) = 0;
  virtual void Sleep(std::uint32_t milliseconds) = 0;
  // PlaySoundA with a file name and the given SND_ flags.
  virtual void PlaySound(const std::string& path, std::uint32_t flags) = 0;
  // MessageBeep with an MB_ICON style.
  virtual void MessageBeep(std::uint32_t type) = 0;
  // Ends the process at once.
  virtual void ExitProcess(int exit_code) = 0;
};

inline constexpr std::uint32_t kSndAsync = 0x0001;
// Refused while a sound of this process still plays.
inline constexpr std::uint32_t kSndNoStop = 0x0010;
inline constexpr std::uint32_t kSndFilename = 0x00020000;

}  // namespace sg::platform
