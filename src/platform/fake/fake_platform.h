#pragma once

#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_registry.h"
#include "platform/fake/fake_resources.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/limited_user_registry.h"
#include "platform/ports/platform.h"

namespace sg::platform::fake {

// A whole in-memory Windows, with the registry editor installed.
class FakePlatform {
 public:
  FakePlatform();
  FakePlatform(const FakePlatform&) = delete;
  FakePlatform& operator=(const FakePlatform&) = delete;

  Platform& ports() { return ports_; }
  // A user without administrator rights: HKEY_LOCAL_MACHINE becomes read-only.
  void SetLimitedUser(bool limited) { user_registry_.SetLimited(limited); }

  FakeRegistry registry;
  FakeFileSystem files;
  FakeResources resources;
  FakeShell shell;

 private:
  LimitedUserRegistry user_registry_{registry};
  Platform ports_{user_registry_, files, resources, shell};
};

}  // namespace sg::platform::fake
