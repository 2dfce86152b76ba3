#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ports/registry.h"

namespace sg::settings {

using platform::RegistryRoot;

// The program's own section below HKEY_CURRENT_USER\Software.
inline constexpr std::string_view kProgramSection = "Snapgate!";

enum class EnumerateMode {
  kValueData = 0,    // the data of every non-empty value except "MRUList"
  kSubkeyNames = 4,  // the names of the direct subkeys
};

// One-shot registry accesses: each opens a key, does one thing and closes the key. Settings
// are strings; a missing, unreadable or "-" value reads as empty (and as -1 when a number).
// Make one for each access or short group of accesses; a store is not shared between threads.
class RegistryStore {
 public:
  explicit RegistryStore(platform::RegistryPort& registry) : registry_(registry) {}

  // Under HKEY_CURRENT_USER\Software\<section>, created when missing. True when the key could
  // be created or opened.
  bool WriteString(std::string_view section, std::string_view name, std::string_view value);
  bool WriteDword(std::string_view section, std::string_view name, std::uint32_t value);
  // Under HKEY_LOCAL_MACHINE\Software\<section>.
  bool WriteMachineDword(std::string_view section, std::string_view name, std::uint32_t value);
  // Under HKEY_LOCAL_MACHINE\<path>. True only when the value was written, which tells whether
  // the user may change machine-wide settings.
  bool WriteMachineString(std::string_view path, std::string_view name, std::string_view value);
  // True when HKEY_LOCAL_MACHINE\<path>\<subkey> was deleted.
  bool DeleteMachineKey(std::string_view path, std::string_view subkey);
  // True when HKEY_CURRENT_USER\Software\<section>\<subkey> was deleted.
  bool DeleteKey(std::string_view section, std::string_view subkey);

  std::string ReadString(std::string_view section, std::string_view name,
                         RegistryRoot root = RegistryRoot::kCurrentUser);
  std::string ReadStringAt(RegistryRoot root, std::string_view path, std::string_view name);
  // A value that must be text, such as a path another program recorded: nothing when it is
  // missing, not REG_SZ, longer than the read buffer, or holds a zero byte before its end.
  std::optional<std::string> ReadExactString(RegistryRoot root, std::string_view path,
                                             std::string_view name);
  // All bits set when the value cannot be read.
  std::uint32_t ReadDword(std::string_view section, std::string_view name,
                          RegistryRoot root = RegistryRoot::kCurrentUser);
  // -1 for an empty read, otherwise the value of the leading decimal digits (atoi rules).
  std::int32_t ReadInt(std::string_view section, std::string_view name);

  // Empties the result list, then fills it from root\path. At most 101 subkeys are visited.
  void Enumerate(RegistryRoot root, std::string_view path, EnumerateMode mode);
  const std::vector<std::string>& Results() const { return results_; }
  // After kValueData: the name of each value whose data Results() holds, in the same order.
  const std::vector<std::string>& ValueNames() const { return value_names_; }

 private:
  bool WriteValue(RegistryRoot root, const std::string& path, std::string_view name,
                  platform::RegistryType type, const std::vector<std::uint8_t>& data,
                  bool report_set_result);
  std::string ReadText(RegistryRoot root, const std::string& path, std::string_view name);

  platform::RegistryPort& registry_;
  std::vector<std::string> results_;
  std::vector<std::string> value_names_;
};

// C atoi rules on a setting's text, saturated to the 32-bit range instead of overflowing.
std::int32_t ParseLeadingInt(std::string_view text);

}  // namespace sg::settings
