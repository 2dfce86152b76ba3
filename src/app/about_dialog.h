#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "app/ui_thread_tasks.h"
#include "platform/ports/platform.h"

namespace sg::app {

// Draws a number from 0 to 18, once for each direction the About box's icon jumps.
using JumpRandom = std::function<int()>;
// Seeded from the system's source of randomness.
JumpRandom SystemJumpRandom();

// The About box. OK and Cancel close it. Its icon hides a gesture: a right double click with
// Ctrl and Shift held shows the system's logo, jumps the icon aside and flashes it between the
// application icon and the logo, faster each time, as a worker thread keeps the time.
class AboutDialog final : public platform::DialogEvents {
 public:
  explicit AboutDialog(platform::Platform& platform, JumpRandom random = SystemJumpRandom());

  void OnInitDialog(platform::DialogHost& host) override;
  void OnCommand(int id, int notification) override;
  void OnControlRightDoubleClick(int control_id) override;
  std::optional<std::intptr_t> OnMessage(std::uint32_t message, std::uintptr_t wparam,
                                         std::intptr_t lparam) override;

 private:
  // The worker: waits and has the box's thread show the next icon, while the box is open.
  static void Flash(const UiThreadTasks::Poster& poster, platform::SystemPort& system,
                    platform::DialogHost* host);

  platform::Platform& platform_;
  JumpRandom random_;
  platform::DialogHost* host_ = nullptr;
  UiThreadTasks tasks_{platform_.windows};
};

}  // namespace sg::app
