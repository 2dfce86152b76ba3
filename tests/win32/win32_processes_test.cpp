// Processes through the real KERNEL32, PSAPI and ToolHelp of Wine, and the process tools on top.
#include "platform/win32/win32_processes.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/ascii.h"
#include "platform/win32/unclashed_names.h"
#include "platform/win32/win32_windows.h"
#include "tools/process_list.h"
#include "tools/window_process_list.h"

namespace sg::platform::win32 {
namespace {

std::string ThisExecutable() {
  char path[MAX_PATH];
  const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
  return std::string(path, length);
}

std::string BaseName(const std::string& path) {
  return path.substr(path.find_last_of("\\/") + 1);
}

// The helper program as Windows names it: backslashes.
std::string ChildPath() {
  std::string path = SNAPGATE_SLEEPING_CHILD;
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

// A started copy of the helper program, terminated at the end if the test did not.
class SleepingChild {
 public:
  SleepingChild() {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string command = "\"" + ChildPath() + "\"";
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                              nullptr, nullptr, &startup, &info_);
  }
  ~SleepingChild() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(info_.hProcess, 9);
      WaitForSingleObject(info_.hProcess, 10000);
    }
    ::CloseHandle(info_.hThread);
    ::CloseHandle(info_.hProcess);
  }
  bool started() const { return started_; }
  std::uint32_t id() const { return info_.dwProcessId; }
  // The exit code once the process has ended within the time given.
  std::optional<DWORD> ExitCode(DWORD milliseconds) const {
    if (WaitForSingleObject(info_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }

 private:
  bool started_ = false;
  PROCESS_INFORMATION info_{};
};

// The position of the process in the list, or the list's size.
std::size_t Find(const tools::ProcessList& list, std::uint32_t id) {
  const auto found = std::find(list.ids.begin(), list.ids.end(), std::to_string(id));
  return static_cast<std::size_t>(found - list.ids.begin());
}

class ProcessesPortUnderWine : public ::testing::Test {
 protected:
  // A new process takes a moment to load its executable; until then its modules are unknown.
  tools::ProcessList CollectUntilListed(std::uint32_t id) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (;;) {
      tools::ProcessList list;
      collected_ = tools::CollectProcesses(processes_, list);
      if (Find(list, id) < list.ids.size() || std::chrono::steady_clock::now() > deadline)
        return list;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  Win32Processes processes_;
  bool collected_ = false;
};

TEST_F(ProcessesPortUnderWine, TheSystemIsOfTheNtFamilyWithEveryLibrary) {
  EXPECT_EQ(processes_.PlatformId(), kPlatformWin32Nt);
  EXPECT_TRUE(processes_.HasPsapi());
  // 64-bit Wine ships VDMDBG.DLL too, so the window list can look up module paths.
  EXPECT_TRUE(processes_.HasVdmDbg());
  EXPECT_TRUE(processes_.HasToolHelp());
}

TEST_F(ProcessesPortUnderWine, AFullBufferOfIdsAsksForMoreRoom) {
  std::vector<std::uint32_t> one(1);
  EXPECT_EQ(processes_.EnumProcesses(one), 4u);
  std::vector<std::uint32_t> room(4096);
  const std::optional<std::uint32_t> bytes = processes_.EnumProcesses(room);
  ASSERT_TRUE(bytes.has_value());
  ASSERT_LT(*bytes, room.size() * 4);
  room.resize(*bytes / 4);
  EXPECT_NE(std::find(room.begin(), room.end(), GetCurrentProcessId()), room.end());
}

TEST_F(ProcessesPortUnderWine, ThisProcessNamesItsExecutableWithinTheBuffer) {
  const ProcessHandle self =
      processes_.OpenProcess(kProcessQueryInformation | kProcessVmRead, GetCurrentProcessId());
  ASSERT_NE(self, 0u);
  const ModuleHandle module = processes_.FirstModule(self);
  EXPECT_EQ(module, reinterpret_cast<ModuleHandle>(GetModuleHandleA(nullptr)));
  const std::string path = ThisExecutable();
  EXPECT_EQ(processes_.ModuleFileName(self, module, 260), path);
  EXPECT_EQ(processes_.ModuleBaseName(self, module, 260), BaseName(path));
  EXPECT_EQ(processes_.ModuleBaseName(self, module, 4), BaseName(path).substr(0, 3));
  EXPECT_EQ(processes_.ModuleFileName(self, module, 6), path.substr(0, 5));
  processes_.CloseHandle(self);
}

TEST_F(ProcessesPortUnderWine, SnapshotsListThisProcessAndItsModules) {
  const auto snapshot = processes_.ProcessSnapshot();
  ASSERT_TRUE(snapshot.has_value());
  const auto self = std::find_if(snapshot->begin(), snapshot->end(), [](const ProcessEntry& e) {
    return e.process_id == GetCurrentProcessId();
  });
  ASSERT_NE(self, snapshot->end());
  EXPECT_TRUE(EqualsIgnoringCase(self->exe_file, BaseName(ThisExecutable())));

  const auto modules = processes_.ModuleSnapshot(GetCurrentProcessId());
  ASSERT_TRUE(modules.has_value());
  ASSERT_FALSE(modules->empty());
  EXPECT_TRUE(EqualsIgnoringCase(modules->front().path, ThisExecutable()));
  EXPECT_TRUE(std::any_of(modules->begin(), modules->end(), [](const ModuleEntry& m) {
    return EqualsIgnoringCase(m.module_name, "kernel32.dll");
  }));
}

TEST_F(ProcessesPortUnderWine, AProcessThatIsNotRunningCannotBeOpenedOrListed) {
  std::vector<std::uint32_t> running(4096);
  running.resize(processes_.EnumProcesses(running).value_or(0) / 4);
  ASSERT_FALSE(running.empty());
  const std::uint32_t unknown = *std::max_element(running.begin(), running.end()) + 0x1000;
  EXPECT_EQ(processes_.OpenProcess(kProcessTerminate, unknown), 0u);
  EXPECT_FALSE(processes_.ModuleSnapshot(unknown).has_value());
}

TEST_F(ProcessesPortUnderWine, CollectingFindsThisProcessAndAChildWhichThenIsKilled) {
  SleepingChild child;
  ASSERT_TRUE(child.started());
  const tools::ProcessList list = CollectUntilListed(child.id());
  EXPECT_TRUE(collected_);

  const std::size_t self = Find(list, GetCurrentProcessId());
  ASSERT_LT(self, list.ids.size());
  EXPECT_EQ(list.names[self], BaseName(ThisExecutable()));
  EXPECT_EQ(list.paths[self], ThisExecutable());

  const std::size_t at = Find(list, child.id());
  ASSERT_LT(at, list.ids.size());
  EXPECT_EQ(list.names[at], "sg_sleeping_child.exe");
  EXPECT_TRUE(EqualsIgnoringCase(list.paths[at], ChildPath()));

  EXPECT_EQ(tools::KillProcessByName(processes_, "no_such_program.exe", list),
            tools::kill_result::kNotRunning);
  EXPECT_EQ(tools::KillProcessByName(processes_, "SG_SLEEPING_CHILD.EXE", list),
            tools::kill_result::kKilled);
  EXPECT_EQ(child.ExitCode(10000), 0u);
}

TEST_F(ProcessesPortUnderWine, TheWindowListNamesTheExecutableBehindAWindow) {
  HWND window = CreateWindowExA(0, "STATIC", "Snapgate process window", WS_OVERLAPPEDWINDOW, 10, 10,
                                200, 100, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(window, nullptr);
  ShowWindow(window, SW_SHOWNOACTIVATE);
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

  Win32Windows windows;
  tools::WindowProcessList list(windows, processes_);
  using namespace tools::window_filter;
  EXPECT_TRUE(list.Build(kVisibleOnly | kTopLevelOnly));
  std::size_t at = 0;
  while (at < list.Count() && list.Window(at) != reinterpret_cast<WindowHandle>(window)) ++at;
  ASSERT_LT(at, list.Count());
  EXPECT_TRUE(EqualsIgnoringCase(list.ClassName(at), "Static"));
  EXPECT_EQ(list.ProcessId(at), GetCurrentProcessId());
  EXPECT_EQ(list.ModulePath(at), ThisExecutable());

  // Hidden, it is not listed by the same filter.
  ShowWindow(window, SW_HIDE);
  list.Build(kVisibleOnly | kTopLevelOnly);
  for (std::size_t i = 0; i < list.Count(); ++i) {
    EXPECT_NE(list.Window(i), reinterpret_cast<WindowHandle>(window));
  }
  DestroyWindow(window);
}

}  // namespace
}  // namespace sg::platform::win32
