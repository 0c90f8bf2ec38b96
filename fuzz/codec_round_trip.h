#pragma once
// The body of a lossless codec's fuzz target: decode the input, touch every
// pixel, then encode what decoded and check that it decodes to the same
// colours. Any broken promise aborts, so the fuzzer reports it.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/codecs/codec.h"

namespace zelmar::fuzz {

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

inline uint64_t pixelSum(const Picture& p) {
  uint64_t sum = 0;
  for (size_t i = 0; i < p.byteSize(); ++i) sum += p.data()[i];
  for (const Rgb& c : p.palette()) sum += c.r + c.g + c.b;
  return sum;
}

inline Rgb colourAt(const Picture& p, uint32_t x, uint32_t y) {
  const uint8_t* row = p.row(y);
  return p.bits() == 24 ? Rgb{row[3 * x], row[3 * x + 1], row[3 * x + 2]} : p.palette()[row[x]];
}

inline void require(bool ok) {
  if (!ok) std::abort();
}

inline int roundTrip(const uint8_t* data, size_t size, DecodeFn decode, EncodeFn encode) {
  if (size > (1u << 20)) return 0;
  Limits limits;
  limits.maxPixels = 1u << 22;  // small declared sizes keep every run quick
  Decoded first;
  if (!decode({data, size}, limits, first).ok()) return 0;
  const Picture& p = first.picture;
  volatile uint64_t sink = pixelSum(p);

  EncodeOptions options;
  options.factor = 2 + (size ? data[size - 1] : 0) % 254;
  OutputBuffer out;
  require(encode(p, options, out).ok());
  Decoded second;
  require(decode(out.bytes(), limits, second).ok() && !second.truncated);
  const Picture& q = second.picture;
  require(q.width() == p.width() && q.height() == p.height() && q.bits() == p.bits());
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) require(colourAt(p, x, y) == colourAt(q, x, y));
  sink = sink + pixelSum(q);
  return 0;
}

}  // namespace zelmar::fuzz
