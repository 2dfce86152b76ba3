#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "platform/ports/crypto.h"

namespace sg::platform::fake {

// SHA-256 (FIPS 180-4) in plain C++: the fake platform hashes files as BCrypt would.
class Sha256 {
 public:
  void Update(std::span<const std::uint8_t> bytes);
  // The digest of everything given so far; the object is spent afterwards.
  Sha256Digest Finish();

 private:
  void Compress(const std::uint8_t* block);

  std::array<std::uint32_t, 8> state_ = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
                                         0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  std::array<std::uint8_t, 64> pending_{};
  std::size_t pending_size_ = 0;
  std::uint64_t total_size_ = 0;
};

Sha256Digest Sha256Of(std::string_view bytes);

}  // namespace sg::platform::fake
