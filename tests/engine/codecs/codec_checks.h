#pragma once
// What the codec tests share: the facts of a decode as one value, files kept
// under tests/data/codecs with what they must decode to, files other
// programs make, and the table of formats that drives the checks every
// codec must pass (codec_table_test).
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "engine/codecs/codec.h"
#include "support/oracle.h"

namespace zelmar::test {

inline constexpr Tool kIm = Tool::ImageMagick, kGm = Tool::GraphicsMagick, kVips = Tool::Vips,
                      kPil = Tool::Pillow;

using DecodeFn = Status (*)(Bytes, const Limits&, Decoded&);
using EncodeFn = Status (*)(const Picture&, const EncodeOptions&, OutputBuffer&);

// A decode that composes transparency, over the default background.
template <Status (*F)(Bytes, const DecodeOptions&, Decoded&)>
Status overDefault(Bytes data, const Limits& limits, Decoded& out) {
  return F(data, limits, out);
}

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

// A file of tests/data/codecs, such as "bmp-rle8.bmp" (a failed test when
// missing), and the names of those in one of its folders, such as "refused/truncated".
ByteVec dataFile(const std::string& name);
std::vector<std::string> dataFiles(const std::string& folder);

// A file of tests/data/codecs no program writes, and what it must decode
// to: its facts and the picture's bytes as held (indexes, or R G B), with
// the palette's first entries when given; or, for `shown`, the colours of
// its pixels row by row.
struct DecodeRow {
  std::string file;
  Facts facts;
  ByteVec samples = {};
  Palette palette = {};
  std::vector<Rgb> shown = {};
};
void expectDecodes(const std::vector<DecodeRow>& rows);

// A file another program makes, and what must be read from it: the
// picture its maker reads from it (or `judge`, when the maker misreads the
// format), transparency flattened over `back`, within `tolerance` per channel.
struct MadeElsewhere {
  Tool maker;
  std::string source;  // "24", "8", "4": colour patterns; "8g", "4g", "1g": grey; "photo"
  std::string args;    // the maker's arguments, separated by blanks
  int loadsBits, originBits, format;
  std::string compression;
  int tolerance = 0;
  Tool judge = maker;
  std::string coder = "";  // for the magicks, such as "BMP3:"
  Rgb back = kDefaultBackColor;
};
// Each row's file, named "a" + `extension`, read as its judge reads it.
// Skips the test, with the reason, when a maker or judge is missing.
void expectReadsLikeItsMaker(const std::string& extension, const std::vector<MadeElsewhere>& rows);

// One format, as the table-driven checks see it. A read-only one has no
// encode and a program (`maker`) that writes its samples.
struct Codec {
  // Programs that read our files: exactly our colours (lossy: within 2 of
  // our decode), 1-bit files as far as `oneBit` says.
  enum class OneBit { Any, BlackWhiteOnly, Never };
  struct Reader {
    Tool tool;
    OneBit oneBit = OneBit::Any;
  };
  std::string name;  // the file extension, with the dot
  DecodeFn decode;
  EncodeFn encode;
  int format;               // of a colour file
  std::string compression;  // of our files
  // A small file declaring width × height with next to no pixel data.
  ByteVec (*declaring)(uint32_t width, uint32_t height);
  std::vector<Reader> readers = {};
  bool lossless = true;         // lossy formats load as 8-bit grey or 24-bit colour
  int grayFormat = 0;           // the format of a grey file, when another
  int paletteBits = 0;          // the depth palette pictures load at, when not their own
  bool needsExtension = false;  // no signature: the registry takes it by extension only
  size_t checkedFrom = 0;       // damage past this byte is always detected (0: never)
  bool savesByCode = true;      // the registry writes it by its format code
  std::vector<std::string> makerArgs = {};  // ImageMagick's, for a read-only format's samples
  // How a forged size is refused: a library may find the file inconsistent first.
  ErrorCode forgedSize = ErrorCode::LimitExceeded;
};
const std::vector<Codec>& codecs();
// A file of `p` in this format: ours, or ImageMagick's for a read-only one.
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
