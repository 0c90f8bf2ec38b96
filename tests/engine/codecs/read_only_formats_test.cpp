// PNG, GIF, WebP, HEIC and AVIF: files ImageMagick writes, read as
// ImageMagick reads them (transparency flattened over the same colour);
// hostile files failing cleanly; our PNG writer at every depth.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "engine/codecs/codec_checks.h"
#include "engine/codecs/png.h"
#include "engine/io/formats.h"
#include "support/pictures.h"

namespace zelmar {
namespace {

using test::ByteVec;

constexpr Rgb kBlueish{0x20, 0x50, 0xA0}, kGrey{0x60, 0x60, 0x60};

std::string hex(Rgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", c.r, c.g, c.b);
  return text;
}

Status decodeWith(Bytes file, Rgb back, Decoded& d, const Limits& limits = {}) {
  return decodeAny(file, "", DecodeOptions(limits, back), d);
}

enum Alpha { Opaque, Graded, HalfClear };

struct Made {
  const char* name;
  Alpha alpha;
  const char* args;  // ImageMagick's, after the alpha's, split at blanks
  const char* ext;
  int bits, format, tolerance;  // our depth, FileFormat, largest difference from ImageMagick
  Rgb back = kBlueish;
  bool hostile = false;  // one file of each kind is also forged, cut and flipped
};

// clang-format off
const Made kMade[] = {
    {"PNG truecolour", Opaque, "-define png:color-type=2", "png", 24, format::kPng, 0},
    {"PNG 16-bit", Opaque, "-depth 16 -define png:color-type=2", "png", 24, format::kPng, 1},
    {"PNG interlaced", Opaque, "-interlace PNG -define png:color-type=2", "png", 24, format::kPng, 0},
    {"PNG RGBA", Graded, "-define png:color-type=6", "png", 24, format::kPng, 1, kBlueish, true},
    {"PNG grey", Opaque, "-colorspace gray -define png:color-type=0", "png", 8, format::kPng, 0},
    {"PNG grey 16-bit", Opaque, "-colorspace gray -depth 16", "png", 8, format::kPng, 1},
    {"PNG bilevel", Opaque, "-colorspace gray -threshold 50% -define png:bit-depth=1", "png", 8,
     format::kPng, 0},
    {"PNG grey and alpha over colour", Graded, "-colorspace gray", "png", 24, format::kPng, 1},
    {"PNG grey and alpha over grey", Graded, "-colorspace gray", "png", 8, format::kPng, 1, kGrey},
    {"PNG 256 colours", Opaque, "-colors 200 -type Palette", "png", 8, format::kPng, 0},
    {"PNG 4 colours", Opaque, "-colors 4 -type Palette", "png", 4, format::kPng, 0},
    {"PNG 2-bit palette", Opaque, "-colors 2 -type Palette", "png", 4, format::kPng, 0},
    {"PNG palette with a clear colour", HalfClear, "-colors 16 -type PaletteAlpha", "png", 4,
     format::kPng, 1},
    {"GIF", Opaque, "", "gif", 8, format::kGif, 0, kBlueish, true},
    {"GIF interlaced", Opaque, "-interlace GIF", "gif", 8, format::kGif, 0},
    {"GIF transparent", HalfClear, "", "gif", 8, format::kGif, 0},
    {"WebP lossy", Opaque, "-quality 80", "webp", 24, format::kWebP, 0},
    {"WebP lossless", Opaque, "-define webp:lossless=true", "webp", 24, format::kWebP, 0},
    {"WebP alpha", Graded, "", "webp", 24, format::kWebP, 1, kBlueish, true},
    // ImageMagick turns libheif's YCbCr into RGB with its own rounding.
    {"HEIC", Opaque, "", "heic", 24, format::kHeif, 2, kBlueish, true},
    {"AVIF", Opaque, "", "avif", 24, format::kAvif, 2},
    {"AVIF alpha", Graded, "", "avif", 24, format::kAvif, 2, kBlueish, true},
};
// clang-format on

ByteVec madeFile(const Made& m) {
  static const char* const kCoverage[] = {"", "(i+2*j)/(w+2*h)", "i<w/2"};
  std::vector<std::string> args;
  if (m.alpha != Opaque)
    args = {"-alpha", "set", "-channel", "A", "-fx", kCoverage[m.alpha], "+channel"};
  std::istringstream words(m.args);
  for (std::string w; words >> w;) args.push_back(w);
  return test::toolWrites(test::Tool::ImageMagick, test::makePhoto(41, 29), args,
                          std::string("a.") + m.ext);
}

TEST(ReadOnlyFormats, ReadAsImageMagickReadsThem) {
  REQUIRE_TOOL(test::Tool::ImageMagick);
  for (const Made& m : kMade) {
    SCOPED_TRACE(m.name);
    const ByteVec file = madeFile(m);
    ASSERT_FALSE(file.empty());
    Decoded ours;
    ASSERT_TRUE(decodeWith(file, m.back, ours).ok());
    const Picture theirs =
        test::toolReads(test::Tool::ImageMagick, file, std::string(".") + m.ext,
                        {"-colorspace", "sRGB", "-background", hex(m.back), "-flatten"});
    EXPECT_EQ(ours.picture.bits(), m.bits);
    EXPECT_EQ(ours.facts.fileFormat, m.format);
    EXPECT_FALSE(ours.truncated);
    EXPECT_TRUE(test::closeColours(ours.picture, theirs, m.tolerance));
  }
}

// The standard CRC of PNG chunks, so that a forged header is read as written.
uint32_t crc32(const uint8_t* p, size_t n) {
  uint32_t c = 0xFFFFFFFFu;
  for (size_t i = 0; i < n; ++i) {
    c ^= p[i];
    for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
  }
  return ~c;
}

void putBe32(ByteVec& f, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) f[at + i] = uint8_t(v >> (24 - 8 * i));
}

// Sizes beyond the limits, each written where its format keeps them.
ByteVec forgedSize(ByteVec f, const std::string& ext) {
  if (ext == "png") {  // IHDR's width and height, then its CRC
    putBe32(f, 16, 60000);
    putBe32(f, 20, 60000);
    putBe32(f, 29, crc32(f.data() + 12, 17));
  } else if (ext == "gif") {  // the logical screen
    f[6] = f[7] = f[8] = f[9] = 0xFF;
  } else if (ext == "webp") {  // the extended header's canvas, less one: 40000 x 40000
    for (size_t at : {24, 27}) f[at] = 0x3F, f[at + 1] = 0x9C, f[at + 2] = 0;
  } else {  // every ispe box's width and height
    for (auto at = f.begin(); (at = std::search(at, f.end(), "ispe", "ispe" + 4)) != f.end(); ++at)
      for (size_t i = 8; i < 16; ++i) at[i] = 0x7F;
  }
  return f;
}

// The errors a broken file may give; anything else (or a crash) is a fault.
bool cleanFailure(const Status& s) {
  constexpr ErrorCode kClean[] = {ErrorCode::EmptyFile,     ErrorCode::UnknownFormat,
                                  ErrorCode::BadHeader,     ErrorCode::BadDimensions,
                                  ErrorCode::LimitExceeded, ErrorCode::Truncated,
                                  ErrorCode::CorruptData,   ErrorCode::Unsupported};
  return std::find(std::begin(kClean), std::end(kClean), s.code()) != std::end(kClean);
}

TEST(ReadOnlyFormats, HostileFilesFailCleanly) {
  REQUIRE_TOOL(test::Tool::ImageMagick);
  for (const Made& m : kMade) {
    if (!m.hostile) continue;
    SCOPED_TRACE(m.name);
    const ByteVec file = madeFile(m);
    Decoded whole, d;
    ASSERT_TRUE(decodeWith(file, m.back, whole).ok());
    // Sizes past the limits are refused before the library allocates them;
    // libwebp refuses a canvas its picture does not fill before we can.
    EXPECT_EQ(decodeWith(forgedSize(file, m.ext), m.back, d).code(),
              m.ext == std::string("webp") ? ErrorCode::CorruptData : ErrorCode::LimitExceeded);
    EXPECT_EQ(decodeWith(file, m.back, d, Limits{65535, 100}).code(), ErrorCode::LimitExceeded);
    // Cut anywhere: a clean error, or the picture's own size with what decoded.
    for (size_t n = 0; n < file.size(); n += 1 + file.size() / 61) {
      const Status s = decodeWith(Bytes(file.data(), n), m.back, d);
      EXPECT_TRUE(s.ok() ? n >= 16 && d.picture.width() == whole.picture.width() : cleanFailure(s))
          << n << ": " << s.message();
    }
    // Bits flipped one at a time: a picture or a clean error.
    for (size_t at = 0; at < file.size(); at += 1 + file.size() / 97) {
      ByteVec bad = file;
      bad[at] ^= uint8_t(1u << (at % 8));
      const Status s = decodeWith(bad, m.back, d);
      EXPECT_TRUE(s.ok() || cleanFailure(s)) << at << ": " << s.message();
    }
  }
}

TEST(PngWriter, EveryDepthRoundTripsAndOthersReadIt) {
  const struct {
    int bits;
    bool grey;
  } depths[] = {{1, false}, {4, false}, {8, false}, {8, true}, {24, false}};
  for (const auto& c : depths) {
    SCOPED_TRACE(std::to_string(c.bits) + (c.grey ? " grey" : ""));
    const Picture source = test::makePattern(37, 21, c.bits, c.grey);
    const ByteVec file = test::encodeOk(png::encode, source);
    Decoded back;
    ASSERT_TRUE(png::decode(file, {}, back).ok());
    EXPECT_EQ(back.picture.bits(), c.bits);
    EXPECT_TRUE(test::closeColours(back.picture, source, 0));
    EXPECT_TRUE(
        test::closeColours(test::toolReads(test::Tool::ImageMagick, file, ".png"), source, 0));
  }
}

}  // namespace
}  // namespace zelmar
