#pragma once
// Shrinking a colour picture by a whole factor, each output pixel the
// rounded mean of a k x k block. Several times faster than a general area
// resampler on large photos, and it is the first step of every reduced view.
#include <opencv2/core.hpp>

namespace zelmar::qt {

// `src` is 8-bit, 3 channels; `dst` becomes (cols / k) x (rows / k), the
// right and bottom remainders left out. k from 2 to 256; src at least k x k.
void boxShrink(const cv::Mat& src, int k, cv::Mat& dst);

}  // namespace zelmar::qt
