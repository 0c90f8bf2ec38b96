#pragma once
// Values the control and the command-line tool must agree on.
#include "engine/core/picture.h"

namespace zelmar {

// The control's default BackColor: the background around the picture and
// the fill of the corners a rotation uncovers. A neutral dark grey.
inline constexpr Rgb kDefaultBackColor{0x40, 0x40, 0x40};

// SaveFile's compression factor when the caller gives none (JPEG quality 75).
inline constexpr int kDefaultSaveFactor = 64;

}  // namespace zelmar
