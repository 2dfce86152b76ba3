#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "platform/ports/platform.h"

namespace sg::app {

// Draws a number from 0 to 18, once for each direction the About box's icon jumps.
using JumpRandom = std::function<int()>;
// Seeded from the system's source of randomness.
JumpRandom SystemJumpRandom();

// The About box. OK and Cancel close it. Its icon hides a gesture: a right double click with
// Ctrl and Shift held shows the system's logo, jumps the icon aside and has a worker thread
// flash it between the application icon and the logo, faster each time.
class AboutDialog final : public platform::DialogEvents {
 public:
  explicit AboutDialog(platform::Platform& platform, JumpRandom random = SystemJumpRandom());
  ~AboutDialog() override;

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;
  void OnControlRightDoubleClick(int control_id) override;
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) override;

 private:
  // The box's window as flashing workers see it: none once the box closes, so that a worker
  // outliving the box reaches neither a destroyed window nor a later one with its handle.
  struct OpenWindow {
    std::mutex mutex;
    platform::WindowHandle window = 0;
  };

  // The worker: waits and asks the box's window to show the next icon, while the box is open.
  static void Flash(const std::shared_ptr<OpenWindow>& open, platform::WindowsPort& windows,
                    platform::SystemPort& system);
  void MarkClosed();

  platform::Platform& platform_;
  JumpRandom random_;
  platform::DialogHost* host_ = nullptr;
  std::shared_ptr<OpenWindow> open_;
};

}  // namespace sg::app
