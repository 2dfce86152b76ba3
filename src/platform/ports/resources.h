#pragma once

#include <cstdint>
#include <string>

namespace sg::platform {

// A resource found in the program's own module; 0 is none.
using ResourceHandle = std::uintptr_t;

// Resources embedded in the program's executable.
class ResourcePort {
 public:
  virtual ~ResourcePort() = default;
  // FindResourceA with a numeric id and a named type.
  virtual ResourceHandle Find(std::uint16_t id, const std::string& type) = 0;
  // SizeofResource.
  virtual std::uint32_t Size(ResourceHandle resource) = 0;
  // LoadResource and LockResource; null when the resource cannot be loaded.
  virtual const std::uint8_t* Load(ResourceHandle resource) = 0;
};

}  // namespace sg::platform
