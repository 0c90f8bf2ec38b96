#pragma once
// What the JPEG reader needs from the markers TurboJPEG does not interpret:
// the EXIF orientation and whether an Adobe segment marks inverted CMYK.
// Both parsers read untrusted bytes and never read past what they are given.
#include <cstddef>
#include <cstdint>

#include "engine/core/bytes.h"
#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::jpeg {

struct MarkerInfo {
  int orientation = 1;  // EXIF orientation 1..8; 1 (as stored) when absent or invalid
  bool adobe = false;   // an Adobe APP14 segment: CMYK samples are stored inverted
  size_t scanData = 0;  // where the first scan's coded data starts; 0 when no whole scan header
  int chromaShare = 1;  // luma samples for each chroma sample (1, 2, 4...), from the frame header
};

// Walks the segments from the start of image up to the first scan's data,
// skipping stray bytes between segments. A malformed or cut-short segment
// ends the walk with what was found so far.
MarkerInfo scanMarkers(Bytes jpeg);

// The orientation tag of IFD0 in an EXIF TIFF block (the APP1 payload after
// "Exif\0\0"); 1 when the block is malformed or holds no valid tag.
int exifOrientation(Bytes tiffBlock);

// Turns `picture` so that it stands upright for an EXIF orientation 2..8
// (orientations 5..8 swap width and height); 1 and invalid values leave it
// unchanged. Errors: OutOfMemory.
Status applyOrientation(Picture& picture, int orientation);

}  // namespace zelmar::jpeg
