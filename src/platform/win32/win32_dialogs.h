#pragma once

#include "platform/ports/dialogs.h"

namespace sg::platform::win32 {

// Dialogs from the resource templates of the running executable.
class Win32Dialogs final : public DialogsPort {
 public:
  std::unique_ptr<DialogHost> CreateModeless(int template_id, DialogEvents& events,
                                             DialogHost* parent) override;
  int RunModal(int template_id, DialogEvents& events, DialogHost* parent) override;
  int MessageBox(DialogHost* owner, const std::string& text, const std::string& caption,
                 std::uint32_t style) override;
  std::optional<std::string> ChooseFileToOpen(DialogHost* owner, const std::string& title,
                                              const std::string& default_extension,
                                              const std::string& filter,
                                              const std::string& initial_folder) override;
  std::string LoadString(int id) override;
};

}  // namespace sg::platform::win32
