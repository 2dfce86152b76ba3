#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "platform/ports/win_error.h"

namespace sg::platform {

enum class RegistryRoot { kClassesRoot, kCurrentUser, kLocalMachine };

enum class RegistryType : std::uint32_t {
  kNone = 0,
  kString = 1,
  kExpandString = 2,
  kBinary = 3,
  kDword = 4,
  kMultiString = 7,
};

// Access rights of a registry key handle (REGSAM).
namespace key_access {
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kCreateSubKey = 0x0004;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kNotify = 0x0010;
inline constexpr std::uint32_t kCreateLink = 0x0020;
inline constexpr std::uint32_t kDelete = 0x00010000;
inline constexpr std::uint32_t kRead = 0x00020019;
inline constexpr std::uint32_t kWrite = 0x00020006;
inline constexpr std::uint32_t kAllAccess = 0x000F003F;
// Every right that changes the registry.
inline constexpr std::uint32_t kAnyWrite = kSetValue | kCreateSubKey | kCreateLink | kDelete |
                                           0x00040000 /*WRITE_DAC*/ | 0x00080000 /*WRITE_OWNER*/;
}  // namespace key_access

enum class KeyDisposition : std::uint32_t { kCreatedNewKey = 1, kOpenedExistingKey = 2 };

// An open key; 0 is no key.
using RegistryKey = std::uintptr_t;

// The ADVAPI32 registry calls (narrow versions). Sizes follow the API: a buffer size goes in,
// the size written (or, with kMoreData, the size needed) comes out.
class RegistryPort {
 public:
  virtual ~RegistryPort() = default;

  // RegCreateKeyExA with REG_OPTION_NON_VOLATILE and no class.
  virtual WinError CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                             RegistryKey& key, KeyDisposition* disposition) = 0;
  // RegOpenKeyExA.
  virtual WinError OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                           RegistryKey& key) = 0;
  // RegCloseKey.
  virtual WinError CloseKey(RegistryKey key) = 0;
  // RegSetValueExA.
  virtual WinError SetValue(RegistryKey key, const std::string& name, RegistryType type,
                            std::span<const std::uint8_t> data) = 0;
  // RegQueryValueExA. With no buffer (data null) only the size is reported.
  virtual WinError QueryValue(RegistryKey key, const std::string& name, RegistryType* type,
                              std::uint8_t* data, std::uint32_t& size) = 0;
  // RegDeleteValueA.
  virtual WinError DeleteValue(RegistryKey key, const std::string& name) = 0;
  // RegDeleteKeyA: deletes a subkey that has no subkeys of its own.
  virtual WinError DeleteKey(RegistryKey parent, const std::string& subkey) = 0;
  // RegQueryInfoKeyA, the two counts the program asks for.
  virtual WinError QueryInfoKey(RegistryKey key, std::uint32_t& subkeys, std::uint32_t& values) = 0;
  // RegEnumKeyExA. name_length: buffer size in characters with the terminator in, characters
  // written without it out.
  virtual WinError EnumKey(RegistryKey key, std::uint32_t index, char* name,
                           std::uint32_t& name_length) = 0;
  // RegEnumValueA, with the same size rules for the name and for the data.
  virtual WinError EnumValue(RegistryKey key, std::uint32_t index, char* name,
                             std::uint32_t& name_length, RegistryType* type, std::uint8_t* data,
                             std::uint32_t& data_size) = 0;
};

}  // namespace sg::platform
