#include "resources/generators/resource_formats.h"

#include <algorithm>
#include <array>
#include <fstream>
#include <map>
#include <stdexcept>
#include <unordered_map>

namespace sg::resources {
namespace {

class Writer {
 public:
  explicit Writer(Bytes& out) : out_(out) {}

  void U8(std::uint8_t v) { out_.push_back(v); }
  void U16(std::uint16_t v) {
    U8(std::uint8_t(v & 0xFF));
    U8(std::uint8_t(v >> 8));
  }
  void U32(std::uint32_t v) {
    U16(std::uint16_t(v & 0xFFFF));
    U16(std::uint16_t(v >> 16));
  }
  void I32(std::int32_t v) { U32(std::uint32_t(v)); }
  void Tag(const char (&four)[5]) {
    for (int i = 0; i < 4; ++i) U8(std::uint8_t(four[i]));
  }
  void Append(const Bytes& bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }

  std::size_t Size() const { return out_.size(); }
  void PatchU32(std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out_[at + i] = std::uint8_t((v >> (8 * i)) & 0xFF);
  }

  // Opens a chunk (or, with a list type, a LIST/RIFF) and returns the place of its size field.
  std::size_t OpenChunk(const char (&id)[5]) {
    Tag(id);
    const std::size_t size_at = Size();
    U32(0);
    return size_at;
  }
  std::size_t OpenList(const char (&id)[5], const char (&type)[5]) {
    const std::size_t size_at = OpenChunk(id);
    Tag(type);
    return size_at;
  }
  // RIFF chunks are padded to an even length; the size field leaves the pad byte out.
  void CloseChunk(std::size_t size_at) {
    PatchU32(size_at, std::uint32_t(Size() - size_at - 4));
    if (Size() % 2 != 0) U8(0);
  }

 private:
  Bytes& out_;
};

void BitmapInfoHeader(Writer& w, int width, int height, int bits, std::uint32_t image_size,
                      std::uint32_t colours_used) {
  w.U32(40);
  w.I32(width);
  w.I32(height);
  w.U16(1);
  w.U16(std::uint16_t(bits));
  w.U32(0);  // BI_RGB
  w.U32(image_size);
  w.I32(0);
  w.I32(0);
  w.U32(colours_used);
  w.U32(0);
}

std::uint32_t MaskStride(int width) {
  return std::uint32_t((width + 31) / 32) * 4;
}

std::uint32_t Pack(const Rgba& c) {
  return std::uint32_t(c.r) << 16 | std::uint32_t(c.g) << 8 | std::uint32_t(c.b);
}
Rgba Unpack(std::uint32_t v) {
  return {std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v), 255};
}
int Channel(std::uint32_t v, int channel) {
  return int((v >> (16 - 8 * channel)) & 0xFF);
}

struct ColourCount {
  std::uint32_t colour;
  std::uint64_t count;
};

// Splits the colours into at most `budget` boxes, always cutting the box with the widest
// channel range at its weighted median, and returns each box's weighted mean.
std::vector<Rgba> MedianCut(std::vector<ColourCount> colours, std::size_t budget) {
  std::vector<std::vector<ColourCount>> boxes;
  if (!colours.empty() && budget > 0) boxes.push_back(std::move(colours));
  auto widest = [](const std::vector<ColourCount>& box, int& channel) {
    int best = -1;
    for (int c = 0; c < 3; ++c) {
      int lo = 255, hi = 0;
      for (const auto& cc : box) {
        lo = std::min(lo, Channel(cc.colour, c));
        hi = std::max(hi, Channel(cc.colour, c));
      }
      if (hi - lo > best) {
        best = hi - lo;
        channel = c;
      }
    }
    return best;
  };
  while (boxes.size() < budget) {
    int best_range = 0, best_channel = 0;
    std::size_t best_box = boxes.size();
    for (std::size_t i = 0; i < boxes.size(); ++i) {
      if (boxes[i].size() < 2) continue;
      int channel = 0;
      const int range = widest(boxes[i], channel);
      if (range > best_range) {
        best_range = range;
        best_channel = channel;
        best_box = i;
      }
    }
    if (best_box == boxes.size()) break;
    auto& box = boxes[best_box];
    std::sort(box.begin(), box.end(), [&](const ColourCount& a, const ColourCount& b) {
      return Channel(a.colour, best_channel) < Channel(b.colour, best_channel);
    });
    std::uint64_t total = 0;
    for (const auto& cc : box) total += cc.count;
    std::uint64_t running = 0;
    std::size_t cut = 1;
    for (std::size_t i = 0; i + 1 < box.size(); ++i) {
      running += box[i].count;
      cut = i + 1;
      if (running * 2 >= total) break;
    }
    std::vector<ColourCount> upper(box.begin() + std::ptrdiff_t(cut), box.end());
    box.resize(cut);
    boxes.push_back(std::move(upper));
  }
  std::vector<Rgba> palette;
  for (const auto& box : boxes) {
    std::array<std::uint64_t, 3> sum{};
    std::uint64_t total = 0;
    for (const auto& cc : box) {
      for (int c = 0; c < 3; ++c) sum[c] += std::uint64_t(Channel(cc.colour, c)) * cc.count;
      total += cc.count;
    }
    palette.push_back({std::uint8_t((sum[0] + total / 2) / total),
                       std::uint8_t((sum[1] + total / 2) / total),
                       std::uint8_t((sum[2] + total / 2) / total), 255});
  }
  return palette;
}

// The file header of a .bmp: its size and where the pixels start.
void BitmapFileHeader(Writer& w, std::uint32_t bits_offset, std::uint32_t image_size) {
  w.U8('B');
  w.U8('M');
  w.U32(bits_offset + image_size);
  w.U16(0);
  w.U16(0);
  w.U32(bits_offset);
}

}  // namespace

