// Our own CMP format against its documented layout, decoded by hand with
// the zstd library; its hostile variants are files under tests/data/codecs/refused.
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

TEST(Cmp, EveryFactorIsLosslessTheTopOneSmallestThePredictorPaysAndPalettesFollowTheLayout) {
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
  // A palette file, byte by byte as documented.
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

TEST(Cmp, PicksTheColourFilterThatPaysAndFilesCutInALaterBlockLoadTheBlocksBefore) {
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

}  // namespace
}  // namespace zelmar::test
