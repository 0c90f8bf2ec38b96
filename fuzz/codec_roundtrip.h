#pragma once
// The body of a codec fuzz target: decode under tight limits, touch every
// pixel, and when the input decodes, encode the picture and decode that
// again, which must give the same picture back.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "engine/codecs/codec.h"

namespace zelmar::fuzz {

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

inline bool samePicture(const Picture& a, const Picture& b) {
  return a.width() == b.width() && a.height() == b.height() && a.bits() == b.bits() &&
         a.palette() == b.palette() && std::memcmp(a.data(), b.data(), a.byteSize()) == 0;
}

inline int decodeEncodeDecode(const uint8_t* data, size_t size, DecodeFn decode, EncodeFn encode) {
  if (size > (1u << 20)) return 0;
  // Small limits keep a tiny file that declares a huge picture cheap.
  const Limits limits{8192, 1u << 20};
  Decoded first;
  if (!decode(Bytes(data, size), limits, first).ok()) return 0;
  const Picture& p = first.picture;
  uint64_t sum = 0;
  for (size_t i = 0; i < p.byteSize(); ++i) sum += p.data()[i];
  for (const Rgb& c : p.palette()) sum += c.r + c.g + c.b;
  volatile uint64_t sink = sum;
  (void)sink;

  EncodeOptions options;
  options.factor = 2 + data[size - 1] % 254;
  OutputBuffer out;
  if (!encode(p, options, out).ok()) std::abort();
  Decoded second;
  if (!decode(out.bytes(), limits, second).ok() || !samePicture(p, second.picture)) std::abort();
  return 0;
}

}  // namespace zelmar::fuzz
