#include "app/main_dialog.h"

#include <map>

#include "app/about_dialog.h"
#include "app/program_behind.h"
#include "app/user_files_folder.h"
#include "browser/toolbar_integration.h"
#include "common/ascii.h"
#include "common/program_folder.h"
#include "common/web_addresses.h"
#include "controls/help_dialog.h"
#include "resources/resource_ids.h"
#include "settings/registry_presets.h"
#include "settings/registry_store.h"
#include "tools/flash_blocker.h"
#include "tools/hijack_repair.h"
#include "tools/plugin_cleaner.h"
#include "tools/plugin_cleaner_dialog.h"
#include "tools/protection_history_dialog.h"
#include "tools/spyware_pass.h"

namespace sg::app {

namespace {

using settings::kProgramSection;
using settings::RegistryStore;

constexpr std::uint32_t kMessengerRetryMs = 12000;
constexpr std::uint32_t kSpywarePassMs = 1020000;
// How long the animation plays its zap after a double click.
constexpr std::uint32_t kZapMs = 900;

constexpr int kVkControl = 17;
constexpr int kVkShift = 16;
constexpr int kVkMenu = 18;

const std::map<int, const char*> kTooltips = {
    {1003, "Blocks Adware and Spyware modules installed on your computer."},
    {1008, "The key you press down to allow any new web browsers to open."},
    {1010, "View the online help files."},
    {1012, "Launch the highlighted url in your web browser."},
    {1013, "Clear the list of web sites that have been blocked."},
    {1014, "View the list of web sites you want to allow popups from."},
    {1015, "Check for any updates."},
    {1017, "The number of times the tray icon should flash."},
    {1018, "Opens a browser to a popup test page."},
    {1019, "View all web site cookies currently on your computer."},
    {1020, "Some popups hide their Menu bar, Close buttons, and Resize in Internet Explorer"},
    {1021, "Displays a Snapgate! button and menu item under Tools in Internet Explorer."},
    {1022, "Play a sound effect when a popup is blocked."},
    {1023, "Play the selected sound effect."},
    {1024, "Browse your files for a sound effect to use."},
    {1026, "Lets you add popup window titles to be blocked."},
    {1027, "Flash the tray icon when a popup is blocked."},
    {1028, "Allows popups to open when you manually click them in Internet Explorer."},
    {1029, "Block Macromedia Flash animations and advertisements."},
    {1030, "View all Internet Explorer Plug-ins installed in your web browser."},
    {1043, "Block popup advertisements from the Netscape web browser."},
};

// A switch read at start: any value but 0 or 1 takes the default.
bool ReadSwitch(RegistryStore& store, const char* name, bool fallback) {
  const int value = store.ReadInt(kProgramSection, name);
  return (value == 0 || value == 1) ? value == 1 : fallback;
}

std::string AfterLastBackslash(const std::string& path) {
  const auto slash = path.rfind('\\');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The title scan's period for the response rate of the block-list dialog.
std::uint32_t ScanPeriod(int response_rate) {
  if (response_rate == 1) return 750;
  if (response_rate == 2) return 350;
  return 1500;
}

bool IsWebAddress(const std::string& text) {
  const std::string lower = AsciiLower(text);
  return lower.starts_with("http://") || lower.starts_with("https://");
}

}  // namespace

MainDialog::MainDialog(platform::Platform& platform,
                       std::function<void()> give_up_running_copy_mark)
    : platform_(platform),
      tray_(platform.tray, platform.windows, platform.system),
      blocks_(platform, tray_, ui_tasks_),
      title_scanner_(platform.windows, blocks_),
      hook_blocker_(platform.windows, blocks_),
      give_up_running_copy_mark_(std::move(give_up_running_copy_mark)),
      safe_sites_(platform),
      block_list_(platform),
      netscape_(platform.windows, blocks_),
      shell_connection_(
          platform.browsers, platform.dialogs, *this,
          [&platform] {
            // The maker learns of the failure; the answer does not matter.
            online::HttpFetcher(platform).Fetch(std::string(kFailureReportPage) + "3.293");
          }),
      shell_scanner_(platform, browser_table_, *this) {}

MainDialog::~MainDialog() {
  // Before the windows and the tray go: no worker reaches them from here on.
  ui_tasks_.Close();
}

bool MainDialog::Create() {
  host_ = platform_.dialogs.CreateModeless(IDD_MAIN, *this, nullptr);
  if (!host_) dialog_ = nullptr;
  return host_ != nullptr;
}

platform::WindowHandle MainDialog::CommandWindow() {
  return dialog_ ? dialog_->Window() : 0;
}

void MainDialog::WriteSetting(const char* name, const std::string& value) {
  RegistryStore(platform_.registry).WriteString(kProgramSection, name, value);
}

void MainDialog::OnInitDialog(platform::DialogHost& host) {
  dialog_ = &host;
  ui_tasks_.Open(host.Window());
  RegistryStore store(platform_.registry);
  // First, so that a setup program's request to end is heard while the start-up still runs.
  quiet_exit_message_ = platform_.windows.RegisterMessage(kQuietExitMessage);

  dialog_->AppendSystemMenuItem(IDM_SYSTEM_ABOUT, platform_.dialogs.LoadString(IDS_ABOUT_BOX));
  dialog_->SetIcon(IDI_TRAY_NORMAL);
  upgrade_.ConfigureUpgrade("Snapgate!", kCurrentVersion, kUpgradeCheckPage);
  if (upgrade_.IsUpgradeCheckDue()) ShowUpgrade();
  dialog_->SetText(IDC_UPGRADE, "Upgrade");
  dialog_->SetTitle("Snapgate!");
  dialog_->EnableTooltips();
  blocks_.AttachBlockedList(*dialog_);
  tools_report_.AttachBlockedList(*dialog_);

  SettleUserFilesFolder(platform_);
  first_run_ = !platform_.files.Exists(std::string(browser::SafeSiteDialog::kFileName));

  const bool splash_disabled = store.ReadInt(kProgramSection, "bDisableSplash") == 1;
  if (!splash_disabled) {
    WriteSetting("bDisableSplash", "0");
    ShowSplash();
  }

  for (const char* key : {"CTRL", "SHIFT", "ALT"}) dialog_->ComboAdd(IDC_HOTKEY, key);
  for (const char* count : {"1 time", "2 times", "3 times", "4 times", "5 times"}) {
    dialog_->ComboAdd(IDC_FLASH_COUNT, count);
  }
  dialog_->ComboSelect(IDC_HOTKEY, 0);
  dialog_->ComboSelect(IDC_FLASH_COUNT, 0);

  tray_.Create(*this, kTrayCallbackMessage, "Snapgate!", IDI_TRAY_NORMAL, kTrayIconId);
  tray_.SetMenuDefaultItem(1, true);

  StopMessenger();
  dialog_->SetTimer(kTimerMessenger, kMessengerRetryMs);

  ReadOptions();
  if (options_.block_flash) tools::BlockFlash(platform_);
  if (blocks_.settings().play_sound && !splash_disabled) {
    platform_.system.PlaySound(ProgramFolder(platform_.system) + "\\startsound.wav",
                               platform::kSndFilename | platform::kSndAsync);
  }

  PushToControls();
  safe_sites_.Create(dialog_);
  block_list_.Create(dialog_);
  safe_sites_.Load();
  block_list_.Load();
  // A long list is read back before the dialog shows rather than at the first tick.
  title_scanner_.Prepare(block_list_.Entries(), block_list_.revision());
  // The animation plays only while it can be seen: hidden, it would still wake for every frame.
  if (!hidden_) dialog_->PlayAnimation(IDC_ANIMATION, IDR_AVI_IDLE);
  dialog_->SetBold(IDC_HOTKEY_LABEL);
  hook_blocker_.AttachTimers(*dialog_);
  title_scanner_.AttachTimers(*dialog_);
  netscape_.AttachTimers(*dialog_);
  OnPlaySoundClicked();
  OnFlashTrayClicked();
  OnOptionClicked(IDC_INTEGRATE_IE);
  OnOptionClicked(IDC_NETSCAPE);
  shell_connection_.Connect();
  if (shell_connection_.connected()) {
    ScanShellWindows(false);
  } else {
    // Without the browsers' events the title scan and the hook library must do the work.
    block_list_.SetResponseRate(2);
    options_.adware_protection = true;
    PushToControls();
  }
  dialog_->SetTimer(kTimerTitleScan, ScanPeriod(block_list_.ResponseRate()));

  if (store.ReadInt(kProgramSection, "bFirstTimeMsg") != 1) {
    WriteSetting("bFirstTimeMsg", "1");
    platform_.dialogs.RunModal(IDD_WELCOME, plain_dialog_, dialog_);
  }
  WriteScriptErrorSettings();
  if (options_.adware_protection) {
    RunSpywarePass();
    settings::ApplyRegistryPreset(platform_, settings::RegistryPreset::kAdwareProtectionOn);
    tools::RunHijackRepair(platform_, tools_report_, dialog_);
  }
  // Systems before Windows 2000 get no hook library.
  if (platform_.system.MajorVersion() >= 5) {
    hook_message_ = platform_.windows.RegisterMessage("HookMessage");
    platform_.hooks.InitHooksDll(dialog_->Window(), hook_message_);
    platform_.hooks.InstallFilters();
  }
  dialog_->SetTimer(kTimerSpywarePass, kSpywarePassMs);
}

void MainDialog::ReadOptions() {
  RegistryStore store(platform_.registry);
  auto& notify = blocks_.settings();
  // An absent value (-1) switches these on; any other value is taken as it is.
  const int flash = store.ReadInt(kProgramSection, "m_EnableFlash");
  notify.flash_tray = flash == -1 || flash != 0;

  const std::string flashes = store.ReadString(kProgramSection, "m_NumFlashes");
  if (!flashes.empty()) {
    const int index = settings::ParseLeadingInt(flashes);
    if (index >= 0 && index < dialog_->ComboCount(IDC_FLASH_COUNT)) {
      dialog_->ComboSelect(IDC_FLASH_COUNT, index);
    }
    notify.flash_count = index + 1;
  }

  const int sound = store.ReadInt(kProgramSection, "m_PlaySound");
  notify.play_sound = sound == -1 || sound != 0;

  notify.sound_path = store.ReadString(kProgramSection, "WavPathname");
  const auto slash = notify.sound_path.rfind('\\');
  sound_name_ = slash == std::string::npos ? std::string() : notify.sound_path.substr(slash + 1);
  if (sound_name_.empty()) {
    sound_name_ = "default.wav";
    notify.sound_path = ProgramFolder(platform_.system) + "\\" + sound_name_;
  }

  const std::string hotkey = store.ReadString(kProgramSection, "iHotkey");
  const int hotkey_index = hotkey.empty() ? 0 : settings::ParseLeadingInt(hotkey);
  dialog_->ComboSelect(IDC_HOTKEY, hotkey_index);
  if (hotkey_index >= 0 && hotkey_index <= 2) {
    ApplyHotkey(hotkey_index);
  } else {
    hold_down_key_ = kVkControl;
  }

  hidden_ = ReadSwitch(store, "bMinimized", false);
  options_.adware_protection = ReadSwitch(store, "m_MaxBrowserBlock", true);
  options_.normalize = ReadSwitch(store, "bNormalize", false);
  options_.integrate_toolbar = ReadSwitch(store, "m_bIntegrateIE", true);
  options_.manual_popups = ReadSwitch(store, "m_bManualPopups", true);
  options_.netscape_protection = ReadSwitch(store, "bNetscape", true);
  options_.block_flash = ReadSwitch(store, "m_bBlockFlash", false);
}

void MainDialog::PushToControls() {
  const auto& notify = blocks_.settings();
  dialog_->SetChecked(IDC_PLAY_SOUND, notify.play_sound);
  dialog_->SetChecked(IDC_ADWARE_PROTECTION, options_.adware_protection);
  dialog_->SetChecked(IDC_NORMALIZE, options_.normalize);
  dialog_->SetChecked(IDC_FLASH_TRAY, notify.flash_tray);
  dialog_->SetChecked(IDC_INTEGRATE_IE, options_.integrate_toolbar);
  dialog_->SetChecked(IDC_MANUAL_POPUPS, options_.manual_popups);
  dialog_->SetChecked(IDC_NETSCAPE, options_.netscape_protection);
  dialog_->SetChecked(IDC_BLOCK_FLASH, options_.block_flash);
  dialog_->SetText(IDC_BLOCK_COUNT, blocks_.count_text());
  dialog_->SetText(IDC_SOUND_NAME, sound_name_);
}

void MainDialog::PullFromControls() {
  auto& notify = blocks_.settings();
  notify.play_sound = dialog_->IsChecked(IDC_PLAY_SOUND);
  options_.adware_protection = dialog_->IsChecked(IDC_ADWARE_PROTECTION);
  options_.normalize = dialog_->IsChecked(IDC_NORMALIZE);
  notify.flash_tray = dialog_->IsChecked(IDC_FLASH_TRAY);
  options_.integrate_toolbar = dialog_->IsChecked(IDC_INTEGRATE_IE);
  options_.manual_popups = dialog_->IsChecked(IDC_MANUAL_POPUPS);
  options_.netscape_protection = dialog_->IsChecked(IDC_NETSCAPE);
  options_.block_flash = dialog_->IsChecked(IDC_BLOCK_FLASH);
  blocks_.set_count_text(dialog_->Text(IDC_BLOCK_COUNT));
  sound_name_ = dialog_->Text(IDC_SOUND_NAME);
}

void MainDialog::Show() {
  dialog_->Show(platform::kSwShow);
  if (hidden_) dialog_->PlayAnimation(IDC_ANIMATION, IDR_AVI_IDLE);
  blocks_.set_count_text(std::to_string(blocks_.run_blocks()));
  PushToControls();
  hidden_ = false;
  WriteSetting("bMinimized", "0");
}

void MainDialog::Hide(bool pull_first) {
  if (pull_first) PullFromControls();
  dialog_->Show(platform::kSwHide);
  dialog_->StopAnimation(IDC_ANIMATION);
  hidden_ = true;
  WriteSetting("bMinimized", "1");
}

void MainDialog::OnCommand(int id, int notification) {
  switch (id) {
    case IDM_OPTIONS:
      return Show();
    case IDC_HIDE:
    case platform::kIdOk:
      return Hide(true);
    case platform::kIdCancel:
    case IDM_EXIT:
      return ExitSequence();
    case IDM_ABOUT:
      return ShowAbout();
    case IDC_VISIT:
      return VisitSelectedLine();
    case IDC_CLEAR:
      return dialog_->ListReset(IDC_BLOCKED_LIST);
    case IDC_PULL_FROM_CONTROLS:
      return PullFromControls();
    case IDC_PLAY_SOUND:
      return OnPlaySoundClicked();
    case IDC_FLASH_TRAY:
      return OnFlashTrayClicked();
    case IDC_PREVIEW_SOUND:
      return PreviewSound();
    case IDC_BROWSE_SOUND:
      return BrowseSound();
    case IDC_FLASH_COUNT:
      if (notification == platform::kCbnSelEndOk) OnFlashCountChosen();
      return;
    case IDC_HOTKEY:
      if (notification == platform::kCbnSelChange) OnHotkeyChosen();
      return;
    case IDC_ADWARE_PROTECTION:
    case IDC_NORMALIZE:
    case IDC_INTEGRATE_IE:
    case IDC_MANUAL_POPUPS:
    case IDC_NETSCAPE:
    case IDC_BLOCK_FLASH:
      return OnOptionClicked(id);
    case IDM_ENABLED:
      return ToggleBlocking();
    case IDC_BLOCK_LIST:
      return block_list_.Show(platform::kSwShowNormal);
    case IDC_SAFE_SITES:
      return safe_sites_.Show(platform::kSwShowNormal);
    case IDM_ADD_SAFE_SITE:
      return browser::AddToSafeSites(platform_, safe_sites_, dialog_);
    case IDM_ADD_BLOCK_ENTRY:
      return browser::AddToBlockList(platform_, block_list_, dialog_);
    case IDC_PLUGINS:
      return ShowPluginCleaner();
    case IDM_PROTECTION_HISTORY:
      return ShowProtectionHistory();
    case IDC_COOKIES:
      return ShowCookieCutter();
    case IDC_POPUP_TEST: {
      // The test page lies beside the program, so it works without a connection.
      platform::ShellExecuteRequest request;
      request.file = ProgramFolder(platform_.system) + "\\" + kPopupTestPageFile;
      request.show_command = platform::kSwShowNormal;
      platform_.shell.Execute(request);
      return;
    }
    case IDC_ONLINE_HELP:
    case IDM_HELP:
      return ShowHelp();
    case IDC_UPGRADE:
    case IDM_UPGRADE:
      return ShowUpgrade();
    default:
      return;
  }
}

void MainDialog::OnTimer(std::uint32_t timer_id) {
  if (timer_id == kTimerMessenger) {
    StopMessenger();
    dialog_->KillTimer(kTimerMessenger);
  } else if (timer_id == kTimerSpywarePass) {
    if (HoldDownKeyUp() && tray_.blocking_enabled() && options_.adware_protection) {
      RunSpywarePass();
    }
    WriteScriptErrorSettings();
  } else if (timer_id == kTimerTitleScan) {
    if (HoldDownKeyUp() && tray_.blocking_enabled()) {
      title_scanner_.Scan(block_list_.Entries(), block_list_.revision());
    }
  } else if (timer_id == kTimerNetscapePass) {
    netscape_.OnTimer();
  } else if (timer_id == kTimerTitleWatch) {
    title_scanner_.OnWatchTick(block_list_.Entries(), block_list_.revision(),
                               HoldDownKeyUp() && tray_.blocking_enabled());
  } else {
    hook_blocker_.OnTimer(timer_id);
  }
}

bool MainDialog::HoldDownKeyUp() {
  return !platform_.windows.IsKeyDown(hold_down_key_);
}

bool MainDialog::OnSysCommand(std::uint32_t command) {
  constexpr std::uint32_t kScMinimize = 0xF020;
  if (command == kScMinimize) {
    Hide(false);
    return true;
  }
  if ((command & 0xFFF0) == IDM_SYSTEM_ABOUT) {
    ShowAbout();
    return true;
  }
  return false;
}

std::optional<std::intptr_t> MainDialog::OnMessage(std::uint32_t message, std::uintptr_t wparam,
                                                   std::intptr_t lparam) {
  if (message == kTrayCallbackMessage) return tray_.OnTrayNotification(wparam, lparam);
  if (message == kMessageReconnectBrowsers) {
    ReconnectBrowsers();
    return 0;
  }
  // Setup, the uninstaller and the end of the Windows session end the program without asking,
  // through the same sequence that restores what it changed.
  if ((quiet_exit_message_ != 0 && message == quiet_exit_message_) ||
      (message == platform::kWmEndSession && wparam != 0)) {
    EndProgram();
    return 0;
  }
  if (message == kMessageRunUiTasks) {
    ui_tasks_.RunQueued();
    return 0;
  }
  if (hook_message_ != 0 && message == hook_message_) {
    const auto window = static_cast<platform::WindowHandle>(lparam);
    if (wparam == platform::kHookWindowGone) {
      title_scanner_.NoteGone(window);
      return 0;
    }
    if (wparam == platform::kHookWindowTitle) {
      // The scan's decision at once, rather than at its next tick.
      if (HoldDownKeyUp() && tray_.blocking_enabled() &&
          title_scanner_.CheckWindow(block_list_.Entries(), block_list_.revision(), window)) {
        // Listed but not shown yet: asked again behind what else waits, for a few milliseconds.
        platform_.windows.PostMessage(dialog_->Window(), hook_message_, wparam, lparam);
      }
      return 0;
    }
    if (hook_blocker_.OnHookMessage(
            wparam, lparam,
            HoldDownKeyUp() && tray_.blocking_enabled() && options_.adware_protection)) {
      title_scanner_.NoteClosed(window);
    }
  }
  return std::nullopt;
}

std::string MainDialog::TooltipText(int control_id) {
  auto found = kTooltips.find(control_id);
  return found == kTooltips.end() ? std::string() : found->second;
}

void MainDialog::OnControlDoubleClick(int control_id) {
  if (control_id != IDC_ANIMATION) return;
  dialog_->PlayAnimation(IDC_ANIMATION, IDR_AVI_ZAP);
  ui_tasks_.PostAfter(platform_.system, kZapMs, [this] {
    if (!hidden_) dialog_->PlayAnimation(IDC_ANIMATION, IDR_AVI_IDLE);
  });
}

void MainDialog::ExitSequence() {
  PullFromControls();
  if (platform_.dialogs.MessageBox(
          dialog_, "Are you sure you want to exit the program?\nPopups will no longer be blocked.",
          "Snapgate!", platform::kMbYesNo) != platform::kIdYes) {
    return;
  }
  EndProgram();
}

void MainDialog::EndProgram() {
  // A download goes first, with its files, and then calls back.
  if (upgrade_.StopDownloadToEnd()) return;
  platform_.hooks.UnInstallFilters();
  platform_.hooks.ShutdownHooksDll();
  TakeBackChanges();
  tray_.RemoveIcon();
  dialog_->StopAnimation(IDC_ANIMATION);
  platform_.system.ExitProcess(0);
}

void MainDialog::TakeBackChanges() {
  netscape_.Stop();
  dialog_->KillTimer(kTimerTitleScan);
  dialog_->KillTimer(kTimerSpywarePass);
  // What the cleaner disabled comes back with the program's end, whatever the setting says.
  tools::EnableAllPluginsSilently(platform_);
  settings::ApplyRegistryPreset(platform_, settings::RegistryPreset::kAdwareProtectionOff);
  RunNet("start Messenger");
  if (options_.block_flash) tools::UnblockFlash(platform_);
}

void MainDialog::ShowUpgrade() {
  upgrade_.ConfigureUpgrade("Snapgate!", kCurrentVersion, kUpgradeCheckPage);
  upgrade_.ShowUpgradeDialog(dialog_);
}

void MainDialog::BeforeRemoval() {
  TakeBackChanges();
  if (give_up_running_copy_mark_) give_up_running_copy_mark_();
}

void MainDialog::BeforeEnd() {
  tray_.HideIcon();
  tray_.RemoveIcon();
  dialog_->StopAnimation(IDC_ANIMATION);
}

void MainDialog::ApplyHotkey(int index) {
  static constexpr int kKeys[] = {kVkControl, kVkShift, kVkMenu};
  if (index < 0 || index > 2) {
    hold_down_key_ = kVkControl;
    return;
  }
  hold_down_key_ = kKeys[index];
  WriteSetting("iHotkey", std::to_string(index));
}

void MainDialog::OnPlaySoundClicked() {
  PullFromControls();
  const bool on = blocks_.settings().play_sound;
  dialog_->EnableControl(IDC_PREVIEW_SOUND, on);
  dialog_->EnableControl(IDC_BROWSE_SOUND, on);
  WriteSetting("m_PlaySound", on ? "1" : "0");
}

void MainDialog::OnFlashTrayClicked() {
  PullFromControls();
  const bool on = blocks_.settings().flash_tray;
  dialog_->EnableControl(IDC_FLASH_COUNT, on);
  WriteSetting("m_EnableFlash", on ? "1" : "0");
}

void MainDialog::OnFlashCountChosen() {
  PullFromControls();
  auto& notify = blocks_.settings();
  const int index = dialog_->ComboSelection(IDC_FLASH_COUNT);
  if (index >= 0) notify.flash_count = index + 1;
  WriteSetting("m_NumFlashes", std::to_string(notify.flash_count - 1));
}

void MainDialog::OnHotkeyChosen() {
  PullFromControls();
  const int index = dialog_->ComboSelection(IDC_HOTKEY);
  if (index < 0) {
    hold_down_key_ = kVkControl;
    return;
  }
  ApplyHotkey(index);
}

void MainDialog::OnOptionClicked(int control) {
  PullFromControls();
  static const std::map<int, const char*> kStoredAs = {{IDC_ADWARE_PROTECTION, "m_MaxBrowserBlock"},
                                                       {IDC_NORMALIZE, "bNormalize"},
                                                       {IDC_INTEGRATE_IE, "m_bIntegrateIE"},
                                                       {IDC_MANUAL_POPUPS, "m_bManualPopups"},
                                                       {IDC_NETSCAPE, "bNetscape"},
                                                       {IDC_BLOCK_FLASH, "m_bBlockFlash"}};
  const bool on = dialog_->IsChecked(control);
  WriteSetting(kStoredAs.at(control), on ? "1" : "0");

  if (control == IDC_ADWARE_PROTECTION) {
    if (on) RunSpywarePass();
    settings::ApplyRegistryPreset(platform_, on ? settings::RegistryPreset::kAdwareProtectionOn
                                                : settings::RegistryPreset::kAdwareProtectionOff);
  } else if (control == IDC_MANUAL_POPUPS && on) {
    platform_.dialogs.MessageBox(dialog_,
                                 "Enabling this option allows most popup windows to open when "
                                 "you click them.\nNote, unwanted popups may occasionally get "
                                 "through.",
                                 "Snapgate! Tip", platform::kMbIconInformation);
  } else if (control == IDC_BLOCK_FLASH) {
    options_.block_flash = tools::OnBlockFlashToggled(platform_, dialog_, on);
    dialog_->SetChecked(IDC_BLOCK_FLASH, options_.block_flash);
  } else if (control == IDC_INTEGRATE_IE) {
    browser::ToolbarIntegration(platform_, on, dialog_);
  } else if (control == IDC_NETSCAPE) {
    if (on) {
      netscape_.Start({&hold_down_key_, &tray_, safe_sites_.Entries()});
    } else {
      netscape_.Stop();
    }
  }
}

void MainDialog::ToggleBlocking() {
  if (tray_.blocking_enabled()) {
    tray_.set_blocking_enabled(false);
    if (options_.block_flash) tools::UnblockFlash(platform_);
    RunNet("start Messenger");
    if (tools::PluginCleanerSwitchedOn(platform_.registry))
      tools::EnableAllPluginsSilently(platform_);
    if (options_.adware_protection) {
      settings::ApplyRegistryPreset(platform_, settings::RegistryPreset::kAdwareProtectionOff);
    }
    tray_.SetIconResource(IDI_TRAY_DISABLED);
  } else {
    tray_.set_blocking_enabled(true);
    if (options_.block_flash) tools::BlockFlash(platform_);
    RunNet("stop Messenger");
    if (options_.adware_protection) {
      if (tools::PluginCleanerSwitchedOn(platform_.registry)) {
        tools::DisableHarmfulPluginsSilently(platform_, &history_);
      }
      settings::ApplyRegistryPreset(platform_, settings::RegistryPreset::kAdwareProtectionOn);
    }
    tray_.SetIconResource(IDI_TRAY_NORMAL);
  }
}

void MainDialog::PreviewSound() {
  if (!blocks_.settings().play_sound) return;
  platform_.system.PlaySound(blocks_.settings().sound_path, platform::kSndFilename);
}

void MainDialog::BrowseSound() {
  if (!blocks_.settings().play_sound) return;
  auto chosen = platform_.dialogs.ChooseFileToOpen(dialog_, "Select a sound effect", "wav",
                                                   "WAV Sound Files (*.wav)|*.wav||",
                                                   ProgramFolder(platform_.system));
  if (!chosen) return;
  blocks_.settings().sound_path = *chosen;
  sound_name_ = AfterLastBackslash(*chosen);
  PushToControls();
  WriteSetting("WavPathname", *chosen);
}

void MainDialog::VisitSelectedLine() {
  const int selected = dialog_->ListSelection(IDC_BLOCKED_LIST);
  if (selected < 0) return;
  const std::string line = dialog_->ListText(IDC_BLOCKED_LIST, selected);
  // Lines are titles and addresses chosen by web pages: only web addresses are opened.
  if (!IsWebAddress(line)) return;
  platform::ShellExecuteRequest request;
  request.file = line;
  request.show_command = platform::kSwShowNormal;
  platform_.shell.Execute(request);
}

void MainDialog::RunNet(const std::string& parameters) {
  // By its full path: the shell looks for a bare name in the current directory first, which
  // is the user's.
  const std::string system_folder = platform_.system.SystemDirectory();
  if (system_folder.empty()) return;
  platform::ShellExecuteRequest request;
  request.file = system_folder + "\\net.exe";
  request.parameters = parameters;
  request.show_command = platform::kSwHide;
  platform_.shell.Execute(request);
}

void MainDialog::StopMessenger() {
  RunNet("stop Messenger");
}

void MainDialog::WriteScriptErrorSettings() {
  RegistryStore store(platform_.registry);
  if (store.ReadInt(kProgramSection, "bDisableScriptErrors") == 0) return;
  store.WriteString("Microsoft\\Internet Explorer\\Main", "Disable Script Debugger", "yes");
  store.WriteString("Microsoft\\Internet Explorer\\Main", "Error Dlg Displayed On Every Error",
                    "no");
  store.WriteString(kProgramSection, "bDisableScriptErrors", "1");
}

void MainDialog::ScanShellWindows(bool revoked) {
  platform::ShellWindows* shell_windows = shell_connection_.shell_windows();
  if (!shell_windows) return;
  try {
    PullFromControls();
    shell_scanner_.Scan(*shell_windows, shell_connection_.connected(), revoked);
  } catch (const platform::ComError&) {
    // The collection did not answer; the next event scans again.
  }
}

void MainDialog::ReconnectBrowsers() {
  shell_connection_.Release();
  browser_table_.Reset();
  new_window_counter_ = 0;
  shell_connection_.Connect();
}

void MainDialog::RecordBlock(const std::string& opener_address) {
  blocks_.Record(opener_address, true, true);
}

void MainDialog::ReportLine(const std::string& line) {
  blocks_.ReportLine(line, true, true);
}

std::string MainDialog::ProgramBehind() {
  return FindProgramBehind(platform_.windows, platform_.processes);
}

void MainDialog::RecordClosedBrowser(const std::string& title) {
  // Titles of two characters or less say nothing and are not listed.
  blocks_.Record(title.size() > 2 ? title : std::string(), false, true);
  PushToControls();
}

void MainDialog::ShowSplash() {
  splash_ = platform_.dialogs.CreateModeless(IDD_SPLASH, splash_events_, nullptr);
  if (!splash_) return;
  splash_->Show(platform::kSwShow);
  // A first run leaves the splash up longer: the user has not seen the program before.
  const std::uint32_t shown_ms = first_run_ ? 3000 : 1000;
  ui_tasks_.PostAfter(platform_.system, shown_ms, [this] { splash_->Show(platform::kSwHide); });
}

void MainDialog::RunSpywarePass() {
  tools::RunSpywarePass(platform_, tools_report_);
}

void MainDialog::ShowPluginCleaner() {
  tools::PluginCleanerDialog cleaner(platform_);
  platform_.dialogs.RunModal(IDD_PLUGIN_CLEANER, cleaner, dialog_);
}

void MainDialog::ShowProtectionHistory() {
  tools::ProtectionHistoryDialog dialog(platform_, history_);
  platform_.dialogs.RunModal(IDD_PROTECTION_HISTORY, dialog, dialog_);
}

void MainDialog::ShowHelp() {
  controls::HelpDialog help(platform_);
  platform_.dialogs.RunModal(IDD_HELP, help, dialog_);
}

void MainDialog::ShowCookieCutter() {
  tools::CookieCutterDialog cutter(platform_, cookie_sort_);
  platform_.dialogs.RunModal(IDD_COOKIE_CUTTER, cutter, dialog_);
}

void MainDialog::ShowAbout() {
  AboutDialog about(platform_);
  platform_.dialogs.RunModal(IDD_ABOUT, about, dialog_);
}

}  // namespace sg::app
