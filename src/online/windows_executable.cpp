#include "online/windows_executable.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace sg::online {

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kPeOffsetField = 0x3C;
constexpr std::array<std::uint8_t, 4> kPeSignature = {'P', 'E', 0, 0};

// False on a read error or when the file ends first.
bool ReadExactly(platform::OpenFile& file, std::span<std::uint8_t> buffer) {
  while (!buffer.empty()) {
    const std::optional<std::size_t> read = file.Read(buffer);
    if (!read || *read == 0) return false;
    buffer = buffer.subspan(*read);
  }
  return true;
}

bool Skip(platform::OpenFile& file, std::uint64_t count) {
  std::array<std::uint8_t, 4096> discarded;
  while (count > 0) {
    const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, 4096));
    if (!ReadExactly(file, std::span(discarded).first(piece))) return false;
    count -= piece;
  }
  return true;
}

}  // namespace

bool LooksLikeWindowsExecutable(platform::OpenFile& file) {
  std::array<std::uint8_t, kDosHeaderSize> dos_header;
  if (!ReadExactly(file, dos_header) || dos_header[0] != 'M' || dos_header[1] != 'Z') {
    return false;
  }
  const std::uint32_t pe_offset = std::uint32_t{dos_header[kPeOffsetField]} |
                                  std::uint32_t{dos_header[kPeOffsetField + 1]} << 8 |
                                  std::uint32_t{dos_header[kPeOffsetField + 2]} << 16 |
                                  std::uint32_t{dos_header[kPeOffsetField + 3]} << 24;

  // An offset into the DOS header itself is read from there: the two headers may overlap.
  std::array<std::uint8_t, kPeSignature.size()> signature;
  const std::size_t in_dos_header =
      pe_offset < kDosHeaderSize ? std::min(kDosHeaderSize - pe_offset, signature.size()) : 0;
  std::copy_n(dos_header.begin() + std::min<std::size_t>(pe_offset, kDosHeaderSize), in_dos_header,
              signature.begin());
  if (pe_offset > kDosHeaderSize && !Skip(file, pe_offset - kDosHeaderSize)) return false;
  return ReadExactly(file, std::span(signature).subspan(in_dos_header)) &&
         signature == kPeSignature;
}

}  // namespace sg::online
