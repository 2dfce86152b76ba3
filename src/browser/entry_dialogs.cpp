#include "browser/entry_dialogs.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "browser/filter_matching.h"
#include "resources/resource_ids.h"

namespace sg::browser {
namespace {

constexpr std::string_view kCaption = "Snapgate!";
constexpr std::size_t kTitleBufferSize = 10000;

// The program's own windows (also under their former titles) and the desktop are never offered.
constexpr std::array<std::string_view, 7> kOwnWindowTitles = {
    "Add to Window Filters", "Window Titles to Close",         "Snapgate!",
    "Program Manager",       "Spyware Window Titles to Block", "Add to Spyware Filters",
    "Add to Block List",
};

constexpr std::string_view kAsteriskOnly =
    "You can not enter a block list entry of an asterik '*'. This would match every window and "
    "close it.";
constexpr std::string_view kTooGeneral =
    "This wildcard entry is too general and will end up closing 'good' windows. Please choose an "
    "entry that matches the popup window title more specifically.";

std::string MayBeTooGeneralQuestion(const std::string& entry) {
  return "This block list entry may be too general and end up closing any window which contains "
         "the phrase '" +
         StripFirstAsterisk(entry) +
         "' in its window title. It is best to choose a wildcard entry that matches the popup "
         "window title more exactly.\n\nIf you are sure you wish to use this entry, click Yes.";
}

}  // namespace

std::optional<std::string> WindowPickerDialog::Run(platform::DialogsPort& dialogs,
                                                   platform::DialogHost* parent) {
  picked_.clear();
  const int result = dialogs.RunModal(IDD_WINDOW_PICKER, *this, parent);
  host_ = nullptr;
  if (result != platform::kIdOk) return std::nullopt;
  return picked_;
}

void WindowPickerDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  for (const platform::WindowHandle window : windows_.TopLevelWindows()) {
    if (window == 0 || !windows_.IsVisible(window)) continue;
    const std::string title = windows_.WindowText(window, kTitleBufferSize);
    if (title.empty() || std::ranges::find(kOwnWindowTitles, title) != kOwnWindowTitles.end()) {
      continue;
    }
    host.ListAdd(IDC_WINDOW_TITLES, title);
  }
}

void WindowPickerDialog::OnCommand(int id, int) {
  if (id == platform::kIdOk) {
    const int selection = host_->ListSelection(IDC_WINDOW_TITLES);
    if (selection >= 0) picked_ = host_->ListText(IDC_WINDOW_TITLES, selection);
    host_->EndDialog(platform::kIdOk);
  } else if (id == platform::kIdCancel) {
    host_->EndDialog(platform::kIdCancel);
  }
}

std::optional<std::string> AddBlockEntryDialog::Run(platform::DialogsPort& dialogs,
                                                    platform::DialogHost* parent) {
  entry_.clear();
  dialogs_ = &dialogs;
  const int result = dialogs.RunModal(IDD_ADD_BLOCK_ENTRY, *this, parent);
  dialogs_ = nullptr;
  host_ = nullptr;
  if (result != platform::kIdOk) return std::nullopt;
  return entry_;
}

void AddBlockEntryDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  host.SetText(IDC_BLOCK_ENTRY, entry_);
}

void AddBlockEntryDialog::OnCommand(int id, int notification) {
  if (id == IDC_PICK_WINDOW && notification == platform::kBnClicked) {
    Browse();
  } else if (id == platform::kIdOk) {
    entry_ = host_->Text(IDC_BLOCK_ENTRY);
    if (Accepts(entry_)) host_->EndDialog(platform::kIdOk);
  } else if (id == platform::kIdCancel) {
    host_->EndDialog(platform::kIdCancel);
  }
}

void AddBlockEntryDialog::Browse() {
  WindowPickerDialog picker(windows_);
  if (auto title = picker.Run(*dialogs_, host_)) {
    entry_ = *title;
    host_->SetText(IDC_BLOCK_ENTRY, entry_);
  }
}

bool AddBlockEntryDialog::Accepts(const std::string& entry) {
  if (entry == "*") {
    Refuse(std::string(kAsteriskOnly));
    return false;
  }
  if (entry.find('*') == std::string::npos) return true;
  // The length counts the asterisk: "ab*" is as general as two letters.
  if (entry.size() <= 3) {
    Refuse(std::string(kTooGeneral));
    return false;
  }
  if (entry.size() == 4) {
    const int answer =
        dialogs_->MessageBox(host_, MayBeTooGeneralQuestion(entry), std::string(kCaption),
                             platform::kMbYesNo | platform::kMbIconQuestion);
    if (answer == platform::kIdNo) {
      host_->SetFocus(IDC_BLOCK_ENTRY);
      return false;
    }
  }
  return true;
}

void AddBlockEntryDialog::Refuse(const std::string& message) {
  dialogs_->MessageBox(host_, message, std::string(kCaption), platform::kMbIconInformation);
  host_->SetFocus(IDC_BLOCK_ENTRY);
}

std::optional<std::string> AddSafeSiteDialog::Run(platform::DialogsPort& dialogs,
                                                  platform::DialogHost* parent) {
  entry_.clear();
  const int result = dialogs.RunModal(IDD_ADD_SAFE_SITE, *this, parent);
  host_ = nullptr;
  if (result != platform::kIdOk) return std::nullopt;
  return entry_;
}

void AddSafeSiteDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  host.SetText(IDC_SAFE_SITE_ENTRY, entry_);
}

void AddSafeSiteDialog::OnCommand(int id, int) {
  if (id == platform::kIdOk) {
    entry_ = host_->Text(IDC_SAFE_SITE_ENTRY);
    host_->EndDialog(platform::kIdOk);
  } else if (id == platform::kIdCancel) {
    host_->EndDialog(platform::kIdCancel);
  }
}

}  // namespace sg::browser
