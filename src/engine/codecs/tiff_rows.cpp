#include "engine/codecs/tiff_rows.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/codecs/packed_rows.h"

namespace zelmar::tiff {
namespace {

bool plain8(const RowFormat& f) { return f.bps == 8 && f.kind == SampleKind::Unsigned && !f.cmyk; }
bool plain16(const RowFormat& f) {
  return f.bps == 16 && f.kind == SampleKind::Unsigned && !f.cmyk;
}

uint8_t scale16(uint16_t v) { return uint8_t((uint32_t(v) * 255 + 32767) / 65535); }

void convert8(const uint8_t* src, uint8_t* dst, uint32_t count, const RowFormat& f) {
  if (f.srcStep == f.channels && f.dstStep == f.channels && !f.invert) {
    std::memcpy(dst, src, size_t(count) * f.channels);
    return;
  }
  const uint8_t flip = f.invert ? 0xFF : 0;
  for (uint32_t x = 0; x < count; ++x, src += f.srcStep, dst += f.dstStep)
    for (int c = 0; c < f.channels; ++c) dst[c] = src[c] ^ flip;
}

void convert16(const uint8_t* src, uint8_t* dst, uint32_t count, const RowFormat& f) {
  const uint8_t flip = f.invert ? 0xFF : 0;
  for (uint32_t x = 0; x < count; ++x, src += 2 * f.srcStep, dst += f.dstStep) {
    for (int c = 0; c < f.channels; ++c) {
      uint16_t v;
      std::memcpy(&v, src + 2 * c, 2);
      dst[c] = scale16(v) ^ flip;
    }
  }
}

template <class T>
T load(const uint8_t* p) {
  T v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint8_t fromUnit(double v) {
  if (!(v > 0)) return 0;  // NaN too
  return v >= 1 ? 255 : uint8_t(std::lround(v * 255));
}

float halfToFloat(uint16_t h) {
  const int exponent = (h >> 10) & 0x1f, mantissa = h & 0x3ff;
  const float sign = (h & 0x8000) ? -1.0f : 1.0f;
  if (exponent == 0) return sign * std::ldexp(float(mantissa), -24);
  if (exponent == 31) return mantissa ? NAN : sign * INFINITY;
  return sign * std::ldexp(float(mantissa | 0x400), exponent - 25);
}

// Ink amounts to light, as for CMYK JPEG.
void cmykPixel(const uint8_t* cmyk, uint8_t* rgb) {
  const unsigned k = 255u - cmyk[3];
  for (int c = 0; c < 3; ++c) rgb[c] = uint8_t(((255u - cmyk[c]) * k + 127) / 255);
}

}  // namespace

RowConverter::RowConverter(const RowFormat& format, uint32_t maxCount) : f_(format) {
  if (!f_.index && !plain8(f_) && !plain16(f_))
    scaled_ = std::make_unique_for_overwrite<uint8_t[]>(size_t(maxCount) * f_.srcStep);
}

void RowConverter::scaleSamples(const uint8_t* src, size_t n) const {
  uint8_t* out = scaled_.get();
  const int bps = f_.bps;
  if (f_.kind == SampleKind::Float) {
    for (size_t i = 0; i < n; ++i) {
      const double v = bps == 16   ? halfToFloat(load<uint16_t>(src + 2 * i))
                       : bps == 32 ? double(load<float>(src + 4 * i))
                                   : load<double>(src + 8 * i);
      out[i] = fromUnit(v);
    }
    return;
  }
  // Signed samples become offset binary by flipping their top bit.
  const uint64_t top = f_.kind == SampleKind::Signed ? uint64_t(1) << (bps - 1) : 0;
  const uint64_t max = (uint64_t(1) << bps) - 1;
  auto to8 = [&](uint64_t v) { return uint8_t(((v ^ top) * 255 + max / 2) / max); };
  switch (bps) {
    case 8:
      for (size_t i = 0; i < n; ++i) out[i] = uint8_t(src[i] ^ top);
      return;
    case 16:
      for (size_t i = 0; i < n; ++i) out[i] = scale16(uint16_t(load<uint16_t>(src + 2 * i) ^ top));
      return;
    case 24:
      for (size_t i = 0; i < n; ++i, src += 3)
        out[i] = to8(uint32_t(src[0]) | uint32_t(src[1]) << 8 | uint32_t(src[2]) << 16);
      return;
    case 32:
      for (size_t i = 0; i < n; ++i) out[i] = to8(load<uint32_t>(src + 4 * i));
      return;
    default:
      // Packed most significant bit first across byte boundaries.
      for (size_t i = 0; i < n; ++i) {
        const uint64_t bit = uint64_t(i) * unsigned(bps);
        const unsigned skip = unsigned(bit % 8), bytes = (skip + unsigned(bps) + 7) / 8;
        uint64_t v = 0;
        for (unsigned b = 0; b < bytes; ++b) v = v << 8 | src[bit / 8 + b];
        out[i] = to8((v >> (8 * bytes - skip - unsigned(bps))) & max);
      }
  }
}

void RowConverter::operator()(const uint8_t* src, uint8_t* dst, uint32_t count) const {
  if (f_.index) {
    rows::unpack(src, count, f_.bps, dst);
    return;
  }
  if (plain8(f_)) return convert8(src, dst, count, f_);
  if (plain16(f_)) return convert16(src, dst, count, f_);
  scaleSamples(src, size_t(count) * f_.srcStep);
  const uint8_t* s = scaled_.get();
  if (f_.cmyk) {
    for (uint32_t x = 0; x < count; ++x, s += f_.srcStep, dst += f_.dstStep) cmykPixel(s, dst);
    return;
  }
  RowFormat plain = f_;
  plain.bps = 8;
  plain.kind = SampleKind::Unsigned;
  convert8(s, dst, count, plain);
}

}  // namespace zelmar::tiff
