// Files other programs write, in the layouts they make, read as their maker
// (or a better judge) reads them, transparency flattened over the same
// colour. The facts of each are the file's as stored.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>

#include "engine/codecs/codec_checks.h"
#include "engine/io/formats.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

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

// How a judge reads a file: transparency flattened over `back` (vips
// judges only files with transparency; Pillow none).
Picture judged(Tool judge, Bytes file, const std::string& extension, Rgb back) {
  char text[16];
  if (judge == kPil) return toolReads(judge, file, extension);
  if (judge == kVips) {
    std::snprintf(text, sizeof text, "%d %d %d", back.r, back.g, back.b);
    return toolReads(judge, file, extension, {"flatten", "--background", text});
  }
  std::snprintf(text, sizeof text, "#%02X%02X%02X", back.r, back.g, back.b);
  std::vector<std::string> args = {"-background", text, "-flatten"};
  // ImageMagick would flatten a grey picture over a grey version of `back`.
  if (judge == kIm) args.insert(args.begin(), {"-colorspace", "sRGB"});
  return toolReads(judge, file, extension, args);
}

// Each row's file, named "a" + `extension`, read as its judge reads it.
// Skips the test, with the reason, when a maker or judge is missing.
void expectReadsLikeItsMaker(const std::string& extension, const std::vector<MadeElsewhere>& rows) {
  for (const MadeElsewhere& r : rows) {
    REQUIRE_TOOL(r.maker);
    REQUIRE_TOOL(r.judge);
  }
  for (const MadeElsewhere& r : rows) {
    SCOPED_TRACE(testing::Message() << extension << " by " << int(r.maker) << " " << r.coder
                                    << r.source << " " << r.args);
    const int bits = r.source == "photo" ? 24 : std::stoi(r.source);
    const bool gray = r.source.back() == 'g';
    const Picture src = r.source == "photo" ? makePhoto(33, 9) : makePattern(33, 9, bits, gray);
    std::vector<std::string> args;
    std::istringstream words(r.args);
    for (std::string w; words >> w;) args.push_back(w);
    const ByteVec file = toolWrites(r.maker, src, args, r.coder + "a" + extension);
    ASSERT_FALSE(file.empty());
    Decoded d;
    const Status s = decodeAny(file, extension, DecodeOptions({}, r.back), d);
    ASSERT_TRUE(s.ok()) << s.message();
    EXPECT_EQ(factsOf(d), (Facts{r.loadsBits, r.originBits, 33, 9, r.format, r.compression,
                                 gray && r.loadsBits < 24}));
    EXPECT_TRUE(closeColours(d.picture, judged(r.judge, file, extension, r.back), r.tolerance));
  }
}

constexpr Rgb kBlueish{0x20, 0x50, 0xA0}, kGrey{0x60, 0x60, 0x60};
const std::string kGraded = "-alpha set -channel A -fx (i+2*j)/(w+2*h) +channel ",
                  kHalfClear = "-alpha set -channel A -fx i<w/2 +channel ";

