#include "platform/fake/limited_user_registry.h"

namespace sg::platform::fake {

void LimitedUserRegistry::Remember(RegistryRoot root, RegistryKey key) {
  if (root != RegistryRoot::kLocalMachine) return;
  std::lock_guard lock(mutex_);
  machine_keys_.insert(key);
}

WinError LimitedUserRegistry::CreateKey(RegistryRoot root, const std::string& path,
                                        std::uint32_t access, RegistryKey& key,
                                        KeyDisposition* disposition) {
  if (Denies(root, access)) return WinError::kAccessDenied;
  if (limited_ && root == RegistryRoot::kLocalMachine) {
    // Without write rights only an existing key can be "created".
    const WinError opened = inner_.OpenKey(root, path, access, key);
    if (opened == WinError::kFileNotFound) return WinError::kAccessDenied;
    if (opened == WinError::kSuccess) {
      Remember(root, key);
      if (disposition) *disposition = KeyDisposition::kOpenedExistingKey;
    }
    return opened;
  }
  const WinError result = inner_.CreateKey(root, path, access, key, disposition);
  if (result == WinError::kSuccess) Remember(root, key);
  return result;
}

WinError LimitedUserRegistry::OpenKey(RegistryRoot root, const std::string& path,
                                      std::uint32_t access, RegistryKey& key) {
  if (Denies(root, access)) return WinError::kAccessDenied;
  const WinError result = inner_.OpenKey(root, path, access, key);
  if (result == WinError::kSuccess) Remember(root, key);
  return result;
}

WinError LimitedUserRegistry::CloseKey(RegistryKey key) {
  {
    std::lock_guard lock(mutex_);
    machine_keys_.erase(key);
  }
  return inner_.CloseKey(key);
}

WinError LimitedUserRegistry::DeleteKey(RegistryKey parent, const std::string& subkey) {
  if (limited_) {
    std::lock_guard lock(mutex_);
    if (machine_keys_.count(parent)) return WinError::kAccessDenied;
  }
  return inner_.DeleteKey(parent, subkey);
}

}  // namespace sg::platform::fake
