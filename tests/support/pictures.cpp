#include "support/pictures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <set>

namespace zelmar::test {
namespace {

uint32_t mix(uint32_t x) {
  x ^= x >> 16;
  x *= 0x7feb352dU;
  x ^= x >> 15;
  x *= 0x846ca68bU;
  x ^= x >> 16;
  return x;
}

Picture mustCreate(uint32_t w, uint32_t h, int bits) {
  Picture p;
  Status s = Picture::create(w, h, bits, p);
  if (!s.ok()) std::abort();
  return p;
}

}  // namespace

Picture makePattern(uint32_t width, uint32_t height, int bits, bool gray, uint32_t seed) {
  Picture p = mustCreate(width, height, bits);
  if (bits == 24) {
    for (uint32_t y = 0; y < height; ++y) {
      uint8_t* row = p.row(y);
      for (uint32_t x = 0; x < width; ++x) {
        const uint32_t h = mix(x * 7919u + y * 104729u + seed);
        row[3 * x] = uint8_t(x * 255 / std::max(1u, width - 1) ^ (h & 0x0f));
        row[3 * x + 1] = uint8_t(y * 255 / std::max(1u, height - 1) ^ ((h >> 8) & 0x0f));
        row[3 * x + 2] = uint8_t(h >> 16);
      }
    }
    return p;
  }
  const int n = 1 << bits;
  if (gray) {
    p.setPalette(grayPalette(n));
  } else {
    Palette pal(n);
    for (int i = 0; i < n; ++i) {
      const uint32_t h = mix(uint32_t(i) * 2654435761u + seed);
      // Distinct entries: the index is folded into the red channel.
      pal[i] = {uint8_t((i * 255 / std::max(1, n - 1)) ^ (n > 2 ? (h & 0x01) : 0)), uint8_t(h >> 8),
                uint8_t(h >> 16)};
    }
    p.setPalette(pal);
  }
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = p.row(y);
    for (uint32_t x = 0; x < width; ++x)
      row[x] = uint8_t((x + y * 3 + (mix(x + y * width + seed) & 1)) % n);
  }
  return p;
}

Picture makePhoto(uint32_t width, uint32_t height, uint32_t seed) {
  Picture p = mustCreate(width, height, 24);
  const double cx = width * 0.6, cy = height * 0.4, r2 = double(width) * width / 9.0;
  for (uint32_t y = 0; y < height; ++y) {
    uint8_t* row = p.row(y);
    const double fy = double(y) / height;
    for (uint32_t x = 0; x < width; ++x) {
      const double fx = double(x) / width;
      const double d = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / r2;
      const double sun = d < 1 ? (1 - d) * 90 : 0;
      const double wave = 30 * std::sin(fx * 23 + fy * 7) * std::cos(fy * 17);
      const int noise = int(mix(x + y * 65537u + seed) & 15) - 8;
      auto clamp = [](double v) { return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v); };
      row[3 * x] = clamp(60 + 120 * fx + sun + wave + noise);
      row[3 * x + 1] = clamp(80 + 100 * fy + sun * 0.8 - wave + noise);
      row[3 * x + 2] = clamp(150 - 90 * fy + wave * 0.5 + noise);
    }
  }
  return p;
}

Picture solid(uint32_t width, uint32_t height, Rgb colour) {
  Picture p = mustCreate(width, height, 24);
  for (size_t i = 0; i < p.byteSize(); i += 3) {
    p.data()[i] = colour.r;
    p.data()[i + 1] = colour.g;
    p.data()[i + 2] = colour.b;
  }
  return p;
}

Picture copyOf(const Picture& p) {
  Picture q;
  EXPECT_TRUE(p.cloneTo(q).ok());
  return q;
}

Rgb pixelAt(const Picture& p, uint32_t x, uint32_t y) {
  const uint8_t* row = p.row(y);
  return p.bits() == 24 ? Rgb{row[3 * x], row[3 * x + 1], row[3 * x + 2]} : p.palette()[row[x]];
}