Bytes EncodeIco(const std::vector<Image>& images) {
  Bytes out;
  Writer w(out);
  w.U16(0);
  w.U16(1);  // icon, not cursor
  w.U16(std::uint16_t(images.size()));
  std::uint32_t offset = 6 + 16 * std::uint32_t(images.size());
  std::vector<Bytes> bodies;
  for (const Image& image : images) {
    if (image.width < 1 || image.width > 256 || image.height < 1 || image.height > 256 ||
        image.pixels.size() != std::size_t(image.width) * image.height) {
      throw std::invalid_argument("icon image size out of range");
    }
    Bytes body;
    Writer b(body);
    const std::uint32_t xor_size = std::uint32_t(image.width) * image.height * 4;
    const std::uint32_t and_size = MaskStride(image.width) * image.height;
    // The height counts the colour and the mask rows together.
    BitmapInfoHeader(b, image.width, image.height * 2, 32, xor_size + and_size, 0);
    for (int y = image.height - 1; y >= 0; --y) {
      for (int x = 0; x < image.width; ++x) {
        const Rgba& p = image.at(x, y);
        b.U8(p.b);
        b.U8(p.g);
        b.U8(p.r);
        b.U8(p.a);
      }
    }
    for (int y = image.height - 1; y >= 0; --y) {
      std::vector<std::uint8_t> row(MaskStride(image.width), 0);
      for (int x = 0; x < image.width; ++x) {
        if (image.at(x, y).a < 128) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
      }
      b.Append(row);
    }
    w.U8(std::uint8_t(image.width & 0xFF));  // 256 is written as 0
    w.U8(std::uint8_t(image.height & 0xFF));
    w.U8(0);
    w.U8(0);
    w.U16(1);
    w.U16(32);
    w.U32(std::uint32_t(body.size()));
    w.U32(offset);
    offset += std::uint32_t(body.size());
    bodies.push_back(std::move(body));
  }
  for (const Bytes& body : bodies) w.Append(body);
  return out;
}

Bytes EncodeMonochromeBmp(const Image& image) {
  const std::uint32_t stride = MaskStride(image.width);
  const std::uint32_t image_size = stride * std::uint32_t(image.height);
  const std::uint32_t bits_offset = 14 + 40 + 2 * 4;
  Bytes out;
  Writer w(out);
  BitmapFileHeader(w, bits_offset, image_size);
  BitmapInfoHeader(w, image.width, image.height, 1, image_size, 2);
  w.U32(0x00000000);  // index 0: black
  w.U32(0x00FFFFFF);  // index 1: white
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(stride, 0);
    for (int x = 0; x < image.width; ++x) {
      if (image.at(x, y).a < 128) row[std::size_t(x / 8)] |= std::uint8_t(0x80 >> (x % 8));
    }
    w.Append(row);
  }
  return out;
}

