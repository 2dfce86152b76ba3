#include "browser/list_dialogs.h"

#include "browser/entry_dialogs.h"
#include "browser/list_files.h"
#include "resources/resource_ids.h"
#include "settings/registry_store.h"

namespace sg::browser {
namespace {

constexpr std::string_view kResponseRateValue = "iResponseRate";
constexpr int kDefaultResponseRate = 1;

}  // namespace

void FilterListDialog::Create(platform::DialogHost* parent) {
  window_ = platform_.dialogs.CreateModeless(template_id_, *this, parent);
}

void FilterListDialog::Load() {
  LoadListFile(platform_.files, file_name_, *host_, IDC_FILTER_LIST);
  ++revision_;
}

bool FilterListDialog::Save() {
  return SaveListFile(platform_.files, file_name_, *host_, IDC_FILTER_LIST);
}

void FilterListDialog::Show(int show_command) {
  host_->Show(show_command);
}

FilterList FilterListDialog::Entries() {
  return FilterList(*host_, IDC_FILTER_LIST);
}

void FilterListDialog::Append(const std::string& entry) {
  Entries().Append(entry);
  ++revision_;
}

void FilterListDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
}

void FilterListDialog::OnCommand(int id, int notification) {
  if (id == IDC_LIST_ADD && notification == platform::kBnClicked) {
    if (auto entry = AskForEntry(); entry && !entry->empty()) Append(*entry);
  } else if (id == IDC_LIST_REMOVE && notification == platform::kBnClicked) {
    const int selection = host_->ListSelection(IDC_FILTER_LIST);
    if (selection >= 0) {
      host_->ListDelete(IDC_FILTER_LIST, selection);
      ++revision_;
    }
  } else if (id == platform::kIdOk) {
    Save();
    KeepSettings();
    host_->Show(platform::kSwHide);
  } else if (id == platform::kIdCancel) {
    host_->Show(platform::kSwHide);
  }
}

BlockListDialog::BlockListDialog(platform::Platform& platform)
    : FilterListDialog(platform, IDD_BLOCK_LIST, kFileName) {
  const std::string stored = settings::RegistryStore(platform.registry)
                                 .ReadString(settings::kProgramSection, kResponseRateValue);
  response_rate_ = stored.empty() ? kDefaultResponseRate : settings::ParseLeadingInt(stored);
}

void BlockListDialog::SetResponseRate(int rate) {
  response_rate_ = rate;
  if (host_) host_->SetSliderPosition(IDC_RESPONSE_RATE, rate);
}

void BlockListDialog::OnInitDialog(platform::DialogHost& host) {
  FilterListDialog::OnInitDialog(host);
  host.SetSliderPosition(IDC_RESPONSE_RATE, response_rate_);
}

void BlockListDialog::OnCommand(int id, int notification) {
  if (id == IDC_FILTER_HELP && notification == platform::kBnClicked) {
    platform::ShellExecuteRequest request;
    request.file = std::string(kHelpAddress);
    request.show_command = platform::kSwShowNormal;
    platform_.shell.Execute(request);
    return;
  }
  FilterListDialog::OnCommand(id, notification);
}

std::optional<std::string> BlockListDialog::AskForEntry() {
  return AddBlockEntryDialog(platform_.windows).Run(platform_.dialogs, host_);
}

void BlockListDialog::KeepSettings() {
  response_rate_ = host_->SliderPosition(IDC_RESPONSE_RATE);
  settings::RegistryStore(platform_.registry)
      .WriteString(settings::kProgramSection, kResponseRateValue, std::to_string(response_rate_));
}

SafeSiteDialog::SafeSiteDialog(platform::Platform& platform)
    : FilterListDialog(platform, IDD_SAFE_SITES, kFileName) {}

std::optional<std::string> SafeSiteDialog::AskForEntry() {
  return AddSafeSiteDialog().Run(platform_.dialogs, host_);
}

void AddToSafeSites(platform::Platform& platform, SafeSiteDialog& safe_sites,
                    platform::DialogHost* parent) {
  const auto site = AddSafeSiteDialog().Run(platform.dialogs, parent);
  if (!site || site->empty()) return;
  safe_sites.Append(*site);
  safe_sites.Save();
}

void AddToBlockList(platform::Platform& platform, BlockListDialog& block_list,
                    platform::DialogHost* parent) {
  const auto title = AddBlockEntryDialog(platform.windows).Run(platform.dialogs, parent);
  if (!title) return;
  if (!title->empty()) block_list.Append(*title);
  block_list.Save();
}

}  // namespace sg::browser
