// Loading and saving through the control with the facts it reports, the
// clipboard, and drawing into a rectangle of another paint device.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>

#include "control_fixture.h"
#include "engine/io/file_io.h"
#include "support/oracle.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

TEST_F(ControlTest, LoadReportsThePictureAndTheFactsOfItsFile) {
  TempDir dir;
  const struct {
    int bits;
    bool gray;
    int format;
    const char* name;
  } cases[] = {{24, false, 6, "colour.bmp"},
               {8, true, 6, "grey.bmp"},
               {4, false, 1, "sixteen.pcx"},
               {1, true, 5, "bw.cmp"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Picture source = makePattern(33, 17, c.bits, c.gray);
    const std::string path = dir.file(c.name);
    ASSERT_TRUE(savePicture(source, path, c.format, c.bits, 64, false).ok());
    ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(control->ImageWidth(), 33);
    EXPECT_EQ(control->ImageHeight(), 17);
    EXPECT_EQ(control->BitsPerPixel(), c.bits);
    EXPECT_EQ(control->IsGray(), c.gray ? 1 : 0);
    EXPECT_EQ(control->FileFormat(), c.format);
    EXPECT_EQ(control->OriginWidth(), 33);
    EXPECT_EQ(control->OriginHeight(), 17);
    EXPECT_EQ(control->OriginBits(), c.bits);
    EXPECT_EQ(control->FileSize(), int64_t(std::filesystem::file_size(path)));
    EXPECT_EQ(control->MemSize(),
              33 * 17 * (c.bits == 24 ? 3 : 1) + (c.bits == 24 ? 0 : (1 << c.bits) * 3));
    EXPECT_EQ(control->Compression(), c.format == 6 ? "None" : c.format == 1 ? "RLE" : "zstd");
    EXPECT_EQ(control->PageCount(), 1);
    EXPECT_TRUE(closeColours(control->picture(), source, 0));
  }
}

// Transparent pixels show the colour the control paints around the picture.
TEST_F(ControlTest, TransparentPixelsLoadAsTheBackColor) {
  REQUIRE_TOOL(Tool::ImageMagick);
  TempDir dir;
  const std::string path = dir.file("clear.png");
  const ByteVec png =
      toolWrites(Tool::ImageMagick, makePhoto(8, 6),
                 {"-alpha", "set", "-channel", "A", "-evaluate", "set", "0"}, "a.png");
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(png.data()), std::streamsize(png.size()));
  for (const QColor& back : {QColor(200, 30, 90), QColor(0x40, 0x40, 0x40)}) {
    control->setBackColor(back);
    ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(pixelAt(control->picture(), 5, 3), rgbOf(back.rgb()));
  }
}

TEST_F(ControlTest, SaveWritesWhatAnotherControlLoadsBackAndFailsWithoutHarm) {
  TempDir dir;
  control->adoptPicture(makePattern(21, 13, 24));
  const std::string path = dir.file("copy.pcx");
  ASSERT_EQ(control->SaveFile(qpath(path), 1, 24, 64, false), 0);
  ImageControl other;
  ASSERT_EQ(other.LoadFile(qpath(path), 0, 0, 1), 0);
  EXPECT_TRUE(closeColours(other.picture(), makePattern(21, 13, 24), 0));
  control->setRaiseErrors(false);
  EXPECT_NE(control->SaveFile(qpath(dir.file("no/such/folder/x.bmp")), 6, 24, 64, false), 0);
  EXPECT_NE(control->SaveFile(qpath(path), 6, 24, 64, true), 0);  // appending a page
  ASSERT_EQ(other.LoadFile(qpath(path), 0, 0, 1), 0);
  EXPECT_EQ(other.FileFormat(), 1);
}

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
    EXPECT_TRUE(closeColours(control->picture(), source, 0));
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
