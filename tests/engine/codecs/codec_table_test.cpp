// The checks every format must pass, driven by one row per format. A new
// format is one more row in codecs(); a read-only one leaves encode null
// and ImageMagick makes its samples.
#include <gtest/gtest.h>
#include <spng.h>

#include <filesystem>

#include "engine/codecs/bmp.h"
#include "engine/codecs/cmp.h"
#include "engine/codecs/codec_checks.h"
#include "engine/codecs/gif.h"
#include "engine/codecs/heif.h"
#include "engine/codecs/jpeg.h"
#include "engine/codecs/packed_rows.h"
#include "engine/codecs/pcx.h"
#include "engine/codecs/png.h"
#include "engine/codecs/targa.h"
#include "engine/codecs/tiff.h"
#include "engine/codecs/webp.h"
#include "engine/core/facts.h"
#include "engine/io/formats.h"
#include "engine/ops/ops.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

// A decode that composes transparency, over the default background.
template <Status (*F)(Bytes, const DecodeOptions&, Decoded&)>
Status overDefault(Bytes data, const Limits& limits, Decoded& out) {
  return F(data, limits, out);
}

// One format, as the table-driven checks see it. A read-only one has no
// encode, and ImageMagick writes its samples.
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
  std::vector<Reader> readers = {};
  bool lossless = true;         // lossy formats load as 8-bit grey or 24-bit colour
  int grayFormat = 0;           // the format of a grey file, when another
  int paletteBits = 0;          // the depth palette pictures load at, when not their own
  bool needsExtension = false;  // no signature: the registry takes it by extension only
  size_t checkedFrom = 0;       // damage past this byte is always detected (0: never)
  bool savesByCode = true;      // the registry writes it by its format code
  std::vector<std::string> makerArgs = {};  // ImageMagick's, for a read-only format's samples
};

// Transparency, so that WebP and AVIF samples carry it.
const std::vector<std::string> kAlpha = {"-alpha",          "set",     "-channel", "A", "-fx",
                                         "(i+2*j)/(w+2*h)", "+channel"};

const std::vector<Codec>& codecs() {
  using enum Tool;
  using enum Codec::OneBit;
  // clang-format off
  static const std::vector<Codec> table = {
      {".bmp", bmp::decode, bmp::encode, format::kBmp, "None", {{ImageMagick}, {GraphicsMagick}, {Pillow}}},
      // ImageMagick swaps black and white; no program honours a 1-bit header palette.
      {".pcx", pcx::decode, pcx::encode, format::kPcx, "RLE", {{ImageMagick, Never}, {GraphicsMagick, BlackWhiteOnly}}},
      {".tif", tiff::decode, tiff::encode, format::kTiff, "LZW", {{ImageMagick}, {GraphicsMagick}, {Pillow}}},
      {".jpg", jpeg::decode, jpeg::encode, format::kJpeg420, "JPEG", {{ImageMagick}, {GraphicsMagick}, {Pillow}},
       false, format::kJpeg444},
      // ImageMagick 6 stores Targa rows against the origin bit, so it is no judge.
      {".tga", targa::decode, targa::encode, format::kTarga, "None", {{GraphicsMagick}, {Pillow}}, true, 0, 8, true},
      {".cmp", cmp::decode, cmp::encode, format::kCmp, "zstd", {}, true, 0, 0, false, 20},
      // Read only, or (PNG) written by the converter alone.
      {".png", overDefault<png::decode>, png::encode, format::kPng, "Deflate", {{ImageMagick}, {GraphicsMagick}, {Pillow}},
       true, 0, 0, false, 0, false},
      {".gif", overDefault<gif::decode>, nullptr, format::kGif, "LZW", {}, true, 0, 0, false, 0, false},
      {".webp", overDefault<webp::decode>, nullptr, format::kWebP, "VP8", {}, false, 0, 0, false, 0, false, kAlpha},
      {".heic", overDefault<heif::decode>, nullptr, format::kHeif, "HEVC", {}, false, 0, 0, false, 0, false},
      {".avif", overDefault<heif::decode>, nullptr, format::kAvif, "AV1", {}, false, 0, 0, false, 0, false, kAlpha},
  };
  // clang-format on
  return table;
}

// A file of `p` in this format: ours, or ImageMagick's for a read-only one.
ByteVec sampleOf(const Codec& codec, const Picture& p, int factor = 64) {
  if (codec.encode) return encodeOk(codec.encode, p, factor);
  return toolWrites(kIm, p, codec.makerArgs, "sample" + codec.name);
}

