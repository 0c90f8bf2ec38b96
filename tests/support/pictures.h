#pragma once
// Pictures made by the tests themselves, and ways to compare them.
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "engine/core/picture.h"

namespace zelmar::test {

// Every depth a picture may have, each palette depth in colour and in grey.
struct Depth {
  int bits;
  bool gray;
  friend std::ostream& operator<<(std::ostream& out, Depth d) {
    return out << d.bits << (d.gray ? "-bit grey" : "-bit");
  }
};
inline constexpr Depth kDepths[] = {{1, true},  {1, false}, {4, false}, {4, true},
                                    {8, false}, {8, true},  {24, false}};

// A deterministic busy pattern at any depth. Palette depths get a colour
// palette of 2^bits distinct entries (or a grey ramp when `gray`), and
// every index is used.
Picture makePattern(uint32_t width, uint32_t height, int bits, bool gray = false,
                    uint32_t seed = 1);

// A photo-like 24-bit picture: smooth gradients, soft shapes and mild
// noise, so codecs and operations meet realistic statistics.
Picture makePhoto(uint32_t width, uint32_t height, uint32_t seed = 7);

// A 24-bit picture of one colour.
Picture solid(uint32_t width, uint32_t height, Rgb colour);

// A deep copy (a failed test and an empty picture when memory runs out).
Picture copyOf(const Picture& p);

// The colour a pixel shows, whatever the depth.
Rgb pixelAt(const Picture& p, uint32_t x, uint32_t y);

// How many distinct colours the picture shows.
size_t colourCount(const Picture& p);

// Mean of the absolute channel differences over every pixel and channel;
// a huge value when the sizes differ.
double meanChannelDiff(const Picture& a, const Picture& b);

// Same size, and no channel of any pixel more than `tolerance` apart
// (depth and palette order may differ): a check with its reason.
::testing::AssertionResult closeColours(const Picture& a, const Picture& b, int tolerance);

// Netpbm (P4/P5/P6, 8-bit samples; P4 read only; comments skipped) — a
// format simple enough to be an independent way to exchange pixels with the
// oracle programs.
bool writePnm(const Picture& p, const std::string& path);  // P5 for grey, else P6
bool readPnm(const std::string& path, Picture& out);       // P5 → 8-bit grey, P6 → 24-bit

}  // namespace zelmar::test
