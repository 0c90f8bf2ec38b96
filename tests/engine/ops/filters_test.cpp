// The 3 × 3 filters against the textbook convolution, one sample at a time.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>

#include "engine/ops/ops.h"
#include "ops_checks.h"

namespace zelmar::test {
namespace {

// A 3 × 3 kernel with the edges mirrored (index -1 reads 1, index n reads
// n - 2), then `finish` of the sum and the centre sample.
using Kernel = std::array<std::array<double, 3>, 3>;
Picture reference(const Picture& src, const Kernel& k,
                  const std::function<int(double, int)>& finish) {
  Picture out = solid(src.width(), src.height(), {});
  const auto at = [&](int64_t x, int64_t y, int ch) {
    const auto m = [](int64_t i, int64_t n) {
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

TEST(Filters, MatchTheTextbookConvolutionAtEveryDepth) {
  const Kernel emboss{{{-1, -1, 0}, {-1, 0, 1}, {0, 1, 1}}},
      laplace{{{-1, -1, -1}, {-1, 8, -1}, {-1, -1, -1}}};
  const struct {
    const char* name;
    std::function<Status(Picture&)> op;
    Kernel kernel;
    std::function<int(double, int)> finish;
    int tolerance;  // sharpening works in fixed point
  } cases[] = {
      {"emboss", [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); }, emboss,
       [](double s, int) { return int(s) + 128; }, 0},
      {"edges", [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); }, laplace,
       [](double s, int) { return int(std::abs(s)); }, 0},
      {"enhance 100", [](Picture& p) { return ops::enhanceEdges(p, 100); }, laplace,
       [](double s, int c) { return int(std::lround(c + s / 9.0)); }, 1},
      {"enhance 250", [](Picture& p) { return ops::enhanceEdges(p, 250); }, laplace,
       [](double s, int c) { return int(std::lround(c + 2.5 * s / 9.0)); }, 1},
      {"enhance 0", [](Picture& p) { return ops::enhanceEdges(p, 0); }, laplace,
       [](double, int c) { return c; }, 0},
  };
  // Grey stays grey, palettes become full colour. The 24-bit picture is
  // taller than the rows a thread takes, so band edges are covered too.
  for (const DepthCase& d : kDepths) {
    const Picture src = makePattern(41, d.bits == 24 ? 300 : 12, d.bits, d.gray, 9);
    for (const auto& f : cases) {
      SCOPED_TRACE(testing::Message() << d.name << " " << f.name);
      Picture p = copyOf(src);
      ASSERT_TRUE(f.op(p).ok());
      EXPECT_EQ(p.bits(), src.isGray() ? 8 : 24);
      EXPECT_EQ(p.isGray(), src.isGray());
      EXPECT_TRUE(closeColours(p, reference(src, f.kernel, f.finish), f.tolerance));
    }
  }
}

}  // namespace
}  // namespace zelmar::test
