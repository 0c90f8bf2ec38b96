#pragma once
// Targa's header and its pixel layouts, shared by the reader and the writer.
#include <cstddef>
#include <cstdint>

#include "engine/core/bytes.h"
#include "engine/core/error.h"

namespace zelmar::targa::detail {

inline constexpr size_t kHeaderSize = 18;

// Image types: colour-mapped, true colour, grey; +8 when run-length encoded.
inline constexpr uint8_t kMapped = 1, kTrueColor = 2, kGray = 3, kRle = 8;

// Descriptor bits: pixels run right to left, rows run top to bottom.
inline constexpr uint8_t kRightToLeft = 0x10, kTopDown = 0x20;

struct Header {
  uint8_t idLength = 0;
  uint8_t mapType = 0;
  uint8_t imageType = 0;
  uint16_t mapFirst = 0;
  uint16_t mapLength = 0;
  uint8_t mapEntryBits = 0;
  uint16_t width = 0, height = 0;
  uint8_t depth = 0;
  uint8_t descriptor = 0;

  uint8_t baseType() const { return imageType & ~kRle; }
  bool rle() const { return (imageType & kRle) != 0; }
  int bytesPerPixel() const { return (depth + 7) / 8; }
  int bytesPerMapEntry() const { return (mapEntryBits + 7) / 8; }
};

// Parses and checks the fixed header. Errors: Truncated for fewer than 18
// bytes, BadHeader (with the reason) for an implausible one.
Status readHeader(Bytes data, Header& h);

// Converts n stored pixels of 2 (x-5-5-5), 3 (B,G,R) or 4 (B,G,R,A) bytes
// to R,G,B. Alpha and attribute bits are dropped.
void toRgb(const uint8_t* src, int bytesPerPixel, size_t n, uint8_t* dst);

}  // namespace zelmar::targa::detail
