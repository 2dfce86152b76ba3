#include "platform/fake/fake_resources.h"

#include "common/ascii.h"

namespace sg::platform::fake {

void FakeResources::Add(std::uint16_t id, const std::string& type,
                        std::vector<std::uint8_t> bytes) {
  entries_[{id, AsciiUpper(type)}].bytes = std::move(bytes);
}

void FakeResources::FailLoadOf(std::uint16_t id, const std::string& type) {
  entries_[{id, AsciiUpper(type)}].fails_to_load = true;
}

// A handle is the address of the entry: std::map never moves its elements.
ResourceHandle FakeResources::Find(std::uint16_t id, const std::string& type) {
  auto found = entries_.find({id, AsciiUpper(type)});
  if (found == entries_.end()) return 0;
  return reinterpret_cast<ResourceHandle>(&found->second);
}

std::uint32_t FakeResources::Size(ResourceHandle resource) {
  if (!resource) return 0;
  return static_cast<std::uint32_t>(reinterpret_cast<const Entry*>(resource)->bytes.size());
}

const std::uint8_t* FakeResources::Load(ResourceHandle resource) {
  if (!resource) return nullptr;
  const auto* entry = reinterpret_cast<const Entry*>(resource);
  if (entry->fails_to_load) return nullptr;
  // Windows hands out a valid pointer even for an empty resource.
  static const std::uint8_t kEmpty = 0;
  return entry->bytes.empty() ? &kEmpty : entry->bytes.data();
}

}  // namespace sg::platform::fake
