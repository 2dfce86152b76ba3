// The registry port's contract. Natively this runs on the fake registry, under Wine on the real
// one, so the fake is held to what Windows does.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/system_under_test.h"

namespace sg::platform {
namespace {

using testing::RegistryUnderTest;
using testing::ScratchKey;

std::vector<std::uint8_t> Sz(const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

class RegistryPortTest : public ::testing::Test {
 protected:
  RegistryKey Create(const std::string& below = "", std::uint32_t access = key_access::kAllAccess,
                     KeyDisposition* disposition = nullptr) {
    RegistryKey key = 0;
    const std::string path = below.empty() ? scratch_.path() : scratch_.path() + "\\" + below;
    EXPECT_EQ(registry_.CreateKey(scratch_.root(), path, access, key, disposition),
              WinError::kSuccess);
    return key;
  }

  RegistryPort& registry_ = RegistryUnderTest();
  ScratchKey scratch_;
};

TEST_F(RegistryPortTest, CreateReportsWhetherTheKeyIsNewAndOpenFailsForMissingKeys) {
  KeyDisposition disposition{};
  registry_.CloseKey(Create("", key_access::kAllAccess, &disposition));
  EXPECT_EQ(disposition, KeyDisposition::kCreatedNewKey);
  registry_.CloseKey(Create("", key_access::kAllAccess, &disposition));
  EXPECT_EQ(disposition, KeyDisposition::kOpenedExistingKey);

  RegistryKey key = 0;
  EXPECT_EQ(registry_.OpenKey(scratch_.root(), scratch_.path() + "\\Missing",
                              key_access::kQueryValue, key),
            WinError::kFileNotFound);
}

TEST_F(RegistryPortTest, QueryValueReportsTheSizeNeededWhenTheBufferIsTooSmall) {
  RegistryKey key = Create();
  ASSERT_EQ(registry_.SetValue(key, "Text", RegistryType::kString, Sz("hello")),
            WinError::kSuccess);

  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(key, "Text", nullptr, nullptr, size), WinError::kSuccess);
  EXPECT_EQ(size, 6u);

  std::uint8_t buffer[16] = {};
  size = 5;
  EXPECT_EQ(registry_.QueryValue(key, "Text", nullptr, buffer, size), WinError::kMoreData);
  EXPECT_EQ(size, 6u);

  size = 6;
  RegistryType type{};
  EXPECT_EQ(registry_.QueryValue(key, "Text", &type, buffer, size), WinError::kSuccess);
  EXPECT_EQ(type, RegistryType::kString);
  EXPECT_STREQ(reinterpret_cast<const char*>(buffer), "hello");

  EXPECT_EQ(registry_.QueryValue(key, "Missing", nullptr, buffer, size), WinError::kFileNotFound);
  registry_.CloseKey(key);
}

TEST_F(RegistryPortTest, NamesAreFoundInAnyLetterCaseAndKeepTheirOwn) {
  RegistryKey key = Create("MixedCase");
  const std::uint8_t dword[4] = {0x00, 0x04, 0, 0};
  ASSERT_EQ(registry_.SetValue(key, "Compatibility Flags", RegistryType::kDword, dword),
            WinError::kSuccess);
  registry_.CloseKey(key);

  ASSERT_EQ(registry_.OpenKey(scratch_.root(), scratch_.path() + "\\MIXEDcase",
                              key_access::kQueryValue, key),
            WinError::kSuccess);
  std::uint8_t buffer[4] = {};
  std::uint32_t size = 4;
  RegistryType type{};
  EXPECT_EQ(registry_.QueryValue(key, "COMPATIBILITY FLAGS", &type, buffer, size),
            WinError::kSuccess);
  EXPECT_EQ(type, RegistryType::kDword);
  EXPECT_EQ(buffer[1], 0x04);
  registry_.CloseKey(key);

  key = Create();
  char name[256];
  std::uint32_t length = sizeof name;
  ASSERT_EQ(registry_.EnumKey(key, 0, name, length), WinError::kSuccess);
  EXPECT_EQ(std::string(name, length), "MixedCase");
  registry_.CloseKey(key);
}

TEST_F(RegistryPortTest, AKeyOpenedForReadingCannotBeWritten) {
  registry_.CloseKey(Create());
  RegistryKey key = 0;
  ASSERT_EQ(registry_.OpenKey(scratch_.root(), scratch_.path(), key_access::kQueryValue, key),
            WinError::kSuccess);
  EXPECT_EQ(registry_.SetValue(key, "x", RegistryType::kString, Sz("1")), WinError::kAccessDenied);
  registry_.CloseKey(key);
}

TEST_F(RegistryPortTest, OnlyKeysWithoutSubkeysCanBeDeleted) {
  registry_.CloseKey(Create("Parent\\Child"));
  RegistryKey scratch = Create();
  EXPECT_NE(registry_.DeleteKey(scratch, "Parent"), WinError::kSuccess);
  EXPECT_EQ(registry_.DeleteKey(scratch, "Parent\\Child"), WinError::kSuccess);
  EXPECT_EQ(registry_.DeleteKey(scratch, "Parent"), WinError::kSuccess);
  EXPECT_EQ(registry_.DeleteKey(scratch, "Parent"), WinError::kFileNotFound);
  registry_.CloseKey(scratch);
}

TEST_F(RegistryPortTest, SubkeysEnumerateInNameOrderAndEveryValueOnce) {
  for (const char* name : {"b", "A", "c"}) registry_.CloseKey(Create(name));
  RegistryKey key = Create();
  for (const char* name : {"zeta", "alpha", "mid"}) {
    ASSERT_EQ(registry_.SetValue(key, name, RegistryType::kString, Sz(name)), WinError::kSuccess);
  }

  std::uint32_t subkeys = 0, values = 0;
  ASSERT_EQ(registry_.QueryInfoKey(key, subkeys, values), WinError::kSuccess);
  EXPECT_EQ(subkeys, 3u);
  EXPECT_EQ(values, 3u);

  std::vector<std::string> names;
  char name[256];
  for (std::uint32_t i = 0;; ++i) {
    std::uint32_t length = sizeof name;
    const WinError result = registry_.EnumKey(key, i, name, length);
    if (result == WinError::kNoMoreItems) break;
    ASSERT_EQ(result, WinError::kSuccess);
    names.emplace_back(name, length);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "c"}));

