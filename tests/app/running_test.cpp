// The running program: hiding and showing, the tray icon and its menu, blocks and the exit.
#include <algorithm>
#include <atomic>
#include <future>
#include <thread>

#include "app_fixture.h"

namespace sg::app {
namespace {

constexpr std::uint32_t kRightButtonUp = 0x205;
constexpr std::uint32_t kLeftDoubleClick = 0x203;

// The animation plays while the dialog can be seen, and rests in the tray.
TEST_F(AppTest, OkHidesAndTheTrayBringsTheDialogBack) {
  Start();
  auto& window = MainWindow();
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_IDLE);
  window.Click(1009);
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(Stored("bMinimized"), "1");
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, 0);

  EXPECT_EQ(system_.tray.SendMouse(kTrayIconId, kLeftDoubleClick), 1);
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(Stored("bMinimized"), "0");
  EXPECT_EQ(system_.desktop.Foreground(), window.Window());
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_IDLE);

  window.events().OnSysCommand(0xF020);  // minimise
  EXPECT_FALSE(window.IsVisible());
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, 0);
  EXPECT_EQ(system_.tray.SendMouse(99, kLeftDoubleClick), 0) << "another icon's message";
  EXPECT_FALSE(window.IsVisible());
}

TEST_F(AppTest, TheEnabledSwitchShowsInTheMenuAndTheIcon) {
  Start();
  auto& window = MainWindow();
  system_.tray.SendMouse(kTrayIconId, kRightButtonUp);
  ASSERT_EQ(system_.tray.Menus().size(), 1u);
  EXPECT_EQ(system_.tray.Menus()[0].state.default_position, 1);
  EXPECT_TRUE(system_.tray.Menus()[0].state.enabled_checked);
  EXPECT_FALSE(system_.tray.Menus()[0].state.enabled_bitmap);
  EXPECT_EQ(system_.tray.Menus()[0].owner, window.Window());

  const int imports = RegeditRuns();
  window.events().OnCommand(IDM_ENABLED, 0);
  EXPECT_FALSE(app_->main_dialog()->tray().blocking_enabled());
  EXPECT_EQ(system_.tray.Shown()->icon_resource, IDI_TRAY_DISABLED);
  EXPECT_EQ(RegeditRuns(), imports + 1) << "protection off takes the preset back";
  system_.tray.SendMouse(kTrayIconId, kRightButtonUp);
  EXPECT_FALSE(system_.tray.Menus()[1].state.enabled_checked);
  EXPECT_TRUE(system_.tray.Menus()[1].state.enabled_bitmap);

  window.events().OnCommand(IDM_ENABLED, 0);
  EXPECT_TRUE(app_->main_dialog()->tray().blocking_enabled());
  EXPECT_EQ(system_.tray.Shown()->icon_resource, IDI_TRAY_NORMAL);
  EXPECT_EQ(RegeditRuns(), imports + 2);
}

TEST_F(AppTest, TheIconComesBackWithItsTooltipAfterTheShellRestarts) {
  Start();
  app_->main_dialog()->blocks().Record("Special Offer", true, false);
  system_.desktop.DeliverPosted();
  system_.tray.RestartShell();
  ASSERT_TRUE(system_.tray.Shown());
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 1 windows blocked");
}

TEST_F(AppTest, ABlockIsCountedStoredListedAndAnnounced) {
  Store("m_TotalBlocks", "41");
  Start();
  auto& window = MainWindow();
  EXPECT_EQ(window.Text(1007), "41");
  auto& blocks = app_->main_dialog()->blocks();
  system_.system.Sleep(1000);  // the start sound has ended
  blocks.Record("Special Offer", true, true);
  EXPECT_EQ(blocks.count_text(), "1");
  EXPECT_EQ(blocks.total_blocks(), 42);
  EXPECT_EQ(window.ListText(1000, 0), "Special Offer");
  // Announced once the messages already waiting are handled.
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate!");
  system_.desktop.DeliverPosted();
  EXPECT_EQ(Stored("m_TotalBlocks"), "42");
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 1 windows blocked");
  const auto sounds = system_.system.Sounds();
  ASSERT_FALSE(sounds.empty());
  EXPECT_EQ(sounds.back().path, "C:\\Program Files\\Snapgate!\\default.wav");
  EXPECT_EQ(sounds.back().flags, 0x20011u) << "asynchronous, and not over a sound still playing";

  window.Click(1013);
  EXPECT_EQ(window.ListCount(1000), 0);
  EXPECT_EQ(blocks.count_text(), "1") << "clearing the list keeps the counts";
}

