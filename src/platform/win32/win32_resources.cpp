#include "platform/win32/win32_resources.h"

#include <windows.h>

namespace sg::platform::win32 {

ResourceHandle Win32Resources::Find(std::uint16_t id, const std::string& type) {
  return reinterpret_cast<ResourceHandle>(
      FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), type.c_str()));
}

std::uint32_t Win32Resources::Size(ResourceHandle resource) {
  return SizeofResource(GetModuleHandleA(nullptr), reinterpret_cast<HRSRC>(resource));
}

const std::uint8_t* Win32Resources::Load(ResourceHandle resource) {
  HGLOBAL loaded = LoadResource(GetModuleHandleA(nullptr), reinterpret_cast<HRSRC>(resource));
  return loaded ? static_cast<const std::uint8_t*>(LockResource(loaded)) : nullptr;
}

}  // namespace sg::platform::win32
