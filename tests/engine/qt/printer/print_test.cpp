// RenderToDevice on a real printer queue: a CUPS queue that writes PDF,
// read back as a picture with pdftoppm.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QThread>
#include <chrono>
#include <filesystem>
#include <thread>

#include "engine/qt/image_control.h"
#include "engine/qt/printer/pdf_queue.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

namespace fs = std::filesystem;

TEST(PrinterQueue, PrintsThePictureIntoItsRectangleOnThePage) {
  if (geteuid() != 0) GTEST_SKIP() << "starting cupsd and adding a queue needs root";
  const std::string queue = "ZelmarControlTest" + std::to_string(getpid());
  PdfQueue pdf(queue);
  ASSERT_EQ(pdf.error(), "");

  ImageControl control;
  Picture red;
  ASSERT_TRUE(Picture::create(40, 20, 24, red).ok());
  for (uint32_t y = 0; y < 20; ++y)
    for (uint32_t x = 0; x < 40; ++x) {
      red.row(y)[3 * x] = 220;
      red.row(y)[3 * x + 1] = 0;
      red.row(y)[3 * x + 2] = 0;
    }
  control.adoptPicture(std::move(red));

  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(QString::fromStdString(queue));
  ASSERT_EQ(printer.printerName(), QString::fromStdString(queue));
  printer.setFullPage(true);
  printer.setDocName("zelmar-control-test");
  QPainter painter;
  ASSERT_TRUE(painter.begin(&printer));
  const float dpi = float(printer.resolution());
  // Two inches by one, an inch from the top left corner of the paper.
  ASSERT_EQ(control.RenderToDevice(&painter, dpi, dpi, 2 * dpi, dpi), 0);
  ASSERT_TRUE(painter.end());

  const auto made = pdf.printed();
  ASSERT_EQ(made.size(), 1u);

  TempDir dir;
  const RunResult r =
      run({"pdftoppm", "-png", "-r", "50", "-singlefile", made[0].string(), dir.file("page")});
  fs::remove(made[0]);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const QImage page(QString::fromStdString(dir.file("page.png")));
  ASSERT_FALSE(page.isNull());
  // At 50 dpi the picture covers (50, 50) to (150, 100).
  const auto isRed = [&](int x, int y) {
    const QRgb c = page.pixel(x, y);
    return qRed(c) > 180 && qGreen(c) < 60 && qBlue(c) < 60;
  };
  const auto isWhite = [&](int x, int y) { return qGray(page.pixel(x, y)) > 240; };
  EXPECT_TRUE(isRed(53, 53));
  EXPECT_TRUE(isRed(100, 75));
  EXPECT_TRUE(isRed(147, 97));
  EXPECT_TRUE(isWhite(45, 75));
  EXPECT_TRUE(isWhite(155, 75));
  EXPECT_TRUE(isWhite(100, 45));
  EXPECT_TRUE(isWhite(100, 105));
}

}  // namespace
}  // namespace zelmar::test
