// On a screen with two device pixels per logical pixel, zoom 100 still puts
// one picture pixel on one device pixel. The scale factor is fixed when the
// application starts, so the test runs itself again with it set.
#include <QApplication>
#include <QScreen>
#include <cstdlib>
#include <filesystem>

#include "control_fixture.h"
#include "support/process.h"

namespace zelmar::test {
namespace {

TEST(HiDpi, ZoomHundredMapsOnePicturePixelToOneDevicePixel) {
  if (QApplication::primaryScreen()->devicePixelRatio() == 1) {
    ASSERT_EQ(std::getenv("QT_SCALE_FACTOR"), nullptr) << "the platform ignores QT_SCALE_FACTOR";
    const RunResult r =
        run({"/usr/bin/env", "QT_SCALE_FACTOR=2",
             std::filesystem::read_symlink("/proc/self/exe").string(),
             "--gtest_filter=HiDpi.ZoomHundredMapsOnePicturePixelToOneDevicePixel"});
    EXPECT_EQ(r.exitCode, 0) << r.out << r.err;
    EXPECT_NE(r.out.find("[  PASSED  ] 1 test"), std::string::npos) << r.out;
    return;
  }
  ImageControl control;
  control.resize(100, 50);  // 200 x 100 device pixels
  control.show();
  const Picture pattern = makePattern(40, 30, 24);
  control.adoptPicture(copyOf(pattern));
  control.setDisplaySizeMode(4);
  control.setZoomPercent(100);
  control.Repaint();
  const QImage shot = control.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shot.size(), QSize(200, 100));
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x)
      ASSERT_EQ(rgbOf(shot.pixel(80 + x, 35 + y)), pixelAt(pattern, x, y)) << x << "," << y;
  EXPECT_EQ(rgbOf(shot.pixel(79, 35)), kBack);
}

}  // namespace
}  // namespace zelmar::test
