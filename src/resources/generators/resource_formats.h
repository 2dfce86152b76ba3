#pragma once

// Writers for the file formats that the resource compiler and the program read: icons, bitmaps,
// animation clips and sounds. They are used by build-time generators, so they know nothing of
// Windows headers and write little-endian bytes themselves.

#include <cstdint>
#include <string>
#include <vector>

namespace sg::resources {

struct Rgba {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
  std::uint8_t a = 0;

  friend bool operator==(const Rgba&, const Rgba&) = default;
};

// Straight (not premultiplied) colours, rows from top to bottom.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<Rgba> pixels;

  Image() = default;
  Image(int w, int h, Rgba fill = {}) : width(w), height(h), pixels(std::size_t(w) * h, fill) {}
  Rgba& at(int x, int y) { return pixels[std::size_t(y) * width + x]; }
  const Rgba& at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
};

using Bytes = std::vector<std::uint8_t>;

// An .ico file with one 32-bit entry per image (colour with alpha plus the 1-bit AND mask that
// older renderers use; a pixel counts as transparent in the mask when its alpha is below 128).
// Images must be 1 to 256 pixels on each side.
Bytes EncodeIco(const std::vector<Image>& images);

// A 1-bit .bmp file. Pixels with alpha of 128 or more are "ink" and get palette index 0 (black),
// the rest index 1 (white): drawn as a monochrome bitmap, ink takes the text colour.
Bytes EncodeMonochromeBmp(const Image& image);

// The colour that stands for "transparent" in bitmaps without alpha: image lists mask it out.
inline constexpr Rgba kTransparentKey{255, 0, 255, 255};

// A 24-bit .bmp file of opaque pixels. Pixels with alpha below 128 become kTransparentKey; the
// rest keep their colour and lose their alpha.
Bytes EncodeBmp24(const Image& image);

// A clip of 8-bit palette frames that share one palette (at most 256 colours).
struct IndexedClip {
  int width = 0;
  int height = 0;
  std::uint32_t microseconds_per_frame = 100000;
  std::vector<Rgba> palette;
  std::vector<std::vector<std::uint8_t>> frames;  // width * height indices each, top row first
};

// Reduces opaque frames of equal size to one shared palette. Colours in `keep` are placed in
// the palette exactly (the backdrop, so that it matches its surroundings); the remaining
// entries come from a median cut of the frames' colours. When the frames hold 256 colours or
// fewer in total, every colour is kept exactly.
IndexedClip QuantizeClip(const std::vector<Image>& frames, std::uint32_t microseconds_per_frame,
                         const std::vector<Rgba>& keep = {});

// A RIFF AVI with one uncompressed 8-bit video stream, no sound, and an index: the form that
// the animation control plays without any codec.
Bytes EncodeAvi(const IndexedClip& clip);

// A RIFF WAVE file of 16-bit signed mono PCM.
Bytes EncodeWav(const std::vector<std::int16_t>& samples, std::uint32_t sample_rate);

// Writes bytes to a file; false when the file cannot be written completely.
bool WriteBytes(const std::string& path, const Bytes& bytes);

}  // namespace sg::resources