TEST_F(AppTest, ATotalAboveAHundredThousandIsShownAsZero) {
  {
    platform::fake::FakePlatform system;
    system.registry.PutString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                              "m_TotalBlocks", "100000");
    BlockerApp app(system.ports());
    ASSERT_EQ(app.StartUp(), StartOutcome::kRunning);
    EXPECT_EQ(system.dialogs.Modeless(IDD_MAIN)->Text(1007), "100000") << "the largest shown";
    EXPECT_EQ(app.main_dialog()->blocks().total_blocks(), 100000);
  }
  Store("m_TotalBlocks", "100001");
  Start();
  EXPECT_EQ(MainWindow().Text(1007), "0");
  app_->main_dialog()->blocks().Record("x", false, false);
  system_.desktop.DeliverPosted();
  EXPECT_EQ(app_->main_dialog()->blocks().total_blocks(), 1);
  EXPECT_EQ(Stored("m_TotalBlocks"), "100002") << "the stored text counts on";
}

TEST_F(AppTest, ABurstOfBlocksFlashesOneSequenceAndSoundsOnceAndTheIconEndsNormal) {
  Store("m_NumFlashes", "1");  // twice per sequence
  Store("bDisableSplash", "1");  // no start sound
  Start();
  auto& blocks = app_->main_dialog()->blocks();
  const auto sounds = system_.system.Sounds().size();
  for (int i = 0; i < 300; ++i) blocks.Record("popup " + std::to_string(i), true, true);
  EXPECT_EQ(system_.system.PendingThreads(), 1u) << "one worker for the whole burst";
  EXPECT_EQ(MainWindow().ListCount(1000), 300) << "every block listed at once";
  EXPECT_FALSE(MainWindow().control(1000).redraw) << "and painted once, when announced";
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(MainWindow().control(1000).redraw);
  EXPECT_EQ(system_.system.Sounds().size(), sounds + 1) << "one sound for the burst";
  EXPECT_EQ(Stored("m_TotalBlocks"), "300");
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 300 windows blocked");

  // A block during the flashing starts the sequence over, on the same worker; one while the
  // flash icon is up keeps it up.
  int blocks_while_flashing = 0;
  system_.system.OnSleep([&](std::uint64_t) {
    const int sleep = blocks_while_flashing++;
    if (sleep == 1 || sleep == 2) blocks.Record("late popup", true, true);
  });
  system_.system.RunThreads();
  system_.system.OnSleep(nullptr);
  EXPECT_EQ(system_.tray.IconHistory().size(), 1u) << "the icon changes on the dialog's thread";
  system_.desktop.DeliverPosted();
  const auto history = system_.tray.IconHistory();
  // Added once; one flash (144, 128) before the late blocks, then two more and a final 128.
  EXPECT_EQ(std::count(history.begin(), history.end(), IDI_TRAY_FLASH), 3);
  EXPECT_EQ(history.size(), 1u + 2 * 3 + 1);
  EXPECT_EQ(history.back(), IDI_TRAY_NORMAL);
  EXPECT_EQ(system_.system.Sounds().size(), sounds + 2)
      << "the late block is announced when the dialog's thread comes to it, the first sound over";

  // Once the sound has ended and the flashing stopped, the next block has both again.
  system_.system.Sleep(1000);
  blocks.Record("next popup", true, true);
  system_.desktop.DeliverPosted();
  EXPECT_EQ(system_.system.Sounds().size(), sounds + 3);
  EXPECT_EQ(system_.system.PendingThreads(), 2u) << "the flash, and the end of the count's rest";
}

TEST_F(AppTest, NotificationControlsStoreTheirChoiceAndEnableTheirNeighbours) {
  Start();
  auto& window = MainWindow();
  window.Click(1022);  // sound off
  EXPECT_EQ(Stored("m_PlaySound"), "0");
  EXPECT_FALSE(window.control(1023).enabled);
  EXPECT_FALSE(window.control(1024).enabled);
  window.events().OnCommand(1023, 0);
  window.events().OnCommand(1024, 0);
  EXPECT_EQ(system_.system.Sounds().size(), 1u) << "only the start sound";

  window.ChooseComboItem(1017, 2);
  EXPECT_EQ(Stored("m_NumFlashes"), "2");
  EXPECT_EQ(app_->main_dialog()->blocks().settings().flash_count, 3);
  window.Click(1027);
  EXPECT_EQ(Stored("m_EnableFlash"), "0");
  EXPECT_FALSE(window.control(1017).enabled);

  window.ChooseComboItem(1008, 1);
  EXPECT_EQ(Stored("iHotkey"), "1");
  EXPECT_EQ(app_->main_dialog()->hold_down_key(), 16);
}

