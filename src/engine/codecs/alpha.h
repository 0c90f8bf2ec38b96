#pragma once
// Transparent pixels composed over a background colour, for the formats
// that carry alpha: the picture model has none.
#include <cstddef>
#include <cstdint>

#include "engine/core/picture.h"

namespace zelmar::alpha {

// One channel `c` of coverage `a` (0..255) over `back`, rounded.
inline uint8_t over(unsigned c, unsigned a, unsigned back) {
  const unsigned v = c * a + back * (255 - a) + 128;
  return uint8_t((v + (v >> 8)) >> 8);
}

// `n` R, G, B, A pixels over `back`, into R, G, B.
void rgbaOver(const uint8_t* rgba, uint8_t* rgb, size_t n, Rgb back);

// `n` grey, alpha pairs over the grey `back`, into grey.
void greyAlphaOver(const uint8_t* ga, uint8_t* grey, size_t n, uint8_t back);

// `n` grey, alpha pairs over the colour `back`, into R, G, B.
void greyAlphaOverColour(const uint8_t* ga, uint8_t* rgb, size_t n, Rgb back);

// Palette entries with their own alpha (entries past `alphas` stay opaque).
void paletteOver(Palette& palette, const uint8_t* alphas, size_t count, Rgb back);

// True when the colour is a grey, so grey pictures composed over it stay grey.
inline bool isGrey(Rgb c) { return c.r == c.g && c.g == c.b; }

}  // namespace zelmar::alpha
