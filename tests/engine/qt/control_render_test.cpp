// Drawing the picture into a rectangle of a paint device.
#include <QPainter>
#include <cmath>
#include <limits>

#include "control_fixture.h"

namespace zelmar::test {
namespace {

class RenderTest : public ControlTest {
 protected:
  QImage page{300, 200, QImage::Format_RGB32};
  void SetUp() override {
    ControlTest::SetUp();
    page.fill(Qt::white);
    control->setRaiseErrors(false);
  }
};

TEST_F(RenderTest, FillsExactlyTheRectangleEnlargingOrShrinking) {
  for (uint32_t size : {10u, 1000u}) {
    SCOPED_TRACE(size);
    page.fill(Qt::white);
    control->adoptPicture(solid(size, size / 2, {200, 30, 40}));
    QPainter painter(&page);
    ASSERT_EQ(control->RenderToDevice(&painter, 20.0f, 30.0f, 100.0f, 60.0f), 0);
    painter.end();
    EXPECT_EQ(rgbOf(page.pixel(19, 50)), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbOf(page.pixel(120, 50)), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbOf(page.pixel(70, 29)), (Rgb{255, 255, 255}));
    EXPECT_EQ(rgbOf(page.pixel(70, 90)), (Rgb{255, 255, 255}));
    for (QPoint p : {QPoint(21, 31), QPoint(70, 60), QPoint(118, 88)})
      EXPECT_EQ(rgbOf(page.pixel(p)), (Rgb{200, 30, 40})) << p.x() << "," << p.y();
  }
}

TEST_F(RenderTest, ShrinkingAveragesFineDetail) {
  // Alternate black and white rows: a smooth reduction is mid grey.
  Picture p = solid(400, 400, {0, 0, 0});
  for (uint32_t y = 1; y < 400; y += 2) std::fill_n(p.row(y), 1200, uint8_t(255));
  control->adoptPicture(std::move(p));
  QPainter painter(&page);
  ASSERT_EQ(control->RenderToDevice(&painter, 0, 0, 100, 100), 0);
  painter.end();
  for (int y : {10, 11, 50, 51}) EXPECT_NEAR(qGreen(page.pixel(50, y)), 128, 2) << y;
}

TEST_F(RenderTest, RectanglesWithNoAreaOrNoPainterAreRefused) {
  control->adoptPicture(solid(10, 10, {0, 0, 0}));
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  QPainter painter(&page);
  for (auto [w, h] : {std::pair{0.0f, 10.0f},
                      {10.0f, 0.0f},
                      {-5.0f, 10.0f},
                      {10.0f, -1.0f},
                      {nan, 10.0f},
                      {10.0f, inf}}) {
    SCOPED_TRACE(testing::Message() << w << "x" << h);
    EXPECT_EQ(control->RenderToDevice(&painter, 0, 0, w, h), int(ErrorCode::InvalidArgument));
  }
  EXPECT_EQ(control->RenderToDevice(&painter, nan, 0, 5, 5), int(ErrorCode::InvalidArgument));
  EXPECT_EQ(control->RenderToDevice(&painter, 0, 0, 1e30f, 1e30f), int(ErrorCode::InvalidArgument));
  EXPECT_EQ(control->RenderToDevice(&painter, -1e12f, 0, 5, 5), int(ErrorCode::InvalidArgument));
  painter.end();
  EXPECT_EQ(control->RenderToDevice(nullptr, 0, 0, 5, 5), int(ErrorCode::InvalidArgument));
  EXPECT_EQ(control->RenderToDevice(&painter, 0, 0, 5, 5), int(ErrorCode::InvalidArgument));
  EXPECT_EQ(page.pixel(1, 1), qRgb(255, 255, 255));
}

}  // namespace
}  // namespace zelmar::test
