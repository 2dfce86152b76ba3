#pragma once

#include "platform/fake/fake_browser.h"
#include "platform/fake/fake_crypto.h"
#include "platform/fake/fake_desktop.h"
#include "platform/fake/fake_dialogs.h"
#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_hook_library.h"
#include "platform/fake/fake_internet.h"
#include "platform/fake/fake_processes.h"
#include "platform/fake/fake_profile.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_resources.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/fake_system.h"
#include "platform/fake/fake_tray.h"
#include "platform/fake/fake_url_cache.h"
#include "platform/fake/limited_user_registry.h"
#include "platform/ports/platform.h"

namespace sg::platform::fake {

// A whole in-memory Windows, with the registry editor installed. Two platforms made on one
// machine share named mutexes, as two processes of one logon do.
class FakePlatform {
 public:
  FakePlatform();
  explicit FakePlatform(FakeSystem::Machine& machine);
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  Platform& ports() { return ports_; }
  // A user without administrator rights: HKEY_LOCAL_MACHINE becomes read-only.
  void SetLimitedUser(bool limited) { user_registry_.SetLimited(limited); }

 private:
  FakeSystem::Machine own_machine_;

 public:
  FakeRegistry registry;
  FakeFileSystem files;
  FakeResources resources;
  FakeShell shell;
  FakeDesktop desktop;
  FakeSystem system;
  FakeDialogs dialogs{desktop};
  FakeTray tray{desktop};
  FakeProcesses processes{desktop};
  FakeHookLibrary hooks{desktop};
  FakeBrowsers browsers;
  FakeUrlCache url_cache;
  FakeProfile profile{files};
  FakeCrypto crypto;
  FakeInternet internet;

 private:
  LimitedUserRegistry user_registry_{registry};
  Platform ports_{user_registry_, files, resources, shell,     desktop, system, dialogs, tray,
                  processes,      hooks, browsers,  url_cache, profile, crypto, internet};
};

}  // namespace sg::platform::fake
