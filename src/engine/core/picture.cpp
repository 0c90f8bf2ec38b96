#include "engine/core/picture.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "engine/core/checked.h"
#include "engine/core/huge_pages.h"

namespace zelmar {

Palette grayPalette(int entries) {
  Palette p(entries);
  for (int i = 0; i < entries; ++i) {
    const auto v = uint8_t(entries > 1 ? i * 255 / (entries - 1) : 0);
    p[i] = {v, v, v};
  }
  return p;
}

Status Picture::create(uint64_t width, uint64_t height, int bits, Picture& out,
                       const Limits& limits) {
  if (bits != 1 && bits != 4 && bits != 8 && bits != 24)
    return {ErrorCode::InvalidArgument, "depth " + std::to_string(bits)};
  ZELMAR_TRY(checkDimensions(width, height, limits));
  auto bytes = checkedMul(width, height, bits == 24 ? 3 : 1);
  if (!bytes) return {ErrorCode::LimitExceeded};
  Picture p;
  try {
    p.pixels_ = uninitialisedBlock(*bytes);
    if (bits != 24) p.palette_.assign(size_t(1) << bits, Rgb{});
  } catch (const std::bad_alloc&) {
    return {ErrorCode::OutOfMemory};
  }
  p.width_ = uint32_t(width);
  p.height_ = uint32_t(height);
  p.bits_ = bits;
  out = std::move(p);
  return {};
}

Status Picture::cloneTo(Picture& out) const {
  if (empty()) {
    out.clear();
    return {};
  }
  Picture p;
  ZELMAR_TRY(create(width_, height_, bits_, p, Limits{~0ull, ~0ull}));
  std::memcpy(p.data(), data(), byteSize());
  p.palette_ = palette_;
  out = std::move(p);
  return {};
}

void Picture::setPalette(const Palette& colors) {
  const size_t n = std::min(colors.size(), palette_.size());
  std::copy_n(colors.begin(), n, palette_.begin());
  std::fill(palette_.begin() + n, palette_.end(), Rgb{});
}

bool Picture::isGray() const {
  if (bits_ == 0 || bits_ == 24) return false;
  return std::all_of(palette_.begin(), palette_.end(),
                     [](const Rgb& c) { return c.r == c.g && c.g == c.b; });
}

}  // namespace zelmar
