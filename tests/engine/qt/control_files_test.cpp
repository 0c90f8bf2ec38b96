// Loading and saving through the control with the facts it reports, loads
// handed over by the prefetch cache, the clipboard, and drawing into a
// rectangle of another paint device.
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPainter>
#include <filesystem>
#include <fstream>
#include <limits>
#include <tuple>

#include "control_fixture.h"
#include "engine/io/file_io.h"
#include "support/oracle.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

// Everything the viewer can read of a load.
auto factsOf(const ImageControl& c) {
  return std::make_tuple(c.ImageWidth(), c.ImageHeight(), c.BitsPerPixel(), c.IsGray(),
                         c.FileFormat(), c.OriginWidth(), c.OriginHeight(), c.OriginBits(),
                         c.FileSize(), c.MemSize(), c.Compression(), c.PageCount());
}
using ControlFacts = decltype(factsOf(std::declval<ImageControl&>()));

// A fresh control reports the file's facts; one hinted ahead shows exactly
// what the fresh one shows, painted from the copy it made ahead.
TEST_F(ControlTest,
       LoadsReportTheFactsOfTheFilePrefetchedLoadsShowTheSameAndChangedPicturesAreNotServed) {
  TempDir dir;
  ImageControl fresh;
  fresh.resize(control->size());
  const struct {
    const char* name;
    int format, bits;
    bool gray;
    int loads;  // the depth it loads at
    const char* compression;
  } cases[] = {{"colour.bmp", 6, 24, false, 24, "None"}, {"grey.bmp", 6, 8, true, 8, "None"},
               {"sixteen.pcx", 1, 4, false, 4, "RLE"},   {"bw.cmp", 5, 1, true, 1, "zstd"},
               {"a.tif", 3, 24, false, 24, "LZW"},       {"a.jpg", 21, 24, false, 24, "JPEG"},
               {"two.tga", 4, 1, false, 8, "None"}};  // Targa maps palettes at 8 bits
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Picture source = makePattern(300, 170, c.bits, c.gray);
    const std::string path = dir.file(c.name);
    ASSERT_TRUE(savePicture(source, path, c.format, c.bits, 64, false).ok());
    ASSERT_EQ(fresh.LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(
        factsOf(fresh),
        ControlFacts(300, 170, c.loads, c.gray, c.format, 300, 170, c.loads,
                     std::filesystem::file_size(path),
                     c.loads == 24 ? 300 * 170 * 3 : 300 * 170 + (3 << c.loads), c.compression, 1));
    if (c.format != 21) {  // JPEG's losses are the codec tests' to judge
      EXPECT_TRUE(closeColours(fresh.picture(), source, 0));
    }
    control->PrefetchHint({qpath(path)});
    control->waitForPrefetch();
    const int rebuilds = control->viewRebuilds();
    ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(factsOf(*control), factsOf(fresh));
    control->Repaint(), fresh.Repaint();
    EXPECT_EQ(control->frame(), fresh.frame());
    EXPECT_EQ(control->viewRebuilds(), rebuilds);
    EXPECT_TRUE(closeColours(control->picture(), fresh.picture(), 0));
  }
  // A picture changed on screen, or saved over its file, is not its file's.
  const std::string a = dir.file("x.bmp"), b = dir.file("y.bmp");
  ASSERT_TRUE(savePicture(makePhoto(40, 30, 1), a, 6, 0, 64, false).ok());
  ASSERT_TRUE(savePicture(makePhoto(40, 30, 2), b, 6, 0, 64, false).ok());
  ASSERT_EQ(control->LoadFile(qpath(a), 0, 0, 1), 0);
  ASSERT_EQ(control->MirrorHorizontal(), 0);
  control->PrefetchHint({qpath(b), qpath(a)});
  control->waitForPrefetch();
  ASSERT_EQ(control->LoadFile(qpath(b), 0, 0, 1), 0);  // the mirrored picture leaves
  ASSERT_EQ(control->LoadFile(qpath(a), 0, 0, 1), 0);
  EXPECT_TRUE(closeColours(control->picture(), makePhoto(40, 30, 1), 0));

  control->PrefetchHint({qpath(b)});
  control->waitForPrefetch();
  control->adoptPicture(makePhoto(40, 30, 3));  // as a paste or a scan gives it
  ASSERT_EQ(control->SaveFile(qpath(b), 6, 0, 64, false), 0);
  ASSERT_EQ(control->LoadFile(qpath(b), 0, 0, 1), 0);
  EXPECT_TRUE(closeColours(control->picture(), makePhoto(40, 30, 3), 0));
}

