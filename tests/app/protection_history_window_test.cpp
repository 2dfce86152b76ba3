// The protection history as the user reaches it: from the tray menu, with the real program.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <regex>

#include "app/app_fixture.h"
#include "tools/history_entry.h"

namespace sg::app {
namespace {

using platform::RegistryRoot;
using platform::fake::FakeDialogHost;

constexpr std::uint32_t kSeventeenMinutes = 1020000;
const std::string kRandomProgram = "C:\\WINDOWS\\system32\\xkqzvbw.exe";

class ProtectionHistoryWindowTest : public AppTest {
 protected:
  std::vector<std::string> Row(FakeDialogHost& window, int row) {
    return window.control(IDC_HISTORY_LIST).rows.at(static_cast<std::size_t>(row)).texts;
  }
  std::string LastMessage() { return system_.dialogs.MessageBoxes().back().text; }
};

TEST_F(ProtectionHistoryWindowTest, ATerminatedProgramIsListedWithItsReasonAndAllowedFromTheTray) {
  system_.registry.PutString(RegistryRoot::kCurrentUser,
                             "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Helper",
                             kRandomProgram);
  const std::uint32_t first = system_.processes.Start({.path = kRandomProgram});
  Start();
  EXPECT_FALSE(system_.processes.IsRunning(first));
  EXPECT_EQ(MainWindow().control(IDC_BLOCKED_LIST).items,
            std::vector<std::string>{"Spyware detected and killed: xkqzvbw.exe"})
      << "the blocked list stays as it was";

  std::vector<std::string> shown;
  std::size_t boxes_before_allow = 0;
  system_.dialogs.ScriptModal(IDD_PROTECTION_HISTORY, [&](FakeDialogHost& window) {
    shown = Row(window, 0);
    window.Click(IDC_HISTORY_ALLOW);
    boxes_before_allow = system_.dialogs.MessageBoxes().size();
    window.SelectListViewRows(IDC_HISTORY_LIST, {0});
    window.Click(IDC_HISTORY_ALLOW);
    window.Click(platform::kIdCancel);
  });
  MainWindow().events().OnCommand(IDM_PROTECTION_HISTORY, 0);
  ASSERT_EQ(shown.size(), 4u);
  EXPECT_EQ(shown[1], tools::kSpywareKillerTool);
  EXPECT_EQ(shown[2], "Terminated xkqzvbw.exe");
  EXPECT_NE(shown[3].find("letter pairs that are rare in real words"), std::string::npos);
  ASSERT_EQ(boxes_before_allow, 1u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text, "Please select the change to allow.");
  EXPECT_EQ(LastMessage(), kRandomProgram +
                               " is allowed: the adware protection leaves it "
                               "running from now on.");

  const std::uint32_t again = system_.processes.Start({.path = kRandomProgram});
  system_.dialogs.AdvanceTime(kSeventeenMinutes);
  EXPECT_TRUE(system_.processes.IsRunning(again));
}

TEST(TrayMenuTest, TheHistoryItemComesAfterEveryItemThatWasThere) {
  std::ifstream in(SNAPGATE_RESOURCE_SCRIPT);
  const std::string script{std::istreambuf_iterator<char>(in), {}};
  const std::size_t menu = script.find("IDR_TRAY_MENU MENU");
  ASSERT_NE(menu, std::string::npos);
  const std::string block = script.substr(menu, script.find("END\nEND", menu) - menu);
  std::vector<std::string> items;
  const std::regex item(R"(MENUITEM\s+(?:"[^"]*",\s*(\w+)|(SEPARATOR)))");
  for (auto it = std::sregex_iterator(block.begin(), block.end(), item);
       it != std::sregex_iterator(); ++it) {
    items.push_back((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
  }
  EXPECT_EQ(items, (std::vector<std::string>{"IDM_ABOUT", "IDM_OPTIONS", "SEPARATOR", "IDM_ENABLED",
                                             "IDM_ADD_SAFE_SITE", "IDM_ADD_BLOCK_ENTRY",
                                             "SEPARATOR", "IDM_HELP", "IDM_UPGRADE", "IDM_EXIT",
                                             "SEPARATOR", "IDM_PROTECTION_HISTORY"}));
}

}  // namespace
}  // namespace sg::app
