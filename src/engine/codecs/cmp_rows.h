#pragma once
// CMP's row filters: packing palette indexes, and for 24 bits the planes,
// the optional green subtraction and the median-edge predictor (the layout
// is described in cmp.h).
#include <cstddef>
#include <cstdint>

#include "engine/core/picture.h"

namespace zelmar::cmp::detail {

// The channel (0 red, 1 green, 2 blue) each 24-bit plane holds, in file order.
inline constexpr int kPlaneChannel[3] = {1, 0, 2};

// One channel of an R,G,B row as a plane row, less green when `minusGreen`
// (never for green itself), and back.
void extractPlane(const uint8_t* rgb, uint32_t width, int channel, bool minusGreen, uint8_t* plane);
void storePlane(const uint8_t* plane, uint32_t width, int channel, bool plusGreen, uint8_t* rgb);

// Residuals of one plane row from its samples and the row above's (null
// on the first row), and the inverse.
void predictRow(const uint8_t* cur, const uint8_t* above, uint32_t width, uint8_t* residuals);
void reconstructRow(const uint8_t* residuals, const uint8_t* above, uint32_t width, uint8_t* cur);

// Whether subtracting green from red and blue shrinks the residuals of this
// picture, judged by their entropy on a sample of rows. It does when the
// channels share their noise and detail; with independent noise it adds
// green's to the others.
bool greenSubtractionPays(const Picture& picture);

}  // namespace zelmar::cmp::detail
