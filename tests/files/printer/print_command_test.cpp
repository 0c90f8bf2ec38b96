// Printing on a real CUPS queue that writes PDF: picture and frame where the
// centimetres put them, read back at 600 dpi; what cannot print sends no job.
#include "files/print_command.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <QPrinter>
#include <QtWidgets>

#include "base/viewer_context.h"
#include "engine/qt/image_control.h"
#include "engine/qt/printer/pdf_queue.h"
#include "support/pictures.h"
#include "support/temp_dir.h"

namespace zelmar::test {
namespace {

TEST(PrintCommand, OnePageWhereTheCentimetresPutItAndNoJobWhenItCannotPrint) {
  if (geteuid() != 0) GTEST_SKIP() << "platform: starting cupsd and adding a queue needs root";
  const std::string queue = "ZelmarViewerTest" + std::to_string(getpid());
  PdfQueue pdf(queue);
  ASSERT_EQ(pdf.error(), "");
  ASSERT_EQ(run({"lpadmin", "-d", queue}).exitCode, 0);
  QWidget owner;
  ViewerContext ctx;
  ctx.setEngine1(ctx.makeEngine(&owner));
  auto& control = *static_cast<ImageControl*>(ctx.Engine1());
  ctx.fillPictureList({"/pictures/red.bmp"});
  ctx.setPictureCount(1);
  QStringList messages;
  ctx.prompt().setMessageHook([&](QMessageBox& box) {
    messages << box.text();
    return QMessageBox::Ok;
  });
  LazyWindow<PrnFrm> dialog([&] { return new PrnFrm(ctx, &owner); });
  // Top, left, width and height typed, then `inside` runs, then OK.
  const auto print = [&](QStringList texts, std::function<void()> inside = {}) {
    messages.clear();
    QTimer::singleShot(0, [&] {
      auto* f = qobject_cast<PrnFrm*>(QApplication::activeModalWidget());
      ASSERT_NE(f, nullptr);
      EXPECT_EQ(f->windowTitle(), "输入图像打印尺寸");
      EXPECT_EQ(f->Label3->text() + f->Label4->text() + f->Label1->text() + f->Label2->text(),
                "上边距(厘米)左边距(厘米)宽度(厘米)高度(厘米)");
      QString design;  // a fresh dialog each time
      for (QLineEdit* box : {f->Text3, f->Text4, f->Text1, f->Text2})
        design += box->text(), box->setText(texts.takeFirst());
      EXPECT_EQ(design, "1175");
      if (inside) inside();
      f->Command1->click();
    });
    files::idm_print(ctx, dialog, &owner);
    EXPECT_FALSE(dialog.loaded());
  };

  print({"1", "1", "7", "5"});  // no picture, though the list holds one
  EXPECT_EQ(messages, QStringList{"There is no picture to print."});
  control.adoptPicture(solid(40, 20, {220, 0, 0}));
  for (const char* width : {"abc", "0", "-5", "1e30", "1e39"}) {
    print({"1", "1", width, "5"});
    EXPECT_EQ(messages, QStringList{"The picture cannot be printed at this size and place. Nothing "
                                    "was printed."})
        << width;
  }
  print({"2", "3", "4,5", "2"});  // reads as 4
  EXPECT_TRUE(messages.isEmpty());
  const auto made = pdf.printed();
  ASSERT_EQ(made.size(), 1u);  // and none from the refusals above

  // Where the printable area starts on the page, at 600 dpi.
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(QString::fromStdString(queue));
  const QPointF corner = printer.pageLayout().paintRect(QPageLayout::Inch).topLeft() * 600;
  const double left = corner.x() + 3 / 2.54 * 600, top = corner.y() + 2 / 2.54 * 600;
  const double width = 4 / 2.54 * 600, height = 2 / 2.54 * 600;
  const int x0 = int(left) - 20, y0 = int(top) - 20;
  TempDir dir;
  const RunResult r =
      run({"pdftoppm", "-png", "-r", "600", "-aa", "no", "-aaVector", "no", "-singlefile", "-x",
           std::to_string(x0), "-y", std::to_string(y0), "-W", std::to_string(int(width) + 40),
           "-H", std::to_string(int(height) + 40), made[0].string(), dir.file("crop")});
  std::filesystem::remove(made[0]);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const QImage crop(QString::fromStdString(dir.file("crop.png")));
  ASSERT_FALSE(crop.isNull());
  // The picture (red) and its frame (dark) as boxes in page pixels.
  QRectF picture, frame;
  for (int y = 0; y < crop.height(); ++y)
    for (int x = 0; x < crop.width(); ++x) {
      const QRgb c = crop.pixel(x, y);
      const bool red = qRed(c) > 150 && qGreen(c) < 80;
      if (red || qGray(c) < 100) (red ? picture : frame) |= QRectF(x0 + x, y0 + y, 1, 1);
    }
  const QRectF placed(left, top, width, height);
  // The frame lies two printer pixels (one here) outside the picture.
  for (const auto& [seen, want] :
       {std::pair{picture, placed}, {frame, placed + QMarginsF(1, 1, 1, 1)}}) {
    for (auto edge : {&QRectF::left, &QRectF::top, &QRectF::right, &QRectF::bottom})
      EXPECT_NEAR((seen.*edge)(), (want.*edge)(), 3);
  }

  // A printer removed while the dialog is open.
  print({"1", "1", "7", "5"}, [&] { run({"lpadmin", "-x", queue}); });
  EXPECT_EQ(messages, QStringList{"The printer cannot be reached. Nothing was printed."});
}

}  // namespace
}  // namespace zelmar::test
