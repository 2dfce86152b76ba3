#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/fake/fake_file_system.h"
#include "platform/ports/system.h"

namespace sg::platform::fake {

// The process: named mutexes shared by every FakeSystem of one test (two program copies),
// worker threads that run when a test lets them, a virtual clock advanced by Sleep, sounds
// recorded instead of played: each plays for a second of the clock, during which one asked for
// without stopping it is refused.
class FakeSystem final : public SystemPort {
 public:
  // Names of mutexes held by any process of the fake machine.
  struct Machine {
    std::mutex mutex;
    std::multiset<std::string> mutex_names;
  };

  FakeSystem(FakeFileSystem& files, Machine& machine) : files_(files), machine_(machine) {}
  ~FakeSystem() override;

  struct Sound {
    std::string path;
    std::uint32_t flags;
  };

  void SetMajorVersion(int version) { major_version_ = version; }
  void SetModuleFileName(const std::string& path) { module_file_name_ = path; }
  void SetWindowsDirectory(const std::string& path) { windows_directory_ = path; }
  void SetLocalTime(const LocalDateTime& now) { local_time_ = now; }
  // The user's temporary folder, without its trailing backslash; empty when it cannot be read.
  void SetTemporaryFolder(const std::string& folder) { temporary_folder_ = folder; }
  // Runs the started threads, and those they start, to their end. Returns how many ran.
  int RunThreads();
  std::size_t PendingThreads() const;
  std::uint64_t Now() const;
  std::vector<Sound> Sounds() const;
  // The MB_ICON styles of MessageBeep, in order.
  std::vector<std::uint32_t> Beeps() const;
  std::optional<int> ExitCode() const;
  // Called on Sleep with the virtual time after it: lets a test act while a thread waits.
  void OnSleep(std::function<void(std::uint64_t now)> observer);

  CreatedMutex CreateNamedMutex(const std::string& name) override;
  void CloseHandle(KernelHandle handle) override;
  std::string ModuleFileName() override { return module_file_name_; }
  bool SetCurrentDirectory(const std::string& path) override;
  std::string CurrentDirectory() override { return files_.CurrentDirectory(); }
  int MajorVersion() override { return major_version_; }
  std::string WindowsDirectory() override { return windows_directory_; }
  std::string SystemDirectory() override { return system_directory_; }
  LocalDateTime LocalTime() override { return local_time_; }
  std::string TemporaryFolder() override;
  void StartThread(std::function<void()> work) override;
  void Sleep(std::uint32_t milliseconds) override;
  void PlaySound(const std::string& path, std::uint32_t flags) override;
  void MessageBeep(std::uint32_t type) override;
  // Records the exit code; the test then stops driving the program.
  void ExitProcess(int exit_code) override;

 private:
  FakeFileSystem& files_;
  Machine& machine_;
  mutable std::mutex mutex_;
  std::map<KernelHandle, std::string> mutexes_;
  KernelHandle next_handle_ = 0x40;
  std::deque<std::function<void()>> threads_;
  std::vector<Sound> sounds_;  // those played
  std::uint64_t sound_ends_at_ = 0;
  std::vector<std::uint32_t> beeps_;
  std::uint64_t now_ms_ = 0;
  int major_version_ = 5;
  std::string module_file_name_ = "C:\\Program Files\\Snapgate!\\Snapgate! 3.293.exe";
  std::string windows_directory_ = "C:\\Windows";
  std::string system_directory_ = "C:\\Windows\\System32";
  LocalDateTime local_time_{2026, 12, 9, 10, 0, 0};
  std::string temporary_folder_ = "C:\\Users\\ann\\AppData\\Local\\Temp";
  std::optional<int> exit_code_;
  std::function<void(std::uint64_t)> sleep_observer_;
};

}  // namespace sg::platform::fake
