#pragma once
// Area-averaged shrinking of 8-bit colour pictures (3 channels): every
// output pixel is the mean of the source area it covers. Two to three times
// faster than OpenCV's general area resampler on large photos (ops_bench),
// which matters because every reduced view and every shrinking resize of a
// colour picture is made this way. `dst` is written in place when it
// already has the size and type.
#include <opencv2/core.hpp>

#include "engine/core/picture.h"

namespace zelmar::ops {

// Shrinks by the whole factors k (1 to 256 on each axis): each output pixel
// the rounded mean of a k.width x k.height block; `dst` becomes
// (cols / k.width) x (rows / k.height), the last column and row of blocks
// widened by the remainder. src at least one block.
void boxShrink(const cv::Mat& src, cv::Size k, cv::Mat& dst);

// Shrinks to `size` (no larger than src on either axis): whole blocks
// first, then a separable area filter for what remains. Whole factors are
// exact; others average over footprints up to a block wider than exact
// area averaging, which photographic detail does not show.
void areaShrink(const cv::Mat& src, cv::Size size, cv::Mat& dst);

// The colours of a picture of palette indices (8-bit, one channel), as
// 3 channels R, G, B; every index within the palette.
cv::Mat paletteColours(const cv::Mat& indices, const Palette& palette);

// areaShrink of paletteColours(indices, palette), to the byte, without
// making the whole colour picture: palettes that are affine in the index
// (two entries, grey ramps) shrink the indices alone, others colour one
// source row at a time.
void areaShrinkIndexed(const cv::Mat& indices, const Palette& palette, cv::Size size, cv::Mat& dst);

}  // namespace zelmar::ops
