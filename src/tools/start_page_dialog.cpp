#include "tools/start_page_dialog.h"

#include "resources/resource_ids.h"

namespace sg::tools {

int StartPageDialog::Run(platform::DialogsPort& dialogs, platform::DialogHost* owner) {
  const int result = dialogs.RunModal(IDD_START_PAGE, *this, owner);
  host_ = nullptr;
  return result == platform::kIdOk ? platform::kIdOk : platform::kIdCancel;
}

void StartPageDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  host.EnableTooltips();
  host.SetText(IDC_START_PAGE_ADDRESS, start_page_);
}

void StartPageDialog::OnCommand(int id, int) {
  if (id == platform::kIdOk) {
    start_page_ = host_->Text(IDC_START_PAGE_ADDRESS);
    host_->EndDialog(platform::kIdOk);
  } else if (id == platform::kIdCancel) {
    host_->EndDialog(platform::kIdCancel);
  }
}

std::string StartPageDialog::TooltipText(int control_id) {
  return control_id == IDC_START_PAGE_ADDRESS ? kStartPageTooltip : std::string();
}

}  // namespace sg::tools
