// Writes the tiny images the adapter tests embed as resources:
//   make_test_images <icon.ico> <mark.bmp> <states.bmp>
// A 16x16 icon (32 bits per pixel), a 16x16 bitmap and a 32x16 bitmap of two pictures on
// magenta (24 bits per pixel).
#include <cstdint>
#include <fstream>
#include <vector>

namespace {

constexpr int kSide = 16;

void Put16(std::vector<std::uint8_t>& out, std::uint16_t value) {
  out.push_back(static_cast<std::uint8_t>(value));
  out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  Put16(out, static_cast<std::uint16_t>(value));
  Put16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutInfoHeader(std::vector<std::uint8_t>& out, int height, int bits, std::uint32_t size,
                   int width = kSide) {
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(width));
  Put32(out, static_cast<std::uint32_t>(height));
  Put16(out, 1);
  Put16(out, static_cast<std::uint16_t>(bits));
  Put32(out, 0);  // uncompressed
  Put32(out, size);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 0);
}

std::vector<std::uint8_t> Icon() {
  constexpr std::uint32_t kColours = kSide * kSide * 4;
  constexpr std::uint32_t kMask = kSide * 4;  // one bit per pixel, rows padded to 32 bits
  constexpr std::uint32_t kImage = 40 + kColours + kMask;
  std::vector<std::uint8_t> out;
  Put16(out, 0);
  Put16(out, 1);  // icon
  Put16(out, 1);  // one image
  out.push_back(kSide);
  out.push_back(kSide);
  out.push_back(0);
  out.push_back(0);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, kImage);
  Put32(out, 6 + 16);
  PutInfoHeader(out, kSide * 2, 32, kColours + kMask);  // colours and mask stacked
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      const bool edge = x == 0 || y == 0 || x == kSide - 1 || y == kSide - 1;
      out.push_back(edge ? 0x00 : 0xC0);  // blue
      out.push_back(edge ? 0x00 : 0x40);  // green
      out.push_back(edge ? 0x00 : 0x20);  // red
      out.push_back(0xFF);                // opaque
    }
  }
  out.insert(out.end(), kMask, 0);
  return out;
}

struct Bgr {
  std::uint8_t b, g, r;
};

// Rows of 16 or 32 pixels of 3 bytes need no padding.
template <typename Pixel>
std::vector<std::uint8_t> Bitmap(int width, Pixel pixel) {
  const auto pixels = static_cast<std::uint32_t>(width * kSide * 3);
  std::vector<std::uint8_t> out;
  out.push_back('B');
  out.push_back('M');
  Put32(out, 14 + 40 + pixels);
  Put32(out, 0);
  Put32(out, 14 + 40);
  PutInfoHeader(out, kSide, 24, pixels, width);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < width; ++x) {
      const Bgr colour = pixel(x, y);
      out.insert(out.end(), {colour.b, colour.g, colour.r});
    }
  }
  return out;
}

std::vector<std::uint8_t> Mark() {
  return Bitmap(kSide, [](int x, int y) {
    const std::uint8_t level = x == y ? 0x00 : 0xFF;
    return Bgr{level, level, level};
  });
}

// A blue square and a red one, each inside a magenta border.
std::vector<std::uint8_t> States() {
  return Bitmap(2 * kSide, [](int x, int y) {
    const int inner = x % kSide;
    if (inner < 3 || inner > 12 || y < 3 || y > 12) return Bgr{0xFF, 0x00, 0xFF};
    return x < kSide ? Bgr{0xC0, 0x20, 0x00} : Bgr{0x00, 0x20, 0xC0};
  });
}

bool Write(const char* path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) return 2;
  return Write(argv[1], Icon()) && Write(argv[2], Mark()) && Write(argv[3], States()) ? 0 : 1;
}
