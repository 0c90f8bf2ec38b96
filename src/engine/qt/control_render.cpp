// Drawing the picture into a rectangle of any paint device (a printer page).
#include <QPainter>
#include <cmath>

#include "engine/qt/image_control.h"
#include "engine/qt/view_cache.h"

using zelmar::ErrorCode;

namespace {
constexpr double kMaxDeviceSide = 1 << 20;
}

int ImageControl::RenderToDevice(QPainter* painter, float left, float top, float width,
                                 float height) {
  if (!painter || !painter->isActive())
    return fail({ErrorCode::InvalidArgument, "no painter ready to draw"});
  if (picture().empty()) return fail({ErrorCode::NoPicture});
  if (!std::isfinite(left) || !std::isfinite(top) || !std::isfinite(width) ||
      !std::isfinite(height) || !(width >= 1) || !(height >= 1))
    return fail({ErrorCode::InvalidArgument, "the rectangle has no area"});
  const QRectF target(left, top, width, height);
  // The size the rectangle covers on the device, so shrinking is area
  // averaged by us and only enlarging is left to the painter.
  const QRectF onDevice = painter->deviceTransform().mapRect(target);
  // Far beyond any page; the painter's integer arithmetic would overflow.
  if (onDevice.width() > kMaxDeviceSide || onDevice.height() > kMaxDeviceSide ||
      std::abs(onDevice.left()) > kMaxDeviceSide || std::abs(onDevice.top()) > kMaxDeviceSide)
    return fail({ErrorCode::InvalidArgument, "the rectangle is far larger than any page"});
  const double scale =
      std::min(onDevice.width() / picture().width(), onDevice.height() / picture().height());
  // Shrink by the smaller of the two axes' factors here; the painter then
  // only ever enlarges, where smoothing is enough.
  const double s = std::min(1.0, scale);
  const QRect whole(0, 0, qMax(1, int(std::lround(picture().width() * s))),
                    qMax(1, int(std::lround(picture().height() * s))));
  const QImage image = zelmar::qt::applyTone(zelmar::qt::renderView(picture(), s, whole),
                                             zelmar::qt::makeToneTable(brightness_, contrast_));
  if (image.isNull()) return fail({ErrorCode::OutOfMemory});
  painter->save();
  painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter->drawImage(target, image);
  painter->restore();
  return 0;
}
