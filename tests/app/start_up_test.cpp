// Starting the program: one copy per logon, the main dialog's initialisation and its options.
#include "app_fixture.h"

namespace sg::app {
namespace {

using platform::fake::FakePlatform;

TEST_F(AppTest, AFirstStartShowsTheDialogAndTheTrayIconAndRecordsTheFirstRun) {
  Start();
  auto& window = MainWindow();
  EXPECT_TRUE(window.IsVisible());
  EXPECT_EQ(window.Title(), "Snapgate!");
  ASSERT_TRUE(system_.tray.Shown());
  EXPECT_EQ(system_.tray.Shown()->icon_resource, IDI_TRAY_NORMAL);
  EXPECT_EQ(system_.tray.Shown()->tooltip, "Snapgate!");
  EXPECT_EQ(system_.tray.Shown()->callback_message, kTrayCallbackMessage);
  EXPECT_EQ(Stored("bDisableSplash"), "0");
  EXPECT_EQ(Stored("bFirstTimeMsg"), "1");
  EXPECT_EQ(system_.dialogs.ModalRuns(), std::vector<int>{185});
  EXPECT_EQ(system_.system.CurrentDirectory(), "C:\\Program Files\\Snapgate!");
  EXPECT_EQ(window.system_menu(),
            (std::vector<std::pair<std::uint32_t, std::string>>{{0x10, "&About Snapgate!..."}}));
  EXPECT_EQ(window.control(1033).animation, 114);
  EXPECT_TRUE(window.control(1040).bold);
  EXPECT_TRUE(window.tooltips_enabled());
  EXPECT_EQ(window.timers(),
            (std::map<std::uint32_t, std::uint32_t>{{1039, 750}, {1044, 1020000}, {1049, 12000}}));
  EXPECT_EQ(RegeditRuns(), 1) << "adware protection is on by default";
  const auto runs = system_.shell.Executions();
  ASSERT_FALSE(runs.empty());
  EXPECT_EQ(runs[0].request.file, "C:\\Windows\\System32\\net.exe");
  EXPECT_EQ(runs[0].request.parameters, "stop Messenger");
  EXPECT_EQ(runs[0].request.show_command, platform::kSwHide);
  EXPECT_EQ(system_.registry.GetString(platform::RegistryRoot::kCurrentUser,
                                       "Software\\Microsoft\\Internet Explorer\\Main",
                                       "Disable Script Debugger"),
            "yes");
  EXPECT_EQ(system_.registry.GetString(platform::RegistryRoot::kCurrentUser,
                                       "Software\\Microsoft\\Internet Explorer\\Extensions\\"
                                       "{3C75C1F5-6D83-11d6-9855-00065B6980E9}",
                                       "ButtonText"),
            "Snapgate!")
      << "the toolbar button follows its option, on by default";
}

TEST_F(AppTest, TheWelcomeComesAfterTheWindowIsReadyAndBeforeTheProtectionRuns) {
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Casino*\r\n");
  bool checked = false;
  system_.dialogs.ScriptModal(IDD_WELCOME, [&](platform::fake::FakeDialogHost& welcome) {
    auto& window = MainWindow();
    EXPECT_TRUE(system_.tray.Shown()) << "the tray icon comes first";
    EXPECT_EQ(window.ComboCount(IDC_HOTKEY), 3);
    EXPECT_TRUE(window.IsChecked(IDC_ADWARE_PROTECTION)) << "options are pushed to the controls";
    EXPECT_EQ(system_.dialogs.Modeless(IDD_BLOCK_LIST)->ListCount(IDC_FILTER_LIST), 1);
    EXPECT_EQ(window.control(IDC_ANIMATION).animation, IDR_AVI_IDLE);
    EXPECT_TRUE(window.control(IDC_PREVIEW_SOUND).enabled);
    EXPECT_EQ(RegeditRuns(), 0) << "the adware preset comes after the welcome";
    EXPECT_FALSE(window.IsVisible()) << "the window is shown only once it is initialised";
    checked = true;
    welcome.Click(IDC_DIALOG_OK);
  });
  Start();
  EXPECT_TRUE(checked);
  EXPECT_EQ(RegeditRuns(), 1);
}

TEST_F(AppTest, ALaterStartIsQuietWhenSplashAndWelcomeAreDone) {
  Store("bDisableSplash", "1");
  Store("bFirstTimeMsg", "1");
  Store("m_MaxBrowserBlock", "0");
  Start();
  EXPECT_TRUE(system_.dialogs.ModalRuns().empty());
  EXPECT_TRUE(system_.system.Sounds().empty()) << "no start sound without the splash";
  EXPECT_EQ(RegeditRuns(), 0);
}

TEST_F(AppTest, ASecondCopyHandsOverToTheHiddenFirstAndEnds) {
  Store("bMinimized", "1");
  Start();
  EXPECT_FALSE(MainWindow().IsVisible());
  EXPECT_EQ(MainWindow().control(IDC_ANIMATION).animation, 0) << "resting in the tray";

  FakePlatform second(machine_);
  second.desktop.OpenForeign("Snapgate! 2");
  second.desktop.OpenForeign("snapgate!");
  // The second process sees the first one's windows on the same desktop.
  BlockerApp copy(system_.ports());
  BlockerApp another(second.ports());
  EXPECT_EQ(copy.StartUp(), StartOutcome::kHandedOver);
  EXPECT_EQ(system_.desktop.DeliverPosted(), 1);
  EXPECT_TRUE(MainWindow().IsVisible());
  EXPECT_EQ(Stored("bMinimized"), "0");
  EXPECT_EQ(MainWindow().control(IDC_ANIMATION).animation, IDR_AVI_IDLE);
  EXPECT_EQ(system_.desktop.Foreground(), MainWindow().Window());
  EXPECT_EQ(another.StartUp(), StartOutcome::kHandedOver) << "the mutex is shared by the logon";
  EXPECT_EQ(second.desktop.DeliverPosted(), 0) << "near-miss titles are other programs";
}

TEST_F(AppTest, AnotherProgramTitledExactlyLikeUsGetsTheCommandFirst) {
  Start();
  const auto impostor = system_.desktop.OpenForeign("Snapgate!");
  BlockerApp copy(system_.ports());
  EXPECT_EQ(copy.StartUp(), StartOutcome::kHandedOver);
  const auto posted = system_.desktop.PostLog();
  ASSERT_EQ(posted.size(), 1u);
  EXPECT_EQ(posted[0].window, impostor);
  EXPECT_EQ(posted[0].wparam, 101u);
}

TEST_F(AppTest, ARefusedMainWindowIsReportedAndNothingRuns) {
  system_.dialogs.RefuseWindows();
  BlockerApp app(system_.ports());
  EXPECT_EQ(app.StartUp(), StartOutcome::kWindowRefused);
  EXPECT_EQ(app.main_dialog(), nullptr);
  const auto boxes = system_.dialogs.MessageBoxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "Snapgate!");
  EXPECT_EQ(boxes[0].style, platform::kMbIconStop);
  EXPECT_FALSE(system_.tray.Shown());
  EXPECT_TRUE(system_.shell.Executions().empty());
}

TEST_F(AppTest, OnlyAStoredOneStartsHidden) {
  for (const char* value : {"2", "-5", "0"}) {
    FakePlatform system;
    system.registry.PutString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                              "bMinimized", value);
    BlockerApp app(system.ports());
    ASSERT_EQ(app.StartUp(), StartOutcome::kRunning);
    EXPECT_TRUE(system.dialogs.Modeless(IDD_MAIN)->IsVisible()) << value;
  }
}

