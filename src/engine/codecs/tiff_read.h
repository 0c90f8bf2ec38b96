#pragma once
// Reading the pixels of a TIFF directory whose header has been checked and
// whose picture has been allocated. Units (strips or tiles) that fail to
// decode are left black and counted; what did decode is kept.
#include <tiffio.h>

#include <cstdint>

#include "engine/codecs/tiff_rows.h"
#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::tiff {

struct ReadResult {
  uint32_t units = 0;   // strips or tiles (or bands) attempted
  uint32_t failed = 0;  // of those, how many libtiff could not decode whole
};

// Where samples land: rows of `stride` bytes, pixels `bytesPerPixel` apart.
struct Target {
  uint8_t* base;
  uint32_t width, height;
  size_t stride;
  int bytesPerPixel;
  uint8_t* row(uint32_t y) const { return base + size_t(y) * stride; }
};

// Grey, palette, RGB and interleaved CMYK layouts libtiff hands us as plain samples.
// `planes` is 1 for interleaved samples, or the number of separate planes
// to read (channel p of the picture comes from plane p). `maxUnitBytes`
// bounds the decode buffer. Errors: CorruptData, LimitExceeded, OutOfMemory.
Status readSamples(TIFF* tif, const RowFormat& format, int planes, uint64_t maxUnitBytes,
                   Picture& picture, ReadResult& result);

// CMYK in four separate planes (`plane` reads one of them), gathered and
// then turned into colour. Errors: as readSamples.
Status readCmykPlanes(TIFF* tif, const RowFormat& plane, uint64_t maxUnitBytes, Picture& picture,
                      ReadResult& result);

// Any other layout libtiff can turn into RGBA (CMYK, YCbCr, old JPEG...),
// read in bands into a 24-bit picture. Errors: Unsupported, OutOfMemory.
Status readRgba(TIFF* tif, Picture& picture, ReadResult& result);

}  // namespace zelmar::tiff
