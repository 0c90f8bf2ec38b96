// The checks every format must pass, driven by one row per format. A new
// format is one more row in codecs(); a read-only one leaves encode null
// and names the program that makes its samples.
#include <gtest/gtest.h>

#include "engine/codecs/bmp.h"
#include "engine/codecs/cmp.h"
#include "engine/codecs/codec_checks.h"
#include "engine/codecs/jpeg.h"
#include "engine/codecs/pcx.h"
#include "engine/codecs/targa.h"
#include "engine/codecs/tiff.h"
#include "engine/core/facts.h"
#include "engine/io/formats.h"
#include "engine/ops/ops.h"
#include "support/pictures.h"

namespace zelmar::test {

namespace {

using Loads = Codec::Loads;
using OneBit = Codec::OneBit;

// A file of a 1 × 1 colour picture with its size fields set to w × h.
template <EncodeFn encode>
ByteVec resized(uint32_t w, uint32_t h, void (*set)(ByteVec&, uint32_t, uint32_t)) {
  ByteVec f = encodeOk(encode, makePattern(1, 1, 24));
  set(f, w, h);
  return f;
}
void put16(ByteVec& f, size_t at, uint32_t v) { f[at] = uint8_t(v), f[at + 1] = uint8_t(v >> 8); }
void put32(ByteVec& f, size_t at, uint32_t v) { put16(f, at, v), put16(f, at + 2, v >> 16); }

// Where a JPEG file keeps its size: the baseline start of frame.
void setJpegSize(ByteVec& f, uint32_t w, uint32_t h) {
  for (size_t i = 2; i + 8 < f.size(); ++i)
    if (f[i] == 0xFF && f[i + 1] == 0xC0) {
      f[i + 5] = uint8_t(h >> 8), f[i + 6] = uint8_t(h), f[i + 7] = uint8_t(w >> 8),
            f[i + 8] = uint8_t(w);
      return;
    }
  ADD_FAILURE() << "no start of frame";
}

}  // namespace

const std::vector<Codec>& codecs() {
  static const std::vector<Codec> table = {
      {".bmp",
       bmp::decode,
       bmp::encode,
       format::kBmp,
       true,
       [](int bits, bool) {
         return Loads{bits, bits, format::kBmp};
       },
       "None",
       {{Tool::ImageMagick}, {Tool::GraphicsMagick}, {Tool::Pillow}},
       [](uint32_t w, uint32_t h) {
         return resized<bmp::encode>(
             w, h, [](ByteVec& f, uint32_t w, uint32_t h) { put32(f, 18, w), put32(f, 22, h); });
       }},
      {".pcx",
       pcx::decode,
       pcx::encode,
       format::kPcx,
       true,
       [](int bits, bool) {
         return Loads{bits, bits, format::kPcx};
       },
       "RLE",
       // ImageMagick swaps black and white; no program honours a 1-bit header palette.
       {{Tool::ImageMagick, OneBit::Never}, {Tool::GraphicsMagick, OneBit::BlackWhiteOnly}},
       [](uint32_t w, uint32_t h) {
         return resized<pcx::encode>(w, h, [](ByteVec& f, uint32_t w, uint32_t h) {
           put16(f, 8, w - 1), put16(f, 10, h - 1), put16(f, 66, w + w % 2);
         });
       }},
      {".tif",
       tiff::decode,
       tiff::encode,
       format::kTiff,
       true,
       [](int bits, bool) {
         return Loads{bits, bits, format::kTiff};
       },
       "LZW",
       {{Tool::ImageMagick}, {Tool::GraphicsMagick}, {Tool::Pillow}},
       [](uint32_t w, uint32_t h) { return buildTiff(w, h, 8, 1, 1, ByteVec(12, 1)); }},
      {".jpg",
       jpeg::decode,
       jpeg::encode,
       format::kJpeg420,
       false,
       [](int, bool gray) {
         return gray ? Loads{8, 8, format::kJpeg444} : Loads{24, 24, format::kJpeg420};
       },
       "JPEG",
       {{Tool::ImageMagick}, {Tool::GraphicsMagick}, {Tool::Pillow}},
       [](uint32_t w, uint32_t h) {
         ByteVec f = encodeOk(jpeg::encode, makePhoto(16, 16));
         setJpegSize(f, w, h);
         return f;
       }},
      // ImageMagick 6 stores Targa rows against the origin bit, so others judge.
      {".tga",
       targa::decode,
       targa::encode,
       format::kTarga,
       true,
       [](int bits, bool) {
         return bits == 24 ? Loads{24, 24, format::kTarga} : Loads{8, 8, format::kTarga};
       },
       "None",
       {{Tool::GraphicsMagick}, {Tool::Pillow}},
       [](uint32_t w, uint32_t h) {
         return resized<targa::encode>(
             w, h, [](ByteVec& f, uint32_t w, uint32_t h) { put16(f, 12, w), put16(f, 14, h); });
       },
       true},
      {".cmp",
       cmp::decode,
       cmp::encode,
       format::kCmp,
       true,
       [](int bits, bool) {
         return Loads{bits, bits, format::kCmp};
       },
       "zstd",
       {},
       [](uint32_t w, uint32_t h) {
         return resized<cmp::encode>(
             w, h, [](ByteVec& f, uint32_t w, uint32_t h) { put32(f, 8, w), put32(f, 12, h); });
       },
       false,
       20},
  };
  return table;
}

namespace {

struct Depth {
  int bits;
  bool gray;
};
constexpr Depth kDepths[] = {{1, true},  {1, false}, {4, false}, {4, true},
                             {8, false}, {8, true},  {24, false}};

// A source at `d`: a busy pattern using every index for lossless formats, a
// photo reduced to the depth for lossy ones.
Picture sourceFor(const Codec& c, uint32_t w, uint32_t h, Depth d) {
  if (c.lossless) return makePattern(w, h, d.bits, d.gray);
  Picture p = makePhoto(w, h);
  if (d.gray) {
    EXPECT_TRUE(ops::toGrayscale(p).ok());
  }
  if (d.bits < 24) {
    EXPECT_TRUE(ops::changeColorDepth(p, d.bits, ops::Dither::Nearest).ok());
  }
  return p;
}

TEST(Codecs, EveryDepthRoundTripsWithItsFacts) {
  for (const Codec& c : codecs())
    for (const Depth d : kDepths)
      for (uint32_t w : {1u, 7u, 33u}) {
        SCOPED_TRACE(testing::Message() << c.name << " " << d.bits << " bits"
                                        << (d.gray ? " grey" : "") << ", width " << w);
        // Lossy formats get a photo large enough to judge them on.
        const uint32_t width = c.lossless ? w : 61 + w, height = c.lossless ? 5 : 33;
        const Picture src = sourceFor(c, width, height, d);
        const Decoded got = decodeOk(c.decode, sampleOf(c, src, 2));
        const Loads l = c.loads(d.bits, src.isGray());
        EXPECT_EQ(factsOf(got), (Facts{l.bits, l.originBits, width, height, l.format, c.compression,
                                       src.isGray()}));
        if (c.lossless) {
          EXPECT_TRUE(closeColours(got.picture, src, 0));
        } else {
          EXPECT_LT(meanChannelDiff(got.picture, src), 6.0);
        }
      }
}

TEST(Codecs, OtherProgramsReadOurFiles) {
  for (const Codec& c : codecs())
    for (const Codec::Reader& r : c.readers) {
      REQUIRE_TOOL(r.tool);
      for (const Depth d : kDepths) {
        if (d.bits == 1 &&
            (r.oneBit == OneBit::Never || (!d.gray && r.oneBit == OneBit::BlackWhiteOnly)))
          continue;
        SCOPED_TRACE(testing::Message() << c.name << " read by " << int(r.tool) << ", " << d.bits
                                        << " bits" << (d.gray ? " grey" : ""));
        const Picture src = sourceFor(c, 33, 9, d);
        const ByteVec file = sampleOf(c, src);
        const Picture ours = c.lossless ? Picture() : decodeOk(c.decode, file).picture;
        EXPECT_TRUE(closeColours(toolReads(r.tool, file, c.name), c.lossless ? src : ours,
                                 c.lossless ? 0 : 2));
      }
    }
}

bool isCleanFailure(ErrorCode code) {
  return code == ErrorCode::BadHeader || code == ErrorCode::Truncated ||
         code == ErrorCode::CorruptData;
}

TEST(Codecs, EveryPrefixFailsCleanlyOrGivesTheFilesRows) {
  for (const Codec& c : codecs())
    for (const Depth d : {Depth{1, true}, Depth{4, false}, Depth{8, true}, Depth{24, false}}) {
      SCOPED_TRACE(testing::Message() << c.name << " " << d.bits << " bits");
      const ByteVec file = sampleOf(c, sourceFor(c, 19, 7, d), 30);
      const Picture whole = decodeOk(c.decode, file).picture;
      for (size_t n = 0; n < file.size(); ++n) {
        SCOPED_TRACE(testing::Message() << "first " << n << " of " << file.size() << " bytes");
        Decoded part;
        const Status s = c.decode({file.data(), n}, {}, part);
        if (!s.ok()) {
          EXPECT_TRUE(isCleanFailure(s.code())) << s.message();
          EXPECT_TRUE(part.picture.empty());
          continue;
        }
        ASSERT_EQ(part.picture.byteSize(), whole.byteSize());
        if (!c.lossless) {
          EXPECT_TRUE(part.truncated);
          continue;
        }
        // What arrived is exact and what did not is zero, but for the one
        // row being read when the data ended (its planes may be partial);
        // anything missing is flagged.
        size_t rowsInProgress = 0, missing = 0;
        for (uint32_t y = 0; y < whole.height(); ++y) {
          bool wrong = false;
          for (size_t i = 0; i < whole.stride(); ++i) {
            const uint8_t got = part.picture.row(y)[i], want = whole.row(y)[i];
            wrong |= got != want && got != 0;
            missing += got != want;
          }
          rowsInProgress += wrong;
        }
        EXPECT_LE(rowsInProgress, 1u);
        EXPECT_TRUE(part.truncated || missing == 0);
      }
    }
}

TEST(Codecs, FlippedBitsFailCleanlyOrGiveAPicture) {
  // Small limits: a flip in a size field must not ask for gigabytes.
  const Limits limits{4096, 1 << 20};
  for (const Codec& c : codecs()) {
    SCOPED_TRACE(c.name);
    const Picture src = sourceFor(c, 16, 8, {24, false});
    const ByteVec good = sampleOf(c, src);
    for (size_t i = 0; i < good.size(); ++i)
      for (uint8_t flip : {0x01, 0x80}) {
        ByteVec bad = good;
        bad[i] ^= flip;
        Decoded d;
        if (!c.decode(bad, limits, d).ok()) {
          ASSERT_TRUE(d.picture.empty()) << "byte " << i;
        } else if (c.checkedFrom && i >= c.checkedFrom) {
          ASSERT_TRUE(closeColours(d.picture, src, 0)) << "byte " << i;
        } else {
          ASSERT_TRUE(d.picture.width() <= 4096 && d.picture.height() <= 4096 && !d.picture.empty())
              << "byte " << i;
        }
      }
  }
}

TEST(Codecs, HugeSizesAreRefusedBeforeAllocating) {
  for (const Codec& c : codecs()) {
    SCOPED_TRACE(c.name);
    // Each side fits, the pixels do not; then a small size under a caller's tight limit.
    for (const auto& [w, h, limits] :
         {std::tuple{65500u, 65500u, Limits{}}, std::tuple{40000u, 30000u, Limits{}},
          std::tuple{20u, 20u, Limits{65535, 100}}}) {
      Decoded d;
      EXPECT_EQ(c.decode(c.declaring(w, h), limits, d).code(), ErrorCode::LimitExceeded)
          << w << "x" << h;
      EXPECT_TRUE(d.picture.empty());
    }
  }
}

TEST(Codecs, NoPictureNeitherDecodesNorEncodes) {
  for (const Codec& c : codecs()) {
    SCOPED_TRACE(c.name);
    Decoded d;
    EXPECT_TRUE(isCleanFailure(c.decode({}, {}, d).code()));
    if (!c.encode) continue;
    OutputBuffer direct, registry;
    EXPECT_FALSE(c.encode(Picture(), {}, direct).ok());
    EXPECT_EQ(encodeAs(Picture(), c.saveCode, {}, registry).code(), ErrorCode::NoPicture);
    EXPECT_EQ(registry.size(), 0u);
  }
  Decoded d;
  EXPECT_EQ(decodeAny({}, ".bmp", {}, d).code(), ErrorCode::EmptyFile);
}

TEST(Codecs, RegistryGoesByContentThenByExtensionAndWritesBySaveCode) {
  for (const Codec& c : codecs()) {
    SCOPED_TRACE(c.name);
    const Picture src = makePattern(9, 7, 8);
    const ByteVec file = sampleOf(c, src);
    const int format = c.loads(8, false).format;
    Decoded d;
    // Content wins over a misleading name; a format without a signature
    // needs its own.
    ASSERT_TRUE(decodeAny(file, ".tga", {}, d).ok());
    EXPECT_EQ(d.facts.fileFormat, format);
    EXPECT_EQ(decodeAny(file, ".bin", {}, d).code(),
              c.needsExtension ? ErrorCode::UnknownFormat : ErrorCode::Ok);
    if (!c.encode) continue;
    OutputBuffer out;
    ASSERT_TRUE(encodeAs(src, c.saveCode, {}, out).ok());
    EXPECT_EQ(ByteVec(out.data(), out.data() + out.size()), file);
  }
  // Targa's other names, any case; and only the six save codes write.
  const ByteVec tga = encodeOk(targa::encode, makePattern(5, 5, 24));
  Decoded d;
  for (const char* name : {".TGA", "targa", ".vda", ".icb", ".vst"})
    EXPECT_TRUE(decodeAny(tga, name, {}, d).ok()) << name;
  for (const char* name : {".bmp", "", ".tgaa"})
    EXPECT_EQ(decodeAny(tga, name, {}, d).code(), ErrorCode::UnknownFormat) << name;
  for (int code : {0, 2, 7, 10, 11, 22, 23, 85, 93, -6, 1006}) {
    OutputBuffer out;
    EXPECT_EQ(encodeAs(makePattern(4, 4, 24), code, {}, out).code(), ErrorCode::UnsupportedFormat)
        << code;
  }
}

}  // namespace
}  // namespace zelmar::test
