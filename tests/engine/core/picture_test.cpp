// The picture model's checks before allocating, checked size arithmetic,
// and the allocator kept from handing picture-sized blocks back. Palettes,
// strides and greyness are seen through every codec's facts.
#include "engine/core/picture.h"

#include <gtest/gtest.h>
#include <malloc.h>

#include <cstring>

#include "engine/core/checked.h"
#include "engine/core/defaults.h"
#include "engine/core/facts.h"
#include "engine/core/memory_tuning.h"
#include "engine/io/formats.h"

namespace zelmar {
namespace {

TEST(Picture, CreateChecksSizesInArithmeticThatRefusesToWrapAndClonesAreDeep) {
  Picture p;
  EXPECT_EQ(Picture::create(10, 10, 16, p).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(Picture::create(0, 10, 24, p).code(), ErrorCode::BadDimensions);
  EXPECT_EQ(Picture::create(65536, 1, 8, p).code(), ErrorCode::LimitExceeded);
  // 40000 × 30000 = 1.2e9 pixels: each side is fine, the product is not.
  EXPECT_EQ(Picture::create(40000, 30000, 8, p).code(), ErrorCode::LimitExceeded);
  EXPECT_TRUE(p.empty());
  EXPECT_EQ(p.bits(), 0);
  // What is made can be cloned, deeply.
  Picture a, b;
  ASSERT_TRUE(Picture::create(4, 4, 24, a).ok());
  std::fill(a.data(), a.data() + a.byteSize(), 9);
  ASSERT_TRUE(a.cloneTo(b).ok());
  b.row(1)[2] = 1;
  EXPECT_EQ(a.row(1)[2], 9);
  EXPECT_EQ(b.width(), 4u);
  // The size arithmetic refuses to wrap.
  EXPECT_FALSE(checkedMul(uint64_t(1) << 40, uint64_t(1) << 30).has_value());
  EXPECT_EQ(checkedMul(65535, 65535, 3).value(), 65535ull * 65535 * 3);
  EXPECT_FALSE(checkedAdd(~0ull, 1).has_value());
}

// 36 MB: above the largest block glibc would keep on the heap by itself.
constexpr uint32_t kWidth = 4000, kHeight = 3000;

size_t heapBytes() { return mallinfo2().arena; }
size_t mappedBytes() { return mallinfo2().hblkhd; }

// Loads a file the way the viewer pages through pictures: the next picture
// is decoded while the present one is still shown, then replaces it.
TEST(MemoryTuning, RepeatedLoadsReuseTheHeapAndStayFlat) {
  if (!tuneMemoryForPictures())
    GTEST_SKIP() << "platform: the allocator ignores the advice (a sanitizer's)";
  EXPECT_TRUE(tuneMemoryForPictures());  // a second call changes nothing

  Picture source;
  ASSERT_TRUE(Picture::create(kWidth, kHeight, 24, source).ok());
  for (uint32_t y = 0; y < kHeight; ++y) std::memset(source.row(y), int(y % 251), source.stride());
  OutputBuffer file;
  ASSERT_TRUE(encodeAs(source, format::kBmp, EncodeOptions{kDefaultSaveFactor}, file).ok());
  source.clear();

  Picture shown;
  size_t heapAfterTwo = 0;
  for (int load = 1; load <= 6; ++load) {
    Decoded next;
    ASSERT_TRUE(decodeAny(file.bytes(), ".bmp", Limits{}, next).ok());
    // Picture-sized blocks come from the heap, not from fresh mappings.
    EXPECT_LT(mappedBytes(), next.picture.byteSize()) << "load " << load;
    EXPECT_EQ(next.picture.row(kHeight - 1)[0], (kHeight - 1) % 251);
    shown = std::move(next.picture);
    if (load == 2) heapAfterTwo = heapBytes();
  }
  // Freed pictures are reused: the heap holds no more than after two loads.
  EXPECT_LE(heapBytes(), heapAfterTwo + (size_t(1) << 20));
}

}  // namespace
}  // namespace zelmar
