#pragma once

#include <mutex>
#include <set>

#include "platform/ports/registry.h"

namespace sg::platform::fake {

// Puts a user without administrator rights in front of any registry: while limited, keys of
// HKEY_LOCAL_MACHINE open for reading only, so nothing there can be created, written or deleted.
class LimitedUserRegistry final : public RegistryPort {
 public:
  explicit LimitedUserRegistry(RegistryPort& inner) : inner_(inner) {}

  void SetLimited(bool limited) { limited_ = limited; }
  bool IsLimited() const { return limited_; }

  WinError CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                     RegistryKey& key, KeyDisposition* disposition) override;
  WinError OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                   RegistryKey& key) override;
  WinError CloseKey(RegistryKey key) override;
  WinError SetValue(RegistryKey key, const std::string& name, RegistryType type,
                    std::span<const std::uint8_t> data) override {
    return inner_.SetValue(key, name, type, data);
  }
  WinError QueryValue(RegistryKey key, const std::string& name, RegistryType* type,
                      std::uint8_t* data, std::uint32_t& size) override {
    return inner_.QueryValue(key, name, type, data, size);
  }
  WinError DeleteValue(RegistryKey key, const std::string& name) override {
    return inner_.DeleteValue(key, name);
  }
  WinError DeleteKey(RegistryKey parent, const std::string& subkey) override;
  WinError QueryInfoKey(RegistryKey key, std::uint32_t& subkeys, std::uint32_t& values) override {
    return inner_.QueryInfoKey(key, subkeys, values);
  }
  WinError EnumKey(RegistryKey key, std::uint32_t index, char* name,
                   std::uint32_t& name_length) override {
    return inner_.EnumKey(key, index, name, name_length);
  }
  WinError EnumValue(RegistryKey key, std::uint32_t index, char* name, std::uint32_t& name_length,
                     RegistryType* type, std::uint8_t* data, std::uint32_t& data_size) override {
    return inner_.EnumValue(key, index, name, name_length, type, data, data_size);
  }

 private:
  bool Denies(RegistryRoot root, std::uint32_t access) const {
    return limited_ && root == RegistryRoot::kLocalMachine && (access & key_access::kAnyWrite);
  }
  void Remember(RegistryRoot root, RegistryKey key);

  RegistryPort& inner_;
  bool limited_ = false;
  std::mutex mutex_;
  std::set<RegistryKey> machine_keys_;
};

}  // namespace sg::platform::fake
