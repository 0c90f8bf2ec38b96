#pragma once
// PNG's row filters undone, for rows of whole bytes a pixel.
#include <cstddef>
#include <cstdint>

namespace zelmar::png {

// Undoes filter `type` (0 none, 1 sub, 2 up, 3 average, 4 Paeth) of one row
// of `size` bytes: `in` as filtered, `prev` the row above as undone (zeros
// above the first), `bpp` bytes a pixel (1 to 8). False for an unknown type.
bool unfilterRow(uint8_t type, const uint8_t* in, const uint8_t* prev, uint8_t* out, size_t size,
                 unsigned bpp);

}  // namespace zelmar::png
