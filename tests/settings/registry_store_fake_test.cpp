// What only the fake registry can show: keys closed on every path, and a limited user.
#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"
#include "settings/registry_store.h"

namespace sg::settings {
namespace {

using platform::RegistryRoot;

TEST(RegistryStoreOnFakeTest, EveryOperationClosesTheKeyItOpened) {
  platform::fake::FakePlatform system;
  RegistryStore store(system.ports().registry);
  system.registry.PutString(RegistryRoot::kCurrentUser, "Software\\Snapgate!\\Child", "v", "1");

  store.WriteString("Snapgate!", "a", "1");
  store.WriteDword("Snapgate!", "b", 2);
  store.WriteMachineDword("Snapgate!", "c", 3);
  store.WriteMachineString("Software\\Snapgate!", "d", "4");
  store.ReadString("Snapgate!", "a");
  store.ReadString("Snapgate!", "missing");
  store.ReadStringAt(RegistryRoot::kLocalMachine, "Software\\Snapgate!", "d");
  store.ReadDword("Snapgate!", "b");
  store.ReadInt("Snapgate!", "a");
  store.Enumerate(RegistryRoot::kCurrentUser, "Software\\Snapgate!", EnumerateMode::kValueData);
  store.DeleteKey("Snapgate!", "Child");
  store.DeleteKey("Snapgate!", "Child");
  store.DeleteMachineKey("Software", "Snapgate!");
  EXPECT_EQ(system.registry.OpenHandleCount(), 0u);
}

TEST(RegistryStoreOnFakeTest, ALimitedUserReadsButCannotChangeMachineSettings) {
  platform::fake::FakePlatform system;
  system.registry.PutString(RegistryRoot::kLocalMachine, "Software\\Vendor\\Key", "v", "text");
  system.SetLimitedUser(true);
  RegistryStore store(system.ports().registry);

  EXPECT_FALSE(store.WriteMachineString("Software\\SnapgateTestValue", "TestValue", "1"));
  EXPECT_FALSE(store.WriteMachineDword("Vendor", "Flags", 1));
  EXPECT_FALSE(store.DeleteMachineKey("Software\\Vendor", "Key"));
  EXPECT_EQ(store.ReadStringAt(RegistryRoot::kLocalMachine, "Software\\Vendor\\Key", "v"), "text");
  store.Enumerate(RegistryRoot::kLocalMachine, "Software\\Vendor\\Key", EnumerateMode::kValueData);
  EXPECT_TRUE(store.Results().empty()) << "enumeration needs full access";
  EXPECT_TRUE(store.WriteString("Snapgate!", "bMinimized", "1"));
  EXPECT_FALSE(system.registry.HasKey(RegistryRoot::kLocalMachine, "Software\\SnapgateTestValue"));
}

}  // namespace
}  // namespace sg::settings
