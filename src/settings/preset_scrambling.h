#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace sg::settings {

// The built-in presets are stored scrambled and read back in blocks of this size.
inline constexpr std::size_t kPresetBlockSize = 1024;

// Turns one stored block back into import text: every byte loses 2, bytes that become 0 are
// dropped, and the first block passes its first two bytes only as 'R' and 'E'. Appends to out.
void DescramblePresetBlock(std::span<const std::uint8_t> block, bool first_block,
                           std::vector<std::uint8_t>& out);

// The inverse, used when building the program: every byte gains 2.
std::vector<std::uint8_t> ScramblePreset(std::span<const std::uint8_t> text);

}  // namespace sg::settings
