#include "engine/codecs/png_rows.h"

#include <emmintrin.h>

#include <cstdlib>
#include <cstring>

namespace zelmar::png {
namespace {

uint8_t paethOf(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  return uint8_t(pa <= pb && pa <= pc ? a : pb <= pc ? b : c);
}

// A pixel's bytes widened to 16-bit lanes. `wide` loads four bytes, which
// is faster and harmless where a fourth byte follows: its lane is not stored.
template <unsigned bpp, bool wide>
__m128i loadPixel(const uint8_t* p) {
  uint32_t v = 0;
  std::memcpy(&v, p, wide ? 4 : bpp);
  return _mm_unpacklo_epi8(_mm_cvtsi32_si128(int(v)), _mm_setzero_si128());
}

template <unsigned bpp>
void storePixel(uint8_t* p, __m128i v) {
  const uint32_t packed = uint32_t(_mm_cvtsi128_si32(_mm_packus_epi16(v, v)));
  std::memcpy(p, &packed, bpp);
}

__m128i absolute(__m128i v) { return _mm_max_epi16(v, _mm_sub_epi16(_mm_setzero_si128(), v)); }

__m128i choose(__m128i mask, __m128i yes, __m128i no) {
  return _mm_or_si128(_mm_and_si128(mask, yes), _mm_andnot_si128(mask, no));
}

// Paeth works pixel by pixel, each on the one before: the channels of a
// pixel go together, in 16-bit lanes, as the predictor needs nine bits.
template <unsigned bpp>
void paethPixels(const uint8_t* in, const uint8_t* prev, uint8_t* out, size_t size) {
  __m128i a = _mm_setzero_si128(), c = _mm_setzero_si128();
  const __m128i mask = _mm_set1_epi16(0xff);
  const auto step = [&](size_t i, __m128i b, __m128i d) {
    const __m128i pa0 = _mm_sub_epi16(b, c), pb0 = _mm_sub_epi16(a, c);
    const __m128i pa = absolute(pa0), pb = absolute(pb0), pc = absolute(_mm_add_epi16(pa0, pb0));
    const __m128i least = _mm_min_epi16(pc, _mm_min_epi16(pa, pb));
    const __m128i nearest =
        choose(_mm_cmpeq_epi16(least, pa), a, choose(_mm_cmpeq_epi16(least, pb), b, c));
    a = _mm_and_si128(_mm_add_epi16(nearest, d), mask);
    storePixel<bpp>(out + i, a);
    c = b;
  };
  size_t i = 0;
  for (; i + 4 <= size && i + bpp < size; i += bpp)
    step(i, loadPixel<bpp, true>(prev + i), loadPixel<bpp, true>(in + i));
  for (; i + bpp <= size; i += bpp)
    step(i, loadPixel<bpp, false>(prev + i), loadPixel<bpp, false>(in + i));
}

}  // namespace

bool unfilterRow(uint8_t type, const uint8_t* in, const uint8_t* prev, uint8_t* out, size_t size,
                 unsigned bpp) {
  const size_t lead = bpp < size ? bpp : size;
  switch (type) {
    case 0:
      std::memcpy(out, in, size);
      return true;
    case 1:
      std::memcpy(out, in, lead);
      for (size_t i = lead; i < size; ++i) out[i] = uint8_t(in[i] + out[i - bpp]);
      return true;
    case 2:
      for (size_t i = 0; i < size; ++i) out[i] = uint8_t(in[i] + prev[i]);
      return true;
    case 3:
      for (size_t i = 0; i < lead; ++i) out[i] = uint8_t(in[i] + (prev[i] >> 1));
      for (size_t i = lead; i < size; ++i)
        out[i] = uint8_t(in[i] + ((unsigned(out[i - bpp]) + prev[i]) >> 1));
      return true;
    case 4:
      if (bpp == 3) {
        paethPixels<3>(in, prev, out, size);
      } else if (bpp == 4) {
        paethPixels<4>(in, prev, out, size);
      } else {
        for (size_t i = 0; i < lead; ++i) out[i] = uint8_t(in[i] + prev[i]);
        for (size_t i = lead; i < size; ++i)
          out[i] = uint8_t(in[i] + paethOf(out[i - bpp], prev[i], prev[i - bpp]));
      }
      return true;
    default:
      return false;
  }
}

}  // namespace zelmar::png
