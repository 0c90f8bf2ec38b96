// The picture to and from the system clipboard.
#include <QClipboard>
#include <QGuiApplication>

#include "engine/qt/control_codes.h"
#include "engine/qt/image_control.h"
#include "engine/qt/picture_image.h"

using zelmar::ErrorCode;

int ImageControl::CopyToClipboard(int16_t kind) {
  if (!zelmar::qt::codes::copyAsPicture(kind))
    return fail({ErrorCode::InvalidArgument, "clipboard format " + std::to_string(kind)});
  if (picture().empty()) return fail({ErrorCode::NoPicture});
  const QImage image = zelmar::qt::toRgbImage(picture());
  if (image.isNull()) return fail({ErrorCode::OutOfMemory});
  QGuiApplication::clipboard()->setImage(image);
  return 0;
}

int ImageControl::PasteFromClipboard(int16_t kind) {
  if (!zelmar::qt::codes::pasteReplacing(kind))
    return fail({ErrorCode::InvalidArgument, "clipboard format " + std::to_string(kind)});
  const QImage image = QGuiApplication::clipboard()->image();
  if (image.isNull()) return fail({ErrorCode::ClipboardEmpty});
  zelmar::Picture pasted;
  const zelmar::Status s = zelmar::qt::fromImage(image, pasted);
  if (!s.ok()) return fail(s);
  adoptPicture(std::move(pasted));
  return 0;
}
