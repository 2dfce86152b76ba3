#include "tools/registry_value_watch.h"

#include <cstdint>

namespace sg::tools {

namespace {

using platform::RegistryKey;
using platform::WinError;

// Far above the 10,000 bytes the program ever writes; a larger value is not read.
constexpr std::uint32_t kLargestValue = 1u << 20;

}  // namespace

StoredValue ReadStoredValue(platform::RegistryPort& registry, const ValueAddress& address) {
  RegistryKey key = 0;
  if (registry.OpenKey(address.root, address.path, platform::key_access::kQueryValue, key) !=
      WinError::kSuccess) {
    return {};
  }
  StoredValue value;
  std::uint32_t size = 0;
  platform::RegistryType type = platform::RegistryType::kNone;
  if (registry.QueryValue(key, address.name, &type, nullptr, size) == WinError::kSuccess &&
      size <= kLargestValue) {
    std::string data(size, '\0');
    if (registry.QueryValue(key, address.name, &type, reinterpret_cast<std::uint8_t*>(data.data()),
                            size) == WinError::kSuccess) {
      data.resize(size);
      value = {true, type, std::move(data)};
    }
  }
  registry.CloseKey(key);
  return value;
}

bool WriteStoredValue(platform::RegistryPort& registry, const ValueAddress& address,
                      const StoredValue& value) {
  RegistryKey key = 0;
  if (!value.present) {
    if (registry.OpenKey(address.root, address.path, platform::key_access::kSetValue, key) !=
        WinError::kSuccess) {
      // No key, so no value either: nothing to take away.
      return true;
    }
    const WinError deleted = registry.DeleteValue(key, address.name);
    registry.CloseKey(key);
    return deleted == WinError::kSuccess || deleted == WinError::kFileNotFound;
  }
  if (registry.CreateKey(address.root, address.path, platform::key_access::kSetValue, key,
                         nullptr) != WinError::kSuccess) {
    return false;
  }
  const WinError set = registry.SetValue(
      key, address.name, value.type,
      {reinterpret_cast<const std::uint8_t*>(value.data.data()), value.data.size()});
  registry.CloseKey(key);
  return set == WinError::kSuccess;
}

RegistryValueWatch::RegistryValueWatch(platform::RegistryPort& registry,
                                       std::vector<ValueAddress> addresses)
    : registry_(registry), addresses_(std::move(addresses)) {
  for (const ValueAddress& address : addresses_) {
    before_.push_back(ReadStoredValue(registry_, address));
  }
}

std::vector<RegistryValueChange> RegistryValueWatch::Changed() const {
  std::vector<RegistryValueChange> changes;
  for (std::size_t i = 0; i < addresses_.size(); ++i) {
    const StoredValue now = ReadStoredValue(registry_, addresses_[i]);
    const StoredValue& before = before_[i];
    if (now == before) continue;
    changes.push_back({addresses_[i].root, addresses_[i].path, addresses_[i].name, before.present,
                       before.type, before.data, now.present, now.type, now.data});
  }
  return changes;
}

}  // namespace sg::tools
