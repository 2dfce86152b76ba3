#include "tools/plugin_cleaner_dialog.h"

#include "common/online_help.h"
#include "resources/resource_ids.h"

namespace sg::tools {

namespace {

constexpr int kImageEnabled = 0;
constexpr int kImageDisabled = 1;
constexpr std::uint32_t kMagenta = 0x00FF00FF;
constexpr const char* kReopenBrowsers =
    "\nPlease close any Internet Explorer Web Browsers and open a new one for changes to take "
    "effect.";

}  // namespace

PluginCleanerDialog::PluginCleanerDialog(platform::Platform& platform)
    : platform_(platform), cleaner_(platform, nullptr) {}

void PluginCleanerDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  cleaner_.set_owner(host_);
  using platform::ColumnAlignment;
  host.ListViewAddColumn(IDC_PLUGIN_LIST, 0, "Enabled", 55, ColumnAlignment::kLeft);
  host.ListViewAddColumn(IDC_PLUGIN_LIST, 1, "Plug-in Name", 165, ColumnAlignment::kLeft);
  host.ListViewAddColumn(IDC_PLUGIN_LIST, 2, "Executable Path", 400, ColumnAlignment::kLeft);
  host.ListViewSetFullRowSelect(IDC_PLUGIN_LIST);
  host.ListViewSetImages(IDC_PLUGIN_LIST, IDB_PLUGIN_STATES, kMagenta);
  cleaner_.RefreshPluginList();
  ShowRows();
}

void PluginCleanerDialog::ShowRows() {
  host_->ListViewDeleteAll(IDC_PLUGIN_LIST);
  const auto& rows = cleaner_.rows();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const int row =
        host_->ListViewInsert(IDC_PLUGIN_LIST, static_cast<int>(i), rows[i].enabled ? "Yes" : "No",
                              rows[i].enabled ? kImageEnabled : kImageDisabled);
    if (row < 0) continue;
    host_->ListViewSetText(IDC_PLUGIN_LIST, row, 1, rows[i].name);
    host_->ListViewSetText(IDC_PLUGIN_LIST, row, 2, rows[i].path);
  }
}

void PluginCleanerDialog::OnCommand(int id, int) {
  switch (id) {
    case IDC_PLUGIN_DISABLE_ALL:
      return DisableAll();
    case IDC_PLUGIN_ENABLE_ALL:
      return EnableAll();
    case IDC_PLUGIN_TOGGLE:
      return TogglePlugin();
    case IDC_PLUGIN_HELP:
      return OpenOnlineHelp(platform_.shell, "plugins");
    case platform::kIdOk:
    case platform::kIdCancel:
      host_->EndDialog(id);
      return;
    default:
      return;
  }
}

void PluginCleanerDialog::OnNotify(const platform::ControlNotification& notification) {
  if (notification.control == IDC_PLUGIN_LIST && notification.code == platform::kNmDblClk) {
    TogglePlugin();
  }
}

void PluginCleanerDialog::ShowDone(const char* text) {
  if (cleaner_.rename_failed()) return;
  platform_.dialogs.MessageBox(host_, std::string(text) + kReopenBrowsers, kPluginCleanerCaption,
                               platform::kMbIconInformation);
}

void PluginCleanerDialog::DisableAll() {
  cleaner_.ClearError();
  cleaner_.DisableHarmfulPlugins(false);
  cleaner_.RefreshPluginList();
  ShowRows();
  ShowDone("All Internet Explorer Plug-ins which are considered harmful have been disabled.");
}

void PluginCleanerDialog::EnableAll() {
  cleaner_.ClearError();
  cleaner_.EnableAllPlugins(false);
  cleaner_.RefreshPluginList();
  ShowRows();
  ShowDone("All Internet Explorer Plug-ins have been enabled.");
}

void PluginCleanerDialog::TogglePlugin() {
  const std::vector<int> selected = host_->ListViewSelectedRows(IDC_PLUGIN_LIST);
  if (selected.empty()) {
    platform_.dialogs.MessageBox(host_,
                                 "Please select an Internet Explorer plug-in to toggle on or off.",
                                 kPluginCleanerCaption, platform::kMbIconInformation);
    return;
  }
  cleaner_.ClearError();
  const bool toggled = cleaner_.TogglePlugins(selected);
  cleaner_.RefreshPluginList();
  ShowRows();
  if (toggled) ShowDone("Internet Explorer Plug-in has been toggled.");
}

}  // namespace sg::tools
