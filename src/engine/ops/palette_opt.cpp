// Choosing a palette: a weighted median cut that splits the box with the
// largest squared error where it lowers that error most, refined by k-means.
#include <algorithm>
#include <array>
#include <cstdint>
#include <opencv2/core.hpp>
#include <vector>

#include "engine/ops/internal.h"
#include "engine/ops/quantise.h"

namespace zelmar::ops::detail {
namespace {

constexpr int kBins = 1 << 15;  // 5 bits per channel

struct Bin {
  uint64_t count = 0, r = 0, g = 0, b = 0;
};

struct Entry {
  std::array<double, 3> c;  // mean colour of a histogram bin
  double w;                 // its pixel count
};

std::vector<Entry> histogram(const Picture& rgb) {
  const int parts = std::max(1, cv::getNumThreads());
  std::vector<std::vector<Bin>> hist(static_cast<size_t>(parts), std::vector<Bin>(kBins));
  const int h = int(rgb.height());
  cv::parallel_for_(cv::Range(0, parts), [&](const cv::Range& r) {
    for (int part = r.start; part < r.end; ++part) {
      std::vector<Bin>& bins = hist[size_t(part)];
      for (int y = h * part / parts; y < h * (part + 1) / parts; ++y) {
        const uint8_t* s = rgb.row(uint32_t(y));
        for (uint32_t x = 0; x < rgb.width(); ++x, s += 3) {
          Bin& bin = bins[(s[0] >> 3) << 10 | (s[1] >> 3) << 5 | (s[2] >> 3)];
          ++bin.count;
          bin.r += s[0];
          bin.g += s[1];
          bin.b += s[2];
        }
      }
    }
  });
  std::vector<Entry> entries;
  for (int i = 0; i < kBins; ++i) {
    Bin sum;
    for (const auto& part : hist) {
      sum.count += part[size_t(i)].count;
      sum.r += part[size_t(i)].r;
      sum.g += part[size_t(i)].g;
      sum.b += part[size_t(i)].b;
    }
    if (sum.count == 0) continue;
    const double n = double(sum.count);
    entries.push_back({{double(sum.r) / n, double(sum.g) / n, double(sum.b) / n}, n});
  }
  return entries;
}

struct Box {
  size_t begin, end;  // a range of the entries
  double error;       // weighted squared error around the box's mean
  int axis;           // the channel to split along
};

struct Moments {
  double w = 0;
  std::array<double, 3> s{}, q{};
  void add(const Entry& e) {
    w += e.w;
    for (int c = 0; c < 3; ++c) {
      s[size_t(c)] += e.w * e.c[size_t(c)];
      q[size_t(c)] += e.w * e.c[size_t(c)] * e.c[size_t(c)];
    }
  }
  double error(int c) const { return w > 0 ? q[size_t(c)] - s[size_t(c)] * s[size_t(c)] / w : 0; }
  double error() const { return error(0) + error(1) + error(2); }
};

Box makeBox(const std::vector<Entry>& e, size_t begin, size_t end) {
  Moments m;
  for (size_t i = begin; i < end; ++i) m.add(e[i]);
  int axis = 0;
  for (int c = 1; c < 3; ++c)
    if (m.error(c) > m.error(axis)) axis = c;
  return {begin, end, end - begin > 1 ? m.error() : 0, axis};
}

// Sorts the box along its axis and returns the split that leaves the least
// total error in the two halves.
size_t bestSplit(std::vector<Entry>& e, const Box& box) {
  const auto axis = size_t(box.axis);
  std::sort(e.begin() + long(box.begin), e.begin() + long(box.end),
            [axis](const Entry& a, const Entry& b) { return a.c[axis] < b.c[axis]; });
  Moments total;
  for (size_t i = box.begin; i < box.end; ++i) total.add(e[i]);
  Moments left;
  size_t best = box.begin + 1;
  double bestError = -1;
  for (size_t i = box.begin; i + 1 < box.end; ++i) {
    left.add(e[i]);
    Moments right;
    right.w = total.w - left.w;
    for (size_t c = 0; c < 3; ++c) {
      right.s[c] = total.s[c] - left.s[c];
      right.q[c] = total.q[c] - left.q[c];
    }
    const double err = left.error() + right.error();
    if (bestError < 0 || err < bestError) {
      bestError = err;
      best = i + 1;
    }
  }
  return best;
}

// Lloyd's iterations on the weighted histogram entries.
void refine(const std::vector<Entry>& e, Palette& pal, int rounds) {
  const size_t n = pal.size();
  std::vector<std::array<double, 3>> centre(n);
  for (size_t k = 0; k < n; ++k) centre[k] = {double(pal[k].r), double(pal[k].g), double(pal[k].b)};
  for (int round = 0; round < rounds; ++round) {
    std::vector<Moments> acc(n);
    for (const Entry& x : e) {
      size_t best = 0;
      double bestD = 1e30;
      for (size_t k = 0; k < n; ++k) {
        const double dr = x.c[0] - centre[k][0], dg = x.c[1] - centre[k][1],
                     db = x.c[2] - centre[k][2];
        const double d = dr * dr + dg * dg + db * db;
        if (d < bestD) {
          bestD = d;
          best = k;
        }
      }
      acc[best].add(x);
    }
    for (size_t k = 0; k < n; ++k)
      if (acc[k].w > 0)
        for (size_t c = 0; c < 3; ++c) centre[k][c] = acc[k].s[c] / acc[k].w;
  }
  for (size_t k = 0; k < n; ++k) {
    auto to8 = [](double v) { return uint8_t(std::clamp(int(v + 0.5), 0, 255)); };
    pal[k] = {to8(centre[k][0]), to8(centre[k][1]), to8(centre[k][2])};
  }
}

}  // namespace

Palette optimisePalette(const Picture& rgb, int colors) {
  std::vector<Entry> entries = histogram(rgb);
  std::vector<Box> boxes{makeBox(entries, 0, entries.size())};
  while (int(boxes.size()) < colors) {
    auto worst = std::max_element(boxes.begin(), boxes.end(),
                                  [](const Box& a, const Box& b) { return a.error < b.error; });
    if (worst->error <= 0) break;  // every box is a single colour
    const Box box = *worst;
    const size_t cut = bestSplit(entries, box);
    *worst = makeBox(entries, box.begin, cut);
    boxes.push_back(makeBox(entries, cut, box.end));
  }
  Palette pal;
  for (const Box& box : boxes) {
    Moments m;
    for (size_t i = box.begin; i < box.end; ++i) m.add(entries[i]);
    pal.push_back(
        {uint8_t(m.s[0] / m.w + 0.5), uint8_t(m.s[1] / m.w + 0.5), uint8_t(m.s[2] / m.w + 0.5)});
  }
  refine(entries, pal, colors > 16 ? 3 : 8);
  return pal;
}

}  // namespace zelmar::ops::detail
