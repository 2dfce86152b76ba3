#include "platform/fake/limited_user_registry.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_registry.h"

namespace sg::platform::fake {
namespace {

class LimitedUserRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    registry_.PutString(RegistryRoot::kLocalMachine, "Software\\Existing", "v", "machine");
    user_.SetLimited(true);
  }
  FakeRegistry registry_;
  LimitedUserRegistry user_{registry_};
};

TEST_F(LimitedUserRegistryTest, MachineKeysCannotBeCreatedWrittenOrFullyOpened) {
  RegistryKey key = 0;
  EXPECT_EQ(user_.CreateKey(RegistryRoot::kLocalMachine, "Software\\New", key_access::kSetValue,
                            key, nullptr),
            WinError::kAccessDenied);
  EXPECT_EQ(user_.CreateKey(RegistryRoot::kLocalMachine, "Software\\Existing",
                            key_access::kSetValue, key, nullptr),
            WinError::kAccessDenied);
  EXPECT_EQ(user_.OpenKey(RegistryRoot::kLocalMachine, "Software", key_access::kAllAccess, key),
            WinError::kAccessDenied);
  EXPECT_FALSE(registry_.HasKey(RegistryRoot::kLocalMachine, "Software\\New"));
}

TEST_F(LimitedUserRegistryTest, MachineKeysStillReadAndNothingThereCanBeDeleted) {
  RegistryKey key = 0;
  ASSERT_EQ(user_.OpenKey(RegistryRoot::kLocalMachine, "Software", key_access::kRead, key),
            WinError::kSuccess);
  EXPECT_EQ(user_.DeleteKey(key, "Existing"), WinError::kAccessDenied);
  EXPECT_EQ(user_.SetValue(key, "x", RegistryType::kString, {}), WinError::kAccessDenied);
  user_.CloseKey(key);
  EXPECT_TRUE(registry_.HasKey(RegistryRoot::kLocalMachine, "Software\\Existing"));
}

TEST_F(LimitedUserRegistryTest, TheUsersOwnKeysAndAnAdministratorAreUnaffected) {
  RegistryKey key = 0;
  ASSERT_EQ(user_.CreateKey(RegistryRoot::kCurrentUser, "Software\\Snapgate!",
                            key_access::kAllAccess, key, nullptr),
            WinError::kSuccess);
  user_.CloseKey(key);
  user_.SetLimited(false);
  ASSERT_EQ(user_.CreateKey(RegistryRoot::kLocalMachine, "Software\\New", key_access::kSetValue,
                            key, nullptr),
            WinError::kSuccess);
  user_.CloseKey(key);
  EXPECT_EQ(registry_.OpenHandleCount(), 0u);
}

}  // namespace
}  // namespace sg::platform::fake
