#include "engine/codecs/alpha.h"

#include <algorithm>

namespace zelmar::alpha {

void rgbaOver(const uint8_t* rgba, uint8_t* rgb, size_t n, Rgb back) {
  for (size_t i = 0; i < n; ++i, rgba += 4, rgb += 3) {
    const unsigned a = rgba[3];
    if (a == 255) {
      rgb[0] = rgba[0];
      rgb[1] = rgba[1];
      rgb[2] = rgba[2];
    } else {
      rgb[0] = over(rgba[0], a, back.r);
      rgb[1] = over(rgba[1], a, back.g);
      rgb[2] = over(rgba[2], a, back.b);
    }
  }
}

void greyAlphaOver(const uint8_t* ga, uint8_t* grey, size_t n, uint8_t back) {
  for (size_t i = 0; i < n; ++i, ga += 2) grey[i] = over(ga[0], ga[1], back);
}

void greyAlphaOverColour(const uint8_t* ga, uint8_t* rgb, size_t n, Rgb back) {
  for (size_t i = 0; i < n; ++i, ga += 2, rgb += 3) {
    rgb[0] = over(ga[0], ga[1], back.r);
    rgb[1] = over(ga[0], ga[1], back.g);
    rgb[2] = over(ga[0], ga[1], back.b);
  }
}

void paletteOver(Palette& palette, const uint8_t* alphas, size_t count, Rgb back) {
  const size_t n = std::min(count, palette.size());
  for (size_t i = 0; i < n; ++i) {
    Rgb& c = palette[i];
    c = {over(c.r, alphas[i], back.r), over(c.g, alphas[i], back.g), over(c.b, alphas[i], back.b)};
  }
}

}  // namespace zelmar::alpha
