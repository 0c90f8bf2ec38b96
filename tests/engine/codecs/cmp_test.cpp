#include "engine/codecs/cmp.h"

#include <gtest/gtest.h>
#include <zstd.h>

#include <string>
#include <vector>

#include "engine/io/formats.h"
#include "support/pictures.h"

namespace zelmar {
namespace {

using test::makePattern;
using test::sameColors;

constexpr size_t kHeader = 20;

std::vector<uint8_t> encodeCmp(const Picture& p, int factor = 64) {
  OutputBuffer out;
  EncodeOptions options;
  options.factor = factor;
  EXPECT_TRUE(cmp::encode(p, options, out).ok());
  return {out.data(), out.data() + out.size()};
}

Status decodeCmp(const std::vector<uint8_t>& bytes, Decoded& out, const Limits& limits = {}) {
  return cmp::decode(Bytes(bytes.data(), bytes.size()), limits, out);
}

// The payload of a file, unpacked by the zstd library itself.
std::vector<uint8_t> payloadOf(const std::vector<uint8_t>& file, size_t paletteEntries) {
  const size_t at = kHeader + 3 * paletteEntries;
  const auto size = ZSTD_getFrameContentSize(file.data() + at, file.size() - at);
  std::vector<uint8_t> payload(size);
  EXPECT_EQ(ZSTD_decompress(payload.data(), size, file.data() + at, file.size() - at), size);
  return payload;
}

// A header followed by a frame holding `payload`, for hostile variants.
std::vector<uint8_t> buildCmp(uint32_t w, uint32_t h, int depth,
                              const std::vector<uint8_t>& payload) {
  const int entries = depth == 24 ? 0 : 1 << depth;
  std::vector<uint8_t> f = {'Z', 'C', 'M', 'P', 1, uint8_t(depth), uint8_t(depth == 24), 0};
  for (uint32_t v : {w, h})
    f.insert(f.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
  f.insert(f.end(), {uint8_t(entries), uint8_t(entries >> 8), 0, 0});
  f.insert(f.end(), size_t(entries) * 3, 0x40);
  std::vector<uint8_t> frame(ZSTD_compressBound(payload.size()));
  frame.resize(ZSTD_compress(frame.data(), frame.size(), payload.data(), payload.size(), 3));
  f.insert(f.end(), frame.begin(), frame.end());
  return f;
}

TEST(Cmp, RoundTripsEveryDepthExactly) {
  for (int bits : {1, 4, 8, 24})
    for (bool gray : {false, true})
      for (uint32_t w : {1u, 7u, 33u})
        for (uint32_t h : {1u, 6u}) {
          if (gray && bits == 24) continue;
          SCOPED_TRACE(testing::Message()
                       << bits << " bits, gray " << gray << ", " << w << "x" << h);
          const Picture src = makePattern(w, h, bits, gray);
          Decoded d;
          ASSERT_TRUE(decodeCmp(encodeCmp(src), d).ok());
          EXPECT_EQ(d.picture.bits(), bits);
          EXPECT_EQ(d.picture.palette(), src.palette());
          EXPECT_TRUE(std::equal(src.data(), src.data() + src.byteSize(), d.picture.data()));
          EXPECT_FALSE(d.truncated);
          EXPECT_EQ(d.facts.fileFormat, 5);
          EXPECT_EQ(d.facts.originBits, bits);
          EXPECT_EQ(d.facts.originWidth, w);
          EXPECT_EQ(d.facts.originHeight, h);
          EXPECT_EQ(d.facts.compression, "zstd");
          EXPECT_EQ(d.facts.pageCount, 1);
        }
}

TEST(Cmp, EveryFactorIsLosslessAndTheTopOneSmallest) {
  const Picture photo = test::makePhoto(160, 120);
  std::vector<size_t> sizes;
  for (int factor : {2, 64, 150, 255}) {
    SCOPED_TRACE(factor);
    const auto bytes = encodeCmp(photo, factor);
    Decoded d;
    ASSERT_TRUE(decodeCmp(bytes, d).ok());
    EXPECT_TRUE(sameColors(photo, d.picture));
    sizes.push_back(bytes.size());
  }
  EXPECT_EQ(sizes[0], sizes[1]);  // at or below the default: the fastest level
  EXPECT_LT(sizes[3], sizes[1]);
  // The predictor earns its keep: plain zstd of the raw pixels is larger.
  std::vector<uint8_t> plain(ZSTD_compressBound(photo.byteSize()));
  const size_t plainSize =
      ZSTD_compress(plain.data(), plain.size(), photo.data(), photo.byteSize(), 1);
  EXPECT_LT(sizes[1], plainSize * 9 / 10);
}

// The layout documented in cmp.h, checked on tiny pictures by hand.
TEST(Cmp, FileLayoutIsAsDocumented) {
  Picture bw;
  ASSERT_TRUE(Picture::create(10, 2, 1, bw).ok());
  bw.setPalette({{1, 2, 3}, {250, 251, 252}});
  const uint8_t bits[2][10] = {{1, 0, 1, 1, 0, 0, 0, 0, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0, 1}};
  for (uint32_t y = 0; y < 2; ++y) std::copy(bits[y], bits[y] + 10, bw.row(y));
  const auto file = encodeCmp(bw);
  const std::vector<uint8_t> header = {'Z', 'C', 'M', 'P', 1, 1, 0, 0, 10, 0, 0,   0,   2,
                                       0,   0,   0,   2,   0, 0, 0, 1, 2,  3, 250, 251, 252};
  EXPECT_TRUE(std::equal(header.begin(), header.end(), file.begin()));
  EXPECT_EQ(payloadOf(file, 2), (std::vector<uint8_t>{0xb0, 0xc0, 0x00, 0x40}));

  // 24 bits, 3 × 2: green, red and blue planes of residuals. Green is 0
  // throughout, so subtracting it gains nothing and filter 1 is chosen.
  Picture rgb;
  ASSERT_TRUE(Picture::create(3, 2, 24, rgb).ok());
  const uint8_t px[2][9] = {{10, 0, 200, 20, 0, 100, 15, 0, 50}, {12, 0, 0, 30, 0, 0, 40, 0, 255}};
  for (uint32_t y = 0; y < 2; ++y) std::copy(px[y], px[y] + 9, rgb.row(y));
  const auto rgbFile = encodeCmp(rgb);
  EXPECT_EQ(rgbFile[5], 24);
  EXPECT_EQ(rgbFile[6], 1);
  // Red: first row left-predicted (10, +10, -5); second row: 12 - 10 above,
  // then 30 - med(12, 20, 10) = 30 - 20, then 40 - med(30, 15, 20) = 40 - 25.
  // Blue: first row 200, -100, -50; second row 0 - 200, then
  // 0 - med(0, 100, 200) = 0 - 0, then 255 - med(0, 50, 100) = 255 - 0.
  const std::vector<uint8_t> want = {0,   0,   0,   0,  0,  0,     // green
                                     10,  10,  251, 2,  10, 15,    // red
                                     200, 156, 206, 56, 0,  255};  // blue
  EXPECT_EQ(payloadOf(rgbFile, 0), want);
}

// Undoes a 24-bit payload by the documented rules alone.
Picture referenceDecode(const std::vector<uint8_t>& file) {
  const uint32_t w = file[8] | file[9] << 8, h = file[12] | file[13] << 8;
  const auto payload = payloadOf(file, 0);
  Picture p;
  EXPECT_TRUE(Picture::create(w, h, 24, p).ok());
  const int channelOfPlane[3] = {1, 0, 2};
  for (int plane = 0; plane < 3; ++plane) {
    std::vector<uint8_t> s(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const size_t i = size_t(y) * w + x;
        int pred;
        if (y == 0) {
          pred = x ? s[i - 1] : 0;
        } else if (x == 0) {
          pred = s[i - w];
        } else {
          const int a = s[i - 1], b = s[i - w], c = s[i - w - 1];
          pred = c >= std::max(a, b)   ? std::min(a, b)
                 : c <= std::min(a, b) ? std::max(a, b)
                                       : a + b - c;
        }
        s[i] = uint8_t(payload[size_t(plane) * w * h + i] + pred);
        const int ch = channelOfPlane[plane];
        const int green = file[6] == 2 && ch != 1 ? p.row(y)[3 * x + 1] : 0;
        p.row(y)[3 * x + ch] = uint8_t(s[i] + green);
      }
  }
  return p;
}

TEST(Cmp, SubtractsGreenWhenTheChannelsShareTheirNoise) {
  // Shared noise: the channels differ only smoothly. Independent noise:
  // subtracting green would add its noise to red and blue.
  Picture shared = test::makePhoto(64, 48), independent = makePattern(64, 48, 24);
  for (uint32_t y = 0; y < 48; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      uint8_t* px = independent.row(y) + 3 * x;
      px[1] = uint8_t(px[0] ^ px[2]);
    }
  for (const auto& [picture, filter] : {std::pair{&shared, 2}, std::pair{&independent, 1}}) {
    SCOPED_TRACE(filter);
    const auto file = encodeCmp(*picture);
    EXPECT_EQ(file[6], filter);
    EXPECT_TRUE(sameColors(*picture, referenceDecode(file)));
    Decoded d;
    ASSERT_TRUE(decodeCmp(file, d).ok());
    EXPECT_TRUE(sameColors(*picture, d.picture));
  }
}

TEST(Cmp, CutShortFilesLoadWhatIsThere) {
  // zstd hands out whole blocks (up to 128 KB of pixel data), so these
  // pictures take two blocks: a cut in the second leaves a partial picture.
  const Picture photo = test::makePhoto(256, 180), indexes = makePattern(600, 500, 4);
  for (const Picture* src : {&photo, &indexes}) {
    SCOPED_TRACE(src->bits());
    const auto whole = encodeCmp(*src);
    const size_t paletteEnd = kHeader + 3 * src->palette().size();
    int partial = 0;
    for (size_t len = 0; len < whole.size(); len += len < paletteEnd + 64 ? 1 : 251) {
      SCOPED_TRACE(len);
      Decoded d;
      const Status s = decodeCmp({whole.begin(), whole.begin() + len}, d);
      if (len < paletteEnd) {
        EXPECT_FALSE(s.ok());
        continue;
      }
      if (!s.ok()) {
        EXPECT_EQ(s.code(), ErrorCode::Truncated);
        continue;
      }
      ++partial;
      EXPECT_TRUE(d.truncated);
      // Whatever decoded is exact; the rest is 0.
      size_t wrong = 0;
      for (size_t i = 0; i < src->byteSize(); ++i)
        wrong += d.picture.data()[i] != 0 && d.picture.data()[i] != src->data()[i];
      EXPECT_EQ(wrong, 0u);
    }
    EXPECT_GT(partial, 0);
  }
}

TEST(Cmp, DamageIsReportedNeverShownAsAPicture) {
  const Picture src = makePattern(31, 17, 24);
  const auto good = encodeCmp(src);
  for (size_t i = kHeader; i < good.size(); ++i) {
    for (uint8_t flip : {0x01, 0x80}) {
      auto bad = good;
      bad[i] ^= flip;
      Decoded d;
      if (decodeCmp(bad, d).ok()) {
        EXPECT_TRUE(sameColors(src, d.picture)) << "byte " << i;
      }
    }
  }
}

TEST(Cmp, RejectsInconsistentHeadersAndFrames) {
  const auto good = buildCmp(3, 2, 8, std::vector<uint8_t>(6, 7));
  Decoded d;
  ASSERT_TRUE(decodeCmp(good, d).ok());
  EXPECT_EQ(d.picture.row(1)[2], 7);
  struct Change {
    size_t at;
    uint8_t value;
    ErrorCode code;
  };
  const Change changes[] = {
      {0, 'X', ErrorCode::BadHeader},   {4, 2, ErrorCode::Unsupported},
      {5, 16, ErrorCode::BadHeader},    {5, 24, ErrorCode::BadHeader},  // 24 bits, no filter
      {6, 1, ErrorCode::BadHeader},     {7, 1, ErrorCode::BadHeader},
      {8, 0, ErrorCode::BadDimensions}, {11, 1, ErrorCode::LimitExceeded},
      {16, 255, ErrorCode::BadHeader},  {19, 1, ErrorCode::BadHeader},
      {8, 4, ErrorCode::CorruptData},  // 4 × 2 does not match the 6 bytes in the frame
  };
  for (const Change& c : changes) {
    SCOPED_TRACE(testing::Message() << "byte " << c.at << " = " << int(c.value));
    auto bad = good;
    bad[c.at] = c.value;
    EXPECT_EQ(decodeCmp(bad, d).code(), c.code);
  }
  auto trailing = good;
  trailing.push_back(0);
  EXPECT_EQ(decodeCmp(trailing, d).code(), ErrorCode::CorruptData);
  auto twoFrames = good;
  twoFrames.insert(twoFrames.end(), good.begin() + kHeader + 768, good.end());
  EXPECT_EQ(decodeCmp(twoFrames, d).code(), ErrorCode::CorruptData);
  EXPECT_EQ(decodeCmp({}, d).code(), ErrorCode::BadHeader);
  EXPECT_FALSE(cmp::probe({}));
}

TEST(Cmp, RefusesHugeSizesBeforeAllocating) {
  // 65535 × 16000 × 3 bytes = 3 GB declared, 10 bytes of frame.
  auto f = buildCmp(65535, 16000, 24, std::vector<uint8_t>(10, 0));
  Decoded d;
  EXPECT_EQ(decodeCmp(f, d).code(), ErrorCode::CorruptData);
  f = buildCmp(70000, 1, 8, std::vector<uint8_t>(70000, 0));
  EXPECT_EQ(decodeCmp(f, d).code(), ErrorCode::LimitExceeded);
  Limits tight;
  tight.maxPixels = 1000;
  f = buildCmp(100, 100, 8, std::vector<uint8_t>(10000, 0));
  EXPECT_EQ(decodeCmp(f, d, tight).code(), ErrorCode::LimitExceeded);
  EXPECT_TRUE(d.picture.empty());
}

TEST(Cmp, RegistryFindsItByContent) {
  const auto bytes = encodeCmp(makePattern(9, 9, 4));
  Decoded d;
  ASSERT_TRUE(decodeAny(Bytes(bytes.data(), bytes.size()), ".tga", {}, d).ok());
  EXPECT_EQ(d.facts.fileFormat, 5);
  OutputBuffer out;
  ASSERT_TRUE(encodeAs(d.picture, 5, {}, out).ok());
  EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), out.data(), out.data() + out.size()));
}

}  // namespace
}  // namespace zelmar
