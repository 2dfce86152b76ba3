#pragma once

#include <string>

#include "platform/ports/registry.h"

namespace sg::platform::fake {

// Deletes a key with everything below it (the registry deletes only keys without subkeys).
// True when the key itself was deleted.
bool DeleteKeyTree(RegistryPort& registry, RegistryRoot root, const std::string& path);

}  // namespace sg::platform::fake
