#pragma once
// Shared by the operation tests: the depths every exact operation must keep,
// measures of colour, and a way to ask ImageMagick for the same operation.
#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>
#include <vector>

#include "engine/core/picture.h"
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {

struct DepthCase {
  int bits;
  bool gray;
  const char* name;
};
// Every depth the engine holds, with 8-bit grey apart from 8-bit colour.
inline const std::array<DepthCase, 5> kDepths{{{1, false, "1-bit"},
                                               {4, false, "4-bit"},
                                               {8, false, "8-bit colour"},
                                               {8, true, "8-bit grey"},
                                               {24, false, "24-bit"}}};

inline Picture copyOf(const Picture& p) {
  Picture q;
  EXPECT_TRUE(p.cloneTo(q).ok());
  return q;
}

inline std::array<double, 3> meanColour(const Picture& p) {
  std::array<double, 3> sum{};
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) {
      const Rgb c = pixelAt(p, x, y);
      sum[0] += c.r;
      sum[1] += c.g;
      sum[2] += c.b;
    }
  const double n = double(p.width()) * p.height();
  return {sum[0] / n, sum[1] / n, sum[2] / n};
}


// Mean absolute channel difference of the averages of `block` × `block`
// squares: what error diffusion is meant to keep, seen from a distance.
inline double blockMeanError(const Picture& a, const Picture& b, uint32_t block) {
  double sum = 0;
  int n = 0;
  for (uint32_t by = 0; by + block <= a.height(); by += block)
    for (uint32_t bx = 0; bx + block <= a.width(); bx += block) {
      std::array<double, 3> d{};
      for (uint32_t y = by; y < by + block; ++y)
        for (uint32_t x = bx; x < bx + block; ++x) {
          const Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
          d[0] += p.r - q.r;
          d[1] += p.g - q.g;
          d[2] += p.b - q.b;
        }
      for (double v : d) sum += std::abs(v) / (block * block);
      n += 3;
    }
  return sum / n;
}

inline size_t colourCount(const Picture& p) {
  std::set<uint32_t> seen;
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) {
      const Rgb c = pixelAt(p, x, y);
      seen.insert(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
  return seen.size();
}

// The picture after ImageMagick's `args` (for example {"-flop"}), exchanged
// as PNM; false when ImageMagick is missing or fails.
inline bool imageMagick(const Picture& in, const std::vector<std::string>& args, Picture& out) {
  if (imConvert().empty()) return false;
  TempDir dir;
  const std::string src = dir.file(in.isGray() ? "in.pgm" : "in.ppm");
  const std::string dst = dir.file(in.isGray() ? "out.pgm" : "out.ppm");
  if (!writePnm(in, src)) return false;
  std::vector<std::string> argv{imConvert(), src};
  argv.insert(argv.end(), args.begin(), args.end());
  argv.push_back(dst);
  const RunResult r = run(argv);
  return r.exitCode == 0 && readPnm(dst, out);
}

}  // namespace zelmar::test
