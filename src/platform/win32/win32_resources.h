#pragma once

#include "platform/ports/resources.h"

namespace sg::platform::win32 {

// Resources of the executable that runs (not of a DLL that might host this code).
class Win32Resources final : public ResourcePort {
 public:
  ResourceHandle Find(std::uint16_t id, const std::string& type) override;
  std::uint32_t Size(ResourceHandle resource) override;
  const std::uint8_t* Load(ResourceHandle resource) override;
};

}  // namespace sg::platform::win32
