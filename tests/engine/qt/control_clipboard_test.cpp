// Copy and paste through the system clipboard.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "control_fixture.h"

namespace zelmar::test {
namespace {

TEST_F(ControlTest, ClipboardRoundTripKeepsEveryPixelAtEveryDepth) {
  for (int bits : {1, 4, 8, 24}) {
    SCOPED_TRACE(bits);
    const Picture source = makePattern(37, 23, bits);
    control->adoptPicture(copyOf(source));
    ASSERT_EQ(control->CopyToClipboard(2), 0);
    const QImage offered = QGuiApplication::clipboard()->image();
    ASSERT_EQ(offered.size(), QSize(37, 23));
    EXPECT_EQ(rgbOf(offered.pixel(5, 7)), pixelAt(source, 5, 7));

    control->adoptPicture(solid(3, 3, {1, 2, 3}));
    ASSERT_EQ(control->PasteFromClipboard(0), 0);
    EXPECT_EQ(control->BitsPerPixel(), 24);
    EXPECT_TRUE(sameColors(control->picture(), source));
  }
}

TEST_F(ControlTest, AGreyClipboardPicturePastesAsEightBitGreyAndIsPainted) {
  QImage grey(16, 8, QImage::Format_Grayscale8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) grey.scanLine(y)[x] = uchar(x * 16);
  QGuiApplication::clipboard()->setImage(grey);
  control->setDisplaySizeMode(4);
  control->Repaint();
  ASSERT_EQ(control->PasteFromClipboard(0), 0);
  EXPECT_EQ(control->BitsPerPixel(), 8);
  EXPECT_EQ(control->IsGray(), 1);
  EXPECT_EQ(control->picture().row(3)[9], 144);
  QApplication::processEvents();
  EXPECT_EQ(at(100 - 8 + 9, 50 - 4 + 3), (Rgb{144, 144, 144}));
}

TEST_F(ControlTest, PastingNoPictureOrOneOverTheLimitsFailsAndKeepsThePicture) {
  control->adoptPicture(solid(5, 5, {9, 9, 9}));
  control->setRaiseErrors(false);
  QGuiApplication::clipboard()->clear();
  EXPECT_EQ(control->PasteFromClipboard(0), int(ErrorCode::ClipboardEmpty));
  QGuiApplication::clipboard()->setText("not a picture");
  EXPECT_EQ(control->PasteFromClipboard(0), int(ErrorCode::ClipboardEmpty));
  auto* junk = new QMimeData;
  junk->setData("image/png", QByteArray("\x89PNG broken", 11));
  QGuiApplication::clipboard()->setMimeData(junk);
  EXPECT_EQ(control->PasteFromClipboard(0), int(ErrorCode::ClipboardEmpty));
  QImage wide(65536, 2, QImage::Format_RGB32);  // one column more than a picture may have
  wide.fill(Qt::red);
  QGuiApplication::clipboard()->setImage(wide);
  EXPECT_EQ(control->PasteFromClipboard(0), int(ErrorCode::LimitExceeded));
  EXPECT_EQ(control->ImageWidth(), 5);
  EXPECT_EQ(control->picture().row(4)[14], 9);
}

}  // namespace
}  // namespace zelmar::test
