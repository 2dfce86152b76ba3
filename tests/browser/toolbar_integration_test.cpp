#include "browser/toolbar_integration.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace sg::browser {
namespace {

constexpr auto kUser = platform::RegistryRoot::kCurrentUser;
const std::string kKey =
    "Software\\Microsoft\\Internet Explorer\\Extensions\\{3C75C1F5-6D83-11d6-9855-00065B6980E9}";

class ToolbarIntegrationTest : public ::testing::Test {
 protected:
  std::optional<std::string> Value(const std::string& name) {
    return system_.registry.GetString(kUser, kKey, name);
  }
  platform::fake::FakePlatform system_;
};

TEST_F(ToolbarIntegrationTest, TurningItOnRegistersTheButtonAndMenuOnce) {
  ToolbarIntegration(system_.ports(), true, nullptr);
  EXPECT_EQ(Value("Default Visible"), "Yes");
  EXPECT_EQ(Value("ButtonText"), "Snapgate!");
  EXPECT_EQ(Value("HotIcon"), "C:\\Program Files\\Snapgate!\\snapgtactive.ico");
  EXPECT_EQ(Value("Icon"), "C:\\Program Files\\Snapgate!\\snapgtoff.ico");
  EXPECT_EQ(Value("CLSID"), "{1FBA04EE-3024-11D2-8F1F-0000F87ABD16}");
  EXPECT_EQ(Value("Exec"), "C:\\Program Files\\Snapgate!\\Snapgate! 3.293.exe");
  EXPECT_EQ(Value("MenuCustomize"), "tools");
  EXPECT_EQ(Value("MenuText"), "Snapgate!");
  EXPECT_EQ(Value("MenuStatusBar"), "Opens the Snapgate! settings window.");
  EXPECT_EQ(system_.registry.GetString(kUser, "Software\\Snapgate!", "m_bIntegrateIE"), "1");
}

TEST_F(ToolbarIntegrationTest, AnExistingRegistrationOnlyHasItsProgramRepointed) {
  system_.registry.PutString(kUser, kKey, "Default Visible", "Yes");
  system_.registry.PutString(kUser, kKey, "Exec", "C:\\Old\\Snapgate! 3.100.exe");
  ToolbarIntegration(system_.ports(), true, nullptr);
  EXPECT_EQ(Value("Exec"), "C:\\Program Files\\Snapgate!\\Snapgate! 3.293.exe");
  EXPECT_FALSE(Value("ButtonText")) << "nothing else is repaired";

  system_.registry.PutString(kUser, kKey, "Exec", "D:\\elsewhere\\snapgate! 3.293.EXE");
  ToolbarIntegration(system_.ports(), true, nullptr);
  EXPECT_EQ(Value("Exec"), "D:\\elsewhere\\snapgate! 3.293.EXE") << "this version, any case";
}

TEST_F(ToolbarIntegrationTest, TurningItOffRemovesTheKeyAndSaysNothingWhenThereIsNone) {
  ToolbarIntegration(system_.ports(), true, nullptr);
  ToolbarIntegration(system_.ports(), false, nullptr);
  EXPECT_FALSE(system_.registry.HasKey(kUser, kKey));
  ToolbarIntegration(system_.ports(), false, nullptr);
  EXPECT_EQ(system_.registry.GetString(kUser, "Software\\Snapgate!", "m_bIntegrateIE"), "0");
  EXPECT_TRUE(system_.dialogs.MessageBoxes().empty());
}

// A registry that refuses to create keys below the extensions' key.
class RefusingRegistry final : public platform::RegistryPort {
 public:
  explicit RefusingRegistry(platform::RegistryPort& inner) : inner_(inner) {}
  platform::WinError CreateKey(platform::RegistryRoot root, const std::string& path,
                               std::uint32_t access, platform::RegistryKey& key,
                               platform::KeyDisposition* disposition) override {
    if (path.find("Extensions") != std::string::npos && ++creates_ > allowed) {
      return platform::WinError::kAccessDenied;
    }
    return inner_.CreateKey(root, path, access, key, disposition);
  }
  platform::WinError OpenKey(platform::RegistryRoot root, const std::string& path,
                             std::uint32_t access, platform::RegistryKey& key) override {
    return inner_.OpenKey(root, path, access, key);
  }
  platform::WinError CloseKey(platform::RegistryKey key) override { return inner_.CloseKey(key); }
  platform::WinError SetValue(platform::RegistryKey key, const std::string& name,
                              platform::RegistryType type,
                              std::span<const std::uint8_t> data) override {
    return inner_.SetValue(key, name, type, data);
  }
  platform::WinError QueryValue(platform::RegistryKey key, const std::string& name,
                                platform::RegistryType* type, std::uint8_t* data,
                                std::uint32_t& size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  platform::WinError DeleteValue(platform::RegistryKey key, const std::string& name) override {
    return inner_.DeleteValue(key, name);
  }
  platform::WinError DeleteKey(platform::RegistryKey parent, const std::string& subkey) override {
    return inner_.DeleteKey(parent, subkey);
  }
  platform::WinError QueryInfoKey(platform::RegistryKey key, std::uint32_t& subkeys,
                                  std::uint32_t& values) override {
    return inner_.QueryInfoKey(key, subkeys, values);
  }
  platform::WinError EnumKey(platform::RegistryKey key, std::uint32_t index, char* name,
                             std::uint32_t& length) override {
    return inner_.EnumKey(key, index, name, length);
  }
  platform::WinError EnumValue(platform::RegistryKey key, std::uint32_t index, char* name,
                               std::uint32_t& length, platform::RegistryType* type,
                               std::uint8_t* data, std::uint32_t& size) override {
    return inner_.EnumValue(key, index, name, length, type, data, size);
  }
  int allowed = 0;

 private:
  platform::RegistryPort& inner_;
  int creates_ = 0;
};

TEST_F(ToolbarIntegrationTest, AWriteThatFailsIsReportedByNameAndStopsTheRest) {
  RefusingRegistry refusing(system_.registry);
  refusing.allowed = 4;  // "Default Visible" to "Icon" go in, "CLSID" fails
  platform::Platform ports = system_.ports();
  platform::Platform with_refusal{refusing,        ports.files,  ports.resources, ports.shell,
                                  ports.windows,   ports.system, ports.dialogs,   ports.tray,
                                  ports.processes, ports.hooks,  ports.browsers,  ports.url_cache,
                                  ports.profile,   ports.crypto, ports.internet};
  ToolbarIntegration(with_refusal, true, nullptr);
  ASSERT_EQ(system_.dialogs.MessageBoxes().size(), 1u);
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].text, "Could not create IE integration key CLS.");
  EXPECT_EQ(system_.dialogs.MessageBoxes()[0].caption, "Snapgate!");
  EXPECT_EQ(Value("Icon"), "C:\\Program Files\\Snapgate!\\snapgtoff.ico");
  EXPECT_FALSE(Value("Exec"));
}

}  // namespace
}  // namespace sg::browser
