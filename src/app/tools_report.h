#pragma once

#include "app/block_record.h"
#include "platform/ports/dialogs.h"
#include "resources/resource_ids.h"
#include "tools/change_recorder.h"
#include "tools/protection_report.h"

namespace sg::app {

// The protection tools' view of the main dialog: its blocked-windows list, the tray flash with
// the tools' own icon, and the block sound, each as the user's options say.
class ToolsReport final : public tools::ProtectionReport {
 public:
  ToolsReport(BlockRecord& blocks, tools::ChangeRecorder& history)
      : blocks_(blocks), history_(history) {}
  void AttachBlockedList(platform::DialogHost& main_dialog) { main_dialog_ = &main_dialog; }

  void AppendLine(const std::string& line) override {
    if (main_dialog_) main_dialog_->ListAdd(IDC_BLOCKED_LIST, line);
  }
  bool HasLine(const std::string& line) override {
    return main_dialog_ && main_dialog_->ListFindExact(IDC_BLOCKED_LIST, line) >= 0;
  }
  int LineCount() override { return main_dialog_ ? main_dialog_->ListCount(IDC_BLOCKED_LIST) : 0; }
  void Flash() override {
    if (blocks_.settings().flash_tray) blocks_.FlashTray(IDI_TRAY_TOOLS_FLASH);
  }
  void PlaySound() override { blocks_.PlaySound(); }
  tools::ChangeRecorder* history() override { return &history_; }

 private:
  BlockRecord& blocks_;
  tools::ChangeRecorder& history_;
  platform::DialogHost* main_dialog_ = nullptr;
};

}  // namespace sg::app
