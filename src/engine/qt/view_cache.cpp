#include "engine/qt/view_cache.h"

#include <algorithm>
#include <cmath>
#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include "engine/core/picture.h"
#include "engine/ops/area_shrink.h"

// RGB32 pixels are B, G, R, A in memory only on a little-endian machine.
#if Q_BYTE_ORDER != Q_LITTLE_ENDIAN
#error "the view is packed for little-endian RGB32"
#endif

namespace zelmar::qt {
namespace {

// The palette indices of a rectangle of a 1-, 4- or 8-bit picture, shared.
cv::Mat indexRegion(const Picture& p, const cv::Rect& r) {
  return cv::Mat(int(p.height()), int(p.width()), CV_8UC1, const_cast<uint8_t*>(p.data()),
                 p.stride())(r);
}

// The source rectangle as a 3-channel RGB matrix: shared for 24-bit
// pictures, coloured through the palette for the others.
cv::Mat rgbRegion(const Picture& p, const cv::Rect& r) {
  if (p.bits() == 24) {
    cv::Mat whole(int(p.height()), int(p.width()), CV_8UC3, const_cast<uint8_t*>(p.data()),
                  p.stride());
    return whole(r);
  }
  return ops::paletteColours(indexRegion(p, r), p.palette());
}

// Packs the scaled view into RGB32 (B, G, R, 0xff in memory on this
// little-endian target) with OpenCV's vectorised conversion.
QImage toRgb32(const cv::Mat& rgb) {
  QImage out(rgb.cols, rgb.rows, QImage::Format_RGB32);
  if (out.isNull()) return out;
  cv::Mat packed(rgb.rows, rgb.cols, CV_8UC4, out.bits(), size_t(out.bytesPerLine()));
  cv::cvtColor(rgb, packed, cv::COLOR_RGB2BGRA);
  return out;
}

}  // namespace

QImage renderView(const Picture& picture, double scale, QRect visible) {
  if (picture.empty() || visible.isEmpty() || !(scale > 0)) return {};
  const int pw = int(picture.width()), ph = int(picture.height());
  try {
    cv::Mat scaled;
    if (scale < 1) {
      // The source pixels under the visible part, widened to whole pixels.
      const int x0 = std::clamp(int(std::floor(visible.left() / scale)), 0, pw - 1);
      const int y0 = std::clamp(int(std::floor(visible.top() / scale)), 0, ph - 1);
      const int x1 = std::clamp(int(std::ceil((visible.right() + 1) / scale)), x0 + 1, pw);
      const int y1 = std::clamp(int(std::ceil((visible.bottom() + 1) / scale)), y0 + 1, ph);
      const cv::Rect region(x0, y0, x1 - x0, y1 - y0);
      const cv::Size size(std::min(visible.width(), region.width),
                          std::min(visible.height(), region.height));
      // Palette pictures are shrunk as indices: colouring all of a large
      // one first would cost more than the shrink.
      if (picture.bits() == 24)
        ops::areaShrink(rgbRegion(picture, region), size, scaled);
      else
        ops::areaShrinkIndexed(indexRegion(picture, region), picture.palette(), size, scaled);
    } else {
      // Map each target pixel centre back exactly, so enlarged pixels stay
      // put however far the view is panned.
      const int x0 = std::clamp(int(std::floor(visible.left() / scale)) - 1, 0, pw - 1);
      const int y0 = std::clamp(int(std::floor(visible.top() / scale)) - 1, 0, ph - 1);
      const int x1 = std::clamp(int(std::ceil((visible.right() + 1) / scale)) + 1, x0 + 1, pw);
      const int y1 = std::clamp(int(std::ceil((visible.bottom() + 1) / scale)) + 1, y0 + 1, ph);
      const cv::Mat src = rgbRegion(picture, cv::Rect(x0, y0, x1 - x0, y1 - y0));
      const double inv = 1.0 / scale;
      const cv::Matx23d toSource(inv, 0, (visible.left() + 0.5) * inv - 0.5 - x0, 0, inv,
                                 (visible.top() + 0.5) * inv - 0.5 - y0);
      const int interp = scale == 1 ? cv::INTER_NEAREST : cv::INTER_LINEAR;
      cv::warpAffine(src, scaled, toSource, cv::Size(visible.width(), visible.height()),
                     interp | cv::WARP_INVERSE_MAP, cv::BORDER_REPLICATE);
    }
    return toRgb32(scaled);
  } catch (const cv::Exception&) {
    return {};
  } catch (const std::bad_alloc&) {
    return {};
  }
}

QImage applyTone(const QImage& view, const ToneTable& tone) {
  bool identity = true;
  for (int i = 0; i < 256 && identity; ++i) identity = tone[size_t(i)] == i;
  if (identity || view.isNull()) return view;
  QImage out(view.size(), QImage::Format_RGB32);
  if (out.isNull()) return out;
  // One table for B, G and R; the padding byte stays 0xff.
  cv::Mat table(1, 256, CV_8UC4);
  for (int i = 0; i < 256; ++i) {
    const uint8_t t = tone[size_t(i)];
    table.at<cv::Vec4b>(0, i) = {t, t, t, uint8_t(i)};
  }
  const auto mat = [](const QImage& image) {
    return cv::Mat(image.height(), image.width(), CV_8UC4, const_cast<uchar*>(image.constBits()),
                   size_t(image.bytesPerLine()));
  };
  cv::Mat toned = mat(out);
  try {
    cv::LUT(mat(view), table, toned);
  } catch (const cv::Exception&) {
    return {};
  }
  return out;
}

const QImage& ViewCache::get(const Picture& picture, uint64_t generation, double scale,
                             QRect visible, int32_t brightness, int32_t contrast) {
  const Key key{generation, {scale, visible}};
  if (view_.isNull() || !(key == key_)) {
    view_ = renderView(picture, scale, visible);
    key_ = key;
    toned_ = QImage();
    ++rebuilds_;
  }
  // A slider step of brightness or contrast only tones the reduced copy again.
  const std::pair tone{brightness, contrast};
  if (toned_.isNull() || tone != tone_) {
    toned_ = applyTone(view_, makeToneTable(brightness, contrast));
    tone_ = tone;
  }
  return toned_;
}

void ViewCache::seed(uint64_t generation, const ViewParams& params, const QImage& image) {
  if (image.isNull()) return;
  key_ = {generation, params};
  view_ = image;
  toned_ = QImage();
}

bool ViewCache::held(uint64_t generation, ViewParams& params, QImage& image) const {
  if (view_.isNull() || key_.generation != generation) return false;
  params = key_.view;
  image = view_;
  return true;
}

}  // namespace zelmar::qt
