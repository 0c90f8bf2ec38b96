#pragma once
// Helpers shared by the operation files; not part of the public API.
#include <cstdint>
#include <new>
#include <opencv2/core.hpp>
#include <utility>

#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::ops::detail {

inline Status requirePicture(const Picture& p) {
  if (p.empty()) return {ErrorCode::NoPicture};
  return {};
}

// Runs `body` and turns what OpenCV or the allocator may throw into a Status,
// so no exception leaves the core.
template <class F>
Status guarded(F&& body) {
  try {
    return std::forward<F>(body)();
  } catch (const std::bad_alloc&) {
    return {ErrorCode::OutOfMemory};
  } catch (const cv::Exception& e) {
    if (e.code == cv::Error::StsNoMem) return {ErrorCode::OutOfMemory};
    return {ErrorCode::InvalidArgument, e.err};
  }
}

// A Mat over the picture's own pixels (no copy): 8UC3 for 24 bits, 8UC1 for
// palette depths (one index per byte).
inline cv::Mat matOf(Picture& p) {
  return cv::Mat(int(p.height()), int(p.width()), p.bits() == 24 ? CV_8UC3 : CV_8UC1, p.data(),
                 p.stride());
}
inline cv::Mat matOf(const Picture& p) { return matOf(const_cast<Picture&>(p)); }

// Luma with the 0.299/0.587/0.114 weights, rounded, in 14-bit fixed point
// (the weights sum to exactly 1 << 14, so white stays 255).
constexpr int kLumaR = 4899, kLumaG = 9617, kLumaB = 1868;
inline uint8_t luma(uint8_t r, uint8_t g, uint8_t b) {
  return uint8_t((r * kLumaR + g * kLumaG + b * kLumaB + (1 << 13)) >> 14);
}
inline uint8_t luma(Rgb c) { return luma(c.r, c.g, c.b); }

// The form interpolating and convolving operations work on: 24-bit colour,
// or 8-bit grey (grey ramp palette) when `keepGray` and the picture is grey.
// Points `work` at `in` when it already has that form, else converts into
// `scratch` and points `work` there.
Status workingForm(const Picture& in, bool keepGray, Picture& scratch, const Picture*& work);

// A new picture for an operation's result. `limits` apply to sizes the
// operation computes; a result the size of a picture already held needs none.
// Large pixel buffers are backed by huge pages where the system allows, which
// saves most of the page faults of touching them the first time.
Status createResult(uint64_t width, uint64_t height, int bits, Picture& out,
                    const Limits& limits = Limits{~0ull, ~0ull});

// The picture's luma as an 8-bit grey ramp picture.
Status grayOf(const Picture& p, Picture& out);

// Expands any picture to 24-bit colour into `out`.
Status expandTo24(const Picture& in, Picture& out);

// True when the picture is 8-bit with the plain grey ramp, so its indices are
// its grey levels.
bool isGrayRamp(const Picture& p);

}  // namespace zelmar::ops::detail
