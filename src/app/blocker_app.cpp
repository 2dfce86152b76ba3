#include "app/blocker_app.h"

#include "settings/registry_store.h"

namespace sg::app {

namespace {
constexpr std::size_t kTitleBufferSize = 1000;
constexpr const char* kNoWindowMessage =
    "Snapgate! could not open its window and cannot run. Is the desktop available?";
}  // namespace

BlockerApp::~BlockerApp() {
  if (mutex_) platform_.system.CloseHandle(mutex_);
}

StartOutcome BlockerApp::StartUp() {
  const platform::CreatedMutex created = platform_.system.CreateNamedMutex(kSingleInstanceMutex);
  mutex_ = created.handle;
  if (created.already_existed) {
    HandOverToRunningCopy();
    return StartOutcome::kHandedOver;
  }
  main_dialog_ = std::make_unique<MainDialog>(platform_, [this] {
    platform_.system.CloseHandle(mutex_);
    mutex_ = 0;
  });
  if (!main_dialog_->Create()) {
    main_dialog_.reset();
    platform_.dialogs.MessageBox(nullptr, kNoWindowMessage, "Snapgate!", platform::kMbIconStop);
    return StartOutcome::kWindowRefused;
  }
  settings::RegistryStore store(platform_.registry);
  if (store.ReadInt(settings::kProgramSection, "bMinimized") != 1) {
    main_dialog_->host().Show(platform::kSwShow);
  }
  return StartOutcome::kRunning;
}

void BlockerApp::HandOverToRunningCopy() {
  for (const platform::WindowHandle window : platform_.windows.TopLevelWindows()) {
    // Exactly the main dialog's title: a longer title or other letter case is another program.
    if (platform_.windows.WindowText(window, kTitleBufferSize) != "Snapgate!") continue;
    platform_.windows.PostMessage(window, platform::kWmCommand, IDM_OPTIONS, 0);
    platform_.windows.SetForegroundWindow(window);
    return;
  }
}

}  // namespace sg::app
