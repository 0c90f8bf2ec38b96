// Mapping colours onto a palette, with Floyd–Steinberg error diffusion.
// Rows are scanned in alternating directions, which keeps the diffusion
// from dragging worms to one side.
#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "engine/ops/internal.h"
#include "engine/ops/quantise.h"

namespace zelmar::ops::detail {
namespace {

// Nearest palette entry for every colour quantised to 6 bits per channel,
// filled up front (in parallel) so the diffusion loop only reads a 256 KB
// table that stays in the cache.
class NearestTable {
 public:
  explicit NearestTable(const Palette& pal) : cell_(size_t(1) << 18) {
    // Sorted by green, so a search can stop once green alone is too far.
    for (size_t i = 0; i < pal.size(); ++i)
      byGreen_.push_back({pal[i].r, pal[i].g, pal[i].b, int(i)});
    std::sort(byGreen_.begin(), byGreen_.end(),
              [](const Entry& a, const Entry& b) { return a.g < b.g; });
    cv::parallel_for_(cv::Range(0, 64), [&](const cv::Range& rs) {
      for (int r = rs.start; r < rs.end; ++r)
        for (int g = 0; g < 64; ++g)
          for (int b = 0; b < 64; ++b)
            cell_[size_t(r << 12 | g << 6 | b)] = uint8_t(search(r * 4 + 2, g * 4 + 2, b * 4 + 2));
    });
  }

  int lookup(int r, int g, int b) const {
    return cell_[size_t((r >> 2) << 12 | (g >> 2) << 6 | (b >> 2))];
  }

 private:
  struct Entry {
    int r, g, b, index;
  };

  int search(int r, int g, int b) const {
    const auto n = long(byGreen_.size());
    long hi = std::lower_bound(byGreen_.begin(), byGreen_.end(), g,
                               [](const Entry& e, int v) { return e.g < v; }) -
              byGreen_.begin();
    long lo = hi - 1;
    int best = -1, bestD = 1 << 30;
    auto consider = [&](const Entry& e) {
      const int dr = r - e.r, dg = g - e.g, db = b - e.b;
      const int d = dr * dr + dg * dg + db * db;
      if (d < bestD || (d == bestD && e.index < best)) {
        bestD = d;
        best = e.index;
      }
    };
    // Walk outwards from the nearest green until green alone is farther than the best.
    while (lo >= 0 || hi < n) {
      const int dLo = lo >= 0 ? g - byGreen_[size_t(lo)].g : 1 << 16;
      const int dHi = hi < n ? byGreen_[size_t(hi)].g - g : 1 << 16;
      if (dLo <= dHi) {
        if (dLo * dLo > bestD) break;
        consider(byGreen_[size_t(lo--)]);
      } else {
        if (dHi * dHi > bestD) break;
        consider(byGreen_[size_t(hi++)]);
      }
    }
    return best;
  }

