#include "settings/registry_store.h"

#include <algorithm>
#include <array>
#include <limits>

namespace sg::settings {

namespace {

using platform::KeyDisposition;
using platform::RegistryKey;
using platform::RegistryType;
using platform::WinError;
namespace key_access = platform::key_access;

// Writes go through a working buffer of this size, so a string keeps at most 9,999 characters.
constexpr std::size_t kWriteBufferSize = 10'000;
constexpr std::uint32_t kReadBufferSize = 1'000;
constexpr std::uint32_t kEnumNameBufferSize = 255;
constexpr std::uint32_t kEnumValueNameBufferSize = 16'383;
constexpr std::uint32_t kEnumDataBufferSize = 10'000;
constexpr std::int32_t kMaxSubkeysVisited = 101;

std::string SoftwarePath(std::string_view section) {
  return "Software\\" + std::string(section);
}

std::vector<std::uint8_t> StringData(std::string_view value) {
  const auto end = std::min({value.find('\0'), value.size(), kWriteBufferSize - 1});
  std::vector<std::uint8_t> data(value.begin(), value.begin() + end);
  data.push_back(0);
  return data;
}

std::vector<std::uint8_t> DwordData(std::uint32_t value) {
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// The text of returned data up to its first zero byte, never past the bytes returned.
std::string TextOf(const std::uint8_t* data, std::uint32_t size) {
  const auto* end = std::find(data, data + size, 0);
  return std::string(reinterpret_cast<const char*>(data), static_cast<std::size_t>(end - data));
}

// Closes the key of one operation on every way out of it.
class OpenedKey {
 public:
  explicit OpenedKey(platform::RegistryPort& registry) : registry_(registry) {}
  ~OpenedKey() {
    if (key_) registry_.CloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;

  bool Create(RegistryRoot root, const std::string& path) {
    KeyDisposition disposition;
    return Check(registry_.CreateKey(root, path, key_access::kSetValue, key_, &disposition));
  }
  bool Open(RegistryRoot root, const std::string& path, std::uint32_t access) {
    return Check(registry_.OpenKey(root, path, access, key_));
  }
  RegistryKey get() const { return key_; }

 private:
  bool Check(WinError result) {
    if (result != WinError::kSuccess) key_ = 0;
    return result == WinError::kSuccess;
  }

  platform::RegistryPort& registry_;
  RegistryKey key_ = 0;
};

}  // namespace

std::int32_t ParseLeadingInt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  std::int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = std::min<std::int64_t>(value * 10 + (text[i] - '0'),
                                   std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1);
  }
  if (negative) value = -value;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(
      value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

bool RegistryStore::WriteValue(RegistryRoot root, const std::string& path, std::string_view name,
                               RegistryType type, const std::vector<std::uint8_t>& data,
                               bool report_set_result) {
  OpenedKey key(registry_);
  if (!key.Create(root, path)) return false;
  const WinError set = registry_.SetValue(key.get(), std::string(name), type, data);
  return !report_set_result || set == WinError::kSuccess;
}

bool RegistryStore::WriteString(std::string_view section, std::string_view name,
                                std::string_view value) {
  return WriteValue(RegistryRoot::kCurrentUser, SoftwarePath(section), name, RegistryType::kString,
                    StringData(value), false);
}

bool RegistryStore::WriteDword(std::string_view section, std::string_view name,
                               std::uint32_t value) {
  return WriteValue(RegistryRoot::kCurrentUser, SoftwarePath(section), name, RegistryType::kDword,
                    DwordData(value), false);
}

bool RegistryStore::WriteMachineDword(std::string_view section, std::string_view name,
                                      std::uint32_t value) {
  return WriteValue(RegistryRoot::kLocalMachine, SoftwarePath(section), name, RegistryType::kDword,
                    DwordData(value), false);
}

bool RegistryStore::WriteMachineString(std::string_view path, std::string_view name,
                                       std::string_view value) {
  return WriteValue(RegistryRoot::kLocalMachine, std::string(path), name, RegistryType::kString,
                    StringData(value), true);
}

bool RegistryStore::DeleteMachineKey(std::string_view path, std::string_view subkey) {
  OpenedKey key(registry_);
  if (!key.Open(RegistryRoot::kLocalMachine, std::string(path), key_access::kAllAccess)) {
    return false;
  }
  return registry_.DeleteKey(key.get(), std::string(subkey)) == WinError::kSuccess;
}

bool RegistryStore::DeleteKey(std::string_view section, std::string_view subkey) {
  OpenedKey key(registry_);
  if (!key.Open(RegistryRoot::kCurrentUser, SoftwarePath(section), key_access::kAllAccess)) {
    return false;
  }
  return registry_.DeleteKey(key.get(), std::string(subkey)) == WinError::kSuccess;
}

std::string RegistryStore::ReadText(RegistryRoot root, const std::string& path,
                                    std::string_view name) {
  OpenedKey key(registry_);
  if (!key.Open(root, path, key_access::kQueryValue)) return {};
  std::array<std::uint8_t, kReadBufferSize> buffer{};
  std::uint32_t size = kReadBufferSize;
  if (registry_.QueryValue(key.get(), std::string(name), nullptr, buffer.data(), size) !=
      WinError::kSuccess) {
    return {};
  }
  std::string text = TextOf(buffer.data(), std::min(size, kReadBufferSize));
  return text == "-" ? std::string() : text;
}

std::string RegistryStore::ReadString(std::string_view section, std::string_view name,
                                      RegistryRoot root) {
  return ReadText(root, SoftwarePath(section), name);
}

std::string RegistryStore::ReadStringAt(RegistryRoot root, std::string_view path,
                                        std::string_view name) {
  return ReadText(root, std::string(path), name);
}

std::optional<std::string> RegistryStore::ReadExactString(RegistryRoot root, std::string_view path,
                                                          std::string_view name) {
  OpenedKey key(registry_);
  if (!key.Open(root, std::string(path), key_access::kQueryValue)) return std::nullopt;
  std::array<std::uint8_t, kReadBufferSize> buffer{};
  std::uint32_t size = kReadBufferSize;
  RegistryType type = RegistryType::kNone;
  if (registry_.QueryValue(key.get(), std::string(name), &type, buffer.data(), size) !=
          WinError::kSuccess ||
      type != RegistryType::kString || size > kReadBufferSize) {
    return std::nullopt;
  }
  // The terminator is counted when the writer stored it, and may be missing when it did not.
  if (size > 0 && buffer[size - 1] == 0) --size;
  std::string text = TextOf(buffer.data(), size);
  if (text.size() != size) return std::nullopt;
  return text;
}

std::uint32_t RegistryStore::ReadDword(std::string_view section, std::string_view name,
                                       RegistryRoot root) {
  constexpr std::uint32_t kUnreadable = 0xFFFFFFFF;
  OpenedKey key(registry_);
  if (!key.Open(root, SoftwarePath(section), key_access::kQueryValue)) return kUnreadable;
  std::array<std::uint8_t, 4> buffer{};
  std::uint32_t size = 4;
  if (registry_.QueryValue(key.get(), std::string(name), nullptr, buffer.data(), size) !=
      WinError::kSuccess) {
    return kUnreadable;
  }
  return buffer[0] | (buffer[1] << 8) | (buffer[2] << 16) | (std::uint32_t{buffer[3]} << 24);
}

std::int32_t RegistryStore::ReadInt(std::string_view section, std::string_view name) {
  const std::string text = ReadString(section, name);
  return text.empty() ? -1 : ParseLeadingInt(text);
}

void RegistryStore::Enumerate(RegistryRoot root, std::string_view path, EnumerateMode mode) {
  results_.clear();
  value_names_.clear();
  OpenedKey key(registry_);
  if (!key.Open(root, std::string(path), key_access::kAllAccess)) return;
  std::uint32_t subkey_count = 0;
  std::uint32_t value_count = 0;
  if (registry_.QueryInfoKey(key.get(), subkey_count, value_count) != WinError::kSuccess) return;

  // Counted per call: a store that enumerates twice lists the same keys both times.
  std::int32_t subkeys_visited = 0;
  std::vector<char> name(kEnumValueNameBufferSize);
  for (std::uint32_t index = 0; index < subkey_count; ++index) {
    if (subkeys_visited++ >= kMaxSubkeysVisited) break;
    std::uint32_t length = kEnumNameBufferSize;
    if (registry_.EnumKey(key.get(), index, name.data(), length) != WinError::kSuccess) continue;
    if (mode == EnumerateMode::kSubkeyNames) results_.emplace_back(name.data(), length);
  }

  std::vector<std::uint8_t> data(kEnumDataBufferSize);
  for (std::uint32_t index = 0; index < value_count; ++index) {
    std::uint32_t name_length = kEnumValueNameBufferSize;
    std::uint32_t data_size = kEnumDataBufferSize;
    if (registry_.EnumValue(key.get(), index, name.data(), name_length, nullptr, data.data(),
                            data_size) != WinError::kSuccess) {
      continue;
    }
    if (mode != EnumerateMode::kValueData) continue;
    if (std::string_view(name.data(), name_length) == "MRUList") continue;
    std::string text = TextOf(data.data(), std::min(data_size, kEnumDataBufferSize));
    if (text.empty()) continue;
    results_.push_back(std::move(text));
    value_names_.emplace_back(name.data(), name_length);
  }
}

}  // namespace sg::settings
