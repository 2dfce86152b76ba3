#pragma once

#include <string>
#include <vector>

#include "platform/ports/registry.h"
#include "tools/history_entry.h"

namespace sg::tools {

// A registry value exactly as stored: its type and bytes, or its absence.
struct StoredValue {
  bool present = false;
  platform::RegistryType type = platform::RegistryType::kNone;
  std::string data;
  bool operator==(const StoredValue&) const = default;
};

struct ValueAddress {
  platform::RegistryRoot root;
  std::string path;  // below the root
  std::string name;  // empty: the key's default value
};

// Absent also when the key or value cannot be read.
StoredValue ReadStoredValue(platform::RegistryPort& registry, const ValueAddress& address);
// Sets the value to the stored one, or deletes it when that is absent. True when done.
bool WriteStoredValue(platform::RegistryPort& registry, const ValueAddress& address,
                      const StoredValue& value);

// Values read before a tool changes them, to tell afterwards which it changed and how.
class RegistryValueWatch {
 public:
  RegistryValueWatch(platform::RegistryPort& registry, std::vector<ValueAddress> addresses);
  // The values that differ now from what they were, with their old and new content.
  std::vector<RegistryValueChange> Changed() const;

 private:
  platform::RegistryPort& registry_;
  std::vector<ValueAddress> addresses_;
  std::vector<StoredValue> before_;
};

}  // namespace sg::tools
