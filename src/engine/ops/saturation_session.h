#pragma once
// A picture plus the base of a run of saturation changes. Each saturation
// value applies to the picture as it was before the first change of the run,
// so a later value replaces an earlier one and 0 gives that picture back
// exactly. Any other operation, and any new picture, ends the run.
//
//   SaturationSession s;
//   s.reset(std::move(loaded));
//   s.adjustSaturation(300);            // +30 % of the loaded picture
//   s.adjustSaturation(-200);           // -20 % of the loaded picture, not of the above
//   s.apply([](Picture& p) { return ops::flipVertical(p); });  // ends the run
#include <utility>

#include "engine/core/error.h"
#include "engine/core/picture.h"

namespace zelmar::ops {

class SaturationSession {
 public:
  const Picture& picture() const { return picture_; }
  // True while a run of saturation changes keeps its base.
  bool hasBase() const { return !base_.empty(); }

  // A new picture (a load, a paste, a scan): the run ends. An empty picture
  // clears the session.
  void reset(Picture p) {
    base_.clear();
    picture_ = std::move(p);
  }
  // Hands the picture out (the session is left empty).
  Picture take() {
    base_.clear();
    return std::move(picture_);
  }

  // Errors: NoPicture, InvalidArgument (value outside -990..990), OutOfMemory;
  // the picture and the run are unchanged then.
  Status adjustSaturation(int value);

  // Ends a run: the present picture becomes the base of the next one.
  void endRun() { base_.clear(); }

  // Runs any other operation on the picture; the run ends whatever its result.
  template <class Op>
  Status apply(Op&& op) {
    base_.clear();
    return std::forward<Op>(op)(picture_);
  }

 private:
  Picture picture_;
  Picture base_;
};

}  // namespace zelmar::ops
