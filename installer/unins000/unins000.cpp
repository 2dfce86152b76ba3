// unins000.exe: runs the uninstaller's steps and waits for them, so that a caller that waits
// for "unins000.exe /SILENT" (the program's upgrade does) finds the program removed when it
// returns. The steps are an NSIS program, which holds its own file open while it runs and so
// could never remove itself from the folder; they run from a copy in the temporary folder and
// rename this program, whose file stays free to move, out of the way.
#include <windows.h>

#include <string>

namespace {

constexpr wchar_t kStepsFile[] = L"uninstall-core.exe";

std::wstring OwnFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.rfind(L'\\'));
}

// What follows the program's own name on its command line, quoted or not.
std::wstring ArgumentsAfterProgramName() {
  const wchar_t* rest = GetCommandLineW();
  if (*rest == L'"') {
    ++rest;
    while (*rest && *rest != L'"') ++rest;
    if (*rest) ++rest;
  } else {
    while (*rest && *rest != L' ' && *rest != L'\t') ++rest;
  }
  return rest;
}

int Fail(const wchar_t* text) {
  MessageBoxW(nullptr, text, L"Snapgate! Uninstall", MB_ICONERROR | MB_OK);
  return 2;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // Run with administrator rights: no DLL may come from this folder or the current one.
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  const std::wstring folder = OwnFolder();
  wchar_t temp_folder[MAX_PATH + 1];
  wchar_t steps_copy[MAX_PATH + 1];
  if (folder.empty() || !GetTempPathW(MAX_PATH + 1, temp_folder) ||
      !GetTempFileNameW(temp_folder, L"sgu", 0, steps_copy)) {
    return Fail(L"The uninstaller could not prepare its work in the temporary folder.");
  }
  if (!CopyFileW((folder + L"\\" + kStepsFile).c_str(), steps_copy, FALSE)) {
    DeleteFileW(steps_copy);
    return Fail(
        L"The uninstaller's steps (uninstall-core.exe) are missing from the program's "
        L"folder. Install Snapgate! again, then uninstall it.");
  }

  // NSIS takes the folder from /D=, which must come last and unquoted.
  std::wstring command_line =
      L"\"" + std::wstring(steps_copy) + L"\"" + ArgumentsAfterProgramName() + L" /D=" + folder;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(steps_copy, command_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      temp_folder, &startup, &process)) {
    DeleteFileW(steps_copy);
    return Fail(L"The uninstaller's steps could not be started.");
  }
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exit_code = 2;
  GetExitCodeProcess(process.hProcess, &exit_code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  DeleteFileW(steps_copy);
  return static_cast<int>(exit_code);
}
