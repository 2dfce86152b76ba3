#include <atomic>
#include <chrono>

#include "platform/fake/registry_tree.h"
#include "support/system_under_test.h"

namespace sg::testing {

ScratchKey::ScratchKey(platform::RegistryRoot root) : root_(root) {
  static std::atomic<int> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  path_ = "Software\\SnapgateTests\\" + std::to_string(stamp) + "-" + std::to_string(++counter);
}

ScratchKey::~ScratchKey() {
  platform::fake::DeleteKeyTree(RegistryUnderTest(), root_, path_);
}

}  // namespace sg::testing
