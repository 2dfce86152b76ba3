#pragma once

// The installed program as the setup program leaves it, for the installer and upgrade tests.
#include <windows.h>

#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "e2e/program_driver.h"

namespace sg::e2e {

inline constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Snapgate!";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

inline std::string KnownFolder(int id) {
  char path[MAX_PATH] = {};
  SHGetFolderPathA(nullptr, id, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}
inline std::string InstallFolder() {
  return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Snapgate!";
}
inline std::string InstalledProgram(const std::string& version = "3.293") {
  return InstallFolder() + "\\Snapgate! " + version + ".exe";
}

// Runs a command line to its end; its exit code, or a code of our own when it did not end.
inline DWORD RunToItsEnd(std::string command_line) {
  Program run(Program::CommandLine{std::move(command_line)});
  if (!run.started()) return 0xDEAD;
  if (!run.EndsWithin(120s)) return 0xBEEF;
  return run.ExitCode();
}
inline DWORD RunSetup(const std::string& setup_program = SNAPGATE_SETUP_PROGRAM) {
  return RunToItsEnd("\"" + setup_program + "\" /SILENT");
}
inline DWORD RunUninstaller() {
  return RunToItsEnd("\"" + InstallFolder() + "\\unins000.exe\" /SILENT");
}

// Where the installed program keeps the user's lists: never beside itself.
inline std::string UsersFilesFolder() {
  return KnownFolder(CSIDL_APPDATA) + "\\Snapgate!";
}
inline void WriteUsersBlockList() {
  CreateDirectoryA(UsersFilesFolder().c_str(), nullptr);
  std::ofstream(UsersFilesFolder() + "\\filters.txt", std::ios::binary) << "Casino\r\n";
}

// The process of the running copy's main dialog other than `besides`, 0 when none shows within
// the limit.
inline DWORD RunningCopy(std::chrono::milliseconds limit, DWORD besides = 0) {
  DWORD process = 0;
  PumpUntil(
      [&] {
        for (HWND dialog = FindWindowA("#32770", "Snapgate!"); dialog && !process;
             dialog = FindWindowExA(nullptr, dialog, "#32770", "Snapgate!")) {
          GetWindowThreadProcessId(dialog, &process);
          if (process == besides) process = 0;
        }
        return process != 0;
      },
      limit);
  return process;
}

// Uninstalls what a test left installed, and the user's files with it.
inline void RemoveInstallation() {
  if (FileIsThere(InstallFolder() + "\\unins000.exe")) RunUninstaller();
  std::error_code ignored;
  std::filesystem::remove_all(UsersFilesFolder(), ignored);
  // A program that has just ended may still hold the folder as its working folder.
  PumpUntil(
      [] { return RemoveDirectoryA(InstallFolder().c_str()) || !FileIsThere(InstallFolder()); },
      10s);
  ForgetSettings();
}

}  // namespace sg::e2e
