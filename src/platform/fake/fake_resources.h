#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/ports/resources.h"

namespace sg::platform::fake {

// The resources of the program's module, added by tests.
class FakeResources final : public ResourcePort {
 public:
  void Add(std::uint16_t id, const std::string& type, std::vector<std::uint8_t> bytes);
  // The resource is found but cannot be loaded.
  void FailLoadOf(std::uint16_t id, const std::string& type);

  ResourceHandle Find(std::uint16_t id, const std::string& type) override;
  std::uint32_t Size(ResourceHandle resource) override;
  const std::uint8_t* Load(ResourceHandle resource) override;

 private:
  using Key = std::pair<std::uint16_t, std::string>;  // type folded to upper case
  struct Entry {
    std::vector<std::uint8_t> bytes;
    bool fails_to_load = false;
  };
  std::map<Key, Entry> entries_;
};

}  // namespace sg::platform::fake
