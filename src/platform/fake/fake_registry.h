#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/ports/registry.h"

namespace sg::platform::fake {

struct RegistryValue {
  RegistryType type = RegistryType::kNone;
  std::vector<std::uint8_t> data;
  bool operator==(const RegistryValue&) const = default;
};

// An in-memory registry: three roots, keys and values named without regard to case, subkeys
// enumerated in name order and values in the order they were first set, as Windows does.
// Handles carry the access they were opened with.
class FakeRegistry final : public RegistryPort {
 public:
  FakeRegistry();
  ~FakeRegistry() override;

  WinError CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                     RegistryKey& key, KeyDisposition* disposition) override;
  WinError OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                   RegistryKey& key) override;
  WinError CloseKey(RegistryKey key) override;
  WinError SetValue(RegistryKey key, const std::string& name, RegistryType type,
                    std::span<const std::uint8_t> data) override;
  WinError QueryValue(RegistryKey key, const std::string& name, RegistryType* type,
                      std::uint8_t* data, std::uint32_t& size) override;
  WinError DeleteValue(RegistryKey key, const std::string& name) override;
  WinError DeleteKey(RegistryKey parent, const std::string& subkey) override;
  WinError QueryInfoKey(RegistryKey key, std::uint32_t& subkeys, std::uint32_t& values) override;
  WinError EnumKey(RegistryKey key, std::uint32_t index, char* name,
                   std::uint32_t& name_length) override;
  WinError EnumValue(RegistryKey key, std::uint32_t index, char* name, std::uint32_t& name_length,
                     RegistryType* type, std::uint8_t* data, std::uint32_t& data_size) override;

  // For tests: seeding and inspecting the registry directly.
  void Put(RegistryRoot root, const std::string& path, const std::string& name,
           RegistryValue value);
  void PutString(RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& text);
  bool HasKey(RegistryRoot root, const std::string& path) const;
  std::optional<RegistryValue> Get(RegistryRoot root, const std::string& path,
                                   const std::string& name) const;
  // The text of a value up to its first zero byte.
  std::optional<std::string> GetString(RegistryRoot root, const std::string& path,
                                       const std::string& name) const;
  std::size_t OpenHandleCount() const;
  // Every key (as "ROOT\path") and its values, for comparing whole registries.
  std::map<std::string, std::map<std::string, RegistryValue>> Snapshot() const;

 private:
  struct Node;
  struct Handle {
    std::shared_ptr<Node> node;
    std::uint32_t access = 0;
  };

  std::shared_ptr<Node> Find(RegistryRoot root, const std::string& path) const;
  std::shared_ptr<Node> FindBelow(std::shared_ptr<Node> node, const std::string& path) const;
  // Null with the error to report when the handle is unknown, deleted or lacks the right.
  Node* Resolve(RegistryKey key, std::uint32_t needed, WinError& error) const;
  RegistryKey NewHandle(std::shared_ptr<Node> node, std::uint32_t access);

  mutable std::mutex mutex_;
  std::array<std::shared_ptr<Node>, 3> roots_;
  std::map<RegistryKey, Handle> handles_;
  RegistryKey next_handle_ = 0x100;
};

}  // namespace sg::platform::fake
