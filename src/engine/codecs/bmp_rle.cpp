#include "engine/codecs/bmp_rle.h"

#include <algorithm>
#include <cstring>

namespace zelmar::bmp {
namespace {

// Puts `count` pixels of a run or an absolute block at x, clipped to the
// row. RLE4 alternates the two nibbles of each byte.
void putRun(uint8_t* row, uint64_t x, uint64_t width, unsigned count, uint8_t value, int bits) {
  if (x >= width) return;
  const unsigned n = unsigned(std::min<uint64_t>(count, width - x));
  if (bits == 8) {
    std::memset(row + x, value, n);
    return;
  }
  const uint8_t hi = value >> 4, lo = value & 0x0f;
  for (unsigned k = 0; k < n; ++k) row[x + k] = (k & 1) ? lo : hi;
}

void putLiteral(uint8_t* row, uint64_t x, uint64_t width, const uint8_t* src, unsigned count,
                int bits) {
  if (x >= width) return;
  const unsigned n = unsigned(std::min<uint64_t>(count, width - x));
  if (bits == 8) {
    std::memcpy(row + x, src, n);
    return;
  }
  for (unsigned k = 0; k < n; ++k) row[x + k] = (k & 1) ? src[k / 2] & 0x0f : src[k / 2] >> 4;
}

}  // namespace

bool decodeRle(Bytes stream, int bits, bool topDown, Picture& picture) {
  const uint64_t width = picture.width(), height = picture.height();
  const uint8_t* s = stream.data();
  const size_t size = stream.size();
  size_t i = 0;
  // 64 bits: a long stream of runs or deltas may push these far past the picture.
  uint64_t x = 0, r = 0;
  auto row = [&] { return picture.row(uint32_t(topDown ? r : height - 1 - r)); };
  while (r < height) {
    if (size - i < 2) return false;
    const unsigned count = s[i];
    const uint8_t value = s[i + 1];
    i += 2;
    if (count != 0) {
      putRun(row(), x, width, count, value, bits);
      x += count;
      continue;
    }
    switch (value) {
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
      default: {  // absolute block of `value` pixels, padded to an even byte count
        const size_t bytes = bits == 8 ? value : (value + 1u) / 2;
        const size_t padded = (bytes + 1) & ~size_t(1);
        if (size - i < bytes) {
          // What is there still shows.
          const unsigned have = unsigned(bits == 8 ? size - i : (size - i) * 2);
          putLiteral(row(), x, width, s + i, have, bits);
          return false;
        }
        putLiteral(row(), x, width, s + i, value, bits);
        i += std::min(padded, size - i);
        x += value;
        break;
      }
    }
  }
  return true;
}

}  // namespace zelmar::bmp