TEST_F(AppTest, BrowsingForASoundStoresItsPath) {
  Start();
  system_.dialogs.AnswerFileDialog("D:\\Sounds\\zap.wav");
  MainWindow().Click(1024);
  EXPECT_EQ(Stored("WavPathname"), "D:\\Sounds\\zap.wav");
  EXPECT_EQ(MainWindow().Text(1025), "zap.wav");
  MainWindow().Click(1024);  // cancelled
  EXPECT_EQ(Stored("WavPathname"), "D:\\Sounds\\zap.wav");
}

TEST_F(AppTest, ManualPopupsShowTheirTipEachTimeTheyAreTurnedOn) {
  Start();
  auto& window = MainWindow();
  window.Click(1028);  // off
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
  EXPECT_EQ(Stored("m_bManualPopups"), "0");
  window.Click(1028);
  window.Click(1028);
  window.Click(1028);
  ASSERT_EQ(system_.dialogs.MessageBoxes().size(), 2u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].caption, "Snapgate! Tip");
}

TEST_F(AppTest, VisitOpensOnlyWebAddresses) {
  Start();
  auto& blocks = app_->main_dialog()->blocks();
  blocks.Record("C:\\Windows\\System32\\calc.exe", false, false);
  blocks.Record("HTTP://popup.example/", false, false);
  const auto before = system_.shell.Executions().size();
  MainWindow().ChooseListItem(1000, 0);
  MainWindow().events().OnCommand(1012, 0);
  EXPECT_EQ(system_.shell.Executions().size(), before);
  MainWindow().ChooseListItem(1000, 1);
  MainWindow().events().OnCommand(1012, 0);
  ASSERT_EQ(system_.shell.Executions().size(), before + 1);
  EXPECT_EQ(system_.shell.Executions().back().request.file, "HTTP://popup.example/");
}

TEST_F(AppTest, NoToTheExitQuestionKeepsEverythingRunning) {
  Start();
  auto& window = MainWindow();
  window.events().OnCommand(IDM_EXIT, 0);
  ASSERT_EQ(system_.dialogs.MessageBoxes().size(), 1u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text,
            "Are you sure you want to exit the program?\nPopups will no longer be blocked.");
  EXPECT_FALSE(system_.system.ExitCode());
  EXPECT_TRUE(system_.tray.Shown());
  EXPECT_EQ(window.timers().size(), 3u);
}

TEST_F(AppTest, YesEndsTheProgramAfterTakingItsChangesBack) {
  Start();
  auto& window = MainWindow();
  const int imports = RegeditRuns();
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  window.events().OnCommand(platform::kIdCancel, 0);
  EXPECT_EQ(system_.system.ExitCode(), 0);
  EXPECT_FALSE(system_.tray.Shown());
  EXPECT_EQ(window.control(1033).animation, 0);
  EXPECT_TRUE(window.timers().count(1049)) << "only the scan and spyware timers are killed";
  EXPECT_EQ(RegeditRuns(), imports + 1);
  EXPECT_EQ(system_.shell.Executions().back().request.parameters, "start Messenger");
}

TEST_F(AppTest, SetupAndTheSessionEndEndTheProgramWithoutAskingAndTakeItsChangesBack) {
  Start();
  auto& window = MainWindow();
  const int imports = RegeditRuns();
  window.events().OnMessage(platform::kWmEndSession, 0, 0);
  EXPECT_FALSE(system_.system.ExitCode()) << "the session goes on: the end was cancelled";

  const std::uint32_t quiet_exit = system_.desktop.RegisterMessage("SNAPGATE_EXIT");
  window.events().OnMessage(quiet_exit, 0, 0);
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
  EXPECT_EQ(system_.system.ExitCode(), 0);
  EXPECT_FALSE(system_.tray.Shown());
  EXPECT_EQ(RegeditRuns(), imports + 1);
  EXPECT_EQ(system_.shell.Executions().back().request.parameters, "start Messenger");
}

TEST_F(AppTest, TheEndOfTheWindowsSessionEndsTheProgram) {
  Start();
  MainWindow().events().OnMessage(platform::kWmEndSession, 1, 0);
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
  EXPECT_EQ(system_.system.ExitCode(), 0);
}