size_t colourCount(const Picture& p) {
  std::set<uint32_t> seen;
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) {
      const Rgb c = pixelAt(p, x, y);
      seen.insert(uint32_t(c.r) << 16 | uint32_t(c.g) << 8 | c.b);
    }
  return seen.size();
}

// Visits the channel differences of every pixel of two pictures of one size.
template <class F>
void eachDifference(const Picture& a, const Picture& b, F f) {
  for (uint32_t y = 0; y < a.height(); ++y)
    for (uint32_t x = 0; x < a.width(); ++x) {
      const Rgb p = pixelAt(a, x, y), q = pixelAt(b, x, y);
      f(std::abs(p.r - q.r)), f(std::abs(p.g - q.g)), f(std::abs(p.b - q.b));
    }
}

bool sameSize(const Picture& a, const Picture& b) {
  return a.width() == b.width() && a.height() == b.height() && !a.empty() && !b.empty();
}

double meanChannelDiff(const Picture& a, const Picture& b) {
  if (!sameSize(a, b)) return 1e9;
  double sum = 0;
  eachDifference(a, b, [&](int d) { sum += d; });
  return sum / (3.0 * a.width() * a.height());
}

::testing::AssertionResult closeColours(const Picture& a, const Picture& b, int tolerance) {
  if (!sameSize(a, b))
    return ::testing::AssertionFailure() << "sizes differ: " << a.width() << "x" << a.height()
                                         << " and " << b.width() << "x" << b.height();
  int worst = 0;
  eachDifference(a, b, [&](int d) { worst = std::max(worst, d); });
  if (worst <= tolerance) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "channels differ by up to " << worst;
}

bool writePnm(const Picture& p, const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  const bool gray = p.isGray();
  out << (gray ? "P5" : "P6") << "\n" << p.width() << " " << p.height() << "\n255\n";
  for (uint32_t y = 0; y < p.height(); ++y)
    for (uint32_t x = 0; x < p.width(); ++x) {
      const Rgb c = pixelAt(p, x, y);
      if (gray) {
        out.put(char(c.r));
      } else {
        out.put(char(c.r)).put(char(c.g)).put(char(c.b));
      }
    }
  return bool(out);
}

bool readPnm(const std::string& path, Picture& out) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  uint32_t w = 0, h = 0, maxval = 1;
  // A header field, skipping blanks and comment lines before it.
  const auto field = [&](uint32_t& v) {
    while (in >> std::ws && in.peek() == '#') in.ignore(1 << 20, '\n');
    in >> v;
  };
  in >> magic;
  field(w);
  field(h);
  if (magic != "P4") field(maxval);
  in.get();
  if (!in || (magic != "P4" && maxval != 255)) return false;
  Picture p;
  if (magic == "P6") {
    if (!Picture::create(w, h, 24, p).ok()) return false;
    in.read(reinterpret_cast<char*>(p.data()), std::streamsize(p.byteSize()));
  } else if (magic == "P5") {
    if (!Picture::create(w, h, 8, p).ok()) return false;
    p.setPalette(grayPalette(256));
    in.read(reinterpret_cast<char*>(p.data()), std::streamsize(p.byteSize()));
  } else if (magic == "P4") {
    if (!Picture::create(w, h, 1, p).ok()) return false;
    p.setPalette({{255, 255, 255}, {0, 0, 0}});  // in P4, 1 is black
    const size_t rowBytes = (w + 7) / 8;
    std::vector<char> row(rowBytes);
    for (uint32_t y = 0; y < h; ++y) {
      in.read(row.data(), std::streamsize(rowBytes));
      for (uint32_t x = 0; x < w; ++x) p.row(y)[x] = (uint8_t(row[x / 8]) >> (7 - x % 8)) & 1;
    }
  } else {
    return false;
  }
  if (!in) return false;
  out = std::move(p);
  return true;
}

}  // namespace zelmar::test
