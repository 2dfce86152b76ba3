#include "platform/fake/fake_platform.h"

#include "platform/fake/fake_regedit.h"

namespace sg::platform::fake {

FakePlatform::FakePlatform() : FakePlatform(own_machine_) {}

FakePlatform::FakePlatform(FakeSystem::Machine& machine) : system(files, machine) {
  InstallFakeRegedit(shell, files, user_registry_, system.WindowsDirectory());
}

}  // namespace sg::platform::fake
