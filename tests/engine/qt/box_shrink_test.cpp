// The whole-factor shrink against OpenCV's own area resampler.
#include <gtest/gtest.h>
#include <opencv2/imgproc.hpp>

#include "engine/qt/box_shrink.h"

namespace zelmar::qt {
namespace {

TEST(BoxShrink, MatchesAreaAveragingForEveryFactor) {
  cv::Mat src(97, 131, CV_8UC3);
  cv::randu(src, 0, 256);
  for (int k : {2, 3, 5, 16, 17, 40}) {
    SCOPED_TRACE(k);
    cv::Mat ours, theirs;
    boxShrink(src, k, ours);
    ASSERT_EQ(ours.size(), cv::Size(131 / k, 97 / k));
    const cv::Mat whole = src(cv::Rect(0, 0, 131 / k * k, 97 / k * k));
    cv::resize(whole, theirs, ours.size(), 0, 0, cv::INTER_AREA);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 1);
  }
}

TEST(BoxShrink, KeepsFlatAreasAndExtremesExact) {
  cv::Mat src(64, 64, CV_8UC3, cv::Scalar(255, 0, 77));
  cv::Mat out;
  boxShrink(src, 16, out);  // the largest block that sums in 16 bits
  EXPECT_EQ(cv::countNonZero(out.reshape(1) != cv::Mat(4, 4, CV_8UC3, cv::Scalar(255, 0, 77)).reshape(1)), 0);
  boxShrink(src, 64, out);
  EXPECT_EQ(out.at<cv::Vec3b>(0, 0), cv::Vec3b(255, 0, 77));
}

}  // namespace
}  // namespace zelmar::qt
