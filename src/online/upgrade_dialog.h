#pragma once

#include <memory>
#include <optional>
#include <string>

#include "online/http_fetcher.h"
#include "online/upgrade_date.h"
#include "online/upgrade_page.h"
#include "platform/ports/platform.h"

namespace sg::online {

// What the installation of an upgrade asks of the running program.
class UpgradeSteps {
 public:
  virtual ~UpgradeSteps() = default;
  // Before the old version is removed: the hook library stopped, what the program changed taken
  // back, and the mark of the running copy given up, so that neither the uninstaller nor the new
  // version waits for this process, which waits for them.
  virtual void BeforeRemoval() = 0;
  // After the new version's setup has run, just before the process ends: the tray icon goes.
  virtual void BeforeEnd() = 0;
  // The user ended the program while a download ran; the download and its files are gone now.
  virtual void EndProgram() = 0;
};

// "Check for Upgrade": asks the maker's upgrade page whether a newer version exists and installs
// it on request. Lives as long as the main dialog.
class UpgradeDialog final : public platform::DialogEvents {
 public:
  UpgradeDialog(platform::Platform& platform, UpgradeSteps& steps);
  ~UpgradeDialog() override;

  void ConfigureUpgrade(std::string product_title, float current_version,
                        std::string check_address);
  // Reads "UpgradeDate"; true when more than 15 days have passed since the last check.
  bool IsUpgradeCheckDue();
  // Brings the dialog to the front instead when it is open already.
  void ShowUpgradeDialog(platform::DialogHost* owner);
  void CheckForUpgrade();
  // Downloads, verifies and runs the new version's setup; does not return when it succeeds.
  void InstallUpgrade(const std::string& link);
  void SaveUpgradeDate();
  // For the program's end: a running download is stopped instead, and true returned; once its
  // files are gone, UpgradeSteps::EndProgram ends the program.
  bool StopDownloadToEnd();

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 private:
  std::unique_ptr<platform::DialogHost> OpenStatusWindow(const char* caption);
  void CloseStatusWindow(std::unique_ptr<platform::DialogHost>& status);
  void RecordCheck(const LocalDateTime& when);
  void RunAndWait(const std::string& file, const std::string& parameters);

  platform::Platform& platform_;
  UpgradeSteps& steps_;
  HttpFetcher fetcher_;
  std::string product_title_;
  float current_version_ = 0;
  std::string check_address_;
  UpgradeOffer offer_;
  std::optional<LocalDateTime> last_check_;
  platform::DialogHost* host_ = nullptr;
  bool downloading_ = false;
  bool end_requested_ = false;
  // Escape or the close box of the status window stops the fetch that it shows.
  class StatusEvents final : public platform::DialogEvents {
   public:
    explicit StatusEvents(HttpFetcher& fetcher) : fetcher_(fetcher) {}
    void OnInitDialog(platform::DialogHost&) override {}
    void OnCommand(int id, int) override {
      if (id == platform::kIdCancel) fetcher_.Cancel();
    }

   private:
    HttpFetcher& fetcher_;
  } status_events_{fetcher_};
};

}  // namespace sg::online
