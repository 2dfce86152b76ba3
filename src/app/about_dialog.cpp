#include "app/about_dialog.h"

#include <random>
#include <utility>

#include "resources/resource_ids.h"

namespace sg::app {

namespace {

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kIconSize = 32;

// Small draws jump the icon up or left, larger ones down or right; never less than 2 pixels.
int JumpOffset(int drawn) {
  return drawn > 8 ? drawn + 2 : -(drawn + 2);
}

}  // namespace

JumpRandom SystemJumpRandom() {
  return [engine = std::mt19937(std::random_device{}())]() mutable {
    return std::uniform_int_distribution<int>(0, 18)(engine);
  };
}

AboutDialog::AboutDialog(platform::Platform& platform, JumpRandom random)
    : platform_(platform), random_(std::move(random)) {}

void AboutDialog::OnInitDialog(platform::DialogHost& host) {
  host_ = &host;
  tasks_.Open(host.Window());
}

void AboutDialog::OnCommand(int id, int) {
  if (id != platform::kIdOk && id != platform::kIdCancel) return;
  // Before the window goes: from here on no worker posts to it.
  tasks_.Close();
  host_->EndDialog(id);
}

void AboutDialog::OnControlRightDoubleClick(int control_id) {
  if (control_id != IDC_ABOUT_ICON) return;
  if (!platform_.windows.IsKeyDown(kVkControl) || !platform_.windows.IsKeyDown(kVkShift)) return;
  host_->SetControlSystemIcon(IDC_ABOUT_ICON, platform::SystemIcon::kWinLogo);
  const int dx = JumpOffset(random_());
  const int dy = JumpOffset(random_());
  host_->MoveControl(IDC_ABOUT_ICON, dx, dy, kIconSize, kIconSize);
  platform_.system.StartThread([poster = tasks_.poster(), &system = platform_.system,
                                host = host_] { Flash(poster, system, host); });
}

std::optional<std::intptr_t> AboutDialog::OnMessage(std::uint32_t message, std::uintptr_t,
                                                    std::intptr_t) {
  if (message != kMessageRunUiTasks) return std::nullopt;
  tasks_.RunQueued();
  return 0;
}

void AboutDialog::Flash(const UiThreadTasks::Poster& poster, platform::SystemPort& system,
                        platform::DialogHost* host) {
  constexpr std::uint32_t kWaitsMs[] = {250, 200, 150, 100, 50};
  platform::SystemIcon next = platform::SystemIcon::kApplication;
  for (const std::uint32_t wait : kWaitsMs) {
    system.Sleep(wait);
    if (!poster.Post([host, next] { host->SetControlSystemIcon(IDC_ABOUT_ICON, next); })) return;
    next = next == platform::SystemIcon::kApplication ? platform::SystemIcon::kWinLogo
                                                      : platform::SystemIcon::kApplication;
  }
}

}  // namespace sg::app
