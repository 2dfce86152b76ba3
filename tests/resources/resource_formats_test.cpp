#include "resources/generators/resource_formats.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace sg::resources {
namespace {

std::uint32_t U16(const Bytes& b, std::size_t at) {
  return b.at(at) | b.at(at + 1) << 8;
}
std::uint32_t U32(const Bytes& b, std::size_t at) {
  return U16(b, at) | U16(b, at + 2) << 16;
}
std::string Tag(const Bytes& b, std::size_t at) {
  return {char(b.at(at)), char(b.at(at + 1)), char(b.at(at + 2)), char(b.at(at + 3))};
}

constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};
constexpr Rgba kClear{0, 0, 0, 0};

TEST(IcoTest, DirectoryDescribesEveryImageAndItsPlace) {
  const Bytes ico = EncodeIco({Image(16, 16, kRed), Image(32, 32, kBlue)});
  EXPECT_EQ(U16(ico, 0), 0u);
  EXPECT_EQ(U16(ico, 2), 1u) << "type 1 is an icon";
  ASSERT_EQ(U16(ico, 4), 2u);
  std::size_t expected_offset = 6 + 2 * 16;
  for (int i = 0; i < 2; ++i) {
    const std::size_t entry = 6 + 16 * std::size_t(i);
    const std::uint32_t side = i == 0 ? 16 : 32;
    SCOPED_TRACE(side);
    EXPECT_EQ(ico[entry], side);
    EXPECT_EQ(ico[entry + 1], side);
    EXPECT_EQ(U16(ico, entry + 4), 1u) << "planes";
    EXPECT_EQ(U16(ico, entry + 6), 32u) << "bits per pixel";
    const std::uint32_t size = U32(ico, entry + 8);
    const std::uint32_t offset = U32(ico, entry + 12);
    EXPECT_EQ(offset, expected_offset);
    EXPECT_EQ(size, 40 + side * side * 4 + 4 * side) << "header, colours and a 1-bit mask";
    // The image's own header counts colour and mask rows together.
    EXPECT_EQ(U32(ico, offset), 40u);
    EXPECT_EQ(U32(ico, offset + 4), side);
    EXPECT_EQ(U32(ico, offset + 8), 2 * side);
    EXPECT_EQ(U16(ico, offset + 14), 32u);
    EXPECT_EQ(U32(ico, offset + 16), 0u) << "uncompressed";
    expected_offset += size;
  }
  EXPECT_EQ(ico.size(), expected_offset);
}

