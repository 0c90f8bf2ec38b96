#pragma once
// Area-averaged shrinking of 8-bit colour pictures (3 channels): every
// output pixel is the mean of the source area it covers. Much faster than
// OpenCV's general area resampler on large photos, which matters because
// every reduced view of a picture is made this way.
#include <opencv2/core.hpp>

namespace zelmar::qt {

// Shrinks by the whole factor k: each output pixel the rounded mean of a
// k x k block; `dst` becomes (cols / k) x (rows / k), the last column and
// row of blocks widened by the remainder. k from 2 to 256; src at least k x k.
void boxShrink(const cv::Mat& src, int k, cv::Mat& dst);

// Shrinks to `size` (no larger than src on either axis): whole blocks
// first, then a separable area filter for what remains.
void areaShrink(const cv::Mat& src, cv::Size size, cv::Mat& dst);

}  // namespace zelmar::qt
