#pragma once

#include <optional>
#include <string>

#include "platform/ports/dialogs.h"
#include "platform/ports/windows.h"

namespace sg::browser {

// Lets the user pick the title of a window on the screen.
class WindowPickerDialog final : public platform::DialogEvents {
 public:
  explicit WindowPickerDialog(platform::WindowsPort& windows) : windows_(windows) {}

  // The picked title (empty when none was selected), or nothing on Cancel.
  std::optional<std::string> Run(platform::DialogsPort& dialogs, platform::DialogHost* parent);

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 private:
  platform::WindowsPort& windows_;
  platform::DialogHost* host_ = nullptr;
  std::string picked_;
};

// Asks for one window title for the block list, refusing entries that would close too many
// windows.
class AddBlockEntryDialog final : public platform::DialogEvents {
 public:
  explicit AddBlockEntryDialog(platform::WindowsPort& windows) : windows_(windows) {}

  // The accepted entry (possibly empty), or nothing on Cancel.
  std::optional<std::string> Run(platform::DialogsPort& dialogs, platform::DialogHost* parent);

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 private:
  void Browse();
  bool Accepts(const std::string& entry);
  void Refuse(const std::string& message);

  platform::WindowsPort& windows_;
  platform::DialogsPort* dialogs_ = nullptr;
  platform::DialogHost* host_ = nullptr;
  std::string entry_;
};

// Asks for one safe site, taken as typed.
class AddSafeSiteDialog final : public platform::DialogEvents {
 public:
  // The text typed, or nothing on Cancel.
  std::optional<std::string> Run(platform::DialogsPort& dialogs, platform::DialogHost* parent);

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;

 private:
  platform::DialogHost* host_ = nullptr;
  std::string entry_;
};

}  // namespace sg::browser
