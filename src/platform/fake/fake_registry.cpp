#include "platform/fake/fake_registry.h"

#include <algorithm>
#include <cstring>

#include "common/ascii.h"

namespace sg::platform::fake {

struct FakeRegistry::Node {
  std::string name;
  Node* parent = nullptr;
  bool deleted = false;
  std::vector<std::shared_ptr<Node>> subkeys;                 // kept in name order, case folded
  std::vector<std::pair<std::string, RegistryValue>> values;  // in order of first setting

  std::shared_ptr<Node> Child(const std::string& child_name) const {
    for (const auto& child : subkeys) {
      if (EqualsIgnoringCase(child->name, child_name)) return child;
    }
    return nullptr;
  }

  std::shared_ptr<Node> AddChild(const std::string& child_name) {
    auto child = std::make_shared<Node>();
    child->name = child_name;
    child->parent = this;
    const std::string folded = AsciiUpper(child_name);
    auto at = std::find_if(subkeys.begin(), subkeys.end(),
                           [&](const auto& other) { return AsciiUpper(other->name) > folded; });
    subkeys.insert(at, child);
    return child;
  }

  RegistryValue* Value(const std::string& value_name) {
    for (auto& [stored_name, value] : values) {
      if (EqualsIgnoringCase(stored_name, value_name)) return &value;
    }
    return nullptr;
  }
};

namespace {

constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",
                                      "HKEY_LOCAL_MACHINE"};

std::vector<std::string> SplitPath(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  for (char c : path) {
    if (c == '\\') {
      if (!part.empty()) parts.push_back(part);
      part.clear();
    } else {
      part += c;
    }
  }
  if (!part.empty()) parts.push_back(part);
  return parts;
}

}  // namespace

FakeRegistry::FakeRegistry() {
  for (std::size_t i = 0; i < roots_.size(); ++i) {
    roots_[i] = std::make_shared<Node>();
    roots_[i]->name = kRootNames[i];
  }
}

FakeRegistry::~FakeRegistry() = default;

std::shared_ptr<FakeRegistry::Node> FakeRegistry::FindBelow(std::shared_ptr<Node> node,
                                                            const std::string& path) const {
  for (const auto& part : SplitPath(path)) {
    node = node->Child(part);
    if (!node) return nullptr;
  }
  return node;
}

std::shared_ptr<FakeRegistry::Node> FakeRegistry::Find(RegistryRoot root,
                                                       const std::string& path) const {
  return FindBelow(roots_[static_cast<std::size_t>(root)], path);
}

FakeRegistry::Node* FakeRegistry::Resolve(RegistryKey key, std::uint32_t needed,
                                          WinError& error) const {
  auto found = handles_.find(key);
  if (found == handles_.end()) {
    error = WinError::kInvalidHandle;
    return nullptr;
  }
  if (found->second.node->deleted) {
    error = WinError::kKeyDeleted;
    return nullptr;
  }
  if ((found->second.access & needed) != needed) {
    error = WinError::kAccessDenied;
    return nullptr;
  }
  error = WinError::kSuccess;
  return found->second.node.get();
}

RegistryKey FakeRegistry::NewHandle(std::shared_ptr<Node> node, std::uint32_t access) {
  const RegistryKey key = next_handle_;
  next_handle_ += 4;
  handles_[key] = Handle{std::move(node), access};
  return key;
}

WinError FakeRegistry::CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                                 RegistryKey& key, KeyDisposition* disposition) {
  std::lock_guard lock(mutex_);
  auto node = roots_[static_cast<std::size_t>(root)];
  bool created = false;
  for (const auto& part : SplitPath(path)) {
    auto child = node->Child(part);
    if (!child) {
      child = node->AddChild(part);
      created = true;
    }
    node = child;
  }
  key = NewHandle(node, access);
  if (disposition) {
    *disposition = created ? KeyDisposition::kCreatedNewKey : KeyDisposition::kOpenedExistingKey;
  }
  return WinError::kSuccess;
}

WinError FakeRegistry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                               RegistryKey& key) {
  std::lock_guard lock(mutex_);
  auto node = Find(root, path);
  if (!node) return WinError::kFileNotFound;
  key = NewHandle(node, access);
  return WinError::kSuccess;
}

WinError FakeRegistry::CloseKey(RegistryKey key) {
  std::lock_guard lock(mutex_);
  return handles_.erase(key) ? WinError::kSuccess : WinError::kInvalidHandle;
}

WinError FakeRegistry::SetValue(RegistryKey key, const std::string& name, RegistryType type,
                                std::span<const std::uint8_t> data) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(key, key_access::kSetValue, error);
  if (!node) return error;
  RegistryValue value{type, {data.begin(), data.end()}};
  if (RegistryValue* existing = node->Value(name)) {
    *existing = std::move(value);
  } else {
    node->values.emplace_back(name, std::move(value));
  }
  return WinError::kSuccess;
}

WinError FakeRegistry::QueryValue(RegistryKey key, const std::string& name, RegistryType* type,
                                  std::uint8_t* data, std::uint32_t& size) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(key, key_access::kQueryValue, error);
  if (!node) return error;
  const RegistryValue* value = node->Value(name);
  if (!value) return WinError::kFileNotFound;
  if (type) *type = value->type;
  const auto needed = static_cast<std::uint32_t>(value->data.size());
  if (data && size < needed) {
    size = needed;
    return WinError::kMoreData;
  }
  if (data && needed) std::memcpy(data, value->data.data(), needed);
  size = needed;
  return WinError::kSuccess;
}

