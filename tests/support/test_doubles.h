#pragma once

// Stand-ins for the main dialog's parts, for tests and benchmarks that need a dialog to hold a
// list box, or a tray icon that belongs to nobody.
#include "app/system_tray.h"
#include "platform/ports/dialogs.h"

namespace sg::testing {

// A dialog without handlers of its own.
class SilentDialog final : public platform::DialogEvents {
 public:
  void OnInitDialog(platform::DialogHost&) override {}
  void OnCommand(int, int) override {}
};

// A tray icon's owner that does nothing with the icon's commands.
struct NoTrayTarget final : app::TrayCommandTarget {
  platform::WindowHandle CommandWindow() override { return 0; }
  void SendCommand(int) override {}
  void ReconnectBrowsers() override {}
};

}  // namespace sg::testing
