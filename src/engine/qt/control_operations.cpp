// The pixel operations of the control: each runs one core operation on the
// picture held and repaints under the RepaintEnabled rule.
#include "engine/ops/ops.h"
#include "engine/qt/control_codes.h"
#include "engine/qt/image_control.h"

using zelmar::ErrorCode;
using zelmar::Picture;
using zelmar::Status;
namespace ops = zelmar::ops;
namespace codes = zelmar::qt::codes;

int ImageControl::runOperation(const std::function<Status(Picture&)>& op) {
  if (picture().empty()) return fail({ErrorCode::NoPicture});
  // The core leaves the picture as it was when an operation fails.
  const Status s = session_.apply(op);
  if (!s.ok()) return fail(s);
  pixelsChanged();
  return 0;
}

int ImageControl::FlipVertical() { return runOperation(ops::flipVertical); }
int ImageControl::MirrorHorizontal() { return runOperation(ops::mirrorHorizontal); }
int ImageControl::InvertColors() { return runOperation(ops::invertColors); }

namespace {
Status unknownCode() {
  return {ErrorCode::InvalidArgument, "an argument code the control does not offer"};
}
}  // namespace

int ImageControl::ApplyFilter(int16_t filter) {
  const auto f = codes::filter(filter);
  return runOperation([&](Picture& p) { return f ? ops::applyFilter(p, *f) : unknownCode(); });
}

int ImageControl::EnhanceEdges(int16_t strength) {
  return runOperation([&](Picture& p) { return ops::enhanceEdges(p, strength); });
}

int ImageControl::ToGrayscale(int16_t bits) {
  const bool known = codes::grayLevels(bits);
  return runOperation([&](Picture& p) { return known ? ops::toGrayscale(p) : unknownCode(); });
}

int ImageControl::MakeHalftone(int16_t kind, int16_t angle) {
  const auto k = codes::halftone(kind, angle);
  return runOperation([&](Picture& p) { return k ? ops::makeHalftone(p, *k) : unknownCode(); });
}

int ImageControl::ChangeColorDepth(int16_t bits, int16_t palette, int16_t dither, int16_t colors) {
  const auto d = codes::dither(bits, palette, dither, colors);
  return runOperation(
      [&](Picture& p) { return d ? ops::changeColorDepth(p, bits, *d) : unknownCode(); });
}

int ImageControl::ResizeImage(float width, float height, int16_t method) {
  const auto m = codes::resizeMethod(method);
  return runOperation(
      [&](Picture& p) { return m ? ops::resize(p, width, height, *m) : unknownCode(); });
}

int ImageControl::RotateImage(int32_t hundredths, bool enlarge, const QColor& fill) {
  const zelmar::Rgb corner{uint8_t(fill.red()), uint8_t(fill.green()), uint8_t(fill.blue())};
  return runOperation([&](Picture& p) { return ops::rotate(p, hundredths, enlarge, corner); });
}

int ImageControl::AdjustSaturation(int16_t value) {
  // A run of calls always starts from the picture before the first of them.
  const Status s = session_.adjustSaturation(value);
  if (!s.ok()) return fail(s);
  pixelsChanged();
  return 0;
}

int ImageControl::EndSaturationRun() {
  session_.endRun();
  return 0;
}