TEST_F(AppTest, TheUpgradeCheckOpensWhenDueAndOnTheUsersCommand) {
  Store("UpgradeDate", "1 1 2020");
  Store("bFirstTimeMsg", "1");
  Start();
  EXPECT_EQ(system_.dialogs.ModalRuns(), (std::vector<int>{IDD_UPGRADE}));
  EXPECT_NE(Stored("UpgradeDate"), "1 1 2020") << "the due check counts as today's";
  MainWindow().Click(IDC_UPGRADE);
  MainWindow().events().OnCommand(IDM_UPGRADE, 0);
  EXPECT_EQ(system_.dialogs.ModalRuns(), (std::vector<int>{IDD_UPGRADE, IDD_UPGRADE, IDD_UPGRADE}));
}

TEST_F(AppTest, UpgradeWhileOneRunsBringsItToTheFrontAndExitStopsTheDownloadFirst) {
  const std::string temporary = "C:\\Users\\ann\\AppData\\Local\\Temp\\";
  system_.files.CreateDirectory(temporary);
  Store("bFirstTimeMsg", "1");
  Store("UpgradeURL", "http://updates.test/page.html");
  system_.internet.Serve("http://updates.test/page.html",
                         {.body = "<!-- UPGRADE Version\n3.30\n<!-- UPGRADE Download Link\n"
                                  "http://updates.test/setup.exe\n"});
  system_.internet.Serve("http://updates.test/setup.exe", {.body = "MZ", .size = 1 << 20});
  Start();
  platform::WindowHandle upgrade_window = 0;
  const auto upgrade_again = [&](const char* when) {
    MainWindow().events().OnCommand(IDM_UPGRADE, 0);  // from the tray menu
    EXPECT_EQ(system_.dialogs.ModalRuns(), std::vector<int>{IDD_UPGRADE}) << when;
    EXPECT_EQ(system_.desktop.Foreground(), upgrade_window) << when;
  };
  system_.internet.OnRead([&](const std::string& url, std::size_t read) {
    if (url != "http://updates.test/setup.exe" || read != 64 * 1024) return;
    upgrade_again("while downloading");
    system_.dialogs.AnswerMessageBox(platform::kIdYes);
    MainWindow().events().OnCommand(IDM_EXIT, 0);
  });
  system_.dialogs.AnswerMessageBox(platform::kIdYes);  // the offer
  system_.dialogs.ScriptModal(IDD_UPGRADE, [&](platform::fake::FakeDialogHost& dialog) {
    upgrade_window = dialog.Window();
    upgrade_again("while asking");
    dialog.Click(platform::kIdOk);
  });
  MainWindow().Click(IDC_UPGRADE);

  EXPECT_EQ(system_.internet.Requests().back().reads.size(), 64u) << "stopped at the exit";
  EXPECT_EQ(system_.system.ExitCode(), 0);
  EXPECT_EQ(system_.dialogs.MessageBoxes().back().text.rfind("Are you sure", 0), 0u)
      << "and no word of a failed download";
  for (const char* left : {"sg1.tmp", "sg1.tmp.exe", "sg1.tmp.exe.part"}) {
    EXPECT_FALSE(system_.files.Exists(temporary + left)) << left;
  }
}

TEST_F(AppTest, TheMessengerIsStoppedAgainOnceAfterTwelveSeconds) {
  Start();
  const auto before = system_.shell.Executions().size();
  system_.dialogs.AdvanceTime(12000);
  system_.dialogs.AdvanceTime(24000);
  ASSERT_EQ(system_.shell.Executions().size(), before + 1);
  EXPECT_EQ(system_.shell.Executions().back().request.parameters, "stop Messenger");
}

}  // namespace
}  // namespace sg::app

namespace sg::app {
namespace {

TEST_F(AppTest, TheListsLoadAtStartAndTheirDialogsOpenFromTheMainDialog) {
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Special Offer*\r\nWin!\r\n");
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\whitelist.txt", "example.org\n");
  Start();
  auto& block_list = app_->main_dialog()->block_list();
  ASSERT_EQ(block_list.Entries().Count(), 2);
  EXPECT_EQ(block_list.Entries().At(1), "Win!");
  EXPECT_EQ(app_->main_dialog()->safe_sites().Entries().At(0), "example.org");

  auto* dialog = system_.dialogs.Modeless(IDD_BLOCK_LIST);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(dialog->IsVisible());
  MainWindow().Click(IDC_BLOCK_LIST);
  EXPECT_TRUE(dialog->IsVisible());
}

TEST_F(AppTest, TheTrayAddsABlockListEntryAndSavesTheList) {
  Start();
  system_.dialogs.ScriptModal(IDD_ADD_BLOCK_ENTRY, [](platform::fake::FakeDialogHost& entry) {
    entry.Type(IDC_BLOCK_ENTRY, "Casino Bonus*");
    entry.Click(IDC_DIALOG_OK);
  });
  MainWindow().events().OnCommand(IDM_ADD_BLOCK_ENTRY, 0);
  EXPECT_EQ(system_.files.FileContent("filters.txt"), "Casino Bonus*\r\n");
}

}  // namespace
}  // namespace sg::app

