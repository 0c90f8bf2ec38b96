#pragma once
// The picture as it appears on screen: the part in view, resampled to the
// display scale (area averaging when shrinking, bilinear when enlarging)
// and passed through the tone table. Rebuilt only when one of its inputs
// changes, so a repaint is a plain copy.
#include <QImage>
#include <QRect>
#include <cstdint>

#include "engine/qt/display_adjust.h"

namespace zelmar {
class Picture;
}

namespace zelmar::qt {

// What a view depends on besides the picture.
struct ViewParams {
  double scale = 0;
  QRect visible;
  int32_t brightness = 0, contrast = 0;
  bool operator==(const ViewParams&) const = default;
};

class ViewCache {
 public:
  // The part `visible` of the picture scaled by `scale` (visible is in
  // scaled coordinates), as RGB32. `generation` changes whenever the
  // picture does.
  const QImage& get(const Picture& picture, uint64_t generation, double scale, QRect visible,
                    int32_t brightness, int32_t contrast);
  void clear() { image_ = QImage(); }
  int rebuilds() const { return rebuilds_; }
  // A view of picture `generation` made elsewhere: prepared ahead of time,
  // or kept from an earlier showing of the same picture.
  void seed(uint64_t generation, const ViewParams& params, const QImage& image);
  // The view held, when it is one of picture `generation`.
  bool held(uint64_t generation, ViewParams& params, QImage& image) const;

 private:
  struct Key {
    uint64_t generation = 0;
    ViewParams view;
    bool operator==(const Key&) const = default;
  };
  Key key_;
  QImage image_;
  int rebuilds_ = 0;
};

// The picture's pixels in `visible` at `scale`, toned, as RGB32; a null
// image when memory runs out.
QImage renderView(const Picture& picture, double scale, QRect visible, const ToneTable& tone);

}  // namespace zelmar::qt
