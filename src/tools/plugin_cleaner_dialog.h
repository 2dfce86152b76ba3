#pragma once

#include "platform/ports/platform.h"
#include "tools/plugin_cleaner.h"

namespace sg::tools {

// "Installed Internet Explorer Plug-ins": the plug-ins in a list with their state, and the
// buttons that disable, enable and toggle them.
class PluginCleanerDialog final : public platform::DialogEvents {
 public:
  explicit PluginCleanerDialog(platform::Platform& platform);

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;
  void OnNotify(const platform::ControlNotification& notification) override;

 private:
  void ShowRows();
  void DisableAll();
  void EnableAll();
  void TogglePlugin();
  void ShowDone(const char* text);

  platform::Platform& platform_;
  platform::DialogHost* host_ = nullptr;
  PluginCleaner cleaner_;
};

}  // namespace sg::tools
