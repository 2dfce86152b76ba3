#pragma once

#include <string>

#include "platform/ports/files.h"
#include "platform/ports/registry.h"

namespace sg::testing {

// What the shared tests run against: the fake platform natively, the real Windows under Wine.
platform::RegistryPort& RegistryUnderTest();
platform::FilePort& FilesUnderTest();
// A folder where file tests may create files, with a trailing backslash.
std::string ScratchFolder();

// A key of the registry under test that no other test uses, removed with everything below it
// when the test ends: "Software\SnapgateTests\<unique>" below the given root.
class ScratchKey {
 public:
  explicit ScratchKey(platform::RegistryRoot root = platform::RegistryRoot::kCurrentUser);
  ~ScratchKey();
  ScratchKey(const ScratchKey&) = delete;
  ScratchKey& operator=(const ScratchKey&) = delete;

  platform::RegistryRoot root() const { return root_; }
  // The path below the root.
  const std::string& path() const { return path_; }
  // The part after "Software\", as the settings store's sections are named.
  std::string section() const { return path_.substr(9); }

 private:
  platform::RegistryRoot root_;
  std::string path_;
};

}  // namespace sg::testing
