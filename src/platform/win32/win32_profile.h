#pragma once

#include "platform/ports/profile.h"

namespace sg::platform::win32 {

class Win32Profile final : public ProfilePort {
 public:
  std::string ApplicationDataFolder() override;
  int GetPrivateProfileInt(const std::string& section, const std::string& key, int default_value,
                           const std::string& file) override;
};

}  // namespace sg::platform::win32
