#pragma once

// Starting the real program under Wine and looking at it from outside, for the end-to-end tests
// and the latency benchmark.
#include <windows.h>

#include <commctrl.h>

#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "win32/message_pump.h"
#include "win32/run_notes.h"

namespace sg::e2e {

using namespace std::chrono_literals;
using testing::PumpUntil;

// Wine shows its own notification area as this window while it holds at least one icon.
inline constexpr const char* kWineTrayTitle = "Wine System Tray";

inline std::string ProgramPath() {
  return SNAPGATE_PROGRAM_PATH;
}

inline void SetRegistryValue(HKEY root, const std::string& path, const char* name, DWORD type,
                             const void* data, DWORD size) {
  HKEY key;
  if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
}
// A string value; no name sets the key's default value.
inline void SetRegistryString(HKEY root, const std::string& path, const char* name,
                              const std::string& text) {
  SetRegistryValue(root, path, name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
}
inline std::string RegistryString(HKEY root, const std::string& path, const char* name) {
  char value[1024] = {};
  DWORD size = sizeof value - 1;
  if (RegGetValueA(root, path.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return "<absent>";
  }
  return value;
}

inline void SetSetting(const char* name, const char* value) {
  SetRegistryString(HKEY_CURRENT_USER, "Software\\Snapgate!", name, value);
}
inline std::string Setting(const char* name) {
  return RegistryString(HKEY_CURRENT_USER, "Software\\Snapgate!", name);
}

// The first top-level window of a process whose title passes the test.
template <typename TitleTest>
HWND WindowWhere(DWORD process_id, TitleTest title_test) {
  struct Search {
    DWORD process_id;
    TitleTest& title_test;
    HWND window = nullptr;
  } search{process_id, title_test};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* search = reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char text[256] = {};
        GetWindowTextA(window, text, sizeof text);
        if (owner != search->process_id || !search->title_test(std::string(text))) return TRUE;
        search->window = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.window;
}

// The top-level window of a process with exactly this title.
inline HWND WindowOf(DWORD process_id, const char* title) {
  return WindowWhere(process_id, [title](const std::string& text) { return text == title; });
}

// A file's whole content; empty when it cannot be read.
inline std::string FileText(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

inline bool FileIsThere(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The lines of the main dialog's blocked list, read across processes in the wide form: Wine
// hands list-box text between processes so.
inline std::vector<std::wstring> BlockedLines(HWND main_dialog) {
  HWND list = GetDlgItem(main_dialog, 1000);
  std::vector<std::wstring> lines;
  const int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t line[1024] = {};
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
    lines.emplace_back(line);
  }
  return lines;
}

inline bool Lists(const std::vector<std::wstring>& lines, const std::wstring& line) {
  for (const auto& listed : lines) {
    if (listed == line) return true;
  }
  return false;
}

// The visible dialogs of a process other than its main dialog: the program's message boxes.
inline std::vector<HWND> MessageBoxesOf(DWORD process_id, HWND main_dialog) {
  struct Search {
    DWORD process_id;
    HWND main_dialog;
    std::vector<HWND> boxes;
  } search{process_id, main_dialog, {}};
  EnumWindows(
      [](HWND window, LPARAM parameter) -> BOOL {
        auto* search = reinterpret_cast<Search*>(parameter);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char class_name[16] = {};
        GetClassNameA(window, class_name, sizeof class_name);
        if (owner == search->process_id && window != search->main_dialog &&
            strcmp(class_name, "#32770") == 0 && IsWindowVisible(window)) {
          search->boxes.push_back(window);
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.boxes;
}

// What a message box says: the texts of its static controls.
inline std::string MessageBoxText(HWND box) {
  std::string text;
  EnumChildWindows(
      box,
      [](HWND child, LPARAM parameter) -> BOOL {
        char class_name[16] = {};
        GetClassNameA(child, class_name, sizeof class_name);
        char line[2048] = {};
        if (_stricmp(class_name, "Static") == 0 && GetWindowTextA(child, line, sizeof line) > 0) {
          *reinterpret_cast<std::string*>(parameter) += line;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&text));
  return text;
}

// A cell of a list view in another process: the request and its answer must lie in that
// process's memory.
inline std::string ListViewCellOf(HWND list, int row, int column) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(list, &process_id);
  HANDLE process =
      OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return {};
  constexpr int kTextSize = 1024;
  auto* remote = static_cast<char*>(
      VirtualAllocEx(process, nullptr, sizeof(LVITEMA) + kTextSize, MEM_COMMIT, PAGE_READWRITE));
  std::string text;
  if (remote) {
    LVITEMA request{};
    request.iSubItem = column;
    request.pszText = remote + sizeof(LVITEMA);
    request.cchTextMax = kTextSize;
    char answer[kTextSize] = {};
    if (WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
        SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote)) >= 0 &&
        ReadProcessMemory(process, request.pszText, answer, kTextSize - 1, nullptr)) {
      text = answer;
    }
    VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  }
  CloseHandle(process);
  return text;
}

// Selects a row of a list view in another process: the request must lie in its memory.
inline bool SelectListViewRow(HWND list, int row) {
  DWORD process_id = 0;
  GetWindowThreadProcessId(list, &process_id);
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, process_id);
  if (!process) return false;
  void* remote = VirtualAllocEx(process, nullptr, sizeof(LVITEMA), MEM_COMMIT, PAGE_READWRITE);
  LVITEMA request{};
  request.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  request.state = LVIS_SELECTED | LVIS_FOCUSED;
  const bool selected =
      remote && WriteProcessMemory(process, remote, &request, sizeof request, nullptr) &&
      SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(remote));
  if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
  CloseHandle(process);
  return selected;
}

// The prefix is shared with the run command: runs start from no settings and leave none behind.
inline void ForgetSettings() {
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Snapgate!");
}

// No settings but those of a start after the first: no welcome dialog, no splash.
inline void SettingsOfALaterStart() {
  ForgetSettings();
  SetSetting("bFirstTimeMsg", "1");
  SetSetting("bDisableSplash", "1");
}

inline bool TrayShowsAnIcon() {
  HWND tray = FindWindowA(nullptr, kWineTrayTitle);
  return tray && IsWindowVisible(tray);
}

class Program {
 public:
  // A start from a whole command line, as Windows starts the programs of its logon values.
  struct CommandLine {
    std::string text;
    DWORD creation_flags = 0;
  };
  explicit Program(const std::string& path = ProgramPath())
      : Program(CommandLine{"\"" + path + "\""}) {}
  explicit Program(CommandLine command) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    started_ = CreateProcessA(nullptr, command.text.data(), nullptr, nullptr, FALSE,
                              command.creation_flags, nullptr, nullptr, &startup, &info_);
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 10000);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }

  bool started() const { return started_; }
  DWORD id() const { return info_.dwProcessId; }
  bool EndsWithin(std::chrono::milliseconds limit) {
    return PumpUntil([this] { return WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0; },
                     limit);
  }
  DWORD ExitCode() {
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return code;
  }
  HWND MainDialog(std::chrono::milliseconds limit = 30s) {
    HWND window = nullptr;
    PumpUntil([&] { return (window = WindowOf(id(), "Snapgate!")) != nullptr; }, limit);
    return window;
  }

  // Answers the program's message boxes with OK, as a user would, and notes what they said: a
  // box at start-up (about something this Wine lacks, say) holds the start-up until answered.
  void AnswerMessageBoxes(HWND main_dialog) {
    for (HWND box : MessageBoxesOf(id(), main_dialog)) {
      sg::testing::NoteForTheRun("the program said: " + MessageBoxText(box));
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    }
  }
  // Waits until the main dialog is shown, answering message boxes on the way.
  bool ShowsWithin(HWND main_dialog, std::chrono::milliseconds limit) {
    return PumpUntil(
        [&] {
          if (IsWindowVisible(main_dialog)) return true;
          AnswerMessageBoxes(main_dialog);
          return false;
        },
        limit);
  }
  // The message box that says these words.
  HWND MessageBoxSaying(const char* words, HWND main_dialog, std::chrono::milliseconds limit) {
    HWND found = nullptr;
    PumpUntil(
        [&] {
          for (HWND box : MessageBoxesOf(id(), main_dialog)) {
            if (MessageBoxText(box).find(words) != std::string::npos) found = box;
          }
          return found != nullptr;
        },
        limit);
    return found;
  }
  // Ends the program as a user does: "Exit", then Yes to the question. True when it ended.
  bool EndsThroughTheExitQuestion(HWND main_dialog) {
    PostMessageA(main_dialog, WM_COMMAND, 57665, 0);
    HWND question = MessageBoxSaying("Are you sure you want to exit", main_dialog, 20s);
    if (!question) return false;
    PostMessageA(question, WM_COMMAND, IDYES, 0);
    return EndsWithin(60s);
  }
  // What the program shows besides its main dialog, for failure messages.
  std::string Describe(HWND main_dialog) {
    std::string description =
        IsWindowVisible(main_dialog) ? "main dialog shown" : "main dialog hidden";
    for (HWND box : MessageBoxesOf(id(), main_dialog)) {
      description += "; a message box says: " + MessageBoxText(box);
    }
    return description;
  }

 private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

}  // namespace sg::e2e