TEST_F(AppTest, FlashCountsComeFromTheStoredListPosition) {
  Store("m_NumFlashes", "2");
  Start();
  EXPECT_EQ(MainWindow().ComboSelection(1017), 2);
  EXPECT_EQ(app_->main_dialog()->blocks().settings().flash_count, 3);

  for (const auto& [stored, selection, count] : {std::tuple{"9", 0, 10}, std::tuple{"-1", 0, 0}}) {
    FakePlatform system;
    system.registry.PutString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                              "m_NumFlashes", stored);
    BlockerApp app(system.ports());
    app.StartUp();
    EXPECT_EQ(system.dialogs.Modeless(IDD_MAIN)->ComboSelection(1017), selection);
    EXPECT_EQ(app.main_dialog()->blocks().settings().flash_count, count) << stored;
  }
}

TEST_F(AppTest, TheHoldDownKeyComesFromTheStoredListPosition) {
  Store("iHotkey", "1");
  Start();
  EXPECT_EQ(app_->main_dialog()->hold_down_key(), 16);
  EXPECT_EQ(MainWindow().ComboSelection(1008), 1);

  FakePlatform system;
  system.registry.PutString(platform::RegistryRoot::kCurrentUser, "Software\\Snapgate!", "iHotkey",
                            "7");
  BlockerApp app(system.ports());
  app.StartUp();
  EXPECT_EQ(app.main_dialog()->hold_down_key(), 17);
  EXPECT_EQ(system.dialogs.Modeless(IDD_MAIN)->ComboSelection(1008), -1);
}

