#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "app/block_record.h"
#include "app/hook_blocker.h"
#include "app/netscape_scanner.h"
#include "app/system_tray.h"
#include "app/title_scanner.h"
#include "app/tools_report.h"
#include "app/ui_thread_tasks.h"
#include "browser/browser_table.h"
#include "browser/list_dialogs.h"
#include "browser/shell_window_scan.h"
#include "browser/shell_windows_connection.h"
#include "online/upgrade_dialog.h"
#include "platform/ports/platform.h"
#include "resources/resource_ids.h"
#include "tools/cookie_cutter_dialog.h"
#include "tools/protection_history.h"

namespace sg::app {

// Commands and timers of the main dialog.
inline constexpr std::uint32_t kTimerMessenger = 1049;
inline constexpr std::uint32_t kTimerSpywarePass = 1044;
inline constexpr std::uint32_t kTimerTitleScan = 1039;
// Asks the main dialog to drop its Shell Windows connection and connect again.
inline constexpr std::uint32_t kMessageReconnectBrowsers = 0x041E;
inline constexpr float kCurrentVersion = 3.293f;
// The registered message by which the setup program and the uninstaller end a running copy.
inline constexpr const char* kQuietExitMessage = "SNAPGATE_EXIT";

// A dialog without handlers of its own (welcome): OK and Cancel close it.
class PlainDialog final : public platform::DialogEvents {
 public:
  void OnInitDialog(platform::DialogHost& host) override { host_ = &host; }
  void OnCommand(int id, int) override {
    if (id == platform::kIdOk || id == platform::kIdCancel) host_->EndDialog(id);
  }

 private:
  platform::DialogHost* host_ = nullptr;
};

// The program's one long-lived window: it reads the options, owns the tray icon and the block
// record, hides and shows on command and ends the program through the exit question.
class MainDialog final : public platform::DialogEvents,
                         public TrayCommandTarget,
                         public browser::ShellScanContext,
                         public platform::ShellWindowsEvents,
                         public online::UpgradeSteps {
 public:
  // The second argument gives up the mark of the running copy (for the upgrade's new version).
  MainDialog(platform::Platform& platform, std::function<void()> give_up_running_copy_mark);
  ~MainDialog() override;

  // Creates the window (modeless, hidden); runs the initialisation.
  // False when the window system gives no dialog; nothing has started then.
  bool Create();
  platform::DialogHost& host() { return *dialog_; }
  SystemTray& tray() { return tray_; }
  BlockRecord& blocks() { return blocks_; }
  // How workers reach the dialog's thread.
  UiThreadTasks& ui_tasks() { return ui_tasks_; }
  browser::BlockListDialog& block_list() { return block_list_; }
  browser::SafeSiteDialog& safe_sites() { return safe_sites_; }
  bool hidden() const { return hidden_; }
  int hold_down_key() const { return hold_down_key_; }

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;
  void OnTimer(std::uint32_t timer_id) override;
  bool OnSysCommand(std::uint32_t command) override;
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) override;
  std::string TooltipText(int control_id) override;
  void OnControlDoubleClick(int control_id) override;

  platform::WindowHandle CommandWindow() override;
  void SendCommand(int command) override { OnCommand(command, 0); }
  void ReconnectBrowsers() override;

  // The browsers' events and the Shell-window scan ask these.
  bool HoldDownKeyHeld() override { return !HoldDownKeyUp(); }
  bool BlockingEnabled() override { return tray_.blocking_enabled(); }
  bool ManualPopupsAllowed() override { return options_.manual_popups; }
  browser::FilterList SafeSites() override { return safe_sites_.Entries(); }
  void ResetNewWindowCounter() override { new_window_counter_ = 0; }
  void RecordBlock(const std::string& opener_address) override;
  void ReportLine(const std::string& line) override;
  bool NormalizeWindows() override { return options_.normalize; }
  bool PlaySoundOn() override { return blocks_.settings().play_sound; }
  std::string SoundPath() override { return blocks_.settings().sound_path; }
  std::string ProgramBehind() override;
  void RecordClosedBrowser(const std::string& title) override;
  int& NewWindowCounter() override { return new_window_counter_; }
  void OnWindowRegistered() override { ScanShellWindows(false); }
  void OnWindowRevoked() override { ScanShellWindows(true); }

 private:
  struct Options {
    bool adware_protection = true;
    bool normalize = false;
    bool integrate_toolbar = false;
    bool manual_popups = true;
    bool netscape_protection = true;
    bool block_flash = false;
  };

  void PushToControls();
  void PullFromControls();
  void ReadOptions();
  void Show();
  void Hide(bool pull_first);
  void ExitSequence();
  void EndProgram() override;
  void TakeBackChanges();
  void ShowUpgrade();
  void BeforeRemoval() override;
  void BeforeEnd() override;
  void ApplyHotkey(int index);
  void OnPlaySoundClicked();
  void OnFlashTrayClicked();
  void OnFlashCountChosen();
  void OnHotkeyChosen();
  void OnOptionClicked(int control);
  void ToggleBlocking();
  void PreviewSound();
  void BrowseSound();
  void VisitSelectedLine();
  void StopMessenger();
  void ScanShellWindows(bool revoked);
  bool HoldDownKeyUp();
  void RunNet(const std::string& parameters);
  void WriteScriptErrorSettings();
  void ShowAbout();
  void ShowPluginCleaner();
  void ShowCookieCutter();
  void ShowProtectionHistory();
  void ShowHelp();
  void RunSpywarePass();
  void ShowSplash();
  void WriteSetting(const char* name, const std::string& value);

  platform::Platform& platform_;
  UiThreadTasks ui_tasks_{platform_.windows};  // before what its tasks use
  SystemTray tray_;
  BlockRecord blocks_;
  tools::ProtectionHistory history_{platform_};
  ToolsReport tools_report_{blocks_, history_};
  TitleScanner title_scanner_;
  HookBlocker hook_blocker_;
  std::uint32_t hook_message_ = 0;
  std::uint32_t quiet_exit_message_ = 0;
  std::function<void()> give_up_running_copy_mark_;
  online::UpgradeDialog upgrade_{platform_, *this};
  browser::SafeSiteDialog safe_sites_;
  browser::BlockListDialog block_list_;
  NetscapeScanner netscape_;  // after the lists: its passes read the safe sites
  browser::BrowserTable browser_table_;
  browser::ShellWindowsConnection shell_connection_;
  browser::ShellWindowScanner shell_scanner_;
  int new_window_counter_ = 0;
  std::unique_ptr<platform::DialogHost> host_;
  platform::DialogHost* dialog_ = nullptr;  // set as soon as the window exists
  PlainDialog plain_dialog_;
  PlainDialog splash_events_;
  std::unique_ptr<platform::DialogHost> splash_;
  Options options_;
  bool hidden_ = false;
  bool first_run_ = true;
  int hold_down_key_ = 17;
  // How the cookie cutter sorts its columns, kept from one opening to the next.
  tools::CookieSortState cookie_sort_;
  std::string sound_name_;
};

}  // namespace sg::app