// What a file of `p` in this format must decode to.
Facts factsFor(const Codec& c, const Picture& p) {
  const int bits = !c.lossless                      ? (p.isGray() ? 8 : 24)
                   : p.bits() < 24 && c.paletteBits ? c.paletteBits
                                                    : p.bits();
  const bool gray = p.isGray() && bits < 24;
  return {
      bits,          bits, p.width(), p.height(), gray && c.grayFormat ? c.grayFormat : c.format,
      c.compression, gray};
}

// A busy pattern using every index for lossless formats; a photo reduced to
// the depth, large enough to judge a lossy one on.
Picture sourceFor(const Codec& c, uint32_t w, uint32_t h, Depth d) {
  if (c.lossless) return makePattern(w, h, d.bits, d.gray);
  Picture p = makePhoto(61 + w, 33);
  EXPECT_TRUE(!d.gray || ops::toGrayscale(p).ok());
  EXPECT_TRUE(d.bits == 24 || ops::changeColorDepth(p, d.bits, ops::Dither::Nearest).ok());
  return p;
}

// Our files give the source back (lossy ones close to it), and other
// programs read them: exactly our colours, lossy ones within 2 of our decode.
TEST(Codecs, EveryDepthRoundTripsWithItsFactsAndOtherProgramsReadIt) {
  for (const Codec& c : codecs()) {
    if (!c.encode) continue;
    for (const Codec::Reader& r : c.readers) REQUIRE_TOOL(r.tool);
    for (const Depth d : kDepths)
      for (uint32_t w : {1u, 7u, 33u}) {  // rows padded every way
        SCOPED_TRACE(testing::Message() << c.name << " " << d << " " << w);
        const Picture src = sourceFor(c, w, 5, d);
        const ByteVec file = encodeOk(c.encode, src, 2);
        const Decoded got = decodeOk(c.decode, file);
        EXPECT_EQ(factsOf(got), factsFor(c, src));
        if (c.lossless) {
          EXPECT_TRUE(closeColours(got.picture, src, 0));
        } else {
          EXPECT_LT(meanChannelDiff(got.picture, src), 6);
        }
        for (const Codec::Reader& r : c.readers) {
          if (w != 33 || (d.bits == 1 && (r.oneBit == Codec::OneBit::Never ||
                                          (!d.gray && r.oneBit == Codec::OneBit::BlackWhiteOnly))))
            continue;
          EXPECT_TRUE(
              closeColours(toolReads(r.tool, file, c.name), got.picture, c.lossless ? 0 : 2))
              << int(r.tool);
        }
      }
  }
}

bool isCleanFailure(ErrorCode c) {
  return c == ErrorCode::BadHeader || c == ErrorCode::Truncated || c == ErrorCode::CorruptData;
}

TEST(Codecs, PrefixesAndFlippedBitsFailCleanlyOrGivePicturesAndCallersLimitsAreKept) {
  for (const Codec& c : codecs())
    for (const Depth d : {Depth{1, true}, Depth{4, false}, Depth{8, true}, Depth{24, false}}) {
      const ByteVec file = sampleOf(c, sourceFor(c, 19, 7, d), 30);
      const Picture whole = decodeOk(c.decode, file).picture;
      for (size_t n = 0; n < file.size(); ++n) {
        SCOPED_TRACE(testing::Message()
                     << c.name << " " << d.bits << " bits, first " << n << " bytes");
        Decoded part;
        const Status s = c.decode({file.data(), n}, {}, part);
        if (!s.ok()) {
          EXPECT_TRUE(isCleanFailure(s.code()) && part.picture.empty()) << s.message();
          continue;
        }
        ASSERT_EQ(part.picture.byteSize(), whole.byteSize());
        if (!part.truncated) {  // then nothing may be missing
          EXPECT_TRUE(
              std::equal(whole.data(), whole.data() + whole.byteSize(), part.picture.data()));
          continue;
        }
        if (!c.lossless) continue;
        // What arrived is exact and what did not is zero, but for the row
        // being read when the data ended (its planes may be partial).
        size_t rowsInProgress = 0;
        for (uint32_t y = 0; y < whole.height(); ++y) {
          bool wrong = false;
          for (size_t i = 0; i < whole.stride(); ++i) {
            const uint8_t got = part.picture.row(y)[i], want = whole.row(y)[i];
            wrong |= got != want && got != 0;
          }
          rowsInProgress += wrong;
        }
        EXPECT_LE(rowsInProgress, 1u);
      }
    }
  // Bits flipped one at a time give a clean error or a picture; a caller's
  // limits below the picture's size are kept before allocating (sizes past
  // the defaults are forged in files under refused/limit-exceeded).
  const Limits limits{4096, 1 << 20};  // a flipped size must not ask for gigabytes
  for (const Codec& c : codecs()) {
    const Picture src = sourceFor(c, 16, 8, {24, false});
    const ByteVec good = sampleOf(c, src);
    Decoded tight;
    EXPECT_EQ(c.decode(good, {65535, 100}, tight).code(), ErrorCode::LimitExceeded) << c.name;
    EXPECT_TRUE(tight.picture.empty());
    for (size_t i = 0; i < good.size(); ++i)
      for (uint8_t flip : {0x01, 0x80}) {
        ByteVec bad = good;
        bad[i] ^= flip;
        Decoded d;
        const bool ok = c.decode(bad, limits, d).ok();
        ASSERT_EQ(ok, !d.picture.empty()) << c.name << " byte " << i;
        if (ok && c.checkedFrom && i >= c.checkedFrom) {
          ASSERT_TRUE(closeColours(d.picture, src, 0)) << c.name << " byte " << i;
        }
      }
  }
}

