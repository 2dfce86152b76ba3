#pragma once

#include <cstdint>

namespace sg::platform {

// The Windows system error codes that the program's behaviour depends on. Adapters pass any
// other code through unchanged, so values outside this list can occur.
enum class WinError : std::int32_t {
  kSuccess = 0,
  kFileNotFound = 2,
  kAccessDenied = 5,
  kInvalidHandle = 6,
  kInvalidParameter = 87,
  kInsufficientBuffer = 122,
  kMoreData = 234,
  kNoMoreItems = 259,
  kKeyDeleted = 1018,
};

}  // namespace sg::platform
