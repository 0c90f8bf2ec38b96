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
#include "support/pictures.h"
#include "support/process.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

namespace fs = std::filesystem;

TEST(PrinterQueue, PrintsThePictureIntoItsRectangleOnThePage) {
  if (geteuid() != 0) GTEST_SKIP() << "platform: starting cupsd and adding a queue needs root";
  const std::string queue = "ZelmarControlTest" + std::to_string(getpid());
  PdfQueue pdf(queue);
  ASSERT_EQ(pdf.error(), "");

  ImageControl control;
  control.adoptPicture(solid(40, 20, {220, 0, 0}));

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
  // At 50 dpi the picture covers (50, 50) to (150, 100): red inside, white around.
  for (auto [x, y] : {std::pair{53, 53}, {100, 75}, {147, 97}}) {
    const QRgb c = page.pixel(x, y);
    EXPECT_TRUE(qRed(c) > 180 && qGreen(c) < 60 && qBlue(c) < 60) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{45, 75}, {155, 75}, {100, 45}, {100, 105}})
    EXPECT_GT(qGray(page.pixel(x, y)), 240) << x << "," << y;
}

}  // namespace
}  // namespace zelmar::test
