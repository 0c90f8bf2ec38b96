#pragma once
// Row helpers shared by the codecs: palette indexes packed several to a byte
// (most significant bits first, as BMP, PCX and TIFF store them) and the
// B,G,R byte order of little-endian formats.
#include <cstddef>
#include <cstdint>

namespace zelmar::rows {

// Bytes that hold `width` pixels of `bits` each, rounded up to a multiple of
// `align` bytes. The caller has checked that width × bits cannot overflow.
inline uint64_t packedBytes(uint64_t width, int bits, unsigned align = 1) {
  const uint64_t bytes = (width * unsigned(bits) + 7) / 8;
  return (bytes + align - 1) / align * align;
}

// Spreads `width` indexes of 1, 2, 4 or 8 bits into one byte each.
void unpack(const uint8_t* src, uint32_t width, int bits, uint8_t* dst);

// Packs `width` one-byte indexes into packedBytes(width, bits) bytes; the
// unused low bits of the last byte are zero. Index bits above `bits` are dropped.
void pack(const uint8_t* src, uint32_t width, int bits, uint8_t* dst);

// Copies `pixels` three-byte pixels, exchanging the first and third byte
// (R,G,B <-> B,G,R). `src` and `dst` must not overlap.
void swapRedBlue(const uint8_t* src, uint8_t* dst, size_t pixels);

}  // namespace zelmar::rows