  names.clear();
  for (std::uint32_t i = 0;; ++i) {
    std::uint32_t length = sizeof name;
    std::uint8_t data[16];
    std::uint32_t size = sizeof data;
    const WinError result = registry_.EnumValue(key, i, name, length, nullptr, data, size);
    if (result == WinError::kNoMoreItems) break;
    ASSERT_EQ(result, WinError::kSuccess);
    names.emplace_back(name, length);
  }
  // Windows lists values in the order they were set, Wine by name: neither may be relied on.
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"alpha", "mid", "zeta"}));
  registry_.CloseKey(key);
}

TEST_F(RegistryPortTest, EnumerationWithTooSmallBuffersReportsMoreData) {
  registry_.CloseKey(Create("LongSubkeyName"));
  RegistryKey key = Create();
  ASSERT_EQ(registry_.SetValue(key, "v", RegistryType::kString, Sz("0123456789")),
            WinError::kSuccess);

  char name[8];
  std::uint32_t length = sizeof name;
  EXPECT_EQ(registry_.EnumKey(key, 0, name, length), WinError::kMoreData);

  char value_name[16];
  std::uint32_t value_name_length = sizeof value_name;
  std::uint8_t data[4];
  std::uint32_t size = sizeof data;
  EXPECT_EQ(registry_.EnumValue(key, 0, value_name, value_name_length, nullptr, data, size),
            WinError::kMoreData);
  EXPECT_EQ(size, 11u);
  registry_.CloseKey(key);
}

TEST_F(RegistryPortTest, DeletedValuesAreGone) {
  RegistryKey key = Create();
  ASSERT_EQ(registry_.SetValue(key, "v", RegistryType::kString, Sz("x")), WinError::kSuccess);
  EXPECT_EQ(registry_.DeleteValue(key, "V"), WinError::kSuccess);
  EXPECT_EQ(registry_.DeleteValue(key, "v"), WinError::kFileNotFound);
  std::uint32_t size = 0;
  EXPECT_EQ(registry_.QueryValue(key, "v", nullptr, nullptr, size), WinError::kFileNotFound);
  registry_.CloseKey(key);
}

}  // namespace
}  // namespace sg::platform
