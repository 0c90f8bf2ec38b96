#include "engine/qt/picture_image.h"

#include <cstring>

namespace zelmar::qt {

QImage wrapPicture(const Picture& picture) {
  if (picture.empty()) return {};
  const auto w = int(picture.width()), h = int(picture.height());
  const auto stride = qsizetype(picture.stride());
  if (picture.bits() == 24) return QImage(picture.data(), w, h, stride, QImage::Format_RGB888);
  QImage image(picture.data(), w, h, stride, QImage::Format_Indexed8);
  QList<QRgb> table;
  table.reserve(qsizetype(picture.palette().size()));
  for (const Rgb& c : picture.palette()) table.append(qRgb(c.r, c.g, c.b));
  image.setColorTable(table);
  return image;
}

QImage toRgbImage(const Picture& picture) {
  // Converting to the format it already has would share the picture's pixels.
  const QImage shared = wrapPicture(picture);
  return picture.bits() == 24 ? shared.copy() : shared.convertToFormat(QImage::Format_RGB888);
}

Status fromImage(const QImage& image, Picture& out) {
  if (image.isNull()) return {ErrorCode::NoPicture, "no image"};
  const bool gray = image.allGray();
  const QImage src =
      image.convertToFormat(gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
  if (src.isNull()) return {ErrorCode::OutOfMemory};
  Picture p;
  ZELMAR_TRY(Picture::create(uint64_t(src.width()), uint64_t(src.height()), gray ? 8 : 24, p));
  if (gray) p.setPalette(grayPalette(256));
  for (uint32_t y = 0; y < p.height(); ++y)
    std::memcpy(p.row(y), src.constScanLine(int(y)), p.stride());
  out = std::move(p);
  return {};
}

}  // namespace zelmar::qt
