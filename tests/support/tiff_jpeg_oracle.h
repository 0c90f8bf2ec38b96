#pragma once
// Files made and read by the oracle programs (ImageMagick, GraphicsMagick)
// for the TIFF and JPEG tests, plus the byte-level builders those tools
// cannot stand in for.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/codecs/codec.h"

namespace zelmar::test {

using ByteVec = std::vector<uint8_t>;
using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

// A codec's encode or decode that fails the running test on an error.
ByteVec encodeOk(EncodeFn encode, const Picture& picture, int factor = 64);
Decoded decodeOk(DecodeFn decode, Bytes file);

// Writes `source` as PNM and runs `tool` (imConvert() or gm()) to turn it
// into a file of type `ext` with `args` between input and output; for
// vips() the args are its save options ("compression=jpeg", "tile"...).
// Empty on failure.
ByteVec oracleEncode(const std::string& tool, const Picture& source,
                     const std::vector<std::string>& args, const std::string& ext);

// Has `tool` decode `file` (of type `ext`) to a PPM, with `args` applied;
// an empty picture on failure.
Picture oracleDecode(const std::string& tool, Bytes file, const std::string& ext,
                     const std::vector<std::string>& args = {});

// A tool's answer to an identify-style query (`-format` text) about the file.
std::string oracleIdentify(Bytes file, const std::string& ext, const std::string& format);


// An EXIF TIFF block whose IFD0 holds a few ordinary tags and then the
// orientation tag with `orientation` (as a SHORT), in either byte order.
ByteVec exifBlock(int orientation, bool bigEndian);

// `jpeg` with an APP1 EXIF segment holding `block` inserted after the start of image.
ByteVec withApp1Exif(Bytes jpeg, const ByteVec& block);

// A little-endian TIFF with one strip of uncompressed `pixels` and the
// given size, depth and colour layout (photometric 1 grey, 2 RGB); `extra`
// (tag, type, count, value) entries replace or add to the directory's (a
// strip or tile offset of 0 means "right after the directory"). For headers no
// writer would make.
struct TiffEntry {
  uint16_t tag, type;
  uint32_t count, value;
};
ByteVec buildTiff(uint32_t width, uint32_t height, uint16_t bitsPerSample, uint16_t samples,
                  uint16_t photometric, const ByteVec& pixels,
                  const std::vector<TiffEntry>& extra = {});

}  // namespace zelmar::test
