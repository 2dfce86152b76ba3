#include "online/upgrade_dialog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/ascii.h"
#include "common/program_folder.h"
#include "common/run_to_its_end.h"
#include "common/web_addresses.h"
#include "online/download_folder.h"
#include "online/update_signature.h"
#include "resources/resource_ids.h"
#include "settings/registry_store.h"

namespace sg::online {
namespace {

constexpr const char* kUninstaller = "unins000.exe";
constexpr const char* kDownloadedSetup = "NewUpdate.exe";
// Longer descriptions are cut so that the question still fits on the screen.
constexpr std::size_t kShownDescription = 2000;
constexpr std::size_t kDateBufferSize = 100;

std::string DownloadFailureText() {
  return std::string(
             "There was a problem while downloading the update for your software. Your current "
             "version is still installed.\n\nYou can manually upgrade your software by visiting ") +
         kWebSite + " and clicking Download Evaluation to obtain the latest version.";
}

}  // namespace

UpgradeDialog::UpgradeDialog(platform::Platform& platform, UpgradeSteps& steps)
    : platform_(platform), steps_(steps), fetcher_(platform) {}

UpgradeDialog::~UpgradeDialog() {
  if (last_check_) SaveUpgradeDate();
}

void UpgradeDialog::ConfigureUpgrade(std::string product_title, float current_version,
                                     std::string check_address) {
  product_title_ = std::move(product_title);
  current_version_ = current_version;
  // A mirror, or a test's own server, for this user only.
  const std::string mirror(TrimmedAsciiSpace(
      settings::RegistryStore(platform_.registry).ReadString(product_title_, "UpgradeURL")));
  check_address_ = mirror.empty() ? std::move(check_address) : mirror;
}

bool UpgradeDialog::IsUpgradeCheckDue() {
  std::string stored =
      settings::RegistryStore(platform_.registry).ReadString(product_title_, "UpgradeDate");
  if (stored.size() >= kDateBufferSize) stored.resize(kDateBufferSize - 1);
  const LocalDateTime now = platform_.system.LocalTime();
  const std::optional<LocalDateTime> date = ParseUpgradeDate(stored);
  if (date && !IsUpgradeCheckDueAt(*date, now)) {
    last_check_ = *date;
    return false;
  }
  // The first check comes 16 days after the first run.
  RecordCheck(now);
  return date.has_value();
}

void UpgradeDialog::RecordCheck(const LocalDateTime& when) {
  last_check_ = when;
  // Stored at once as well: the program ends through ExitProcess, which destroys no object.
  SaveUpgradeDate();
}

void UpgradeDialog::SaveUpgradeDate() {
  if (!last_check_) return;
  settings::RegistryStore(platform_.registry)
      .WriteString(product_title_, "UpgradeDate", FormatUpgradeDate(*last_check_));
}

void UpgradeDialog::ShowUpgradeDialog(platform::DialogHost* owner) {
  // The tray menu still works while the dialog is open, and one object serves one showing.
  if (host_) {
    platform_.windows.SetForegroundWindow(host_->Window());
    return;
  }
  platform_.dialogs.RunModal(IDD_UPGRADE, *this, owner);
  host_ = nullptr;
}

void UpgradeDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
}

void UpgradeDialog::OnCommand(int id, int) {
  if (id == platform::kIdOk) {
    CheckForUpgrade();
  } else if (id == platform::kIdCancel) {
    host_->EndDialog(platform::kIdCancel);
  }
}

std::unique_ptr<platform::DialogHost> UpgradeDialog::OpenStatusWindow(const char* caption) {
  auto status = platform_.dialogs.CreateModeless(IDD_UPGRADE_STATUS, status_events_, host_);
  if (!status) return status;
  if (caption) status->SetTitle(caption);
  status->Show(platform::kSwShow);
  return status;
}

void UpgradeDialog::CloseStatusWindow(std::unique_ptr<platform::DialogHost>& status) {
  if (status) status->Show(platform::kSwHide);
  status.reset();
}

