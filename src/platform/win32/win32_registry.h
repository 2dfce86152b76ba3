#pragma once

#include "platform/ports/registry.h"

namespace sg::platform::win32 {

class Win32Registry final : public RegistryPort {
 public:
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
};

}  // namespace sg::platform::win32
