#include "process/resize.h"

#include <QLabel>
#include <QLineEdit>

#include "base/numtext.h"
#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"
#include "process/frame.h"

namespace process {

void idm_resize(ViewerContext& context, LazyWindow<PrnFrm>& dialog) {
  ImageEngine* engine = context.Engine1();
  if (!engine) return;
  using numtext::roundHalfEven;
  PrnFrm* f = dialog.get();
  // Chinese in both languages, as the dialog's own texts are.
  f->Label3->setText(QStringLiteral("原宽度(像素):"));
  f->Label4->setText(QStringLiteral("原高度(像素):"));
  f->Label1->setText(QStringLiteral("新宽度(像素):"));
  f->Label2->setText(QStringLiteral("新高度(像素):"));
  f->Text3->setEnabled(false);
  f->Text4->setEnabled(false);
  const float width = engine->ImageWidth(), height = engine->ImageHeight();
  f->Text3->setText(QString::number(roundHalfEven(width)));
  f->Text4->setText(QString::number(roundHalfEven(height)));
  f->setWindowTitle(QStringLiteral("设置图像新尺寸"));
  // In 32 bits, so a side of 65535 offers 32768 rather than overflowing.
  f->Text1->setText(QString::number(roundHalfEven(width / 2.0)));
  f->Text2->setText(QString::number(roundHalfEven(height / 2.0)));
  f->exec();
  const bool confirmed = f->Confirmed != 0;
  const float newWidth = f->SizeWidth, newHeight = f->SizeHeight;
  dialog.unload();
  if (!confirmed) return;
  runInFrame(*engine, [&](ImageEngine& e) {
    return e.ResizeImage(newWidth, newHeight, engine_codes::kResizeResample);
  });
}

}  // namespace process
