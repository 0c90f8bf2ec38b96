#include "engine/ops/saturation_session.h"

#include "engine/ops/ops.h"

namespace zelmar::ops {

Status SaturationSession::adjustSaturation(int value) {
  if (base_.empty()) {
    // The first change of a run: the picture itself becomes the base, so
    // starting a run costs no copy.
    if (picture_.empty()) return {ErrorCode::NoPicture};
    Picture result;
    ZELMAR_TRY(ops::adjustSaturation(picture_, value, result));
    base_ = std::move(picture_);
    picture_ = std::move(result);
    return {};
  }
  Picture result;
  ZELMAR_TRY(ops::adjustSaturation(base_, value, result));
  picture_ = std::move(result);
  return {};
}

}  // namespace zelmar::ops
