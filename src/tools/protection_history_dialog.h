#pragma once

#include <cstdint>
#include <vector>

#include "platform/ports/platform.h"
#include "tools/change_undo.h"
#include "tools/protection_history.h"

namespace sg::tools {

// "Protection History": the changes the protection tools made, newest first, with the buttons
// that undo one or allow a terminated program.
class ProtectionHistoryDialog final : public platform::DialogEvents {
 public:
  ProtectionHistoryDialog(platform::Platform& platform, ProtectionHistory& history)
      : platform_(platform), history_(history) {}

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 private:
  void ShowRows();
  // The entry of the selected row; 0 when none is selected (after telling the user).
  std::uint64_t Selected(const char* what);
  void Tell(const HistoryActionOutcome& outcome);

  platform::Platform& platform_;
  ProtectionHistory& history_;
  platform::DialogHost* host_ = nullptr;
  std::vector<std::uint64_t> row_ids_;  // the entry shown in each row
};

}  // namespace sg::tools
