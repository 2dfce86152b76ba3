#include "platform/fake/fake_regedit.h"

#include <gtest/gtest.h>

#include "platform/fake/fake_platform.h"

namespace sg::platform::fake {
namespace {

constexpr auto kUser = RegistryRoot::kCurrentUser;

TEST(FakeRegeditTest, ImportsKeysAndValuesOfEveryKind) {
  FakeRegistry registry;
  const auto result = ImportRegText(
      "REGEDIT4\r\n\r\n"
      "; a comment\r\n"
      "[HKEY_CURRENT_USER\\Software\\Test]\r\n"
      "\"Text\"=\"say \\\"hi\\\" C:\\\\dir\"\r\n"
      "@=\"default\"\r\n"
      "\"Flags\"=dword:00000400\r\n"
      "\"Bin\"=hex:01,02,\\\r\n"
      "  03\r\n"
      "\"Expand\"=hex(2):41,00\r\n",
      registry);
  EXPECT_TRUE(result.header_ok);
  EXPECT_EQ(result.failures, 0);
  EXPECT_EQ(registry.GetString(kUser, "Software\\Test", "Text"), "say \"hi\" C:\\dir");
  EXPECT_EQ(registry.GetString(kUser, "Software\\Test", ""), "default");
  EXPECT_EQ(registry.Get(kUser, "Software\\Test", "Flags"),
            (RegistryValue{RegistryType::kDword, {0x00, 0x04, 0, 0}}));
  EXPECT_EQ(registry.Get(kUser, "Software\\Test", "Bin"),
            (RegistryValue{RegistryType::kBinary, {1, 2, 3}}));
  EXPECT_EQ(registry.Get(kUser, "Software\\Test", "Expand")->type, RegistryType::kExpandString);
}

TEST(FakeRegeditTest, DeletesWholeKeysAndSingleValues) {
  FakeRegistry registry;
  registry.PutString(kUser, "Software\\Gone\\Deep", "v", "1");
  registry.PutString(kUser, "Software\\Kept", "drop", "1");
  registry.PutString(kUser, "Software\\Kept", "keep", "1");
  ImportRegText(
      "REGEDIT4\n[-HKEY_CURRENT_USER\\Software\\Gone]\n"
      "[HKEY_CURRENT_USER\\Software\\Kept]\n\"drop\"=-\n",
      registry);
  EXPECT_FALSE(registry.HasKey(kUser, "Software\\Gone"));
  EXPECT_FALSE(registry.Get(kUser, "Software\\Kept", "drop"));
  EXPECT_TRUE(registry.Get(kUser, "Software\\Kept", "keep"));
  EXPECT_EQ(registry.OpenHandleCount(), 0u);
}

TEST(FakeRegeditTest, TextWithoutAHeaderOrWithBadLinesChangesOnlyWhatIsValid) {
  FakeRegistry registry;
  EXPECT_FALSE(
      ImportRegText("[HKEY_CURRENT_USER\\Software\\X]\n\"a\"=\"1\"\n", registry).header_ok);
  EXPECT_FALSE(registry.HasKey(kUser, "Software\\X"));

  const auto result = ImportRegText(
      "REGEDIT4\n\"orphan\"=\"1\"\n[HKEY_NOWHERE\\X]\n[HKEY_CURRENT_USER\\Software\\X]\n"
      "\"bad\"=dword:xyz\n\"unterminated=\"1\n\"good\"=\"1\"\n",
      registry);
  EXPECT_EQ(result.failures, 4);
  EXPECT_EQ(registry.GetString(kUser, "Software\\X", "good"), "1");
}

TEST(FakeRegeditTest, TheRegistryEditorImportsSilentlyButRefusesUnknownSwitches) {
  FakePlatform system;
  system.files.PutFile("import.reg",
                       "REGEDIT4\r\n[HKEY_CURRENT_USER\\Software\\R]\r\n\"a\"=\"1\"\r\n");
  ShellExecuteRequest request;
  request.file = "regedit";
  request.parameters = " /s \"import.reg\"";
  EXPECT_LE(system.shell.Execute(request).instance, 32) << "found by its folder only";
  request.file = "C:\\WINDOWS\\regedit";
  request.parameters = " /i /s \"import.reg\"";
  system.shell.Execute(request);
  EXPECT_FALSE(system.registry.HasKey(kUser, "Software\\R"));
  request.parameters = " /s \"import.reg\"";
  EXPECT_GT(system.shell.Execute(request).instance, 32);
  EXPECT_EQ(system.registry.GetString(kUser, "Software\\R", "a"), "1");
}

}  // namespace
}  // namespace sg::platform::fake