  std::vector<uint8_t> cell_;
  std::vector<Entry> byGreen_;
};

// Floyd–Steinberg over rows [y0, y1) of an N-channel picture. Errors are
// kept in sixteenths in two rows with a guard cell at each end. `pick` maps a
// corrected colour to (index, the palette colour's channels).
//
// The picture is done in bands so that cores can share the work; each band
// first diffuses over the kWarmRows rows above it (discarding their output),
// so the error entering its first row is like that of an unbroken pass and no
// seam shows. The result does not depend on the number of threads.
constexpr uint32_t kBandRows = 512, kWarmRows = 24;

template <int N, bool Dither, class Pick>
void diffuseBand(const Picture& src, uint32_t y0, uint32_t y1, Picture& out, Pick& pick) {
  const int w = int(src.width());
  // Errors arriving from the row above, with a guard cell at each end. The
  // row below is written once per cell from three running sums, and the
  // error to the right travels in `carry`.
  std::vector<int> bufA(size_t(w + 2) * N, 0), bufB(bufA.size(), 0);
  int* above = bufA.data();
  int* below = bufB.data();
  const uint32_t start = y0 > kWarmRows ? y0 - kWarmRows : 0;
  std::vector<uint8_t> scratch(static_cast<size_t>(w));
  for (uint32_t y = start; y < y1; ++y) {
    const uint8_t* s = src.row(y);
    uint8_t* d = y >= y0 ? out.row(y) : scratch.data();
    // Every band scans its rows in the same directions as a single pass would.
    const int dir = (y % 2 == 0) ? 1 : -1;
    int x = dir > 0 ? 0 : w - 1;
    int carry[N] = {}, behind[N] = {}, here[N] = {};
    for (int i = 0; i < w; ++i, x += dir) {
      int v[N];
      for (int ch = 0; ch < N; ++ch) {
        v[ch] = s[x * N + ch];
        if constexpr (Dither) {
          v[ch] += (above[(x + 1) * N + ch] + carry[ch] + 8) >> 4;
          v[ch] = v[ch] < 0 ? 0 : v[ch] > 255 ? 255 : v[ch];
        }
      }
      int q[N];
      d[x] = uint8_t(pick(v, q));
      if constexpr (Dither) {
        for (int ch = 0; ch < N; ++ch) {
          const int e = v[ch] - q[ch];
          carry[ch] = e * 7;
          // behind: the cell below-behind, now complete; here: below; e: below-ahead.
          below[(x + 1 - dir) * N + ch] = behind[ch] + e * 3;
          behind[ch] = here[ch] + e * 5;
          here[ch] = e;
        }
      }
    }
    if constexpr (Dither) {
      for (int ch = 0; ch < N; ++ch) {
        below[(x + 1 - dir) * N + ch] = behind[ch];  // x is one past the last pixel
        below[(x + 1) * N + ch] = here[ch];          // the guard cell, never read
      }
      std::swap(above, below);
    }
  }
}

// Runs `diffuseBand` over all bands in parallel, each with its own `Pick`
// made by `makePick()`.
template <int N, class MakePick>
void diffuse(const Picture& src, bool dither, Picture& out, MakePick makePick) {
  const int bands = int((src.height() + kBandRows - 1) / kBandRows);
  cv::parallel_for_(cv::Range(0, bands), [&](const cv::Range& r) {
    auto pick = makePick();
    for (int b = r.start; b < r.end; ++b) {
      const uint32_t y0 = uint32_t(b) * kBandRows;
      const uint32_t y1 = std::min(src.height(), y0 + kBandRows);
      if (dither)
        diffuseBand<N, true>(src, y0, y1, out, pick);
      else
        diffuseBand<N, false>(src, y0, y1, out, pick);
    }
  });
}

}  // namespace

bool exactIndices(const Picture& rgb, size_t limit, Palette& pal, Picture& out) {
  // A small open-addressing table; the scan stops at the first colour too many.
  const size_t cap = std::bit_ceil(limit * 4 + 4);
  std::vector<uint32_t> key(cap, 0);  // colour + 1, 0 = empty
  std::vector<uint8_t> index(cap, 0);
  Palette found;
  uint32_t lastKey = 0;
  uint8_t lastIndex = 0;
  for (uint32_t y = 0; y < rgb.height(); ++y) {
    const uint8_t* s = rgb.row(y);
    uint8_t* d = out.row(y);
    for (uint32_t x = 0; x < rgb.width(); ++x, s += 3) {
      const uint32_t k = (uint32_t(s[0]) << 16 | uint32_t(s[1]) << 8 | s[2]) + 1;
      if (k != lastKey) {
        size_t i = (k * 2654435761u) & (cap - 1);
        while (key[i] != 0 && key[i] != k) i = (i + 1) & (cap - 1);
        if (key[i] == 0) {
          if (found.size() == limit) return false;
          key[i] = k;
          index[i] = uint8_t(found.size());
          found.push_back({s[0], s[1], s[2]});
        }
        lastKey = k;
        lastIndex = index[i];
      }
      d[x] = lastIndex;
    }
  }
  pal = std::move(found);
  return true;
}

void mapToPalette(const Picture& rgb, const Palette& pal, bool dither, Picture& out) {
  const NearestTable nearest(pal);
  diffuse<3>(rgb, dither, out, [&] {
    return [&](const int* v, int* q) {
      const int k = nearest.lookup(v[0], v[1], v[2]);
      q[0] = pal[size_t(k)].r;
      q[1] = pal[size_t(k)].g;
      q[2] = pal[size_t(k)].b;
      return k;
    };
  });
}

void mapToBlackWhite(const Picture& gray, bool dither, Picture& out) {
  diffuse<1>(gray, dither, out, [] {
    return [](const int* v, int* q) {
      const int white = v[0] >= 128;
      q[0] = white ? 255 : 0;
      return white;
    };
  });
}

}  // namespace zelmar::ops::detail
