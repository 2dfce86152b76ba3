#include "platform/fake/fake_hook_library.h"

#include <utility>

namespace sg::platform::fake {

bool FakeHookLibrary::Report(std::uintptr_t code, std::intptr_t lparam) {
  return Reporting() && desktop_.PostMessage(window_, message_, code, lparam);
}

WindowHandle FakeHookLibrary::OpenWindow(FakeDesktop::Window window) {
  const bool visible = window.visible;
  const WindowHandle opened = desktop_.Open(std::move(window));
  Report(kHookNewWindow, static_cast<std::intptr_t>(opened));
  Report(kHookWindowTitle, static_cast<std::intptr_t>(opened));
  if (visible) Report(kHookWindowTitle, static_cast<std::intptr_t>(opened));
  return opened;
}

bool FakeHookLibrary::ShowWindow(WindowHandle window) {
  desktop_.SetVisible(window, true);
  return Report(kHookWindowTitle, static_cast<std::intptr_t>(window));
}

bool FakeHookLibrary::RenameWindow(WindowHandle window, const std::string& title) {
  desktop_.SetTitle(window, title);
  return Report(kHookWindowTitle, static_cast<std::intptr_t>(window));
}

bool FakeHookLibrary::InitHooksDll(WindowHandle window, std::uint32_t message) {
  calls_.push_back(Call::kInit);
  window_ = window;
  message_ = message;
  return desktop_.Exists(window) && message != 0;
}

bool FakeHookLibrary::InstallFilters() {
  calls_.push_back(Call::kInstall);
  installed_ = true;
  return true;
}

bool FakeHookLibrary::UnInstallFilters() {
  calls_.push_back(Call::kUnInstall);
  installed_ = false;
  return true;
}

bool FakeHookLibrary::ShutdownHooksDll() {
  calls_.push_back(Call::kShutdown);
  // The real library stops its hooks here too.
  installed_ = false;
  window_ = 0;
  message_ = 0;
  return true;
}

}  // namespace sg::platform::fake