namespace sg::app {
namespace {

TEST_F(AppTest, BlocksFromWorkerThreadsAreAllCountedOnTheUserInterfaceThread) {
  Store("m_EnableFlash", "0");
  Start();
  auto& blocks = app_->main_dialog()->blocks();
  const UiThreadTasks::Poster poster = app_->main_dialog()->ui_tasks().poster();
  std::vector<std::thread> workers;
  for (int t = 0; t < 4; ++t) {
    workers.emplace_back([&blocks, poster, t] {
      for (int i = 0; i < 50; ++i) {
        EXPECT_TRUE(poster.Post(
            [&blocks, t] { blocks.Record("popup " + std::to_string(t), false, true); }));
      }
    });
  }
  for (auto& worker : workers) worker.join();
  EXPECT_EQ(blocks.run_blocks(), 0) << "nothing changes before the dialog's thread gets to it";
  system_.desktop.DeliverPosted();
  EXPECT_EQ(blocks.run_blocks(), 200);
  EXPECT_EQ(MainWindow().ListCount(IDC_BLOCKED_LIST), 200);
  EXPECT_EQ(Stored("m_TotalBlocks"), "200");
}

TEST_F(AppTest, TheSplashStaysLongerOnAFirstRun) {
  Start();
  auto* splash = system_.dialogs.Modeless(IDD_SPLASH);
  ASSERT_NE(splash, nullptr);
  EXPECT_TRUE(splash->IsVisible());
  system_.system.RunThreads();
  EXPECT_EQ(system_.system.Now(), 3000u);
  EXPECT_TRUE(splash->IsVisible()) << "until the dialog's thread gets to it";
  system_.desktop.DeliverPosted();
  EXPECT_FALSE(splash->IsVisible());
}

TEST_F(AppTest, ADoubleClickOnTheAnimationZapsForLessThanASecond) {
  Store("bDisableSplash", "1");
  Start();
  auto& window = MainWindow();
  window.events().OnControlDoubleClick(IDC_BLOCKED_LIST);
  EXPECT_EQ(system_.system.PendingThreads(), 0u) << "only the animation takes double clicks";
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_IDLE);
  window.events().OnControlDoubleClick(IDC_ANIMATION);
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_ZAP);
  EXPECT_EQ(system_.system.RunThreads(), 1);
  EXPECT_EQ(system_.system.Now(), 900u);
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_ZAP)
      << "until the dialog's thread gets to it";
  system_.desktop.DeliverPosted();
  EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_IDLE);
}

TEST_F(AppTest, EndingTheProgramWhileItsWorkersWaitLeavesThemNothingToTouch) {
  Start();  // a first run: the splash waits 3 s
  MainWindow().events().OnControlDoubleClick(IDC_ANIMATION);
  app_->main_dialog()->blocks().Record("Special Offer", false, true);
  ASSERT_EQ(system_.system.PendingThreads(), 3u) << "the splash's, the animation's, the flash's";
  const platform::WindowHandle main_window = MainWindow().Window();
  const auto posts_to_main_window = [&] {
    const auto log = system_.desktop.PostLog();
    return std::count_if(log.begin(), log.end(),
                         [&](const auto& posted) { return posted.window == main_window; });
  };

  // The workers run on a thread of their own. While the first of them waits, the user ends the
  // program, and the end of the process takes the dialogs and the tray with it.
  std::promise<void> waiting;
  std::promise<void> ended;
  std::atomic<bool> first_wait{true};
  system_.system.OnSleep([&](std::uint64_t) {
    if (!first_wait.exchange(false)) return;
    waiting.set_value();
    ended.get_future().wait();
  });
  std::thread workers([&] { system_.system.RunThreads(); });
  waiting.get_future().wait();
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  MainWindow().events().OnCommand(IDM_EXIT, 0);
  EXPECT_EQ(system_.system.ExitCode(), 0);
  const auto icons_at_the_end = system_.tray.IconHistory();
  const auto posts_at_the_end = posts_to_main_window();
  app_.reset();
  ended.set_value();
  workers.join();

  EXPECT_EQ(system_.system.PendingThreads(), 0u) << "every worker has ended";
  EXPECT_EQ(system_.dialogs.Modeless(IDD_SPLASH), nullptr);
  EXPECT_FALSE(system_.desktop.Exists(main_window));
  EXPECT_EQ(system_.tray.IconHistory(), icons_at_the_end) << "no flash after the end";
  EXPECT_EQ(posts_to_main_window(), posts_at_the_end) << "nothing posted to the gone window";
}

}  // namespace
}  // namespace sg::app

