#include "engine/codecs/packed_rows.h"

#include <gtest/gtest.h>

#include <vector>

namespace zelmar::rows {
namespace {

TEST(PackedRows, PackThenUnpackGivesTheIndexesBackAtEveryDepthAndWidth) {
  for (int bits : {1, 2, 4, 8}) {
    for (uint32_t width : {1u, 3u, 7u, 8u, 9u, 31u}) {
      std::vector<uint8_t> indexes(width), back(width, 0xEE);
      for (uint32_t x = 0; x < width; ++x) indexes[x] = uint8_t((x * 37 + 5) % (1u << bits));
      std::vector<uint8_t> packed(packedBytes(width, bits) + 1, 0xAA);
      pack(indexes.data(), width, bits, packed.data());
      EXPECT_EQ(packed.back(), 0xAA) << "wrote past the packed row";
      unpack(packed.data(), width, bits, back.data());
      EXPECT_EQ(back, indexes) << bits << " bits, " << width << " wide";
    }
  }
}

TEST(PackedRows, PackPutsTheFirstPixelHighAndZeroesTheSpareBits) {
  const uint8_t ones[3] = {1, 0, 1};
  uint8_t b = 0xFF;
  pack(ones, 3, 1, &b);
  EXPECT_EQ(b, 0xA0);
  const uint8_t nibbles[3] = {0x1C, 0x05, 0xF3};  // bits above 4 are dropped
  uint8_t two[2] = {0xFF, 0xFF};
  pack(nibbles, 3, 4, two);
  EXPECT_EQ(two[0], 0xC5);
  EXPECT_EQ(two[1], 0x30);
}

// Every length exercises a different split between the vector steps and the
// plain tail.
TEST(PackedRows, SwapRedBlueExchangesOuterBytesAtEveryLength) {
  for (size_t n = 0; n <= 40; ++n) {
    std::vector<uint8_t> src(3 * n), dst(3 * n + 16, 0x77);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 11 + 3);
    swapRedBlue(src.data(), dst.data(), n);
    for (size_t i = 0; i < n; ++i) {
      ASSERT_EQ(dst[3 * i], src[3 * i + 2]) << n;
      ASSERT_EQ(dst[3 * i + 1], src[3 * i + 1]) << n;
      ASSERT_EQ(dst[3 * i + 2], src[3 * i]) << n;
    }
    for (size_t i = 3 * n; i < dst.size(); ++i) ASSERT_EQ(dst[i], 0x77) << "wrote past " << n;
  }
}

}  // namespace
}  // namespace zelmar::rows
