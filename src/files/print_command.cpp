#include "files/print_command.h"

#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>

#include "base/absorb.h"
#include "base/viewer_context.h"
#include "engine/qt/file_names.h"
#include "files/message.h"

namespace files {
namespace {

void tellWarning(ViewerContext& context, QWidget* owner, const char16_t* english,
                 const char16_t* chinese) {
  tell(context, owner, QMessageBox::Warning, english, chinese);
}

constexpr struct {
  const char16_t *english, *chinese;
} kCannotRender{u"The picture cannot be printed at this size and place. Nothing was printed.",
                u"无法以这个尺寸和位置打印图像，没有打印。"};

// Whether the engine can draw its picture into that rectangle, tried on a
// one-pixel page: a job once begun cannot be taken back, and a page with
// only the frame on it must not go out as if it printed.
bool canRender(ImageEngine& engine, const PrintPlace& p) {
  QImage page(1, 1, QImage::Format_RGB32);
  QPainter painter(&page);
  ErrorAbsorber absorb;
  absorb.run([&] { return engine.RenderToDevice(&painter, p.left, p.top, p.width, p.height); });
  return !absorb.failed();
}

QString documentName(ViewerContext& context) {
  const int index = context.PictureIndex();
  if (index < 0 || index >= context.PictureCount()) return QStringLiteral("Zelmar");
  return filenames::displayName(QFileInfo(context.PictureList(index)).fileName());
}

// One page, one job on the printer named `name`, chosen when the dialog opened.
void printPage(ViewerContext& context, QWidget* owner, const QString& name, float top, float left,
               float width, float height) {
  ImageEngine* engine = context.Engine1();
  if (!engine || engine->BitsPerPixel() == 0) {
    tellWarning(context, owner, u"There is no picture to print.", u"没有可打印的图像。");
    return;
  }
  QPrinter printer(QPrinter::HighResolution);
  printer.setPrinterName(name);
  printer.setDocName(documentName(context));
  const PrintPlace p =
      printPlace(top, left, width, height, printer.logicalDpiX(), printer.logicalDpiY());
  if (!canRender(*engine, p)) {
    tellWarning(context, owner, kCannotRender.english, kCannotRender.chinese);
    return;
  }
  BusyCursor busy;
  QPainter painter;
  bool rendered = false, queued = false;
  // A printer removed since the dialog opened: Qt falls back to a file
  // output without a name, which does not begin.
  if (printer.printerName() == name && painter.begin(&printer)) {
    ErrorAbsorber absorb;
    absorb.run([&] { return engine->RenderToDevice(&painter, p.left, p.top, p.width, p.height); });
    rendered = !absorb.failed();
    if (rendered)
      DrawFrame(painter, p.left - 2, p.top - 2, p.width + p.left + 2, p.height + p.top + 2);
    // Qt hands the page to the queue when the painter ends and does not
    // tell whether the queue took it: look once more just before.
    queued = !QPrinterInfo::printerInfo(name).isNull();
    queued = painter.end() && queued;
  }
  busy.restore();
  if (!queued)
    tellWarning(context, owner, u"The printer cannot be reached. Nothing was printed.",
                u"无法连接打印机，没有打印。");
  else if (!rendered)
    tellWarning(context, owner, kCannotRender.english, kCannotRender.chinese);
}

}  // namespace

PrintPlace printPlace(float top, float left, float width, float height, int dpiX, int dpiY) {
  // Millimetres, inches, then pixels, each step stored at single precision.
  float w = width * 10, h = height * 10, t = top * 10, l = left * 10;
  w = w / 25.4f;
  h = h / 25.4f;
  t = t / 25.4f;
  l = l / 25.4f;
  w = w * float(dpiX);
  h = h * float(dpiY);
  t = t * float(dpiY);
  l = l * float(dpiX);
  return {l, t, w, h};
}

void DrawFrame(QPainter& printer, float x1, float y1, float x2, float y2) {
  printer.save();
  printer.setPen(QPen(Qt::black, 1));
  printer.drawLine(QPointF(x1, y1), QPointF(x2, y1));
  printer.drawLine(QPointF(x2, y1), QPointF(x2, y2));
  printer.drawLine(QPointF(x2, y2), QPointF(x1, y2));
  printer.drawLine(QPointF(x1, y2), QPointF(x1, y1));
  printer.restore();
}

void idm_print(ViewerContext& context, LazyWindow<PrnFrm>& dialog, QWidget* owner) {
  if (context.PictureCount() == 0) return;
  const QString printer = QPrinterInfo::defaultPrinter().printerName();
  if (printer.isEmpty()) {
    tellWarning(context, owner, u"No printer is installed. Add a printer and make it the default.",
                u"没有安装打印机。请添加打印机并设为默认打印机。");
    return;
  }
  PrnFrm* frm = dialog.get();
  frm->Confirmed = 0;
  frm->setWindowTitle(QStringLiteral("输入图像打印尺寸"));
  frm->Label3->setText(QStringLiteral("上边距(厘米)"));
  frm->Label4->setText(QStringLiteral("左边距(厘米)"));
  frm->Label1->setText(QStringLiteral("宽度(厘米)"));
  frm->Label2->setText(QStringLiteral("高度(厘米)"));
  frm->exec();
  const bool confirmed = frm->Confirmed != 0;
  const float top = frm->SizeTop, left = frm->SizeLeft;
  const float width = frm->SizeWidth, height = frm->SizeHeight;
  dialog.unload();
  if (confirmed) printPage(context, owner, printer, top, left, width, height);
}

}  // namespace files