Bytes EncodeBmp24(const Image& image) {
  const std::uint32_t stride = (std::uint32_t(image.width) * 3 + 3) / 4 * 4;
  const std::uint32_t image_size = stride * std::uint32_t(image.height);
  const std::uint32_t bits_offset = 14 + 40;
  Bytes out;
  Writer w(out);
  BitmapFileHeader(w, bits_offset, image_size);
  BitmapInfoHeader(w, image.width, image.height, 24, image_size, 0);
  for (int y = image.height - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(stride, 0);
    for (int x = 0; x < image.width; ++x) {
      const Rgba p = image.at(x, y).a < 128 ? kTransparentKey : image.at(x, y);
      row[std::size_t(x) * 3] = p.b;
      row[std::size_t(x) * 3 + 1] = p.g;
      row[std::size_t(x) * 3 + 2] = p.r;
    }
    w.Append(row);
  }
  return out;
}

IndexedClip QuantizeClip(const std::vector<Image>& frames, std::uint32_t microseconds_per_frame,
                         const std::vector<Rgba>& keep) {
  IndexedClip clip;
  clip.microseconds_per_frame = microseconds_per_frame;
  if (frames.empty()) return clip;
  clip.width = frames.front().width;
  clip.height = frames.front().height;
  std::map<std::uint32_t, std::uint64_t> histogram;
  for (const Image& frame : frames) {
    if (frame.width != clip.width || frame.height != clip.height) {
      throw std::invalid_argument("clip frames differ in size");
    }
    for (const Rgba& p : frame.pixels) ++histogram[Pack(p)];
  }
  for (const Rgba& k : keep) {
    const Rgba opaque{k.r, k.g, k.b, 255};
    if (std::find(clip.palette.begin(), clip.palette.end(), opaque) == clip.palette.end()) {
      clip.palette.push_back(opaque);
    }
    histogram.erase(Pack(opaque));
  }
  if (clip.palette.size() > 256) throw std::invalid_argument("too many kept colours");
  const std::size_t budget = 256 - clip.palette.size();
  if (histogram.size() <= budget) {
    for (const auto& [colour, count] : histogram) clip.palette.push_back(Unpack(colour));
  } else {
    std::vector<ColourCount> colours;
    for (const auto& [colour, count] : histogram) colours.push_back({colour, count});
    for (const Rgba& c : MedianCut(std::move(colours), budget)) clip.palette.push_back(c);
  }
  std::unordered_map<std::uint32_t, std::uint8_t> nearest;
  auto index_of = [&](const Rgba& p) {
    const std::uint32_t key = Pack(p);
    if (auto it = nearest.find(key); it != nearest.end()) return it->second;
    std::size_t best = 0;
    long best_distance = -1;
    for (std::size_t i = 0; i < clip.palette.size(); ++i) {
      const long dr = long(p.r) - clip.palette[i].r;
      const long dg = long(p.g) - clip.palette[i].g;
      const long db = long(p.b) - clip.palette[i].b;
      const long distance = dr * dr + dg * dg + db * db;
      if (best_distance < 0 || distance < best_distance) {
        best_distance = distance;
        best = i;
      }
    }
    nearest.emplace(key, std::uint8_t(best));
    return std::uint8_t(best);
  };
  for (const Image& frame : frames) {
    std::vector<std::uint8_t> indices;
    indices.reserve(frame.pixels.size());
    for (const Rgba& p : frame.pixels) indices.push_back(index_of(p));
    clip.frames.push_back(std::move(indices));
  }
  return clip;
}

