#pragma once
// Turning rows of TIFF samples into picture pixels.
#include <cstddef>
#include <cstdint>
#include <memory>

namespace zelmar::tiff {

enum class SampleKind { Unsigned, Signed, Float };

// How one row of decoded samples becomes picture pixels.
struct RowFormat {
  int bps = 8;          // bits per sample: 1 to 32 whole numbers; 16, 32 or 64 floating point
  int srcStep = 1;      // samples from one pixel to the next in the source
  int channels = 1;     // samples taken per pixel: 1 (grey, palette, one plane), 3 or 4 (CMYK)
  int dstStep = 1;      // bytes from one output pixel to the next
  bool invert = false;  // min-is-white grey scaled to 8 bits
  bool index = false;   // 1, 2, 4 or 8 unsigned bits kept as palette indexes, unscaled
  bool cmyk = false;    // four ink samples in, R, G, B out
  SampleKind kind = SampleKind::Unsigned;
};

// Converts rows of up to `maxCount` pixels. Samples are scaled to 8 bits:
// whole numbers over their full range (signed ones shifted into the
// unsigned range first), floating point from 0..1, clamped. Bit-packed
// samples are read most significant bit first; 16-, 24-, 32- and 64-bit
// ones in the machine's order, as libtiff hands them over.
class RowConverter {
 public:
  RowConverter(const RowFormat& format, uint32_t maxCount);
  void operator()(const uint8_t* src, uint8_t* dst, uint32_t count) const;

 private:
  void scaleSamples(const uint8_t* src, size_t n) const;

  RowFormat f_;
  std::unique_ptr<uint8_t[]> scaled_;  // one row of samples at 8 bits
};

}  // namespace zelmar::tiff