namespace sg::app {
namespace {

TEST_F(AppTest, AWindowWithABlockedTitleIsClosedAtTheNextScanUnlessTheKeyIsHeld) {
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Special Offer*\r\n");
  Store("iResponseRate", "2");
  Start();
  EXPECT_EQ(MainWindow().timers().at(kTimerTitleScan), 350u) << "the fast response rate";
  const auto popup = system_.desktop.OpenForeign("Special Offer - Win a Prize");
  system_.desktop.PressKey(17);
  system_.dialogs.AdvanceTime(350);
  EXPECT_TRUE(system_.desktop.Exists(popup)) << "the hold-down key suspends the scan";
  system_.desktop.ReleaseKey(17);
  system_.dialogs.AdvanceTime(350);
  EXPECT_FALSE(system_.desktop.Exists(popup));
  EXPECT_EQ(MainWindow().ListText(IDC_BLOCKED_LIST, 0), "Special Offer - Win a Prize");
  EXPECT_EQ(Stored("m_TotalBlocks"), "1");
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate! - 1 windows blocked");
}

TEST_F(AppTest, WithBlockingSwitchedOffTheScanClosesNothing) {
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Popup\r\n");
  Start();
  MainWindow().events().OnCommand(IDM_ENABLED, 0);
  const auto popup = system_.desktop.OpenForeign("Popup");
  system_.dialogs.AdvanceTime(3000);
  EXPECT_TRUE(system_.desktop.Exists(popup));
}

}  // namespace
}  // namespace sg::app

namespace sg::app {
namespace {

using HookCall = platform::fake::FakeHookLibrary::Call;

TEST_F(AppTest, TheHookLibraryReportsNewBrowserFramesThatTheProgramCloses) {
  Start();
  EXPECT_EQ(system_.hooks.Calls(), (std::vector<HookCall>{HookCall::kInit, HookCall::kInstall}));
  platform::fake::FakeDesktop::Window frame;
  frame.class_name = "IEFrame";
  frame.title = "Casino - Microsoft Internet Explorer";
  frame.visible = true;
  const auto popup = system_.hooks.OpenWindow(frame);
  system_.desktop.DeliverPosted();  // the report reaches the dialog, WM_CLOSE the frame
  system_.desktop.DeliverPosted();
  EXPECT_FALSE(system_.desktop.Exists(popup));
  EXPECT_EQ(MainWindow().ListText(IDC_BLOCKED_LIST, 0), "Casino - Microsoft Internet Explorer");

  system_.hooks.ReportBrowserClick();
  system_.desktop.DeliverPosted();
  const auto wanted = system_.hooks.OpenWindow(frame);
  system_.desktop.DeliverPosted();
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(system_.desktop.Exists(wanted)) << "the click opened the frame grace";
}

TEST_F(AppTest, OldSystemsGetNoHookLibraryButExitStopsItAnyway) {
  system_.system.SetMajorVersion(4);
  Start();
  EXPECT_TRUE(system_.hooks.Calls().empty());
  system_.dialogs.AnswerMessageBox(platform::kIdYes);
  MainWindow().events().OnCommand(IDM_EXIT, 0);
  EXPECT_EQ(system_.hooks.Calls(),
            (std::vector<HookCall>{HookCall::kUnInstall, HookCall::kShutdown}));
}

TEST_F(AppTest, WithAdwareProtectionOffTheHookBlockerClosesNothing) {
  Store("m_MaxBrowserBlock", "0");
  Start();
  platform::fake::FakeDesktop::Window frame;
  frame.class_name = "IEFrame";
  frame.visible = true;
  const auto popup = system_.hooks.OpenWindow(frame);
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(system_.desktop.Exists(popup));
}

}  // namespace
}  // namespace sg::app

