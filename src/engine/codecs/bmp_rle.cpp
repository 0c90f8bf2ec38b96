#include "engine/codecs/bmp_rle.h"

#include <algorithm>
#include <cstring>

namespace zelmar::bmp {
namespace {

// Bytes of one run value: a pixel for RLE24 (B, G, R), one byte otherwise.
size_t valueBytes(int bits) { return bits == 24 ? 3 : 1; }

// Bytes an absolute block of `count` pixels takes before its padding.
size_t literalBytes(unsigned count, int bits) {
  return bits == 24 ? size_t(count) * 3 : bits == 8 ? count : (count + 1u) / 2;
}

// Puts `count` pixels of a run at x, clipped to the row. RLE4 alternates
// the two nibbles of its byte.
void putRun(uint8_t* row, uint64_t x, uint64_t width, unsigned count, const uint8_t* value,
            int bits) {
  if (x >= width) return;
  const unsigned n = unsigned(std::min<uint64_t>(count, width - x));
  if (bits == 8) {
    std::memset(row + x, value[0], n);
  } else if (bits == 24) {
    for (unsigned k = 0; k < n; ++k) {
      uint8_t* px = row + 3 * (x + k);
      px[0] = value[2];
      px[1] = value[1];
      px[2] = value[0];
    }
  } else {
    const uint8_t hi = value[0] >> 4, lo = value[0] & 0x0f;
    for (unsigned k = 0; k < n; ++k) row[x + k] = (k & 1) ? lo : hi;
  }
}

void putLiteral(uint8_t* row, uint64_t x, uint64_t width, const uint8_t* src, unsigned count,
                int bits) {
  if (x >= width) return;
  const unsigned n = unsigned(std::min<uint64_t>(count, width - x));
  if (bits == 8) {
    std::memcpy(row + x, src, n);
  } else if (bits == 24) {
    for (unsigned k = 0; k < n; ++k) putRun(row, x + k, width, 1, src + 3 * k, 24);
  } else {
    for (unsigned k = 0; k < n; ++k) row[x + k] = (k & 1) ? src[k / 2] & 0x0f : src[k / 2] >> 4;
  }
}

}  // namespace

bool decodeRle(Bytes stream, int bits, bool topDown, Picture& picture) {
  const uint64_t width = picture.width(), height = picture.height();
  const uint8_t* s = stream.data();
  const size_t size = stream.size(), value = valueBytes(bits);
  size_t i = 0;
  // 64 bits: a long stream of runs or deltas may push these far past the picture.
  uint64_t x = 0, r = 0;
  auto row = [&] { return picture.row(uint32_t(topDown ? r : height - 1 - r)); };
  while (r < height) {
    if (size - i < 2) return false;
    const unsigned count = s[i];
    if (count != 0) {
      if (size - i < 1 + value) return false;
      putRun(row(), x, width, count, s + i + 1, bits);
      i += 1 + value;
      x += count;
      continue;
    }
    const uint8_t escape = s[i + 1];
    i += 2;
    switch (escape) {
      case 0:  // end of line
        x = 0;
        ++r;
        break;
      case 1:  // end of bitmap
        return true;
      case 2:  // delta: move right and up (down for top-down files)
        if (size - i < 2) return false;
        x += s[i];
        r += s[i + 1];
        i += 2;
        break;
      default: {  // absolute block of `escape` pixels, padded to an even byte count
        const size_t bytes = literalBytes(escape, bits);
        const size_t padded = (bytes + 1) & ~size_t(1);
        if (size - i < bytes) {
          // What is there still shows.
          const size_t left = size - i;
          const unsigned have = unsigned(bits == 24 ? left / 3 : bits == 8 ? left : left * 2);
          putLiteral(row(), x, width, s + i, have, bits);
          return false;
        }
        putLiteral(row(), x, width, s + i, escape, bits);
        i += std::min(padded, size - i);
        x += escape;
        break;
      }
    }
  }
  return true;
}

}  // namespace zelmar::bmp
