#include "settings/preset_scrambling.h"

namespace sg::settings {

void DescramblePresetBlock(std::span<const std::uint8_t> block, bool first_block,
                           std::vector<std::uint8_t>& out) {
  for (std::size_t i = 0; i < block.size(); ++i) {
    const auto d = static_cast<std::uint8_t>(block[i] - 2);
    if (d == 0) continue;
    if (first_block && i == 0 && d != 'R') continue;
    if (first_block && i == 1 && d != 'E') continue;
    out.push_back(d);
  }
}

std::vector<std::uint8_t> ScramblePreset(std::span<const std::uint8_t> text) {
  std::vector<std::uint8_t> out;
  out.reserve(text.size());
  for (std::uint8_t byte : text) out.push_back(static_cast<std::uint8_t>(byte + 2));
  return out;
}

}  // namespace sg::settings
