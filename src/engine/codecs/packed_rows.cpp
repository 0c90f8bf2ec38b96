#include "engine/codecs/packed_rows.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

// The byte shuffles below run over whole photos; on x86 they get an AVX2
// copy chosen at load time.
#if defined(__x86_64__) && !defined(__clang_analyzer__)
#define ZELMAR_ROW_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define ZELMAR_ROW_KERNEL
#endif

namespace zelmar::rows {

void unpack(const uint8_t* src, uint32_t width, int bits, uint8_t* dst) {
  switch (bits) {
    case 8:
      std::memcpy(dst, src, width);
      return;
    case 4:
      for (uint32_t x = 0; x + 1 < width; x += 2) {
        const uint8_t b = src[x / 2];
        dst[x] = b >> 4;
        dst[x + 1] = b & 0x0f;
      }
      if (width & 1) dst[width - 1] = src[width / 2] >> 4;
      return;
    default: {
      const unsigned perByte = 8 / unsigned(bits), mask = (1u << bits) - 1;
      const uint32_t whole = width / perByte * perByte;
      for (uint32_t x = 0; x < whole; x += perByte) {
        const unsigned b = src[x / perByte];
        for (unsigned i = 0; i < perByte; ++i)
          dst[x + i] = uint8_t((b >> (8 - bits * (i + 1))) & mask);
      }
      for (uint32_t x = whole; x < width; ++x) {
        const unsigned i = x % perByte;
        dst[x] = uint8_t((src[x / perByte] >> (8 - bits * (i + 1))) & mask);
      }
      return;
    }
  }
}

void pack(const uint8_t* src, uint32_t width, int bits, uint8_t* dst) {
  if (bits == 8) {
    std::memcpy(dst, src, width);
    return;
  }
  const unsigned perByte = 8 / unsigned(bits), mask = (1u << bits) - 1;
  const uint32_t bytes = (width + perByte - 1) / perByte;
  for (uint32_t i = 0; i < bytes; ++i) {
    unsigned b = 0;
    const uint32_t x0 = i * perByte;
    for (unsigned k = 0; k < perByte; ++k) {
      const unsigned v = x0 + k < width ? src[x0 + k] & mask : 0;
      b |= v << (8 - bits * (k + 1));
    }
    dst[i] = uint8_t(b);
  }
}

#if defined(__x86_64__) || defined(__i386__)
namespace {
// The compiler's own vectorisation of the plain loop runs at two thirds of
// the speed of a copy; one byte shuffle per five pixels keeps pace with it.
// Returns the pixels done (all but the last few).
__attribute__((target("ssse3"))) size_t swapRedBlueSsse3(const uint8_t* __restrict src,
                                                         uint8_t* __restrict dst, size_t n) {
  const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
  size_t i = 0;
  // 16 bytes in and out per 5 pixels (15 bytes): the spare byte is written
  // again by the next step, and stopping a pixel early keeps every load and
  // store inside the n pixels.
  for (; i + 6 <= n; i += 5) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + 3 * i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 3 * i), _mm_shuffle_epi8(v, order));
  }
  return i;
}
}  // namespace
#endif

void swapRedBlue(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t pixels) {
  size_t done = 0;
#if defined(__x86_64__) || defined(__i386__)
  static const bool ssse3 = __builtin_cpu_supports("ssse3");
  if (ssse3) done = swapRedBlueSsse3(src, dst, pixels);
#endif
  for (size_t i = done; i < pixels; ++i) {
    dst[3 * i] = src[3 * i + 2];
    dst[3 * i + 1] = src[3 * i + 1];
    dst[3 * i + 2] = src[3 * i];
  }
}

ZELMAR_ROW_KERNEL
void bgrxToRgb(const uint8_t* __restrict src, uint8_t* __restrict dst, size_t pixels) {
  for (size_t i = 0; i < pixels; ++i) {
    dst[3 * i] = src[4 * i + 2];
    dst[3 * i + 1] = src[4 * i + 1];
    dst[3 * i + 2] = src[4 * i];
  }
}

ZELMAR_ROW_KERNEL
void interleave3(const uint8_t* __restrict a, const uint8_t* __restrict b,
                 const uint8_t* __restrict c, uint8_t* __restrict dst, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    dst[3 * i] = a[i];
    dst[3 * i + 1] = b[i];
    dst[3 * i + 2] = c[i];
  }
}

ZELMAR_ROW_KERNEL
void deinterleave3(const uint8_t* __restrict src, uint8_t* __restrict a, uint8_t* __restrict b,
                   uint8_t* __restrict c, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    a[i] = src[3 * i];
    b[i] = src[3 * i + 1];
    c[i] = src[3 * i + 2];
  }
}

}  // namespace zelmar::rows