namespace sg::app {
namespace {

TEST_F(AppTest, BrowsersAreFollowedAndANewOneWithoutAUserActionIsClosed) {
  auto home = std::make_shared<platform::fake::FakeBrowser>();
  home->url = "http://home.example/";
  system_.browsers.shell_windows->Register(home);
  Start();
  EXPECT_NE(home->events, nullptr) << "followed from the start";

  auto popup = std::make_shared<platform::fake::FakeBrowser>();
  popup->url = "http://ads.example/";
  popup->window = system_.desktop.OpenForeign("Casino - Browser", true, "IEFrame");
  system_.browsers.shell_windows->Register(popup);
  EXPECT_TRUE(popup->stopped);
  EXPECT_EQ(MainWindow().ListText(IDC_BLOCKED_LIST, 0), "Casino - Browser");
  system_.desktop.DeliverPosted();
  EXPECT_EQ(Stored("m_TotalBlocks"), "1");

  // A page of the followed browser asks for a window without the user: cancelled.
  home->url = "http://home.example/news";
  EXPECT_TRUE(home->events->OnNewWindow2());
  EXPECT_EQ(MainWindow().ListText(IDC_BLOCKED_LIST, 1), "http://home.example/news");
}

TEST_F(AppTest, WithoutTheCollectionTheUserIsToldAndTheOtherBlockersSpeedUp) {
  system_.browsers.shell_windows_available = false;
  Store("m_MaxBrowserBlock", "0");
  const std::string report =
      "http://www.snapgate.example/snapgate_failure_report.html?version=3.293";
  system_.internet.Serve(report, {.body = "thanks\n"});
  Start();
  ASSERT_EQ(system_.internet.Requests().size(), 1u) << "the maker is told first";
  EXPECT_EQ(system_.internet.Requests()[0].url, report);
  ASSERT_FALSE(system_.dialogs.MessageBoxes().empty());
  EXPECT_TRUE(system_.dialogs.MessageBoxes()[0].text.starts_with(
      "Shell Windows interface is not available"));
  EXPECT_EQ(MainWindow().timers().at(kTimerTitleScan), 350u);
  EXPECT_TRUE(MainWindow().IsChecked(IDC_ADWARE_PROTECTION));
}

TEST_F(AppTest, AReconnectionFollowsTheBrowsersAfresh) {
  auto home = std::make_shared<platform::fake::FakeBrowser>();
  system_.browsers.shell_windows->Register(home);
  Start();
  MainWindow().events().OnMessage(kMessageReconnectBrowsers, 0, 0);
  EXPECT_EQ(home->events, nullptr) << "the old sinks let go";
  system_.tray.RestartShell();
  EXPECT_TRUE(system_.tray.Shown());
}

}  // namespace
}  // namespace sg::app

