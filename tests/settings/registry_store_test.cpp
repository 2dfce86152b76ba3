// The settings store's rules, natively on the fake registry and under Wine on the real one.
#include "settings/registry_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/system_under_test.h"

namespace sg::settings {
namespace {

using platform::KeyDisposition;
using platform::RegistryKey;
using platform::RegistryType;
using platform::WinError;
using testing::RegistryUnderTest;
using testing::ScratchKey;
namespace key_access = platform::key_access;

class RegistryStoreTest : public ::testing::Test {
 protected:
  void PutValue(const std::string& below, const std::string& name, RegistryType type,
                const std::vector<std::uint8_t>& data) {
    RegistryKey key = 0;
    const std::string path = below.empty() ? scratch_.path() : scratch_.path() + "\\" + below;
    ASSERT_EQ(registry_.CreateKey(scratch_.root(), path, key_access::kAllAccess, key, nullptr),
              WinError::kSuccess);
    ASSERT_EQ(registry_.SetValue(key, name, type, data), WinError::kSuccess);
    registry_.CloseKey(key);
  }
  void PutString(const std::string& below, const std::string& name, const std::string& text) {
    std::vector<std::uint8_t> data(text.begin(), text.end());
    data.push_back(0);
    PutValue(below, name, RegistryType::kString, data);
  }
  std::uint32_t StoredSize(const std::string& name) {
    RegistryKey key = 0;
    EXPECT_EQ(registry_.OpenKey(scratch_.root(), scratch_.path(), key_access::kQueryValue, key),
              WinError::kSuccess);
    std::uint32_t size = 0;
    EXPECT_EQ(registry_.QueryValue(key, name, nullptr, nullptr, size), WinError::kSuccess);
    registry_.CloseKey(key);
    return size;
  }

