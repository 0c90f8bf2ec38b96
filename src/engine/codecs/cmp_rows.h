#pragma once
// CMP's row filters: packing palette indexes and the median-edge predictor
// of one 24-bit plane (the layout is described in cmp.h).
#include <cstddef>
#include <cstdint>

namespace zelmar::cmp::detail {

// Bytes one stored row takes at `bits` per pixel.
inline size_t packedRowBytes(uint32_t width, int bits) {
  return (size_t(width) * size_t(bits) + 7) / 8;
}

// One index byte per pixel <-> `bits` (1, 4 or 8) per pixel, high bits
// first; the spare low bits of the last byte are written as 0.
void packRow(const uint8_t* indexes, uint32_t width, int bits, uint8_t* packed);
void unpackRow(const uint8_t* packed, uint32_t width, int bits, uint8_t* indexes);

// Residuals of one plane row: `cur` and `above` hold the plane's samples of
// this row and the row above (null on the first row).
void predictRow(const uint8_t* cur, const uint8_t* above, uint32_t width, uint8_t* residuals);

// The inverse, writing samples of one channel straight into interleaved
// R,G,B rows: `row` and `above` point at the channel's first sample, and
// samples are 3 bytes apart (`above` null on the first row).
void reconstructRow(const uint8_t* residuals, const uint8_t* above, uint32_t width, uint8_t* row);

}  // namespace zelmar::cmp::detail
