#include "platform/fake/registry_tree.h"

#include <vector>

namespace sg::platform::fake {

bool DeleteKeyTree(RegistryPort& registry, RegistryRoot root, const std::string& path) {
  RegistryKey key = 0;
  if (registry.OpenKey(root, path, key_access::kAllAccess, key) != WinError::kSuccess) {
    return false;
  }
  std::vector<std::string> children;
  for (std::uint32_t index = 0;; ++index) {
    char name[256];
    std::uint32_t length = sizeof name;
    if (registry.EnumKey(key, index, name, length) != WinError::kSuccess) break;
    children.emplace_back(name, length);
  }
  registry.CloseKey(key);
  for (const auto& child : children) DeleteKeyTree(registry, root, path + "\\" + child);

  const auto slash = path.rfind('\\');
  const std::string parent_path = slash == std::string::npos ? "" : path.substr(0, slash);
  const std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
  RegistryKey parent = 0;
  if (registry.OpenKey(root, parent_path, key_access::kAllAccess, parent) != WinError::kSuccess) {
    return false;
  }
  const bool deleted = registry.DeleteKey(parent, leaf) == WinError::kSuccess;
  registry.CloseKey(parent);
  return deleted;
}

}  // namespace sg::platform::fake
