#pragma once
// Display brightness and contrast as one 256-entry table applied to every
// channel while painting; the picture's pixels never change.
#include <array>
#include <cstdint>

namespace zelmar::qt {

using ToneTable = std::array<uint8_t, 256>;

// Both values are clamped to -1000..1000; 0 and 0 give the identity.
// Brightness shifts by up to a full 255; contrast scales around mid-grey,
// from flat grey at -1000 to a hard threshold at 1000.
ToneTable makeToneTable(int32_t brightness, int32_t contrast);

}  // namespace zelmar::qt