  platform::RegistryPort& registry_ = RegistryUnderTest();
  ScratchKey scratch_;
  RegistryStore store_{registry_};
};

TEST_F(RegistryStoreTest, WritingIntoAMissingSectionCreatesItAndReadsBack) {
  EXPECT_TRUE(store_.WriteString(scratch_.section(), "m_TotalBlocks", "42"));
  EXPECT_EQ(store_.ReadString(scratch_.section(), "m_TotalBlocks"), "42");
  EXPECT_EQ(store_.ReadInt(scratch_.section(), "m_TotalBlocks"), 42);
  EXPECT_EQ(StoredSize("m_TotalBlocks"), 3u) << "the terminating zero is stored";
}

TEST_F(RegistryStoreTest, ADashReadsAsEmptyAndAsMinusOne) {
  store_.WriteString(scratch_.section(), "bMinimized", "-");
  EXPECT_EQ(store_.ReadString(scratch_.section(), "bMinimized"), "");
  EXPECT_EQ(store_.ReadInt(scratch_.section(), "bMinimized"), -1);
  store_.WriteString(scratch_.section(), "two", "--");
  EXPECT_EQ(store_.ReadString(scratch_.section(), "two"), "--");
}

TEST_F(RegistryStoreTest, StringsOfAThousandCharactersOrMoreReadAsEmpty) {
  const std::string fits(999, 'x');
  const std::string too_long(1000, 'y');
  store_.WriteString(scratch_.section(), "fits", fits);
  store_.WriteString(scratch_.section(), "too long", too_long);
  EXPECT_EQ(store_.ReadString(scratch_.section(), "fits"), fits);
  EXPECT_EQ(store_.ReadString(scratch_.section(), "too long"), "");
  EXPECT_EQ(store_.ReadInt(scratch_.section(), "too long"), -1);
}

TEST_F(RegistryStoreTest, WritesKeepAtMost9999Characters) {
  store_.WriteString(scratch_.section(), "max", std::string(9999, 'a'));
  EXPECT_EQ(StoredSize("max"), 10000u);
  store_.WriteString(scratch_.section(), "over", std::string(12000, 'b'));
  EXPECT_EQ(StoredSize("over"), 10000u);
}

TEST_F(RegistryStoreTest, NumbersFollowAtoiRules) {
  const std::string section = scratch_.section();
  store_.WriteString(section, "digits then letters", "12abc");
  store_.WriteString(section, "letters", "abc");
  store_.WriteString(section, "signed", "  -7");
  store_.WriteString(section, "huge", "99999999999");
  EXPECT_EQ(store_.ReadInt(section, "digits then letters"), 12);
  EXPECT_EQ(store_.ReadInt(section, "letters"), 0);
  EXPECT_EQ(store_.ReadInt(section, "signed"), -7);
  EXPECT_EQ(store_.ReadInt(section, "huge"), 2147483647);
  EXPECT_EQ(store_.ReadInt(section, "absent"), -1);
  EXPECT_EQ(store_.ReadInt(section + "\\missing key", "absent"), -1);
}

TEST_F(RegistryStoreTest, ValuesOfOtherTypesReadAsTheirBytes) {
  PutValue("", "dword", RegistryType::kDword, {'1', 0, 0, 0});
  PutValue("", "binary", RegistryType::kBinary, std::vector<std::uint8_t>(1000, 'z'));
  EXPECT_EQ(store_.ReadString(scratch_.section(), "dword"), "1");
  EXPECT_EQ(store_.ReadString(scratch_.section(), "binary"), std::string(1000, 'z'));
}

TEST_F(RegistryStoreTest, AnExactStringIsTextOfItsOwnTypeWholeOrNothing) {
  PutValue("", "unterminated", RegistryType::kString, {'C', ':'});
  PutValue("", "expandable", RegistryType::kExpandString, {'C', ':', 0});
  PutValue("", "zero inside", RegistryType::kString, {'C', ':', 0, 'x', 0});
  PutString("", "too long", std::string(1000, 'y'));
  EXPECT_EQ(store_.ReadExactString(scratch_.root(), scratch_.path(), "unterminated"), "C:");
  for (const char* odd : {"expandable", "zero inside", "too long", "absent"}) {
    EXPECT_EQ(store_.ReadExactString(scratch_.root(), scratch_.path(), odd), std::nullopt) << odd;
  }
}

TEST_F(RegistryStoreTest, DwordsReadBackAndUnreadableOnesGiveAllBitsSet) {
  EXPECT_TRUE(store_.WriteDword(scratch_.section(), "Use My Stylesheet", 0x400));
  EXPECT_EQ(store_.ReadDword(scratch_.section(), "Use My Stylesheet"), 0x400u);
  EXPECT_EQ(store_.ReadDword(scratch_.section(), "absent"), 0xFFFFFFFFu);
  PutValue("", "eight bytes", RegistryType::kBinary, {1, 2, 3, 4, 5, 6, 7, 8});
  EXPECT_EQ(store_.ReadDword(scratch_.section(), "eight bytes"), 0xFFFFFFFFu);
}

TEST_F(RegistryStoreTest, ReadStringAtReadsAnyPathBelowAGivenRoot) {
  PutString("Main", "Start Page", "about:blank");
  EXPECT_EQ(store_.ReadStringAt(scratch_.root(), scratch_.path() + "\\Main", "Start Page"),
            "about:blank");
  EXPECT_EQ(store_.ReadString(scratch_.section() + "\\Main", "Start Page", scratch_.root()),
            "about:blank");
}

TEST_F(RegistryStoreTest, DeleteKeyRemovesASubkeyOfASection) {
  PutString("Child", "v", "1");
  EXPECT_TRUE(store_.DeleteKey(scratch_.section(), "Child"));
  EXPECT_FALSE(store_.DeleteKey(scratch_.section(), "Child"));
  EXPECT_FALSE(store_.DeleteKey(scratch_.section() + "\\missing", "Child"));
}

TEST_F(RegistryStoreTest, EnumeratingSubkeysStopsAfter101EveryTime) {
  std::vector<std::string> expected;
  for (int i = 0; i < 150; ++i) {
    char name[8];
    std::snprintf(name, sizeof name, "k%03d", i);
    RegistryKey key = 0;
    ASSERT_EQ(registry_.CreateKey(scratch_.root(), scratch_.path() + "\\" + name,
                                  key_access::kAllAccess, key, nullptr),
              WinError::kSuccess);
    registry_.CloseKey(key);
    if (i < 101) expected.push_back(name);
  }
  store_.Enumerate(scratch_.root(), scratch_.path(), EnumerateMode::kSubkeyNames);
  EXPECT_EQ(store_.Results(), expected);
  store_.Enumerate(scratch_.root(), scratch_.path(), EnumerateMode::kSubkeyNames);
  EXPECT_EQ(store_.Results(), expected) << "a second listing by the same store is the same";
}

TEST_F(RegistryStoreTest, EnumeratingValuesSkipsMruListAndEmptyData) {
  PutString("", "a", "first");
  PutString("", "MRUList", "ab");
  PutString("", "empty", "");
  PutString("", "b", "second");
  store_.Enumerate(scratch_.root(), scratch_.path(), EnumerateMode::kValueData);
  EXPECT_EQ(store_.Results(), (std::vector<std::string>{"first", "second"}));

  PutString("Other", "mrulist", "kept: the name is compared exactly");
  store_.Enumerate(scratch_.root(), scratch_.path() + "\\Other", EnumerateMode::kValueData);
  EXPECT_EQ(store_.Results(), (std::vector<std::string>{"kept: the name is compared exactly"}));
}

TEST_F(RegistryStoreTest, EnumeratingAMissingKeyEmptiesTheEarlierResult) {
  PutString("", "a", "first");
  store_.Enumerate(scratch_.root(), scratch_.path(), EnumerateMode::kValueData);
  ASSERT_EQ(store_.Results().size(), 1u);
  store_.Enumerate(scratch_.root(), scratch_.path() + "\\missing", EnumerateMode::kValueData);
  EXPECT_TRUE(store_.Results().empty());
}

TEST(RegistryStoreMachineTest, MachineStringsAreWrittenAndKeysDeleted) {
  ScratchKey machine(platform::RegistryRoot::kLocalMachine);
  RegistryStore store(RegistryUnderTest());
  ASSERT_TRUE(store.WriteMachineString(machine.path() + "\\Probe", "TestValue", "1"));
  EXPECT_EQ(store.ReadStringAt(platform::RegistryRoot::kLocalMachine, machine.path() + "\\Probe",
                               "TestValue"),
            "1");
  EXPECT_TRUE(store.WriteMachineDword(machine.section(), "Flags", 7));
  EXPECT_EQ(store.ReadDword(machine.section(), "Flags", platform::RegistryRoot::kLocalMachine), 7u);
  EXPECT_TRUE(store.DeleteMachineKey(machine.path(), "Probe"));
  EXPECT_FALSE(store.DeleteMachineKey(machine.path(), "Probe"));
}

}  // namespace
}  // namespace sg::settings
