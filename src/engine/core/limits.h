#pragma once
// Size limits applied before any picture is allocated.
#include <cstdint>

#include "engine/core/error.h"

namespace zelmar {

struct Limits {
  uint64_t maxDimension = 65535;    // width or height
  uint64_t maxPixels = 1ull << 30;  // width × height
};

// Ok for 1..maxDimension by 1..maxDimension within maxPixels; BadDimensions
// for a zero size; LimitExceeded beyond the limits.
Status checkDimensions(uint64_t width, uint64_t height, const Limits& limits = {});

}  // namespace zelmar
