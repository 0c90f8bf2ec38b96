#pragma once
// The picture model: 1, 4 or 8 bits per pixel with a palette (one byte per
// pixel in memory; 8-bit grey is an 8-bit picture with a grey ramp), or
// 24-bit colour stored R, G, B. Rows are tightly packed, top row first.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/core/error.h"
#include "engine/core/limits.h"

namespace zelmar {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
};

using Palette = std::vector<Rgb>;

// A ramp of `entries` greys from black to white (2 gives black and white).
Palette grayPalette(int entries);

class Picture {
 public:
  Picture() = default;  // holds no picture: bits() == 0
  Picture(Picture&&) noexcept = default;
  Picture& operator=(Picture&&) noexcept = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;

  // Allocates an uninitialised picture after checking the size against
  // `limits`. Palette depths get a palette of 2^bits entries, all black.
  // Errors: InvalidArgument for a depth other than 1, 4, 8 or 24;
  // BadDimensions / LimitExceeded from checkDimensions; OutOfMemory.
  static Status create(uint64_t width, uint64_t height, int bits, Picture& out,
                       const Limits& limits = {});

  // A deep copy. Errors: OutOfMemory.
  Status cloneTo(Picture& out) const;

  bool empty() const { return bits_ == 0; }
  uint32_t width() const { return width_; }
  uint32_t height() const { return height_; }
  int bits() const { return bits_; }
  int bytesPerPixel() const { return bits_ == 24 ? 3 : 1; }
  size_t stride() const { return size_t(width_) * bytesPerPixel(); }
  size_t byteSize() const { return stride() * height_; }
  // Bytes the engine holds for this picture: pixels plus palette.
  uint64_t memSize() const { return byteSize() + palette_.size() * sizeof(Rgb); }

  uint8_t* data() { return pixels_.get(); }
  const uint8_t* data() const { return pixels_.get(); }
  uint8_t* row(uint32_t y) { return pixels_.get() + size_t(y) * stride(); }
  const uint8_t* row(uint32_t y) const { return pixels_.get() + size_t(y) * stride(); }

  // Palette depths keep exactly 2^bits entries, so every index is valid.
  Palette& palette() { return palette_; }
  const Palette& palette() const { return palette_; }
  // Sets the first entries from `colors` (extra ones are ignored), the rest black.
  void setPalette(const Palette& colors);

  // True when every palette entry is grey; false for 24-bit and no picture.
  bool isGray() const;

  void clear() { *this = Picture(); }

 private:
  uint32_t width_ = 0, height_ = 0;
  int bits_ = 0;
  std::unique_ptr<uint8_t[]> pixels_;
  Palette palette_;
};

}  // namespace zelmar
