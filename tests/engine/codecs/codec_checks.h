#pragma once
// What the codec tests share: the facts of a decode as one value, data rows
// of hand-built files, rows of files other programs make, and the table of
// formats that drives the checks every codec must pass (codec_table_test).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/codecs/codec.h"
#include "support/oracle.h"

namespace zelmar::test {

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

// What a decode tells, compared and printed whole. Sizes are as stored.
struct Facts {
  int bits = 0, originBits = 0;
  uint32_t width = 0, height = 0;
  int format = 0;
  std::string compression;
  bool gray = false, truncated = false;
  int pages = 1;
  friend bool operator==(const Facts&, const Facts&) = default;
};
std::ostream& operator<<(std::ostream& out, const Facts& f);
Facts factsOf(const Decoded& d);

// A codec's encode or decode; an error fails the running test.
ByteVec encodeOk(EncodeFn encode, const Picture& picture, int factor = 64);
Decoded decodeOk(DecodeFn decode, Bytes file);

// A hand-built file and what it must decode to: its facts and the picture's
// bytes as held (indexes, or R G B), and the palette when given.
struct DecodeRow {
  std::string name;
  ByteVec file;
  Facts facts;
  ByteVec samples;
  Palette palette = {};
};
void expectDecodes(DecodeFn decode, const std::vector<DecodeRow>& rows);

// A file another program makes from a test pattern of `bits` (grey when
// `gray`): what must be read from it, and who judges the pixels (the maker
// itself unless it misreads the format), within `tolerance` per channel.
struct MadeElsewhere {
  Tool maker;
  int bits;  // 0: a photo-like picture
  bool gray;
  std::vector<std::string> args;
  std::string name;  // output file name, maybe with a "CODER:" prefix
  int loadsBits, originBits, format;
  std::string compression;
  int tolerance = 0;
  Tool judge = maker;
};
void expectReadsLikeItsMaker(DecodeFn decode, const std::vector<MadeElsewhere>& rows);

// One format, as the table-driven checks see it.
struct Codec {
  std::string name;  // the file extension, with the dot
  DecodeFn decode;
  EncodeFn encode;  // null for a format we only read
  int saveCode;     // the code encodeAs writes it with; 0 when not written
  bool lossless;
  // Depth, origin depth and format code of a file of a `bits` picture
  // (grey or not), and the compression it reports.
  struct Loads {
    int bits, originBits, format;
  };
  Loads (*loads)(int bits, bool gray);
  std::string compression;
  // Programs that read our files: exactly our colours (lossy: within 2 of
  // our decode), 1-bit files as far as `oneBit` says.
  enum class OneBit { Any, BlackWhiteOnly, Never };
  struct Reader {
    Tool tool;
    OneBit oneBit = OneBit::Any;
  };
  std::vector<Reader> readers;
  // A small file declaring width × height with next to no pixel data.
  ByteVec (*declaring)(uint32_t width, uint32_t height);
  bool needsExtension = false;  // no signature: the registry takes it by extension only
  size_t checkedFrom = 0;       // damage past this byte is always detected (0: never)
  // Read-only formats: the program that makes the samples, and its arguments.
  Tool maker = Tool::ImageMagick;
  std::vector<std::string> makerArgs = {};
};
const std::vector<Codec>& codecs();
// A file of `p` in this format: ours, or the maker's for a read-only one.
ByteVec sampleOf(const Codec& codec, const Picture& p, int factor = 64);

// Hand-built files no writer makes: a little-endian TIFF with one strip of
// uncompressed `pixels` (photometric 1 grey, 2 RGB, 6 YCbCr); `extra`
// entries replace or add to the directory's (a strip or tile offset of 0
// means "right after the directory").
struct TiffEntry {
  uint16_t tag, type;
  uint32_t count, value;
};
ByteVec buildTiff(uint32_t width, uint32_t height, uint16_t bitsPerSample, uint16_t samples,
                  uint16_t photometric, const ByteVec& pixels,
                  const std::vector<TiffEntry>& extra = {});
// An EXIF block whose first directory holds two ordinary tags, then the
// orientation (a SHORT), in either byte order; and a JPEG carrying it.
ByteVec exifBlock(int orientation, bool bigEndian);
ByteVec withApp1Exif(Bytes jpeg, const ByteVec& block);

}  // namespace zelmar::test
