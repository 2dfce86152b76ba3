#include "tools/protection_history_dialog.h"

#include <string>

#include "resources/resource_ids.h"
#include "tools/history_text.h"

namespace sg::tools {

void ProtectionHistoryDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  using platform::ColumnAlignment;
  host.ListViewAddColumn(IDC_HISTORY_LIST, 0, "Time", 135, ColumnAlignment::kLeft);
  host.ListViewAddColumn(IDC_HISTORY_LIST, 1, "Tool", 95, ColumnAlignment::kLeft);
  host.ListViewAddColumn(IDC_HISTORY_LIST, 2, "Change", 250, ColumnAlignment::kLeft);
  host.ListViewAddColumn(IDC_HISTORY_LIST, 3, "Reason", 420, ColumnAlignment::kLeft);
  host.ListViewSetFullRowSelect(IDC_HISTORY_LIST);
  ShowRows();
}

void ProtectionHistoryDialog::ShowRows() {
  host_->ListViewDeleteAll(IDC_HISTORY_LIST);
  row_ids_.clear();
  const std::vector<HistoryEntry>& entries = history_.entries();
  for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
    const int row = host_->ListViewInsert(IDC_HISTORY_LIST, static_cast<int>(row_ids_.size()),
                                          HistoryTimeText(entry->time), 0);
    if (row < 0) continue;
    host_->ListViewSetText(IDC_HISTORY_LIST, row, 1, entry->tool);
    host_->ListViewSetText(IDC_HISTORY_LIST, row, 2, entry->change);
    host_->ListViewSetText(IDC_HISTORY_LIST, row, 3, entry->reason);
    row_ids_.push_back(entry->id);
  }
}

std::uint64_t ProtectionHistoryDialog::Selected(const char* what) {
  const std::vector<int> rows = host_->ListViewSelectedRows(IDC_HISTORY_LIST);
  if (rows.empty() || rows.front() < 0 || rows.front() >= static_cast<int>(row_ids_.size())) {
    platform_.dialogs.MessageBox(host_, std::string("Please select the change to ") + what + ".",
                                 kHistoryCaption, platform::kMbIconInformation);
    return 0;
  }
  return row_ids_[static_cast<std::size_t>(rows.front())];
}

void ProtectionHistoryDialog::Tell(const HistoryActionOutcome& outcome) {
  ShowRows();
  if (outcome.message.empty()) return;
  platform_.dialogs.MessageBox(
      host_, outcome.message, kHistoryCaption,
      outcome.done ? platform::kMbIconInformation : platform::kMbIconExclamation);
}

void ProtectionHistoryDialog::OnCommand(int id, int) {
  switch (id) {
    case IDC_HISTORY_UNDO:
      if (const std::uint64_t entry = Selected("undo")) {
        Tell(UndoChange(platform_, history_, entry, host_));
      }
      return;
    case IDC_HISTORY_ALLOW:
      if (const std::uint64_t entry = Selected("allow")) {
        Tell(AllowProgram(platform_, history_, entry, host_));
      }
      return;
    case platform::kIdOk:
    case platform::kIdCancel:
      host_->EndDialog(id);
      return;
    default:
      return;
  }
}

}  // namespace sg::tools