TEST(MadeElsewhere, BmpPcxAndTarga) {
  const int b = format::kBmp;
  expectReadsLikeItsMaker(
      ".bmp", {
                  {kIm, "24", "", 24, 24, b, "None", 0, kIm, "BMP3:"},
                  {kIm, "24", "", 24, 24, b, "None", 0, kIm, "BMP2:"},  // 12-byte header
                  {kIm, "24", "", 24, 24, b, "None"},                   // 124-byte header
                  {kIm, "8", "-type Palette -compress None", 8, 8, b, "None", 0, kIm, "BMP3:"},
                  {kIm, "8", "-type Palette", 8, 8, b, "RLE", 0, kIm, "BMP3:"},
                  {kIm, "8", "-type Palette", 8, 8, b, "None", 0, kIm, "BMP2:"},
                  {kIm, "4", "-type Palette", 4, 4, b, "None", 0, kIm, "BMP3:"},
                  {kIm, "1g", "-type Bilevel", 1, 1, b, "None", 0, kIm, "BMP3:"},
                  // Other programs scale 5 and 6 bits to 8 with their own rounding.
                  {kIm, "24", "-define bmp:subtype=RGB565", 24, 16, b, "Bitfields", 1},
                  {kIm, "24", "-define bmp:subtype=RGB555", 24, 16, b, "Bitfields", 1},
                  {kIm, "24", "-alpha set -define bmp:subtype=ARGB8888", 24, 32, b, "Bitfields"},
                  {kGm, "8", "-type Palette", 8, 8, b, "RLE"},
                  {kPil, "8g", "", 8, 8, b, "None"},
              });
  const int f = format::kPcx;
  expectReadsLikeItsMaker(".pcx", {
                                      {kIm, "24", "", 24, 24, f, "RLE"},  // odd bytes a line
                                      {kIm, "8", "-type Palette", 8, 8, f, "RLE"},
                                      {kGm, "24", "", 24, 24, f, "RLE"},
                                      {kGm, "8", "-type Palette", 8, 8, f, "RLE"},
                                      {kGm, "1g", "-type Bilevel", 1, 1, f, "RLE"},
                                      {kPil, "8g", "", 8, 8, f, "RLE"},
                                  });
  // ImageMagick 6 stores rows against the origin bit, so GraphicsMagick judges its files.
  const int t = format::kTarga;
  expectReadsLikeItsMaker(".tga",
                          {
                              {kIm, "24", "", 24, 24, t, "None", 0, kGm},
                              {kIm, "24", "-compress RLE", 24, 24, t, "RLE", 0, kGm},
                              {kIm, "24", "-type TrueColorAlpha", 24, 32, t, "None", 0, kGm},
                              {kIm, "8", "-type Palette", 8, 8, t, "None", 0, kGm},
                              {kIm, "8", "-type Palette -compress RLE", 8, 8, t, "RLE", 0, kGm},
                              {kIm, "8g", "-type Grayscale -compress RLE", 8, 8, t, "RLE", 0, kGm},
                              {kGm, "8", "-type Palette", 8, 8, t, "None"},
                              {kPil, "24", "compression=tga_rle", 24, 24, t, "RLE"},
                          });
}