TEST_F(AppTest, SoundAndSwitchesFallBackToTheirDefaults) {
  Store("WavPathname", "nobackslash.wav");
  Store("m_PlaySound", "");
  Store("bNetscape", "7");
  Start();
  const auto& notify = app_->main_dialog()->blocks().settings();
  EXPECT_TRUE(notify.play_sound);
  EXPECT_EQ(notify.sound_path, "C:\\Program Files\\Snapgate!\\default.wav");
  EXPECT_EQ(MainWindow().Text(1025), "default.wav");
  EXPECT_TRUE(MainWindow().IsChecked(1043));
  EXPECT_FALSE(MainWindow().IsChecked(1020));
  EXPECT_TRUE(MainWindow().control(1023).enabled);
}

// A user who changed every choice finds each of them again at the next start, and the timers
// run at the periods those choices give.
TEST_F(AppTest, EveryStoredChoiceIsWhatTheNextStartRunsWith) {
  Store("iHotkey", "2");
  Store("iResponseRate", "0");
  Store("m_NumFlashes", "4");
  Store("m_EnableFlash", "0");
  Store("m_PlaySound", "0");
  Store("bNormalize", "1");
  Store("m_bManualPopups", "0");
  Store("m_bIntegrateIE", "0");
  Store("m_MaxBrowserBlock", "0");
  system_.files.PutFile("C:\\Program Files\\Snapgate!\\filters.txt", "Casino Royale\r\n");
  Start();

  EXPECT_EQ(MainWindow().ComboSelection(1008), 2);
  EXPECT_EQ(app_->main_dialog()->hold_down_key(), 18) << "ALT";
  EXPECT_EQ(MainWindow().ComboSelection(1017), 4);
  const auto& notify = app_->main_dialog()->blocks().settings();
  EXPECT_EQ(notify.flash_count, 5);
  EXPECT_FALSE(notify.flash_tray);
  EXPECT_FALSE(notify.play_sound);
  EXPECT_FALSE(MainWindow().IsChecked(1022));
  EXPECT_FALSE(MainWindow().IsChecked(1027));
  EXPECT_TRUE(MainWindow().IsChecked(1020));
  EXPECT_FALSE(MainWindow().IsChecked(1028));
  EXPECT_FALSE(MainWindow().IsChecked(1021));
  EXPECT_FALSE(MainWindow().IsChecked(1003));
  // The title scan at the slowest response rate, the spyware pass every 17 minutes, the next
  // try to stop the messenger after 12 seconds.
  EXPECT_EQ(MainWindow().timers(),
            (std::map<std::uint32_t, std::uint32_t>{{1039, 1500}, {1044, 1020000}, {1049, 12000}}));

  // The stored key lets a listed window through while held, and only that key.
  const auto casino = system_.desktop.OpenForeign("Casino Royale", true);
  system_.desktop.PressKey(18);
  system_.dialogs.AdvanceTime(1500);
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(system_.desktop.Exists(casino));
  system_.desktop.ReleaseKey(18);
  system_.desktop.PressKey(17);
  system_.dialogs.AdvanceTime(1499);
  system_.desktop.DeliverPosted();
  EXPECT_TRUE(system_.desktop.Exists(casino)) << "the next scan comes 1,500 ms after the last";
  system_.dialogs.AdvanceTime(1);
  system_.desktop.DeliverPosted();
  EXPECT_FALSE(system_.desktop.Exists(casino));
}

}  // namespace
}  // namespace sg::app
