#pragma once
// The round the TIFF and JPEG fuzz targets share: decode within small
// limits, touch every pixel, and when it decodes, encode again with a factor
// taken from the input's last byte and decode that.
#include <cstddef>
#include <cstdint>

#include "engine/codecs/codec.h"

namespace zelmar::fuzz {

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

inline constexpr size_t kMaxInput = 1 << 20;
// Small enough that a forged size cannot exhaust the fuzzer's memory.
inline constexpr Limits kFuzzLimits{4096, 1u << 20};

inline unsigned touch(const Picture& p) {
  unsigned sum = 0;
  for (size_t i = 0; i < p.byteSize(); ++i) sum += p.data()[i];
  for (const Rgb& c : p.palette()) sum += c.r + c.g + c.b;
  return sum;
}

inline int roundTrip(const uint8_t* data, size_t size, DecodeFn decode, EncodeFn encode) {
  if (size > kMaxInput) return 0;
  Decoded first;
  if (!decode(Bytes(data, size), kFuzzLimits, first).ok()) return 0;
  volatile unsigned sink = touch(first.picture);
  OutputBuffer out;
  const int factor = 2 + (size ? data[size - 1] : 0) % 254;
  if (encode(first.picture, EncodeOptions{factor}, out).ok()) {
    Decoded again;
    if (decode(out.bytes(), kFuzzLimits, again).ok()) sink = sink + touch(again.picture);
  }
  (void)sink;
  return 0;
}

}  // namespace zelmar::fuzz