void UpgradeDialog::CheckForUpgrade() {
  // Its button would start a second check while this one waits for the page.
  host_->EnableControl(platform::kIdOk, false);
  auto status = OpenStatusWindow(nullptr);
  const std::vector<std::string>& lines = fetcher_.Fetch(check_address_);
  CloseStatusWindow(status);
  if (fetcher_.last_fetch_cancelled()) {
    // Stopped by the user: nothing to tell, and the check may be made again.
    host_->EnableControl(platform::kIdOk, true);
    return;
  }
  ParseUpgradePage(lines, offer_);

  if (offer_.new_version > current_version_) {
    std::string description = offer_.description;
    if (description.size() > kShownDescription) description.resize(kShownDescription);
    const std::string question = "A new upgrade of " + product_title_ +
                                 " is available for download.\n\nDescription:\n\n" + description +
                                 "\n\nWould you like to download the upgrade now?";
    if (platform_.dialogs.MessageBox(host_, question, "A new upgrade is available.",
                                     platform::kMbYesNo) == platform::kIdYes) {
      InstallUpgrade(offer_.download_link);
    } else {
      host_->EndDialog(platform::kIdCancel);
    }
  } else {
    char version[64];
    std::snprintf(version, sizeof version, "%.2f", static_cast<double>(current_version_));
    platform_.dialogs.MessageBox(
        host_,
        std::string("You have the most recent version v") + version + ".\nNo upgrade is available.",
        product_title_, platform::kMbOk);
  }
  host_->EnableControl(platform::kIdOk, false);
  host_->SetFocus(platform::kIdCancel);
  RecordCheck(platform_.system.LocalTime());
}

bool UpgradeDialog::StopDownloadToEnd() {
  if (!downloading_) return false;
  end_requested_ = true;
  fetcher_.Cancel();
  return true;
}

void UpgradeDialog::RunAndWait(const std::string& file, const std::string& parameters) {
  platform::ShellExecuteRequest request;
  request.file = file;
  request.parameters = parameters;
  request.show_command = platform::kSwShowNormal;
  // Failures of the uninstaller or the setup are not looked at: the process ends after them.
  RunToItsEnd(platform_.shell, request);
}

void UpgradeDialog::InstallUpgrade(const std::string& link) {
  auto status = OpenStatusWindow("Upgrading Software");
  // In a folder made for it: the working folder may be unwritable, and the temporary folder
  // may hold files of that name, or libraries a setup program would load, that others put there.
  DownloadFolder folder(platform_, kDownloadedSetup);
  std::unique_ptr<platform::OpenFile> setup;
  // Nothing is removed unless the new setup program is complete, is ours, and is the newer
  // version it was signed for.
  if (folder.made() && offer_.new_version > current_version_) {
    downloading_ = true;
    fetcher_.Fetch(std::string(TrimmedAsciiSpace(link)), folder.file(), status.get());
    downloading_ = false;
    if (fetcher_.last_download_complete()) {
      setup = OpenGenuineInstaller(platform_, folder.file(), offer_.version_text, offer_.signature);
    }
  }
  if (!setup) {
    folder.Remove();
    // The user who stopped the download knows.
    if (!fetcher_.last_fetch_cancelled()) {
      platform_.dialogs.MessageBox(host_, DownloadFailureText(), "Snapgate!",
                                   platform::kMbIconInformation);
    }
    CloseStatusWindow(status);
    if (end_requested_) steps_.EndProgram();
    return;
  }

  if (status) status->SetText(IDC_UPGRADE_STATUS_TEXT, "Removing old version ..");
  platform_.hooks.UnInstallFilters();
  platform_.hooks.ShutdownHooksDll();
  steps_.BeforeRemoval();
  RunAndWait(ProgramFolder(platform_.system) + "\\" + kUninstaller, " /SILENT");
  // Started by its path while still held, so that what runs is what was checked.
  RunAndWait(folder.file(), "");
  setup.reset();
  CloseStatusWindow(status);
  folder.Remove();
  steps_.BeforeEnd();
  platform_.system.ExitProcess(0);
}

}  // namespace sg::online
