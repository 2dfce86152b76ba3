#include "platform/fake/fake_platform.h"

#include "platform/fake/fake_regedit.h"

namespace sg::platform::fake {

FakePlatform::FakePlatform() {
  InstallFakeRegedit(shell, files, user_registry_);
}

}  // namespace sg::platform::fake
