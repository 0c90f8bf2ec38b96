#pragma once
// Exact quarter turns, shared by rotation; not part of the public API.
#include "engine/core/error.h"
#include "engine/core/limits.h"
#include "engine/core/picture.h"

namespace zelmar::ops::detail {

// Turns the picture clockwise by `turns` quarter turns (any integer), exactly,
// keeping its depth and palette.
Status quarterTurns(Picture& p, int turns, const Limits& limits);

}  // namespace zelmar::ops::detail
