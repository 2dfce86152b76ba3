// Build step: stores a registry import file in the scrambled form the program reads back.
//   scramble_preset <input.reg> <output.bin>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "settings/preset_scrambling.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: scramble_preset <input.reg> <output.bin>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "scramble_preset: cannot read %s\n", argv[1]);
    return 1;
  }
  const std::vector<std::uint8_t> text{std::istreambuf_iterator<char>(in), {}};
  // The program drops the first two bytes unless they are "RE", and every zero byte.
  if (text.size() < 2 || text[0] != 'R' || text[1] != 'E') {
    std::fprintf(stderr, "scramble_preset: %s does not start with REGEDIT\n", argv[1]);
    return 1;
  }
  for (std::uint8_t byte : text) {
    if (byte == 0) {
      std::fprintf(stderr, "scramble_preset: %s holds a zero byte\n", argv[1]);
      return 1;
    }
  }
  const auto scrambled = sg::settings::ScramblePreset(text);
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(scrambled.data()),
            static_cast<std::streamsize>(scrambled.size()));
  out.close();
  if (!out) {
    std::fprintf(stderr, "scramble_preset: cannot write %s\n", argv[2]);
    return 1;
  }
  return 0;
}
