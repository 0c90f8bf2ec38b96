#include "engine/codecs/pcx_rle.h"

#include <algorithm>
#include <cstring>

namespace zelmar::pcx {
namespace {

constexpr uint64_t kHighBits = 0x8080808080808080ull;

uint64_t load64(const uint8_t* p) {
  uint64_t v;
  std::memcpy(&v, p, 8);
  return v;
}

// Nonzero when one of the eight bytes is 0xC0 or above (a run count).
uint64_t countBytes(uint64_t v) { return v & (v << 1) & kHighBits; }

// Nonzero when one of the eight bytes is zero.
uint64_t zeroBytes(uint64_t v) { return (v - 0x0101010101010101ull) & ~v & kHighBits; }

// How many bytes from p on stand for themselves (at most n).
size_t literalSpan(const uint8_t* p, size_t n) {
  size_t k = 0;
  while (k + 8 <= n && !countBytes(load64(p + k))) k += 8;
  while (k < n && p[k] < 0xc0) ++k;
  return k;
}

}  // namespace

size_t RleReader::read(uint8_t* dst, size_t n) {
  size_t done = 0;
  if (raw_) {
    done = std::min<size_t>(n, size_t(end_ - p_));
    std::memcpy(dst, p_, done);
    p_ += done;
    return done;
  }
  while (done < n) {
    if (runLeft_ != 0) {
      const size_t m = std::min(runLeft_, n - done);
      std::memset(dst + done, runValue_, m);
      runLeft_ -= m;
      done += m;
      continue;
    }
    if (p_ == end_) break;
    if (*p_ >= 0xc0) {
      if (end_ - p_ < 2) {
        p_ = end_;
        break;
      }
      runLeft_ = *p_ & 0x3f;
      runValue_ = p_[1];
      p_ += 2;
      continue;
    }
    const size_t k = literalSpan(p_, std::min<size_t>(n - done, size_t(end_ - p_)));
    std::memcpy(dst + done, p_, k);
    p_ += k;
    done += k;
  }
  return done;
}

uint8_t* encodeRle(const uint8_t* src, size_t n, uint8_t* dst) {
  size_t i = 0;
  while (i < n) {
    // Eight bytes with no equal neighbour and no value that looks like a
    // count are copied as they are.
    if (i + 9 <= n) {
      const uint64_t v = load64(src + i);
      if (!countBytes(v) && !zeroBytes(v ^ load64(src + i + 1))) {
        std::memcpy(dst, src + i, 8);
        dst += 8;
        i += 8;
        continue;
      }
    }
    const uint8_t v = src[i];
    const size_t limit = std::min(n, i + 63);
    size_t j = i + 1;
    while (j < limit && src[j] == v) ++j;
    const size_t run = j - i;
    if (run > 1 || v >= 0xc0) *dst++ = uint8_t(0xc0 | run);
    *dst++ = v;
    i = j;
  }
  return dst;
}

}  // namespace zelmar::pcx
