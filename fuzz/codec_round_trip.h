#pragma once
// The body of every codec's fuzz target: decode the input under small
// limits, touch every pixel, then encode what decoded and decode that again.
// For our own lossless writers the second picture must show the same
// colours and the writer must accept everything the reader gives; any
// broken promise aborts, so the fuzzer reports it. JPEG loses detail and the
// TIFF reader folds layouts its writer never makes, so those two are only
// decoded again. The read-only formats go through our PNG writer and reader,
// which must keep every colour and the depth.
#include <cstdint>
#include <cstdlib>

#include "engine/codecs/codec.h"
#include "engine/codecs/png.h"

namespace zelmar::fuzz {

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using OptionsDecodeFn = Status (*)(Bytes, const DecodeOptions&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

// What the second decode must show.
enum class Check { SameColours, DecodesOnly };

inline constexpr size_t kMaxInput = 1 << 20;
// Small enough that a forged size cannot exhaust the fuzzer's memory.
inline constexpr Limits kFuzzLimits{8192, 1u << 20};

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

// `first` and `second` decode (Bytes, Decoded&) with the fuzzing limits.
template <class First, class Second>
int roundTripWith(const uint8_t* data, size_t size, First first, EncodeFn encode, Second second,
                  Check check) {
  if (size > kMaxInput) return 0;
  Decoded one;
  if (!first(Bytes(data, size), one).ok()) return 0;
  const Picture& p = one.picture;
  volatile uint64_t sink = pixelSum(p);

  const int factor = 2 + (size ? data[size - 1] : 0) % 254;
  OutputBuffer out;
  const bool encoded = encode(p, EncodeOptions{factor}, out).ok();
  Decoded two;
  const bool decoded = encoded && second(out.bytes(), two).ok();
  if (decoded) sink = sink + pixelSum(two.picture);
  if (check == Check::DecodesOnly) return 0;

  require(decoded && !two.truncated);
  const Picture& q = two.picture;
  require(q.width() == p.width() && q.height() == p.height() && q.bits() == p.bits());
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) require(colourAt(p, x, y) == colourAt(q, x, y));
  return 0;
}

inline int roundTrip(const uint8_t* data, size_t size, DecodeFn decode, EncodeFn encode,
                     Check check = Check::SameColours) {
  auto withLimits = [decode](Bytes b, Decoded& d) { return decode(b, kFuzzLimits, d); };
  return roundTripWith(data, size, withLimits, encode, withLimits, check);
}

// A reader that composes transparency, over a grey or a coloured
// background chosen by the input's second-last byte, then through PNG.
inline int throughPng(const uint8_t* data, size_t size, OptionsDecodeFn decode) {
  const uint8_t pick = size > 1 ? data[size - 2] : 0;
  const Rgb back = pick & 1 ? Rgb{pick, pick, pick} : Rgb{pick, uint8_t(pick ^ 0x5a), 7};
  auto first = [&](Bytes b, Decoded& d) { return decode(b, DecodeOptions(kFuzzLimits, back), d); };
  auto second = [](Bytes b, Decoded& d) { return png::decode(b, kFuzzLimits, d); };
  return roundTripWith(data, size, first, png::encode, second, Check::SameColours);
}

}  // namespace zelmar::fuzz
