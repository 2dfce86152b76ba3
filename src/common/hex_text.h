#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace sg {

// Bytes as lowercase hex digits, two a byte.
inline std::string LowercaseHex(std::span<const std::uint8_t> bytes) {
  constexpr std::string_view kDigits = "0123456789abcdef";
  std::string hex;
  hex.reserve(2 * bytes.size());
  for (const std::uint8_t byte : bytes) {
    hex += kDigits[byte >> 4];
    hex += kDigits[byte & 0xF];
  }
  return hex;
}

}  // namespace sg
