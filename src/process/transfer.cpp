#include "process/transfer.h"

#include <QMessageBox>

#include "base/absorb.h"
#include "base/viewer_context.h"
#include "engine/qt/engine_codes.h"

namespace process {
namespace {

namespace codes = engine_codes;

// The scanner's messages, Chinese only for a positive UseChinese.
void tellScannerNotReady(ViewerContext& context, QWidget* window, const char* english) {
  const QString text = context.UseChinese() > 0 ? QStringLiteral("TWAIN 设备没有准备好！")
                                                : QString::fromLatin1(english);
  QMessageBox box(QMessageBox::Information, QStringLiteral("提示用户"), text, QMessageBox::Ok,
                  window);
  box.setObjectName(QStringLiteral("scannerMessage"));
  context.prompt().exec(box);
}

}  // namespace

void idm_copy(ViewerContext& context) {
  BusyCursor busy;
  ErrorAbsorber().run([&] { return context.Engine1()->CopyToClipboard(codes::kClipboardPicture); });
}

void idm_paste(ViewerContext& context) {
  ImageEngine& e = *context.Engine1();
  BusyCursor busy;
  ErrorAbsorber absorb;
  absorb.run([&] { return e.PasteFromClipboard(codes::kPasteReplace); });
  // Nothing pasted, nothing to paint.
  if (!absorb.failed()) absorb.run([&] { e.Repaint(); });
}

void idm_acquire(ViewerContext& context, QWidget* window) {
  ImageEngine& e = *context.Engine1();
  ErrorAbsorber absorb;
  absorb.run([&] { return e.ScanPrepare(window); });
  if (absorb.failed()) return tellScannerNotReady(context, window, "TWAIN device is not ready.");
  const bool raise = e.RaiseErrors();
  e.setRaiseErrors(false);
  e.setAcquireOption(codes::kAcquireWithDialog);
  // The whole result counts: a 16-bit view of it could read a failure as 0.
  const int result = absorb.run([&] { return e.ScanAcquire(window); });
  if (result != 0 || absorb.failed()) {
    tellScannerNotReady(context, window, "TWAIN is not ready");
    absorb.run([&] { e.setRaiseErrors(raise); });
    return;
  }
  absorb.run([&] { e.setRaiseErrors(raise); });
  absorb.run([&] { e.Repaint(); });
}

}  // namespace process
