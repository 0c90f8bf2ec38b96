#pragma once
// Turning rows of TIFF samples into picture pixels and back.
#include <cstddef>
#include <cstdint>

namespace zelmar::tiff {

// How one row of decoded samples becomes picture pixels.
struct RowFormat {
  int bps = 8;          // bits per sample: 1, 2 or 4 (one channel only), 8 or 16
  int srcStep = 1;      // samples from one pixel to the next in the source
  int channels = 1;     // samples taken per pixel: 1 (grey, palette, one plane) or 3
  int dstStep = 1;      // bytes from one picture pixel to the next: 1 or 3
  bool invert = false;  // min-is-white grey at 8 and 16 bits
};

// Converts `count` pixels; samples below 8 bits become one index a byte,
// 16-bit samples (native order) are scaled to 8 bits.
void convertRow(const uint8_t* src, uint8_t* dst, uint32_t count, const RowFormat& format);

}  // namespace zelmar::tiff