TEST(MadeElsewhere, JpegAndTiff) {
  const int j444 = format::kJpeg444, j422 = format::kJpeg422, j420 = format::kJpeg420;
  expectReadsLikeItsMaker(
      ".jpg", {
                  {kIm, "photo", "-quality 95 -sampling-factor 1x1", 24, 24, j444, "JPEG", 2},
                  {kIm, "photo", "-quality 95 -sampling-factor 2x1", 24, 24, j422, "JPEG", 2},
                  {kIm, "photo", "-quality 95 -sampling-factor 2x2", 24, 24, j420, "JPEG", 2},
                  {kIm, "photo", "-quality 95 -sampling-factor 4x1", 24, 24, j420, "JPEG", 2},
                  {kIm, "photo", "-quality 95 -sampling-factor 1x2", 24, 24, j422, "JPEG", 2},
                  // TurboJPEG names no such sampling.
                  {kIm, "photo", "-quality 95 -sampling-factor 3x1", 24, 24, j422, "JPEG", 2},
                  {kIm, "photo", "-quality 95 -sampling-factor 2x2 -interlace Plane", 24, 24, j420,
                   "JPEG", 2},
                  {kIm, "8g", "-quality 95", 8, 8, j444, "JPEG", 2},
                  {kIm, "8g", "-quality 95 -interlace Plane", 8, 8, j444, "JPEG", 2},
                  // CMYK as both write it, Adobe's inverted samples: read plainly it
                  // would be a negative. GraphicsMagick separates black its own way,
                  // so the file, not the source, is the reference.
                  {kIm, "photo", "-quality 95 -colorspace CMYK", 24, 32, j444, "JPEG", 2},
                  {kGm, "photo", "-quality 95 -colorspace CMYK", 24, 32, j444, "JPEG", 2, kIm},
                  {kPil, "photo", "quality=95", 24, 24, j420, "JPEG", 2},
              });
  const int t = format::kTiff, cmyk = format::kTiffCmyk, tj444 = format::kTiffJpeg444;
  const std::string tiles = " -define tiff:tile-geometry=16x16 ",
                    vipsTiles = " tile=true tile-width=16 tile-height=16";
  expectReadsLikeItsMaker(
      ".tif",
      {
          {kIm, "24", "-compress None", 24, 24, t, "None"},
          {kIm, "24", "-compress LZW -define tiff:predictor=2", 24, 24, t, "LZW"},
          {kIm, "24", "-compress Zip", 24, 24, t, "Deflate"},
          {kIm, "24", "-compress RLE", 24, 24, t, "PackBits"},
          {kIm, "24", "-compress LZW" + tiles, 24, 24, t, "LZW"},
          {kIm, "24", "-compress Zip -depth 16" + tiles, 24, 48, t, "Deflate"},
          {kIm, "24", "-depth 16", 24, 48, t, "None"},
          {kIm, "24", "-interlace Plane -compress LZW", 24, 24, t, "LZW"},
          {kIm, "24", "-interlace Plane" + tiles, 24, 24, t, "None"},
          {kIm, "24", "-alpha set", 24, 32, t, "None"},
          {kIm, "24", "-alpha set -depth 16 -compress Zip", 24, 64, t, "Deflate"},
          {kIm, "24", "", 24, 24, t, "None", 0, kIm, "TIFF64:"},  // BigTIFF
          {kGm, "24", "-compress LZW", 24, 24, t, "LZW"},
          {kGm, "24", "-compress None -endian MSB", 24, 24, t, "None"},
          {kGm, "24", "-depth 16 -endian MSB", 24, 48, t, "None"},
          {kIm, "8g", "-depth 8", 8, 8, t, "None"},
          {kIm, "8g", "-compress LZW -define tiff:predictor=2", 8, 8, t, "LZW"},
          {kIm, "8g", "-depth 16", 8, 16, t, "None"},
          {kIm, "8g", "-define tiff:photometric=min-is-white -compress Zip", 8, 8, t, "Deflate"},
          {kGm, "8g", "-compress LZW", 8, 8, t, "LZW"},
          {kIm, "4g", "-depth 4", 4, 4, t, "None"},
          {kIm, "4g", "-depth 2 -compress LZW", 4, 2, t, "LZW"},
          {kIm, "1g", "-compress Group4", 1, 1, t, "CCITT G4"},
          {kIm, "1g", "-compress Fax", 1, 1, t, "CCITT G3"},
          {kIm, "1g", "-depth 1 -compress None", 1, 1, t, "None"},
          {kIm, "1g", "-depth 1 -define quantum:polarity=min-is-white", 1, 1, t, "None"},
          {kIm, "1g", "-depth 1 -define tiff:fill-order=lsb", 1, 1, t, "None"},
          {kPil, "8g", "compression=tiff_adobe_deflate", 8, 8, t, "Deflate"},
          {kIm, "8", "-type Palette", 8, 8, t, "None"},
          {kIm, "4", "-type Palette -compress Zip", 4, 4, t, "Deflate"},
          // Other colour spaces and sample layouts, judged by ImageMagick reading the same file.
          {kIm, "photo", "-colorspace CMYK", 24, 32, cmyk, "None", 1},
          {kIm, "photo", "-colorspace CMYK -compress LZW" + tiles, 24, 32, cmyk, "LZW", 1},
          {kIm, "photo", "-colorspace CMYK -compress JPEG", 24, 32, tj444, "JPEG", 3},  // as JPEG
          {kIm, "photo", "-colorspace CMYK -depth 16 -interlace plane", 24, 64, cmyk, "None", 2},
          {kIm, "photo", "-colorspace CMYK -interlace plane -compress LZW", 24, 32, cmyk, "LZW", 2},
          {kIm, "photo", "-depth 12 -compress LZW", 24, 36, t, "LZW", 1},
          {kGm, "photo", "-depth 32 -define quantum:format=floating-point", 24, 48, t, "None", 1,
           kIm},  // half floats
          // libtiff's RGBA reader: its CIELab conversion and ImageMagick's part ways.
          {kIm, "photo", "-colorspace Lab", 24, 24, t, "None", 40},
          // ImageMagick keeps JPEG-in-TIFF in RGB, unsampled; GraphicsMagick
          // writes YCbCr at 2 × 2; vips keeps full chroma from quality 90 up.
          {kIm, "photo", "-compress JPEG -quality 95", 24, 24, tj444, "JPEG", 3},
          {kGm, "photo", "-compress JPEG -quality 95", 24, 24, format::kTiffJpeg420, "JPEG", 3,
           kIm},
          {kVips, "photo", "compression=jpeg Q=95" + vipsTiles, 24, 24, tj444, "JPEG", 3, kIm},
          {kVips, "photo", "compression=jpeg Q=85" + vipsTiles, 24, 24, format::kTiffJpeg420,
           "JPEG", 3, kIm},
      });
}

