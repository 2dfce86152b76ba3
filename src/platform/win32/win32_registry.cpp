#include "platform/win32/win32_registry.h"

#include <windows.h>

namespace sg::platform::win32 {

namespace {

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::kClassesRoot:
      return HKEY_CLASSES_ROOT;
    case RegistryRoot::kCurrentUser:
      return HKEY_CURRENT_USER;
    case RegistryRoot::kLocalMachine:
      break;
  }
  return HKEY_LOCAL_MACHINE;
}

HKEY Handle(RegistryKey key) {
  return reinterpret_cast<HKEY>(key);
}
WinError Result(LONG code) {
  return static_cast<WinError>(code);
}

}  // namespace

WinError Win32Registry::CreateKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                                  RegistryKey& key, KeyDisposition* disposition) {
  HKEY opened = nullptr;
  DWORD how = 0;
  const LONG result = RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr,
                                      REG_OPTION_NON_VOLATILE, access, nullptr, &opened, &how);
  key = reinterpret_cast<RegistryKey>(opened);
  if (disposition) *disposition = static_cast<KeyDisposition>(how);
  return Result(result);
}

WinError Win32Registry::OpenKey(RegistryRoot root, const std::string& path, std::uint32_t access,
                                RegistryKey& key) {
  HKEY opened = nullptr;
  const LONG result = RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &opened);
  key = reinterpret_cast<RegistryKey>(opened);
  return Result(result);
}

WinError Win32Registry::CloseKey(RegistryKey key) {
  return Result(RegCloseKey(Handle(key)));
}

WinError Win32Registry::SetValue(RegistryKey key, const std::string& name, RegistryType type,
                                 std::span<const std::uint8_t> data) {
  return Result(RegSetValueExA(Handle(key), name.c_str(), 0, static_cast<DWORD>(type), data.data(),
                               static_cast<DWORD>(data.size())));
}

WinError Win32Registry::QueryValue(RegistryKey key, const std::string& name, RegistryType* type,
                                   std::uint8_t* data, std::uint32_t& size) {
  DWORD stored_type = 0;
  DWORD stored_size = size;
  const LONG result =
      RegQueryValueExA(Handle(key), name.c_str(), nullptr, &stored_type, data, &stored_size);
  if (type) *type = static_cast<RegistryType>(stored_type);
  size = stored_size;
  return Result(result);
}

WinError Win32Registry::DeleteValue(RegistryKey key, const std::string& name) {
  return Result(RegDeleteValueA(Handle(key), name.c_str()));
}

WinError Win32Registry::DeleteKey(RegistryKey parent, const std::string& subkey) {
  return Result(RegDeleteKeyA(Handle(parent), subkey.c_str()));
}

WinError Win32Registry::QueryInfoKey(RegistryKey key, std::uint32_t& subkeys,
                                     std::uint32_t& values) {
  DWORD subkey_count = 0;
  DWORD value_count = 0;
  const LONG result =
      RegQueryInfoKeyA(Handle(key), nullptr, nullptr, nullptr, &subkey_count, nullptr, nullptr,
                       &value_count, nullptr, nullptr, nullptr, nullptr);
  subkeys = subkey_count;
  values = value_count;
  return Result(result);
}

WinError Win32Registry::EnumKey(RegistryKey key, std::uint32_t index, char* name,
                                std::uint32_t& name_length) {
  DWORD length = name_length;
  const LONG result =
      RegEnumKeyExA(Handle(key), index, name, &length, nullptr, nullptr, nullptr, nullptr);
  name_length = length;
  return Result(result);
}

WinError Win32Registry::EnumValue(RegistryKey key, std::uint32_t index, char* name,
                                  std::uint32_t& name_length, RegistryType* type,
                                  std::uint8_t* data, std::uint32_t& data_size) {
  DWORD length = name_length;
  DWORD stored_type = 0;
  DWORD size = data_size;
  const LONG result =
      RegEnumValueA(Handle(key), index, name, &length, nullptr, &stored_type, data, &size);
  name_length = length;
  if (type) *type = static_cast<RegistryType>(stored_type);
  data_size = size;
  return Result(result);
}

}  // namespace sg::platform::win32