// As other viewers, we do not check PNG checksums: a file whose chunk
// checksums and zlib trailer are all wrong but whose data inflates loads whole.
TEST(Png, WrongChecksumsAloneRefuseNothing) {
  const Picture src = makePattern(16, 8, 24);
  ByteVec file = encodeOk(png::encode, src);
  for (size_t at = 8; at + 12 <= file.size();) {
    const size_t length =
        size_t(file[at]) << 24 | file[at + 1] << 16 | file[at + 2] << 8 | file[at + 3];
    const bool idat = std::equal(file.begin() + at + 4, file.begin() + at + 8, "IDAT");
    const size_t crc = at + 8 + length;
    if (idat) file[crc - 1] ^= 0xff;  // the zlib stream's checksum ends the only IDAT
    file[crc] ^= 0xff;
    at = crc + 4;
  }
  EXPECT_TRUE(closeColours(decodeOk(overDefault<png::decode>, file).picture, src, 0));
}

// Rows of `channels` bytes a pixel written by libspng with `filter` alone.
ByteVec spngWrites(const std::vector<uint8_t>& pixels, uint32_t width, uint8_t colourType,
                   int filter) {
  spng_ctx* ctx = spng_ctx_new(SPNG_CTX_ENCODER);
  spng_ihdr ihdr{width,
                 uint32_t(pixels.size() / width /
                          (colourType == 0   ? 1
                           : colourType == 4 ? 2
                           : colourType == 2 ? 3
                                             : 4)),
                 8,
                 colourType,
                 0,
                 0,
                 0};
  size_t size = 0;
  int error = 0;
  spng_set_option(ctx, SPNG_ENCODE_TO_BUFFER, 1);
  spng_set_option(ctx, SPNG_FILTER_CHOICE, filter);
  spng_set_ihdr(ctx, &ihdr);
  spng_encode_image(ctx, pixels.data(), pixels.size(), SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE);
  auto* png = static_cast<uint8_t*>(spng_get_png_buffer(ctx, &size, &error));
  ByteVec file(png, png + size);
  std::free(png);
  spng_ctx_free(ctx);
  return file;
}

// Our own row decoding against libspng's writer: each filter alone, at every
// byte width a pixel (opaque alpha composes to the colour itself).
TEST(Png, EachRowFilterAloneAtEveryPixelWidth) {
  const uint32_t width = 37, height = 9;
  for (const uint8_t type : {0, 4, 2, 6})
    for (const int filter : {SPNG_FILTER_CHOICE_NONE, SPNG_FILTER_CHOICE_SUB, SPNG_FILTER_CHOICE_UP,
                             SPNG_FILTER_CHOICE_AVG, SPNG_FILTER_CHOICE_PAETH}) {
      const size_t channels = type == 0 ? 1 : type == 4 ? 2 : type == 2 ? 3 : 4;
      const bool alpha = type == 4 || type == 6;
      std::vector<uint8_t> pixels(width * height * channels);
      uint32_t seed = 12345;
      for (size_t i = 0; i < pixels.size(); ++i) {
        seed = seed * 1103515245u + 12345u;
        pixels[i] = alpha && i % channels == channels - 1 ? 255 : uint8_t(seed >> 16);
      }
      const Picture got =
          decodeOk(overDefault<png::decode>, spngWrites(pixels, width, type, filter)).picture;
      for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
          const uint8_t* px = pixels.data() + (size_t(y) * width + x) * channels;
          const Rgb want = channels < 3 ? Rgb{px[0], px[0], px[0]} : Rgb{px[0], px[1], px[2]};
          ASSERT_EQ(pixelAt(got, x, y), want)
              << "type " << int(type) << " filter " << filter << " at " << x << "," << y;
        }
    }
}

