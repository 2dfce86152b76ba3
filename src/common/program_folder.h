#pragma once

#include <string>

#include "platform/ports/system.h"

namespace sg {

// The folder of the program's executable, where its own files lie.
inline std::string ProgramFolder(platform::SystemPort& system) {
  const std::string module = system.ModuleFileName();
  const auto slash = module.rfind('\\');
  return slash == std::string::npos ? module : module.substr(0, slash);
}

}  // namespace sg