Bytes EncodeAvi(const IndexedClip& clip) {
  if (clip.palette.empty() || clip.palette.size() > 256 || clip.frames.empty()) {
    throw std::invalid_argument("clip needs a palette and frames");
  }
  const std::uint32_t stride = std::uint32_t((clip.width + 3) / 4) * 4;
  const std::uint32_t frame_size = stride * std::uint32_t(clip.height);
  const std::uint32_t frame_count = std::uint32_t(clip.frames.size());
  const std::uint32_t per_second =
      std::uint32_t((std::uint64_t(frame_size) * 1000000 + clip.microseconds_per_frame - 1) /
                    clip.microseconds_per_frame);

  Bytes out;
  Writer w(out);
  const std::size_t riff = w.OpenList("RIFF", "AVI ");
  const std::size_t hdrl = w.OpenList("LIST", "hdrl");

  const std::size_t avih = w.OpenChunk("avih");
  w.U32(clip.microseconds_per_frame);
  w.U32(per_second);
  w.U32(0);     // padding granularity
  w.U32(0x10);  // AVIF_HASINDEX
  w.U32(frame_count);
  w.U32(0);  // initial frames
  w.U32(1);  // streams
  w.U32(frame_size);
  w.U32(std::uint32_t(clip.width));
  w.U32(std::uint32_t(clip.height));
  for (int i = 0; i < 4; ++i) w.U32(0);
  w.CloseChunk(avih);

  const std::size_t strl = w.OpenList("LIST", "strl");
  const std::size_t strh = w.OpenChunk("strh");
  w.Tag("vids");
  w.Tag("DIB ");                       // uncompressed frames: no codec needed
  w.U32(0);                            // flags
  w.U16(0);                            // priority
  w.U16(0);                            // language
  w.U32(0);                            // initial frames
  w.U32(clip.microseconds_per_frame);  // scale / rate = seconds per frame
  w.U32(1000000);
  w.U32(0);  // start
  w.U32(frame_count);
  w.U32(frame_size);
  w.U32(0xFFFFFFFF);  // default quality
  w.U32(0);           // sample size: varies (one frame per chunk)
  w.U16(0);
  w.U16(0);
  w.U16(std::uint16_t(clip.width));
  w.U16(std::uint16_t(clip.height));
  w.CloseChunk(strh);

  const std::size_t strf = w.OpenChunk("strf");
  BitmapInfoHeader(w, clip.width, clip.height, 8, frame_size, 256);
  for (std::size_t i = 0; i < 256; ++i) {
    const Rgba c = i < clip.palette.size() ? clip.palette[i] : Rgba{};
    w.U8(c.b);
    w.U8(c.g);
    w.U8(c.r);
    w.U8(0);
  }
  w.CloseChunk(strf);
  w.CloseChunk(strl);
  w.CloseChunk(hdrl);

  const std::size_t movi = w.OpenList("LIST", "movi");
  const std::size_t movi_type_at = movi + 4;  // index offsets count from the list type
  std::vector<std::uint32_t> chunk_offsets;
  for (const auto& frame : clip.frames) {
    if (frame.size() != std::size_t(clip.width) * clip.height) {
      throw std::invalid_argument("clip frame has the wrong number of pixels");
    }
    chunk_offsets.push_back(std::uint32_t(w.Size() - movi_type_at));
    const std::size_t chunk = w.OpenChunk("00db");
    for (int y = clip.height - 1; y >= 0; --y) {
      for (int x = 0; x < clip.width; ++x) w.U8(frame[std::size_t(y) * clip.width + x]);
      for (std::uint32_t pad = std::uint32_t(clip.width); pad < stride; ++pad) w.U8(0);
    }
    w.CloseChunk(chunk);
  }
  w.CloseChunk(movi);

  const std::size_t idx1 = w.OpenChunk("idx1");
  for (std::uint32_t offset : chunk_offsets) {
    w.Tag("00db");
    w.U32(0x10);  // AVIIF_KEYFRAME: every frame stands alone
    w.U32(offset);
    w.U32(frame_size);
  }
  w.CloseChunk(idx1);
  w.CloseChunk(riff);
  return out;
}

Bytes EncodeWav(const std::vector<std::int16_t>& samples, std::uint32_t sample_rate) {
  Bytes out;
  Writer w(out);
  const std::size_t riff = w.OpenList("RIFF", "WAVE");
  const std::size_t fmt = w.OpenChunk("fmt ");
  w.U16(1);  // PCM
  w.U16(1);  // mono
  w.U32(sample_rate);
  w.U32(sample_rate * 2);
  w.U16(2);
  w.U16(16);
  w.CloseChunk(fmt);
  const std::size_t data = w.OpenChunk("data");
  for (std::int16_t s : samples) w.U16(std::uint16_t(s));
  w.CloseChunk(data);
  w.CloseChunk(riff);
  return out;
}

bool WriteBytes(const std::string& path, const Bytes& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
  file.close();
  return bool(file);
}

}  // namespace sg::resources