WinError FakeRegistry::DeleteValue(RegistryKey key, const std::string& name) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(key, key_access::kSetValue, error);
  if (!node) return error;
  auto& values = node->values;
  auto at = std::find_if(values.begin(), values.end(),
                         [&](const auto& entry) { return EqualsIgnoringCase(entry.first, name); });
  if (at == values.end()) return WinError::kFileNotFound;
  values.erase(at);
  return WinError::kSuccess;
}

WinError FakeRegistry::DeleteKey(RegistryKey parent, const std::string& subkey) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(parent, 0, error);
  if (!node) return error;
  auto handle = handles_.find(parent);
  auto target = FindBelow(handle->second.node, subkey);
  if (!target) return WinError::kFileNotFound;
  // A key with subkeys cannot be deleted, and neither can a root.
  if (!target->subkeys.empty() || !target->parent) return WinError::kAccessDenied;
  auto& siblings = target->parent->subkeys;
  siblings.erase(std::find(siblings.begin(), siblings.end(), target));
  target->deleted = true;
  target->parent = nullptr;
  return WinError::kSuccess;
}

WinError FakeRegistry::QueryInfoKey(RegistryKey key, std::uint32_t& subkeys,
                                    std::uint32_t& values) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(key, key_access::kQueryValue, error);
  if (!node) return error;
  subkeys = static_cast<std::uint32_t>(node->subkeys.size());
  values = static_cast<std::uint32_t>(node->values.size());
  return WinError::kSuccess;
}

namespace {

// Copies a name into a caller's buffer the way the enumeration calls do.
WinError CopyName(const std::string& source, char* name, std::uint32_t& name_length) {
  if (source.size() >= name_length) return WinError::kMoreData;
  std::memcpy(name, source.c_str(), source.size() + 1);
  name_length = static_cast<std::uint32_t>(source.size());
  return WinError::kSuccess;
}

}  // namespace

WinError FakeRegistry::EnumKey(RegistryKey key, std::uint32_t index, char* name,
                               std::uint32_t& name_length) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(key, key_access::kEnumerateSubKeys, error);
  if (!node) return error;
  if (index >= node->subkeys.size()) return WinError::kNoMoreItems;
  return CopyName(node->subkeys[index]->name, name, name_length);
}

WinError FakeRegistry::EnumValue(RegistryKey key, std::uint32_t index, char* name,
                                 std::uint32_t& name_length, RegistryType* type, std::uint8_t* data,
                                 std::uint32_t& data_size) {
  std::lock_guard lock(mutex_);
  WinError error;
  Node* node = Resolve(key, key_access::kQueryValue, error);
  if (!node) return error;
  if (index >= node->values.size()) return WinError::kNoMoreItems;
  const auto& [value_name, value] = node->values[index];
  const auto needed = static_cast<std::uint32_t>(value.data.size());
  if (value_name.size() >= name_length || (data && data_size < needed)) {
    if (data) data_size = needed;
    return WinError::kMoreData;
  }
  CopyName(value_name, name, name_length);
  if (type) *type = value.type;
  if (data && needed) std::memcpy(data, value.data.data(), needed);
  data_size = needed;
  return WinError::kSuccess;
}

void FakeRegistry::Put(RegistryRoot root, const std::string& path, const std::string& name,
                       RegistryValue value) {
  RegistryKey key = 0;
  CreateKey(root, path, key_access::kAllAccess, key, nullptr);
  SetValue(key, name, value.type, value.data);
  CloseKey(key);
}

void FakeRegistry::PutString(RegistryRoot root, const std::string& path, const std::string& name,
                             const std::string& text) {
  std::vector<std::uint8_t> bytes(text.begin(), text.end());
  bytes.push_back(0);
  Put(root, path, name, {RegistryType::kString, std::move(bytes)});
}

bool FakeRegistry::HasKey(RegistryRoot root, const std::string& path) const {
  std::lock_guard lock(mutex_);
  return Find(root, path) != nullptr;
}

std::optional<RegistryValue> FakeRegistry::Get(RegistryRoot root, const std::string& path,
                                               const std::string& name) const {
  std::lock_guard lock(mutex_);
  auto node = Find(root, path);
  if (!node) return std::nullopt;
  if (const RegistryValue* value = node->Value(name)) return *value;
  return std::nullopt;
}

std::optional<std::string> FakeRegistry::GetString(RegistryRoot root, const std::string& path,
                                                   const std::string& name) const {
  auto value = Get(root, path, name);
  if (!value) return std::nullopt;
  auto end = std::find(value->data.begin(), value->data.end(), 0);
  return std::string(value->data.begin(), end);
}

std::size_t FakeRegistry::OpenHandleCount() const {
  std::lock_guard lock(mutex_);
  return handles_.size();
}

std::map<std::string, std::map<std::string, RegistryValue>> FakeRegistry::Snapshot() const {
  std::lock_guard lock(mutex_);
  std::map<std::string, std::map<std::string, RegistryValue>> result;
  auto visit = [&](auto&& self, const Node& node, const std::string& path) -> void {
    auto& values = result[path];
    for (const auto& [name, value] : node.values) values[name] = value;
    for (const auto& child : node.subkeys) self(self, *child, path + "\\" + child->name);
  };
  for (const auto& root : roots_) {
    for (const auto& child : root->subkeys) visit(visit, *child, root->name + "\\" + child->name);
  }
  return result;
}

}  // namespace sg::platform::fake
