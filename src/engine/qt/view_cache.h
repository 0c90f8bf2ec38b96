#pragma once
// The picture as it appears on screen: the part in view, resampled to the
// display scale (area averaging when shrinking, bilinear when enlarging)
// and passed through the tone table. Reduced again only when the picture or
// the part in view changes, toned again only when the tone does, so a
// repaint is a plain copy.
#include <QImage>
#include <QRect>
#include <cstdint>
#include <utility>

#include "engine/qt/display_adjust.h"

namespace zelmar {
class Picture;
}

namespace zelmar::qt {

// Where a view lies besides the picture; the tone is applied after.
struct ViewParams {
  double scale = 0;
  QRect visible;
  bool operator==(const ViewParams&) const = default;
};

class ViewCache {
 public:
  // The part `visible` of the picture scaled by `scale` (visible is in
  // scaled coordinates), toned, as RGB32. `generation` changes whenever the
  // picture does.
  const QImage& get(const Picture& picture, uint64_t generation, double scale, QRect visible,
                    int32_t brightness, int32_t contrast);
  void clear() { view_ = toned_ = QImage(); }
  // Reduced copies made from the picture (toning one again is not counted).
  int rebuilds() const { return rebuilds_; }
  // An untoned view of picture `generation` made elsewhere: prepared ahead
  // of time, or kept from an earlier showing of the same picture.
  void seed(uint64_t generation, const ViewParams& params, const QImage& image);
  // The untoned view held, when it is one of picture `generation`.
  bool held(uint64_t generation, ViewParams& params, QImage& image) const;

 private:
  struct Key {
    uint64_t generation = 0;
    ViewParams view;
    bool operator==(const Key&) const = default;
  };
  Key key_;
  QImage view_, toned_;  // toned_ shares view_ when the tone changes nothing
  std::pair<int32_t, int32_t> tone_;
  int rebuilds_ = 0;
};

// The picture's pixels in `visible` at `scale`, as RGB32; a null image
// when memory runs out.
QImage renderView(const Picture& picture, double scale, QRect visible);

// The view through the tone table, each of R, G and B alike: the same
// pixels as toning before packing. A null image when memory runs out.
QImage applyTone(const QImage& view, const ToneTable& tone);

}  // namespace zelmar::qt