// Reading goes by content, then by extension; writing by format code; no
// picture neither decodes nor encodes.
TEST(Codecs, RegistryGoesByContentThenByExtensionWritesByFormatCodeAndRefusesHandBuiltFiles) {
  const Picture src = makePattern(9, 7, 8);
  Decoded d;
  EXPECT_EQ(decodeAny({}, ".bmp", {}, d).code(), ErrorCode::EmptyFile);
  for (const Codec& c : codecs()) {
    SCOPED_TRACE(c.name);
    EXPECT_TRUE(isCleanFailure(c.decode({}, {}, d).code()));
    const ByteVec file = sampleOf(c, src);
    // Content wins over a misleading name; a format without a signature needs its own.
    ASSERT_TRUE(decodeAny(file, ".tga", {}, d).ok());
    EXPECT_EQ(d.facts.fileFormat, c.format);
    EXPECT_EQ(decodeAny(file, ".bin", {}, d).ok(), !c.needsExtension);
    OutputBuffer out, none;
    EXPECT_FALSE(c.encode && c.encode(Picture(), {}, none).ok());
    if (!c.savesByCode) continue;
    EXPECT_EQ(encodeAs(Picture(), c.format, {}, none).code(), ErrorCode::NoPicture);
    EXPECT_EQ(none.size(), 0u);
    ASSERT_TRUE(encodeAs(src, c.format, {}, out).ok());
    EXPECT_EQ(ByteVec(out.data(), out.data() + out.size()), file);
  }
  const ByteVec tga = encodeOk(targa::encode, makePattern(5, 5, 24));
  for (const char* name : {".TGA", "targa", ".vda", ".icb", ".vst"})
    EXPECT_TRUE(decodeAny(tga, name, {}, d).ok()) << name;
  for (const char* name : {".bmp", "", ".tgaa"})
    EXPECT_EQ(decodeAny(tga, name, {}, d).code(), ErrorCode::UnknownFormat) << name;
  for (int code : {0, 2, 7, 10, 11, 22, 23, 85, 93, -6, 1006}) {  // only the six save codes write
    OutputBuffer out;
    EXPECT_EQ(encodeAs(src, code, {}, out).code(), ErrorCode::UnsupportedFormat) << code;
  }
  // Files no writer makes, each under refused/ in the folder of its reason.
  const std::pair<const char*, ErrorCode> reasons[] = {
      {"bad-header", ErrorCode::BadHeader},         {"bad-dimensions", ErrorCode::BadDimensions},
      {"limit-exceeded", ErrorCode::LimitExceeded}, {"truncated", ErrorCode::Truncated},
      {"corrupt-data", ErrorCode::CorruptData},     {"unsupported", ErrorCode::Unsupported}};
  for (const auto& [reason, code] : reasons)
    for (const std::string& name : dataFiles(std::string("refused/") + reason)) {
      const std::string ext = std::filesystem::path(name).extension();
      const auto c = std::find_if(codecs().begin(), codecs().end(),
                                  [&](const Codec& row) { return row.name == ext; });
      ASSERT_NE(c, codecs().end()) << name;
      Decoded d;
      const Status s = c->decode(dataFile(name), {}, d);
      EXPECT_EQ(s.code(), code) << name << ": " << s.message();
      EXPECT_TRUE(d.picture.empty()) << name;
    }
}

// Every length takes a different split between the vector steps and the tail.
TEST(PackedRows, SwapRedBlueExchangesOuterBytesAtEveryLength) {
  for (size_t n = 0; n <= 40; ++n) {
    ByteVec src(3 * n), dst(3 * n + 16, 0x77);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 11 + 3);
    rows::swapRedBlue(src.data(), dst.data(), n);
    for (size_t i = 0; i < 3 * n; ++i) ASSERT_EQ(dst[i], src[i - i % 3 + 2 - i % 3]) << n;
    for (size_t i = 3 * n; i < dst.size(); ++i) ASSERT_EQ(dst[i], 0x77) << "wrote past " << n;
  }
}

}  // namespace
}  // namespace zelmar::test