// Transparent pixels show the colour the control paints around the picture.
TEST_F(ControlTest, TransparentPixelsLoadAsTheBackColorAndTheClipboardKeepsEveryPixel) {
  REQUIRE_TOOL(Tool::ImageMagick);
  TempDir dir;
  const std::string path = dir.file("clear.png");
  const ByteVec png =
      toolWrites(Tool::ImageMagick, makePhoto(8, 6),
                 {"-alpha", "set", "-channel", "A", "-evaluate", "set", "0"}, "a.png");
  writeText(path, std::string(png.begin(), png.end()));
  for (const QColor& back : {QColor(200, 30, 90), QColor(0x40, 0x40, 0x40)}) {
    control->setBackColor(back);
    ASSERT_EQ(control->LoadFile(qpath(path), 0, 0, 1), 0);
    EXPECT_EQ(pixelAt(control->picture(), 5, 3), rgbOf(back.rgb()));
  }
  // The clipboard round-trips every depth; grey pastes as grey; bad pastes change nothing.
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
  // Another program's grey picture pastes as 8-bit grey, and is painted.
  QImage grey(16, 8, QImage::Format_Grayscale8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 16; ++x) grey.scanLine(y)[x] = uchar(x * 16);
  QGuiApplication::clipboard()->setImage(grey);
  control->setDisplaySizeMode(4);
  ASSERT_EQ(control->PasteFromClipboard(0), 0);
  EXPECT_EQ(control->BitsPerPixel(), 8);
  EXPECT_EQ(control->IsGray(), 1);
  QApplication::processEvents();
  expectShows({{100 - 8 + 9, 50 - 4 + 3, {144, 144, 144}}});
  // No picture, or one over the limits, fails and keeps the picture.
  control->setRaiseErrors(false);
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
  EXPECT_EQ(control->ImageWidth(), 16);
  EXPECT_EQ(control->picture().row(3)[9], 144);
}

TEST_F(ControlTest, RenderFillsExactlyTheRectangleAveragingWhenShrinkingAndRefusesOthers) {
  QImage page(300, 200, QImage::Format_RGB32);
  control->setRaiseErrors(false);
  for (uint32_t size : {10u, 1000u}) {
    SCOPED_TRACE(size);
    page.fill(Qt::white);
    control->adoptPicture(solid(size, size / 2, {200, 30, 40}));
    QPainter painter(&page);
    ASSERT_EQ(control->RenderToDevice(&painter, 20.0f, 30.0f, 100.0f, 60.0f), 0);
    painter.end();
    for (QPoint p : {QPoint(19, 50), QPoint(120, 50), QPoint(70, 29), QPoint(70, 90)})
      EXPECT_EQ(rgbOf(page.pixel(p)), (Rgb{255, 255, 255})) << p.x() << "," << p.y();
    for (QPoint p : {QPoint(21, 31), QPoint(70, 60), QPoint(118, 88)})
      EXPECT_EQ(rgbOf(page.pixel(p)), (Rgb{200, 30, 40})) << p.x() << "," << p.y();
  }
  // Alternate black and white rows: a smooth reduction is mid grey.
  Picture p = solid(400, 400, {0, 0, 0});
  for (uint32_t y = 1; y < 400; y += 2) std::fill_n(p.row(y), 1200, uint8_t(255));
  control->adoptPicture(std::move(p));
  {
    QPainter painter(&page);
    ASSERT_EQ(control->RenderToDevice(&painter, 0, 0, 100, 100), 0);
  }
  for (int y : {10, 11, 50, 51}) EXPECT_NEAR(qGreen(page.pixel(50, y)), 128, 2) << y;
  // Rectangles with no area, or no painter to draw with, are refused.
  control->adoptPicture(solid(10, 10, {0, 0, 0}));
  page.fill(Qt::white);
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
