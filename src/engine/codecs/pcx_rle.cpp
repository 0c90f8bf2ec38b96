#include "engine/codecs/pcx_rle.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace zelmar::pcx {
namespace {

// Eight bytes are tested at once as one word, the first byte lowest.
static_assert(std::endian::native == std::endian::little);

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
  for (; k + 8 <= n; k += 8)
    if (const uint64_t counts = countBytes(load64(p + k)))
      return k + size_t(std::countr_zero(counts)) / 8;
  while (k < n && p[k] < 0xc0) ++k;
  return k;
}

// Codes the literal or the run that starts at i; returns where the next
// one starts.
size_t encodeOne(const uint8_t* src, size_t i, size_t n, uint8_t*& dst) {
  const uint8_t v = src[i];
  if (i + 1 < n && src[i + 1] == v) {
    const size_t limit = std::min(n, i + 63);
    size_t j = i + 2;
    while (j < limit && src[j] == v) ++j;
    dst[0] = uint8_t(0xc0 | (j - i));
    dst[1] = v;
    dst += 2;
    return j;
  }
  // Without a branch: a byte that looks like a count goes as a run of one.
  const size_t high = v >= 0xc0;
  dst[0] = 0xc1;
  dst[high] = v;
  dst += 1 + high;
  return i + 1;
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
      const size_t count = *p_ & 0x3f;
      const uint8_t value = p_[1];
      p_ += 2;
      // Most runs in photos are a single escaped byte.
      if (count == 1) {
        dst[done++] = value;
      } else {
        runLeft_ = count;
        runValue_ = value;
      }
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
  while (i + 10 <= n) {
    // Eight bytes below 0xC0 with no three equal in a row are copied as
    // they are (a pair of equal bytes costs two bytes as a run too);
    // otherwise the eight are coded one by one.
    const uint64_t a = load64(src + i), b = load64(src + i + 1), c = load64(src + i + 2);
    if (!(countBytes(a) | (zeroBytes(a ^ b) & zeroBytes(b ^ c)))) {
      std::memcpy(dst, src + i, 8);
      dst += 8;
      i += 8;
      continue;
    }
    for (const size_t stop = i + 8; i < stop;) i = encodeOne(src, i, n, dst);
  }
  while (i < n) i = encodeOne(src, i, n, dst);
  return dst;
}

}  // namespace zelmar::pcx