TEST(MadeElsewhere, PngGifWebpHeifAvif) {
  const int p = format::kPng;
  expectReadsLikeItsMaker(
      ".png",
      {
          {kIm, "photo", "-define png:color-type=2", 24, 24, p, "Deflate"},
          {kIm, "photo", "-define png:bit-depth=16 -define png:color-type=2", 24, 48, p, "Deflate",
           1},
          {kIm, "photo", "-interlace PNG -define png:color-type=2", 24, 24, p, "Deflate"},
          {kIm, "photo", kGraded + "-define png:color-type=6", 24, 32, p, "Deflate", 1, kIm, "",
           kBlueish},
          {kIm, "8g", "-define png:color-type=0", 8, 8, p, "Deflate"},
          {kIm, "8g", "-define png:bit-depth=16 -define png:color-type=0", 8, 16, p, "Deflate", 1},
          {kIm, "8g", "-threshold 50% -define png:bit-depth=1", 8, 1, p, "Deflate"},
          // Grey with alpha stays grey over grey only.
          {kIm, "8g", kGraded + "-colorspace gray", 24, 16, p, "Deflate", 1, kIm, "", kBlueish},
          {kIm, "8g", kGraded + "-colorspace gray", 8, 16, p, "Deflate", 1, kIm, "", kGrey},
          {kIm, "photo", "-colors 200 -type Palette", 8, 8, p, "Deflate"},
          {kIm, "photo", "-colors 2 -type Palette", 4, 2, p, "Deflate"},  // 2 bits load as 4
          {kIm, "photo", kHalfClear + "-colors 16 -type PaletteAlpha", 4, 4, p, "Deflate", 1, kIm,
           "", kBlueish},
      });
  const int g = format::kGif;
  expectReadsLikeItsMaker(".gif",
                          {
                              {kIm, "photo", "", 8, 8, g, "LZW"},
                              {kIm, "photo", "-interlace GIF", 8, 8, g, "LZW"},
                              {kIm, "photo", kHalfClear, 8, 8, g, "LZW", 0, kIm, "", kBlueish},
                          });
  const int w = format::kWebP;
  expectReadsLikeItsMaker(".webp",
                          {
                              {kIm, "photo", "-quality 80", 24, 24, w, "VP8"},
                              {kIm, "photo", "-define webp:lossless=true", 24, 24, w, "VP8L"},
                              {kIm, "photo", kGraded, 24, 32, w, "VP8", 1, kIm, "", kBlueish},
                          });
  // ImageMagick turns libheif's YCbCr into RGB with its own rounding, and
  // writes and reads no transparency in these: vips does.
  const std::string halfClear = "bandjoin_const 128";
  expectReadsLikeItsMaker(".heic", {
                                       {kIm, "photo", "", 24, 24, format::kHeif, "HEVC", 3},
                                       {kVips, "photo", halfClear, 24, 32, format::kHeif, "HEVC", 1,
                                        kVips, "", kBlueish},
                                   });
  expectReadsLikeItsMaker(".avif", {
                                       {kIm, "photo", "", 24, 24, format::kAvif, "AV1", 4},
                                       {kVips, "photo", halfClear, 24, 32, format::kAvif, "AV1", 1,
                                        kVips, "", kBlueish},
                                   });
}

}  // namespace
}  // namespace zelmar::test
