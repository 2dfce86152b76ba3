#pragma once

#include "platform/ports/files.h"
#include "platform/ports/registry.h"
#include "platform/ports/resources.h"
#include "platform/ports/shell.h"

namespace sg::platform {

// The system as the program sees it; handed to the objects that need it.
struct Platform {
  RegistryPort& registry;
  FilePort& files;
  ResourcePort& resources;
  ShellPort& shell;
};

}  // namespace sg::platform
