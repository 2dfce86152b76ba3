#pragma once

#include <string>

#include "platform/fake/fake_file_system.h"
#include "platform/ports/profile.h"

namespace sg::platform::fake {

// Initialisation files read from the fake file system, so that tests can put any content in
// them: sections "[name]", entries "key=value", names compared without regard to case.
class FakeProfile final : public ProfilePort {
 public:
  // The application-data folder exists from the start, as on a real logon.
  explicit FakeProfile(FakeFileSystem& files);

  void SetApplicationDataFolder(const std::string& folder) { application_data_ = folder; }

  std::string ApplicationDataFolder() override { return application_data_; }
  int GetPrivateProfileInt(const std::string& section, const std::string& key, int default_value,
                           const std::string& file) override;

 private:
  FakeFileSystem& files_;
  std::string application_data_ = "C:\\Users\\User\\AppData\\Roaming";
};

}  // namespace sg::platform::fake
