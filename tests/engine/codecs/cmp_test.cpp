// Our own CMP format against its documented layout, decoded by hand with
// the zstd library, and its hostile variants.
#include "engine/codecs/cmp.h"

#include <gtest/gtest.h>
#include <zstd.h>

#include "engine/codecs/codec_checks.h"
#include "support/pictures.h"

namespace zelmar::test {
namespace {

constexpr size_t kHeader = 20;

// The payload of a file, unpacked by the zstd library itself.
ByteVec payloadOf(const ByteVec& file, size_t paletteEntries) {
  const size_t at = kHeader + 3 * paletteEntries;
  const auto size = ZSTD_getFrameContentSize(file.data() + at, file.size() - at);
  ByteVec payload(size);
  EXPECT_EQ(ZSTD_decompress(payload.data(), size, file.data() + at, file.size() - at), size);
  return payload;
}

// A header followed by a frame holding `payload`, for hostile variants.
ByteVec buildCmp(uint32_t w, uint32_t h, int depth, const ByteVec& payload) {
  const int entries = depth == 24 ? 0 : 1 << depth;
  ByteBuilder f;
  f.bytes({'Z', 'C', 'M', 'P', 1, uint8_t(depth), uint8_t(depth == 24), 0}).u32(w).u32(h);
  f.u32(uint32_t(entries)).fill(size_t(entries) * 3, 0x40);
  ByteVec frame(ZSTD_compressBound(payload.size()));
  frame.resize(ZSTD_compress(frame.data(), frame.size(), payload.data(), payload.size(), 3));
  return f.append(frame).b;
}

TEST(Cmp, EveryFactorIsLosslessTheTopOneSmallestAndThePredictorPays) {
  const Picture photo = makePhoto(160, 120);
  std::vector<size_t> sizes;
  for (int factor : {2, 64, 150, 255}) {
    const ByteVec file = encodeOk(cmp::encode, photo, factor);
    EXPECT_TRUE(closeColours(decodeOk(cmp::decode, file).picture, photo, 0)) << factor;
    sizes.push_back(file.size());
  }
  EXPECT_EQ(sizes[0], sizes[1]);  // at or below the default: the fastest level
  EXPECT_LT(sizes[3], sizes[1]);
  ByteVec plain(ZSTD_compressBound(photo.byteSize()));
  EXPECT_LT(sizes[1],
            ZSTD_compress(plain.data(), plain.size(), photo.data(), photo.byteSize(), 1) * 9 / 10);
}

TEST(Cmp, PaletteFilesFollowTheDocumentedLayout) {
  Picture bw;
  ASSERT_TRUE(Picture::create(10, 2, 1, bw).ok());
  bw.setPalette({{1, 2, 3}, {250, 251, 252}});
  const uint8_t bits[20] = {1, 0, 1, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  std::copy(bits, bits + 20, bw.data());
  const ByteVec file = encodeOk(cmp::encode, bw);
  const ByteVec header = {'Z', 'C', 'M', 'P', 1, 1, 0, 0, 10, 0, 0,   0,   2,
                          0,   0,   0,   2,   0, 0, 0, 1, 2,  3, 250, 251, 252};
  EXPECT_EQ(ByteVec(file.begin(), file.begin() + long(header.size())), header);
  EXPECT_EQ(payloadOf(file, 2), (ByteVec{0xb0, 0xc0, 0x00, 0x40}));
}

// Undoes a 24-bit payload by the documented rules alone: planes G, R, B,
// each predicted by the median edge detector, red and blue less green
// when the filter byte is 2.
Picture referenceDecode(const ByteVec& file) {
  const uint32_t w = file[8] | file[9] << 8, h = file[12] | file[13] << 8;
  const ByteVec payload = payloadOf(file, 0);
  Picture p;
  EXPECT_TRUE(Picture::create(w, h, 24, p).ok());
  const int channelOfPlane[3] = {1, 0, 2};
  for (int plane = 0; plane < 3; ++plane) {
    ByteVec s(size_t(w) * h);
    for (uint32_t y = 0; y < h; ++y)
      for (uint32_t x = 0; x < w; ++x) {
        const size_t i = size_t(y) * w + x;
        int pred = y == 0 ? (x ? s[i - 1] : 0) : x == 0 ? s[i - w] : 0;
        if (y && x) {
          const int a = s[i - 1], b = s[i - w], c = s[i - w - 1];
          pred = c >= std::max(a, b)   ? std::min(a, b)
                 : c <= std::min(a, b) ? std::max(a, b)
                                       : a + b - c;
        }
        s[i] = uint8_t(payload[size_t(plane) * w * h + i] + pred);
        const int ch = channelOfPlane[plane];
        p.row(y)[3 * x + ch] = uint8_t(s[i] + (file[6] == 2 && ch != 1 ? p.row(y)[3 * x + 1] : 0));
      }
  }
  return p;
}

TEST(Cmp, PicksTheColourFilterThatPaysAndFollowsItsLayout) {
  // Shared noise: the channels differ only smoothly. Independent noise:
  // subtracting green would add its noise to red and blue.
  Picture shared = makePhoto(64, 48), independent = makePattern(64, 48, 24);
  for (size_t i = 0; i < independent.byteSize(); i += 3)
    independent.data()[i + 1] = uint8_t(independent.data()[i] ^ independent.data()[i + 2]);
  for (const auto& [picture, filter] : {std::pair{&shared, 2}, std::pair{&independent, 1}}) {
    const ByteVec file = encodeOk(cmp::encode, *picture);
    EXPECT_EQ(file[6], filter);
    EXPECT_TRUE(closeColours(*picture, referenceDecode(file), 0)) << filter;
  }
}

TEST(Cmp, FilesCutInALaterBlockLoadTheBlocksBefore) {
  // zstd hands out whole blocks (up to 128 KB of pixels), so these take two.
  for (const Picture& src : {makePhoto(256, 180), makePattern(600, 500, 4)}) {
    const ByteVec whole = encodeOk(cmp::encode, src);
    int partial = 0;
    for (size_t len = kHeader + 3 * src.palette().size(); len < whole.size(); len += 251) {
      Decoded d;
      const Status s = cmp::decode(Bytes(whole.data(), len), {}, d);
      if (!s.ok()) continue;  // cut inside the first block: the prefix check covers the codes
      ++partial;
      EXPECT_TRUE(d.truncated);
      size_t wrong = 0;  // whatever decoded is exact; the rest is 0
      for (size_t i = 0; i < src.byteSize(); ++i)
        wrong += d.picture.data()[i] != 0 && d.picture.data()[i] != src.data()[i];
      EXPECT_EQ(wrong, 0u);
    }
    EXPECT_GT(partial, 0) << src.bits() << " bits";
  }
}

TEST(Cmp, RefusesInconsistentHeadersAndFrames) {
  const ByteVec good = buildCmp(3, 2, 8, ByteVec(6, 7));
  EXPECT_EQ(decodeOk(cmp::decode, good).picture.row(1)[2], 7);
  const auto with = [&](size_t at, uint8_t value) {
    ByteVec f = good;
    f[at] = value;
    return f;
  };
  ByteVec trailing = good, twoFrames = good;
  trailing.push_back(0);
  twoFrames.insert(twoFrames.end(), good.begin() + kHeader + 768, good.end());
  expectRefused(
      cmp::decode,
      {
          {"magic", with(0, 'X'), ErrorCode::BadHeader},
          {"version 2", with(4, 2), ErrorCode::Unsupported},
          {"16 bits", with(5, 16), ErrorCode::BadHeader},
          {"24 bits without a colour filter", with(5, 24), ErrorCode::BadHeader},
          {"a filter for palettes", with(6, 1), ErrorCode::BadHeader},
          {"reserved byte", with(7, 1), ErrorCode::BadHeader},
          {"zero width", with(8, 0), ErrorCode::BadDimensions},
          {"too wide", with(11, 1), ErrorCode::LimitExceeded},
          {"palette length", with(16, 255), ErrorCode::BadHeader},
          {"reserved word", with(19, 1), ErrorCode::BadHeader},
          {"4 x 2 for the 6 bytes in the frame", with(8, 4), ErrorCode::CorruptData},
          {"trailing byte", trailing, ErrorCode::CorruptData},
          {"two frames", twoFrames, ErrorCode::CorruptData},
          {"3 GB declared within the limits, 10 bytes of frame",
           buildCmp(65535, 16000, 24, ByteVec(10, 0)), ErrorCode::CorruptData},
          {"70000 wide", buildCmp(70000, 1, 8, ByteVec(70000, 0)), ErrorCode::LimitExceeded},
      });
}

}  // namespace
}  // namespace zelmar::test
