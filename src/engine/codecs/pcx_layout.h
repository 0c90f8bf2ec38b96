#pragma once
// The fixed 128-byte PCX header and the palettes shared by reader and writer.
#include <cstddef>
#include <cstdint>

#include "engine/core/picture.h"

namespace zelmar::pcx {

constexpr size_t kHeaderSize = 128;
constexpr uint8_t kMaker = 0x0a;
constexpr size_t kHeaderPalette = 16;       // offset of the 16-entry palette
constexpr size_t kPlanesAt = 65;
constexpr size_t kBytesPerLineAt = 66;
constexpr uint8_t kPaletteMark = 0x0c;      // precedes the 256-colour palette at the end
constexpr size_t kTrailerSize = 1 + 256 * 3;

// The colours a 16-colour file means when its header palette is empty.
Palette defaultSixteen();

}  // namespace zelmar::pcx
