// The area shrinker against OpenCV's own area resampler and block means.
#include "engine/ops/area_shrink.h"

#include <gtest/gtest.h>

#include <opencv2/imgproc.hpp>

#include "support/pictures.h"

namespace zelmar::ops {
namespace {

cv::Mat noise(int w, int h) {
  cv::Mat m(h, w, CV_8UC3);
  cv::randu(m, 0, 256);
  return m;
}

TEST(AreaShrink, WholeBlocksAreTheirRoundedMeansTheLastWidened) {
  const cv::Mat src = noise(131, 97);
  for (cv::Size k : {cv::Size(2, 2), cv::Size(3, 3), cv::Size(5, 2), cv::Size(1, 16),
                     cv::Size(17, 17), cv::Size(40, 7)}) {
    SCOPED_TRACE(testing::Message() << k.width << "x" << k.height);
    cv::Mat ours;
    boxShrink(src, k, ours);
    ASSERT_EQ(ours.size(), cv::Size(131 / k.width, 97 / k.height));
    for (int y = 0; y < ours.rows; ++y)
      for (int x = 0; x < ours.cols; ++x) {
        const cv::Rect block(x * k.width, y * k.height,
                             x == ours.cols - 1 ? 131 - x * k.width : k.width,
                             y == ours.rows - 1 ? 97 - y * k.height : k.height);
        const cv::Scalar mean = cv::mean(src(block));
        for (int c = 0; c < 3; ++c)
          ASSERT_NEAR(ours.at<cv::Vec3b>(y, x)[c], mean[c], 0.5 + 1e-9) << x << "," << y;
      }
  }
}

TEST(AreaShrink, MatchesAreaAveragingExactlyWithoutBlocksAndCloselyOnPhotos) {
  // Below two on both axes only the area filter runs.
  const cv::Mat src = noise(300, 200);
  for (cv::Size size :
       {cv::Size(299, 199), cv::Size(200, 150), cv::Size(151, 101), cv::Size(160, 1)}) {
    cv::Mat ours, theirs;
    areaShrink(src, size, ours);
    cv::resize(src, theirs, size, 0, 0, cv::INTER_AREA);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 1) << size.width << "x" << size.height;
  }
  // Blocks then area average over slightly wider footprints: invisible on
  // photographic detail, though not on pure noise.
  const Picture photo = test::makePhoto(1000, 700);
  const cv::Mat pic(700, 1000, CV_8UC3, const_cast<uint8_t*>(photo.data()));
  for (cv::Size size : {cv::Size(97, 61), cv::Size(333, 233), cv::Size(1, 1), cv::Size(499, 349),
                        cv::Size(7, 700)}) {
    cv::Mat ours, theirs;
    areaShrink(pic, size, ours);
    cv::resize(pic, theirs, size, 0, 0, cv::INTER_AREA);
    ASSERT_EQ(ours.size(), size);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_L1) / (size.area() * 3.0), 1.0)
        << size.width << "x" << size.height;
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 8) << size.width << "x" << size.height;
  }
}

}  // namespace
}  // namespace zelmar::ops
