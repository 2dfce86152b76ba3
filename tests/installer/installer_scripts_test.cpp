// The setup program and the uninstaller run with administrator rights: what they start is named
// by its full path, and nothing they do lets other users write where the program lies.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <string>

namespace {

TEST(InstallerScriptsTest, StartOnlyByFullPathAndGrantUsersNothing) {
  const std::regex started(R"(^\s*(?:Exec|ExecWait|ExecShell|ExecShellWait|nsExec::\w+)\s+(.*))",
                           std::regex::icase);
  // A quoted path in one of the folders only administrators write.
  const std::regex full_path(R"(^'?"\$(?:WINDIR|SYSDIR|INSTDIR)\\)");
  const std::regex grant(R"(icacls|cacls|S-1-5-32-545|\(BU\)|;BU\)|AccessControl::)",
                         std::regex::icase);
  int scripts = 0;
  for (const auto& entry : std::filesystem::directory_iterator(SNAPGATE_INSTALLER_DIR)) {
    const std::string extension = entry.path().extension().string();
    if (extension != ".nsi" && extension != ".nsh") continue;
    ++scripts;
    std::ifstream script(entry.path());
    int number = 0;
    for (std::string line; std::getline(script, line);) {
      ++number;
      const std::string where = entry.path().filename().string() + ":" + std::to_string(number);
      if (line.find_first_not_of(" \t") != std::string::npos &&
          line[line.find_first_not_of(" \t")] == ';') {
        continue;
      }
      EXPECT_FALSE(std::regex_search(line, grant)) << where << ": " << line;
      std::smatch command;
      if (std::regex_search(line, command, started)) {
        EXPECT_TRUE(std::regex_search(command[1].str(), full_path)) << where << ": " << line;
      }
    }
  }
  EXPECT_EQ(scripts, 3) << "setup.nsi, uninstall.nsi and common.nsh";
}

}  // namespace
