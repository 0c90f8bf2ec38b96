// Our area shrinking against OpenCV's own area resampler.
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

TEST(AreaShrink, WholeBlocksMatchAreaAveraging) {
  const cv::Mat src = noise(131, 97);
  for (int k : {2, 3, 5, 16, 17, 40}) {
    SCOPED_TRACE(k);
    cv::Mat ours, theirs;
    boxShrink(src, cv::Size(k, k), ours);
    ASSERT_EQ(ours.size(), cv::Size(131 / k, 97 / k));
    const cv::Rect whole(0, 0, 131 / k * k - k, 97 / k * k - k);
    cv::resize(src(whole), theirs, cv::Size(whole.width / k, whole.height / k), 0, 0,
               cv::INTER_AREA);
    EXPECT_LE(cv::norm(ours(cv::Rect(0, 0, theirs.cols, theirs.rows)), theirs, cv::NORM_INF), 1);
    // The last block takes the remainder too.
    const cv::Rect corner(131 / k * k - k, 97 / k * k - k, 131 - (131 / k * k - k),
                          97 - (97 / k * k - k));
    const cv::Scalar mean = cv::mean(src(corner));
    const cv::Vec3b last = ours.at<cv::Vec3b>(ours.rows - 1, ours.cols - 1);
    for (int c = 0; c < 3; ++c) EXPECT_NEAR(last[c], mean[c], 0.5 + 1e-9);
  }
}

TEST(AreaShrink, FactorsWithoutWholeBlocksMatchAreaAveragingExactly) {
  // Below two on one axis there are no blocks: only the area filter runs.
  const cv::Mat src = noise(300, 200);
  for (cv::Size size : {cv::Size(299, 199), cv::Size(200, 150), cv::Size(151, 101),
                        cv::Size(300, 20), cv::Size(160, 1)}) {
    SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
    cv::Mat ours, theirs;
    areaShrink(src, size, ours);
    ASSERT_EQ(ours.size(), size);
    cv::resize(src, theirs, size, 0, 0, cv::INTER_AREA);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 1);
  }
}

TEST(AreaShrink, BlocksThenAreaStayCloseToAreaAveragingOnPhotos) {
  // Two steps average over slightly wider footprints than one: invisible on
  // photographic detail, though not on pure noise.
  const Picture photo = test::makePhoto(1000, 700);
  const cv::Mat src(700, 1000, CV_8UC3, const_cast<uint8_t*>(photo.data()));
  for (cv::Size size : {cv::Size(97, 61), cv::Size(333, 233), cv::Size(1, 1), cv::Size(499, 349),
                        cv::Size(7, 700)}) {
    SCOPED_TRACE(testing::Message() << size.width << "x" << size.height);
    cv::Mat ours, theirs;
    areaShrink(src, size, ours);
    ASSERT_EQ(ours.size(), size);
    cv::resize(src, theirs, size, 0, 0, cv::INTER_AREA);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_L1) / (size.area() * 3.0), 1.0);
    EXPECT_LE(cv::norm(ours, theirs, cv::NORM_INF), 8);
  }
}

TEST(AreaShrink, FlatColoursStayExact) {
  const cv::Mat src(64, 90, CV_8UC3, cv::Scalar(255, 0, 77));
  for (cv::Size size : {cv::Size(4, 4), cv::Size(1, 1), cv::Size(61, 43), cv::Size(89, 64)}) {
    cv::Mat out;
    areaShrink(src, size, out);
    cv::Mat expected(size, CV_8UC3, cv::Scalar(255, 0, 77));
    EXPECT_EQ(cv::norm(out, expected, cv::NORM_INF), 0) << size.width << "x" << size.height;
  }
}

}  // namespace
}  // namespace zelmar::ops
