#pragma once
// The PCX run-length code: a byte with its two top bits set is a run
// count (0..63) for the byte after it; any other byte stands for itself.
#include <cstddef>
#include <cstdint>

#include "engine/core/bytes.h"

namespace zelmar::pcx {

// Reads a stream scan line by scan line; a run that passes the end of one
// scan line carries on into the next, as some writers produce.
class RleReader {
 public:
  // `raw`: the stream is not compressed (encoding 0).
  RleReader(Bytes stream, bool raw) : p_(stream.data()), end_(p_ + stream.size()), raw_(raw) {}

  // Fills dst[0..n); returns how many bytes it could fill before the
  // stream ended.
  size_t read(uint8_t* dst, size_t n);

 private:
  const uint8_t* p_;
  const uint8_t* end_;
  bool raw_;
  size_t runLeft_ = 0;
  uint8_t runValue_ = 0;
};

// Encodes n bytes; returns the end of what it wrote at dst, which must have
// room for 2 × n bytes.
uint8_t* encodeRle(const uint8_t* src, size_t n, uint8_t* dst);

}  // namespace zelmar::pcx
