#include "app/about_dialog.h"

#include <random>
#include <utility>

#include "resources/resource_ids.h"

namespace sg::app {

namespace {

constexpr int kVkShift = 16;
constexpr int kVkControl = 17;
constexpr int kIconSize = 32;
// Posted by the worker: wparam is the SystemIcon to show. The window's own thread changes it.
constexpr std::uint32_t kMessageShowIcon = platform::kWmApp + 1;

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

AboutDialog::~AboutDialog() {
  MarkClosed();
}

void AboutDialog::OnInitDialog(platform::DialogHost& host) {
  MarkClosed();
  host_ = &host;
  open_ = std::make_shared<OpenWindow>();
  open_->window = host.Window();
}

void AboutDialog::OnCommand(int id, int) {
  if (id != platform::kIdOk && id != platform::kIdCancel) return;
  // Before the window goes: from here on no worker posts to it.
  MarkClosed();
  host_->EndDialog(id);
}

void AboutDialog::OnControlRightDoubleClick(int control_id) {
  if (control_id != IDC_ABOUT_ICON) return;
  if (!platform_.windows.IsKeyDown(kVkControl) || !platform_.windows.IsKeyDown(kVkShift)) return;
  host_->SetControlSystemIcon(IDC_ABOUT_ICON, platform::SystemIcon::kWinLogo);
  const int dx = JumpOffset(random_());
  const int dy = JumpOffset(random_());
  host_->MoveControl(IDC_ABOUT_ICON, dx, dy, kIconSize, kIconSize);
  platform_.system.StartThread([open = open_, &windows = platform_.windows,
                                &system = platform_.system] { Flash(open, windows, system); });
}

std::optional<std::intptr_t> AboutDialog::OnMessage(std::uint32_t message, std::uintptr_t wparam,
                                                    std::intptr_t) {
  if (message != kMessageShowIcon) return std::nullopt;
  host_->SetControlSystemIcon(IDC_ABOUT_ICON, static_cast<platform::SystemIcon>(wparam));
  return 0;
}

void AboutDialog::Flash(const std::shared_ptr<OpenWindow>& open, platform::WindowsPort& windows,
                        platform::SystemPort& system) {
  constexpr std::uint32_t kWaitsMs[] = {250, 200, 150, 100, 50};
  platform::SystemIcon next = platform::SystemIcon::kApplication;
  for (const std::uint32_t wait : kWaitsMs) {
    system.Sleep(wait);
    std::lock_guard lock(open->mutex);
    if (!open->window) return;
    windows.PostMessage(open->window, kMessageShowIcon, static_cast<std::uintptr_t>(next), 0);
    next = next == platform::SystemIcon::kApplication ? platform::SystemIcon::kWinLogo
                                                      : platform::SystemIcon::kApplication;
  }
}

void AboutDialog::MarkClosed() {
  if (!open_) return;
  std::lock_guard lock(open_->mutex);
  open_->window = 0;
}

}  // namespace sg::app
