#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/ops/ops.h"
#include "op_helpers.h"

namespace zelmar::test {
namespace {

// The textbook definition, one sample at a time: a 3 × 3 kernel with the
// edges mirrored (index -1 reads 1, index n reads n - 2), then `finish`.
using Kernel = std::array<std::array<double, 3>, 3>;
Picture reference(const Picture& src, const Kernel& k,
                  const std::function<int(double, int)>& finish) {
  Picture out;
  EXPECT_TRUE(Picture::create(src.width(), src.height(), 24, out).ok());
  const auto at = [&](int64_t x, int64_t y, int ch) {
    auto m = [](int64_t i, int64_t n) {
      return n == 1 ? 0 : i < 0 ? -i : i >= n ? 2 * n - 2 - i : i;
    };
    const Rgb c = pixelAt(src, uint32_t(m(x, src.width())), uint32_t(m(y, src.height())));
    return ch == 0 ? c.r : ch == 1 ? c.g : c.b;
  };
  for (int64_t y = 0; y < src.height(); ++y)
    for (int64_t x = 0; x < src.width(); ++x)
      for (int ch = 0; ch < 3; ++ch) {
        double sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            sum += k[size_t(dy + 1)][size_t(dx + 1)] * at(x + dx, y + dy, ch);
        out.row(uint32_t(y))[3 * x + ch] = uint8_t(std::clamp(finish(sum, at(x, y, ch)), 0, 255));
      }
  return out;
}

const Kernel kEmboss{{{-1, -1, 0}, {-1, 0, 1}, {0, 1, 1}}};
const Kernel kLaplace{{{-1, -1, -1}, {-1, 8, -1}, {-1, -1, -1}}};

struct FilterCase {
  const char* name;
  std::function<Status(Picture&)> op;
  Kernel kernel;
  std::function<int(double, int)> finish;
  int tolerance;  // the sharpening works in fixed point
};

std::vector<FilterCase> filterCases() {
  return {
      {"emboss", [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }, kEmboss,
       [](double s, int) { return int(s) + 128; }, 0},
      {"edges", [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }, kLaplace,
       [](double s, int) { return int(std::abs(s)); }, 0},
      {"enhance 100", [](Picture& p) { return ops::enhanceEdges(p, 100); }, kLaplace,
       [](double s, int c) { return int(std::lround(c + s / 9.0)); }, 1},
      {"enhance 250", [](Picture& p) { return ops::enhanceEdges(p, 250); }, kLaplace,
       [](double s, int c) { return int(std::lround(c + 2.5 * s / 9.0)); }, 1},
  };
}

TEST(Filters, MatchTheTextbookConvolutionAtEveryDepth) {
  // Grey stays grey, palettes become full colour. The 24-bit picture is
  // taller than the rows a thread takes, so band edges are covered too.
  for (const DepthCase& d : kDepths) {
    SCOPED_TRACE(d.name);
    const Picture src = makePattern(41, d.bits == 24 ? 300 : 12, d.bits, d.gray, 9);
    for (const FilterCase& f : filterCases()) {
      SCOPED_TRACE(f.name);
      Picture p = copyOf(src);
      ASSERT_TRUE(f.op(p).ok());
      EXPECT_EQ(p.bits(), src.isGray() ? 8 : 24);
      EXPECT_EQ(p.isGray(), src.isGray());
      EXPECT_LE(maxChannelDiff(p, reference(src, f.kernel, f.finish)), f.tolerance);
    }
  }
}

TEST(Filters, EnhanceOfZeroChangesNothingAndStrengthIsBounded) {
  const Picture src = makePhoto(30, 20);
  Picture p = copyOf(src);
  ASSERT_TRUE(ops::enhanceEdges(p, 0).ok());
  EXPECT_TRUE(sameColors(p, src));
  EXPECT_EQ(ops::enhanceEdges(p, -1).code(), ErrorCode::InvalidArgument);
  EXPECT_EQ(ops::enhanceEdges(p, 1001).code(), ErrorCode::InvalidArgument);
  EXPECT_TRUE(sameColors(p, src));
}

}  // namespace
}  // namespace zelmar::test