namespace sg::app {
namespace {

platform::fake::FakeDesktop::Window Titled(const std::string& title, bool visible) {
  platform::fake::FakeDesktop::Window window;
  window.title = title;
  window.visible = visible;
  return window;
}
platform::fake::FakeDesktop::Window Visible(const std::string& title) {
  return Titled(title, true);
}

// A window the hook library reports shown or renamed is judged at once, as the scan would: once.
TEST_F(AppTest, AShownOrRenamedWindowIsClosedAtOnceAndTheScanLeavesItBe) {
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Casino*\r\n");
  Start();
  auto& blocks = app_->main_dialog()->blocks();
  auto& hooks = system_.hooks;
  auto deliver = [&] { system_.desktop.DeliverPosted(); };
  auto listed = [&] { return MainWindow().ListCount(IDC_BLOCKED_LIST); };

  // Shown with a listed title: closed before any tick; reported again, and met by the next tick
  // before it is gone, it is neither closed nor counted again.
  platform::fake::FakeDesktop::Window popup = Visible("Casino bonus");
  popup.ignores_close = true;
  const auto shown = hooks.OpenWindow(popup);
  deliver();
  EXPECT_EQ(blocks.run_blocks(), 1);
  hooks.RenameWindow(shown, "Casino bonus!");
  deliver();
  system_.dialogs.AdvanceTime(750);
  deliver();
  EXPECT_EQ(blocks.run_blocks(), 1);
  EXPECT_EQ(listed(), 1);
  const auto closes = [&](platform::WindowHandle window) {
    int count = 0;
    for (const auto& posted : system_.desktop.PostLog()) {
      count += posted.window == window && posted.message == platform::kWmClose;
    }
    return count;
  };
  EXPECT_EQ(closes(shown), 1);
  system_.desktop.Close(shown);

  // Renamed to a listed title: closed at the change.
  const auto page = hooks.OpenWindow(Visible("News"));
  deliver();
  EXPECT_TRUE(system_.desktop.Exists(page));
  hooks.RenameWindow(page, "Casino night");
  deliver();
  EXPECT_FALSE(system_.desktop.Exists(page));
  EXPECT_EQ(blocks.run_blocks(), 2);
  EXPECT_EQ(MainWindow().ListText(IDC_BLOCKED_LIST, 1), "Casino night");

  // The hold-down key and "Enabled" off let it through, on a report as at a tick.
  system_.desktop.PressKey(17);
  const auto held = hooks.OpenWindow(Visible("Casino held"));
  deliver();
  EXPECT_TRUE(system_.desktop.Exists(held));
  system_.desktop.ReleaseKey(17);
  system_.desktop.Close(held);
  MainWindow().events().OnCommand(IDM_ENABLED, 0);
  const auto off = hooks.OpenWindow(Visible("Casino off"));
  deliver();
  EXPECT_TRUE(system_.desktop.Exists(off));
  EXPECT_EQ(blocks.run_blocks(), 2);
}

// Where the system reports only a window's creation (as Wine does), a listed window created
// hidden is watched and closed as soon as it shows; one another blocker closed is not counted
// again.
TEST_F(AppTest, AListedWindowReportedBeforeItShowsIsClosedWhenItShowsAndCountedOnce) {
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Casino*\r\n");
  Start();
  auto& blocks = app_->main_dialog()->blocks();
  auto& desktop = system_.desktop;
  const auto popup = system_.hooks.OpenWindow(Titled("Casino bonus", false));
  const auto other = system_.hooks.OpenWindow(Titled("Letter", false));
  desktop.DeliverPosted();
  EXPECT_TRUE(desktop.Exists(popup));
  EXPECT_EQ(desktop.DeliverPosted(), 0) << "its quick looks end by themselves";
  system_.dialogs.AdvanceTime(30);
  desktop.SetVisible(popup, true);  // no report of it
  desktop.SetVisible(other, true);
  system_.dialogs.AdvanceTime(10);
  desktop.DeliverPosted();
  EXPECT_FALSE(desktop.Exists(popup)) << "closed at the watch tick after it showed";
  system_.dialogs.AdvanceTime(2000);
  desktop.DeliverPosted();
  EXPECT_EQ(blocks.run_blocks(), 1);
  EXPECT_TRUE(desktop.Exists(other));

  // A listed title that stays hidden is watched for a second, then left to the scan.
  const auto stays = system_.hooks.OpenWindow(Titled("Casino 2", false));
  desktop.DeliverPosted();
  system_.dialogs.AdvanceTime(1100);
  EXPECT_FALSE(MainWindow().timers().count(kTimerTitleWatch));
  desktop.SetVisible(stays, true);
  system_.dialogs.AdvanceTime(800);
  desktop.DeliverPosted();
  EXPECT_FALSE(desktop.Exists(stays)) << "the scan's tick";
  EXPECT_EQ(blocks.run_blocks(), 2);

  // A browser frame with a listed title: the new-frame rule closes it, the title check leaves it.
  platform::fake::FakeDesktop::Window frame;
  frame.class_name = "IEFrame";
  frame.title = "Casino - Microsoft Internet Explorer";
  frame.visible = true;
  frame.ignores_close = true;
  system_.hooks.OpenWindow(frame);
  desktop.DeliverPosted();
  EXPECT_EQ(blocks.run_blocks(), 3);
  EXPECT_EQ(MainWindow().ListCount(IDC_BLOCKED_LIST), 3);
}

// The list dialog's changes reach the next tick and the next report; the scan reads the list
// again only then.
TEST_F(AppTest, AnEntryAddedOrRemovedInTheListDialogCountsFromTheNextTick) {
  Start();
  auto& hooks = system_.hooks;
  auto* list_dialog = system_.dialogs.Modeless(IDD_BLOCK_LIST);
  system_.dialogs.ScriptModal(IDD_ADD_BLOCK_ENTRY, [](platform::fake::FakeDialogHost& entry) {
    entry.Type(IDC_BLOCK_ENTRY, "Lottery*");
    entry.Click(IDC_DIALOG_OK);
  });
  const auto before = system_.desktop.OpenForeign("Lottery win");
  list_dialog->Click(IDC_LIST_ADD);
  system_.dialogs.AdvanceTime(750);
  system_.desktop.DeliverPosted();
  EXPECT_FALSE(system_.desktop.Exists(before)) << "added";

  list_dialog->ListSelect(IDC_FILTER_LIST, 0);
  list_dialog->Click(IDC_LIST_REMOVE);
  const auto after = hooks.OpenWindow(Visible("Lottery win"));
  system_.desktop.DeliverPosted();
  system_.dialogs.AdvanceTime(750);
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(system_.desktop.Exists(after)) << "removed";
}

}  // namespace
}  // namespace sg::app
