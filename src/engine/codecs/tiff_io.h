#pragma once
// libtiff over memory: a reader on a byte span and a writer into an
// OutputBuffer, both through TIFFClientOpen, so no temporary files. libtiff's
// messages are caught per handle instead of going to standard error.
#include <tiffio.h>

#include <cstdint>
#include <memory>
#include <string>

#include "engine/core/bytes.h"

namespace zelmar::tiff {

struct TiffCloser {
  void operator()(TIFF* t) const { TIFFClose(t); }
};
using TiffPtr = std::unique_ptr<TIFF, TiffCloser>;

// The first error libtiff reported on a handle, kept for our status detail.
struct TiffErrors {
  std::string first;
  int count = 0;
};

// A file cut short can be opened padded: reads past the real end give
// zeros up to `paddedSize`, so strips that run past the end still decode
// their first part instead of failing whole.
struct MemSource {
  Bytes data;
  uint64_t paddedSize = 0;  // 0: the real size, and libtiff may map the bytes
  uint64_t pos = 0;
  uint64_t size() const { return paddedSize ? paddedSize : data.size(); }
};

// Writes land at `pos` relative to where the buffer ended when writing began;
// libtiff seeks back to patch offsets, so writes may overwrite.
struct MemSink {
  OutputBuffer* out = nullptr;
  size_t base = 0;
  uint64_t pos = 0;
};

// Null on a header libtiff refuses. `maxAlloc` caps any single allocation
// libtiff makes for this handle.
TiffPtr openReader(MemSource& source, TiffErrors& errors, uint64_t maxAlloc);
TiffPtr openWriter(MemSink& sink, TiffErrors& errors);

}  // namespace zelmar::tiff