TEST(IcoTest, PixelsAreStoredBottomUpAsBgraWithTransparentPixelsMasked) {
  Image image(3, 2, kGreen);
  image.at(0, 0) = Rgba{10, 20, 30, 255};  // top left
  image.at(2, 1) = kClear;                 // bottom right
  image.at(1, 1) = Rgba{1, 2, 3, 127};     // mostly transparent: masked too
  const Bytes ico = EncodeIco({image});
  const std::size_t pixels = U32(ico, 6 + 12) + 40;
  // The first stored row is the bottom row.
  EXPECT_EQ(Bytes(ico.begin() + pixels + 4, ico.begin() + pixels + 8), (Bytes{3, 2, 1, 127}));
  EXPECT_EQ(ico[pixels + 8 + 3], 0) << "alpha of the transparent pixel";
  const std::size_t top_row = pixels + 3 * 4;
  EXPECT_EQ(Bytes(ico.begin() + top_row, ico.begin() + top_row + 4), (Bytes{30, 20, 10, 255}));
  // Mask rows are padded to four bytes; bit 7 of the first byte is the leftmost pixel.
  const std::size_t mask = pixels + 3 * 2 * 4;
  EXPECT_EQ(ico[mask], 0b0110'0000) << "bottom row: two pixels below half alpha";
  EXPECT_EQ(ico[mask + 4], 0) << "top row: all opaque";
  EXPECT_EQ(ico.size(), mask + 8);
}

TEST(IcoTest, RefusesImagesTheFormatCannotDescribe) {
  EXPECT_THROW(EncodeIco({Image(257, 16)}), std::invalid_argument);
  EXPECT_THROW(EncodeIco({Image(0, 0)}), std::invalid_argument);
  EXPECT_EQ(EncodeIco({Image(256, 256)})[6], 0) << "256 is written as 0";
}

TEST(BmpTest, MonochromeBitmapHasBlackInkOnWhite) {
  Image image(13, 13, kClear);
  image.at(0, 0) = Rgba{0, 0, 0, 255};
  image.at(12, 12) = Rgba{0, 0, 0, 255};
  const Bytes bmp = EncodeMonochromeBmp(image);
  EXPECT_EQ(Tag(bmp, 0).substr(0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(bmp.size(), 14u + 40 + 8 + 4 * 13) << "13 one-bit pixels fill a 4-byte row";
  EXPECT_EQ(U32(bmp, 10), 62u);
  EXPECT_EQ(U32(bmp, 14 + 4), 13u);
  EXPECT_EQ(U32(bmp, 14 + 8), 13u) << "positive height: rows bottom-up";
  EXPECT_EQ(U16(bmp, 14 + 14), 1u);
  EXPECT_EQ(U32(bmp, 54), 0x000000u) << "index 0 black";
  EXPECT_EQ(U32(bmp, 58), 0xFFFFFFu) << "index 1 white";
  // Bottom row: only the last pixel is ink (0); the rest of the 13 bits are 1.
  EXPECT_EQ(bmp[62], 0xFF);
  EXPECT_EQ(bmp[63], 0b1111'0000);
  // Top row: the first pixel is ink.
  const std::size_t top = 62 + 12 * 4;
  EXPECT_EQ(bmp[top], 0x7F);
  EXPECT_EQ(bmp[top + 1], 0b1111'1000);
}

TEST(BmpTest, TrueColourBitmapIsBottomUpBgrWithPaddedRowsAndMagentaForTransparency) {
  Image image(3, 2, kGreen);
  image.at(0, 0) = Rgba{10, 20, 30, 255};  // top left
  image.at(2, 1) = Rgba{1, 2, 3, 127};     // bottom right, mostly transparent
  image.at(1, 1) = Rgba{40, 50, 60, 128};  // half covered: keeps its colour
  const Bytes bmp = EncodeBmp24(image);
  EXPECT_EQ(Tag(bmp, 0).substr(0, 2), "BM");
  EXPECT_EQ(U32(bmp, 2), bmp.size());
  EXPECT_EQ(U32(bmp, 10), 54u) << "no palette";
  EXPECT_EQ(U32(bmp, 14), 40u);
  EXPECT_EQ(U32(bmp, 14 + 4), 3u);
  EXPECT_EQ(U32(bmp, 14 + 8), 2u) << "positive height: rows bottom-up";
  EXPECT_EQ(U16(bmp, 14 + 12), 1u) << "planes";
  EXPECT_EQ(U16(bmp, 14 + 14), 24u);
  EXPECT_EQ(U32(bmp, 14 + 16), 0u) << "uncompressed";
  EXPECT_EQ(U32(bmp, 14 + 20), 2u * 12) << "9 bytes of pixels padded to 12 per row";
  ASSERT_EQ(bmp.size(), 54u + 2 * 12);
  // Bottom row first.
  EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.begin() + 66),
            (Bytes{0, 255, 0, 60, 50, 40, 255, 0, 255, 0, 0, 0}));
  EXPECT_EQ(Bytes(bmp.begin() + 66, bmp.begin() + 72), (Bytes{30, 20, 10, 0, 255, 0}));
  EXPECT_EQ(Bytes(bmp.begin() + 75, bmp.end()), (Bytes{0, 0, 0})) << "padding";
}

TEST(WavTest, HeaderDescribesSixteenBitMonoPcm) {
  const Bytes wav = EncodeWav({0, 1, -1, 32767, -32768}, 22050);
  EXPECT_EQ(Tag(wav, 0), "RIFF");
  EXPECT_EQ(U32(wav, 4), wav.size() - 8);
  EXPECT_EQ(Tag(wav, 8), "WAVE");
  EXPECT_EQ(Tag(wav, 12), "fmt ");
  EXPECT_EQ(U32(wav, 16), 16u);
  EXPECT_EQ(U16(wav, 20), 1u) << "PCM";
  EXPECT_EQ(U16(wav, 22), 1u) << "mono";
  EXPECT_EQ(U32(wav, 24), 22050u);
  EXPECT_EQ(U32(wav, 28), 44100u) << "bytes per second";
  EXPECT_EQ(U16(wav, 32), 2u) << "block align";
  EXPECT_EQ(U16(wav, 34), 16u);
  EXPECT_EQ(Tag(wav, 36), "data");
  EXPECT_EQ(U32(wav, 40), 10u);
  EXPECT_EQ(Bytes(wav.begin() + 44, wav.end()),
            (Bytes{0, 0, 1, 0, 0xFF, 0xFF, 0xFF, 0x7F, 0x00, 0x80}));
  // RIFF chunks have even lengths; an odd count of 16-bit samples never needs padding.
  EXPECT_EQ(wav.size(), 54u);
}

// Walks RIFF chunks, checking that each lies inside its parent.
struct Chunk {
  std::string id;    // a chunk id, or the list type for LIST and RIFF
  std::size_t data;  // first byte after the header (after the list type for lists)
  std::uint32_t size;
  int depth;
};

void Walk(const Bytes& b, std::size_t at, std::size_t end, int depth, std::vector<Chunk>& out) {
  while (at < end) {
    ASSERT_LE(at + 8, end) << "chunk header runs past its parent";
    const std::string id = Tag(b, at);
    const std::uint32_t size = U32(b, at + 4);
    ASSERT_LE(at + 8 + size, end) << id << " runs past its parent";
    if (id == "LIST") {
      out.push_back({Tag(b, at + 8), at + 12, size - 4, depth});
      Walk(b, at + 12, at + 8 + size, depth + 1, out);
    } else {
      out.push_back({id, at + 8, size, depth});
    }
    at += 8 + size + (size & 1);
  }
}

const Chunk& Find(const std::vector<Chunk>& chunks, const std::string& id) {
  for (const Chunk& c : chunks) {
    if (c.id == id) return c;
  }
  throw std::runtime_error("no chunk " + id);
}

IndexedClip SmallClip() {
  IndexedClip clip;
  clip.width = 5;  // rows pad to 8 bytes
  clip.height = 3;
  clip.microseconds_per_frame = 125000;
  clip.palette = {kRed, kGreen, kBlue};
  for (std::uint8_t f = 0; f < 3; ++f) {
    std::vector<std::uint8_t> frame(15, f);
    frame[0] = 2;  // top-left pixel
    clip.frames.push_back(frame);
  }
  return clip;
}

TEST(AviTest, ChunksNestAndDescribeOneUncompressedVideoStream) {
  const Bytes avi = EncodeAvi(SmallClip());
  ASSERT_EQ(Tag(avi, 0), "RIFF");
  EXPECT_EQ(U32(avi, 4), avi.size() - 8);
  ASSERT_EQ(Tag(avi, 8), "AVI ");
  std::vector<Chunk> chunks;
  Walk(avi, 12, avi.size(), 0, chunks);
  ASSERT_FALSE(HasFatalFailure());

  const Chunk& avih = Find(chunks, "avih");
  EXPECT_EQ(avih.size, 56u);
  EXPECT_EQ(U32(avi, avih.data), 125000u) << "microseconds per frame";
  EXPECT_EQ(U32(avi, avih.data + 12) & 0x10, 0x10u) << "has an index";
  EXPECT_EQ(U32(avi, avih.data + 16), 3u) << "total frames";
  EXPECT_EQ(U32(avi, avih.data + 24), 1u) << "one stream: no sound";
  EXPECT_EQ(U32(avi, avih.data + 28), 24u) << "suggested buffer: one padded frame";
  EXPECT_EQ(U32(avi, avih.data + 32), 5u);
  EXPECT_EQ(U32(avi, avih.data + 36), 3u);

  const Chunk& strh = Find(chunks, "strh");
  EXPECT_EQ(Tag(avi, strh.data), "vids");
  EXPECT_EQ(Tag(avi, strh.data + 4), "DIB ");
  EXPECT_EQ(U32(avi, strh.data + 20), 125000u) << "scale";
  EXPECT_EQ(U32(avi, strh.data + 24), 1000000u) << "rate";
  EXPECT_EQ(U32(avi, strh.data + 32), 3u) << "length in frames";

  const Chunk& strf = Find(chunks, "strf");
  EXPECT_EQ(strf.size, 40u + 256 * 4);
  EXPECT_EQ(U32(avi, strf.data + 4), 5u);
  EXPECT_EQ(U32(avi, strf.data + 8), 3u);
  EXPECT_EQ(U16(avi, strf.data + 14), 8u);
  EXPECT_EQ(U32(avi, strf.data + 16), 0u) << "uncompressed";
  EXPECT_EQ(U32(avi, strf.data + 32), 256u) << "colours used";
  EXPECT_EQ(U32(avi, strf.data + 40 + 4 * 2), 0x000000FFu) << "entry 2, blue, stored as B G R 0";
  EXPECT_EQ(U32(avi, strf.data + 40 + 4 * 3), 0u) << "unused entries are black";

  const Chunk& movi = Find(chunks, "movi");
  std::vector<Chunk> frames;
  for (const Chunk& c : chunks) {
    if (c.id == "00db") frames.push_back(c);
  }
  ASSERT_EQ(frames.size(), 3u);
  for (std::size_t f = 0; f < frames.size(); ++f) {
    EXPECT_EQ(frames[f].size, 24u);
    EXPECT_EQ(frames[f].depth, movi.depth + 1);
    // Bottom row first; the top-left pixel is the first pixel of the last stored row.
    EXPECT_EQ(avi[frames[f].data], f);
    EXPECT_EQ(avi[frames[f].data + 16], 2);
    EXPECT_EQ(avi[frames[f].data + 5], 0) << "row padding";
  }

  const Chunk& idx1 = Find(chunks, "idx1");
  ASSERT_EQ(idx1.size, 3u * 16);
  const std::size_t movi_type = movi.data - 4;
  for (std::size_t f = 0; f < 3; ++f) {
    const std::size_t entry = idx1.data + 16 * f;
    EXPECT_EQ(Tag(avi, entry), "00db");
    EXPECT_EQ(U32(avi, entry + 4), 0x10u) << "key frame";
    EXPECT_EQ(movi_type + U32(avi, entry + 8) + 8, frames[f].data)
        << "index offsets count from the movi list type to the chunk header";
    EXPECT_EQ(U32(avi, entry + 12), 24u);
  }
}

TEST(AviTest, RefusesClipsThatCannotBePlayed) {
  IndexedClip clip = SmallClip();
  clip.frames.clear();
  EXPECT_THROW(EncodeAvi(clip), std::invalid_argument);
  clip = SmallClip();
  clip.palette.assign(257, kRed);
  EXPECT_THROW(EncodeAvi(clip), std::invalid_argument);
  clip = SmallClip();
  clip.frames[1].pop_back();
  EXPECT_THROW(EncodeAvi(clip), std::invalid_argument);
}

TEST(QuantizeTest, FewColoursAreKeptExactly) {
  Image a(2, 2, kRed), b(2, 2, kGreen);
  b.at(1, 1) = kBlue;
  const Rgba face{240, 240, 240, 255};
  const IndexedClip clip = QuantizeClip({a, b}, 50000, {face});
  ASSERT_EQ(clip.palette.size(), 4u);
  EXPECT_EQ(clip.palette[0], face) << "kept colours come first";
  ASSERT_EQ(clip.frames.size(), 2u);
  EXPECT_EQ(clip.palette[clip.frames[0][0]], kRed);
  EXPECT_EQ(clip.palette[clip.frames[1][0]], kGreen);
  EXPECT_EQ(clip.palette[clip.frames[1][3]], kBlue);
  EXPECT_EQ(clip.microseconds_per_frame, 50000u);
}

TEST(QuantizeTest, ManyColoursShareAPaletteOf256NearestEntries) {
  const Rgba face{240, 240, 240, 255};
  Image image(64, 64);
  for (int y = 0; y < 64; ++y) {
    for (int x = 0; x < 64; ++x) {
      image.at(x, y) =
          Rgba{std::uint8_t(x * 4), std::uint8_t(y * 4), std::uint8_t((x + y) * 2), 255};
    }
  }
  image.at(0, 0) = face;
  const IndexedClip clip = QuantizeClip({image}, 100000, {face});
  ASSERT_EQ(clip.palette.size(), 256u);
  EXPECT_EQ(clip.frames[0][0], 0) << "the kept colour is matched exactly";
  int worst = 0;
  for (int i = 1; i < 64 * 64; ++i) {
    const Rgba& want = image.pixels[std::size_t(i)];
    const Rgba& got = clip.palette[clip.frames[0][std::size_t(i)]];
    worst = std::max(
        {worst, std::abs(want.r - got.r), std::abs(want.g - got.g), std::abs(want.b - got.b)});
  }
  EXPECT_LE(worst, 24) << "a 4096-colour gradient stays close to its colours";
}

TEST(QuantizeTest, FramesMustShareOneSize) {
  EXPECT_THROW(QuantizeClip({Image(2, 2, kRed), Image(3, 2, kRed)}, 1), std::invalid_argument);
  EXPECT_TRUE(QuantizeClip({}, 1).frames.empty());
}

}  // namespace
}  // namespace sg::resources
