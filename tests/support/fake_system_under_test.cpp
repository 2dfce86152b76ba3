#include "platform/fake/fake_file_system.h"
#include "platform/fake/fake_registry.h"
#include "support/system_under_test.h"

namespace sg::testing {

platform::RegistryPort& RegistryUnderTest() {
  static platform::fake::FakeRegistry registry;
  return registry;
}

platform::FilePort& FilesUnderTest() {
  static platform::fake::FakeFileSystem files;
  return files;
}

std::string ScratchFolder() {
  return "C:\\Program Files\\Snapgate!\\";
}

}  // namespace sg::testing
