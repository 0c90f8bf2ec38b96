// Loading through the prefetch cache: pictures the viewer hinted are decoded
// on the cache's thread together with their screen copies, and LoadFile of
// one of them sets the picture and facts a fresh load would, without the
// decode. The picture leaving the screen is kept as the one behind while
// its pixels are still its file's.
#include <QStyle>

#include "engine/io/file_io.h"
#include "engine/qt/file_names.h"
#include "engine/qt/image_control.h"

using zelmar::CachedPicture;
using zelmar::Picture;
using zelmar::Status;
using zelmar::qt::LayoutInput;
using zelmar::qt::ViewParams;

namespace {

zelmar::Rgb rgbOf(const QColor& c) {
  return {uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

struct ScreenCopy : zelmar::Prepared {
  ViewParams params;
  QImage image;
};

// Everything of the view a screen copy depends on besides the picture (the
// tone is applied when it is shown).
struct ViewInput {
  LayoutInput layout;
  QPoint scroll;

  ViewParams paramsFor(const Picture& p) const {
    LayoutInput in = layout;
    in.picture = QSize(int(p.width()), int(p.height()));
    const auto l = zelmar::qt::computeLayout(in);
    return {l.scale, l.visible(scroll)};
  }
  std::string key() const {
    return QString("%1x%2 %3 %4 %5x%6 %7,%8")
        .arg(layout.area.width())
        .arg(layout.area.height())
        .arg(int(layout.mode))
        .arg(layout.zoomPercent)
        .arg(layout.scrollBars.width())
        .arg(layout.scrollBars.height())
        .arg(scroll.x())
        .arg(scroll.y())
        .toStdString();
  }
};

}  // namespace

void ImageControl::PrefetchHint(const QStringList& paths) {
  if (!prefetch_ && paths.isEmpty()) return;
  if (!prefetch_) prefetch_ = std::make_unique<zelmar::PictureCache>();
  std::vector<std::string> files;
  for (const QString& p : paths)
    if (!p.isEmpty()) files.push_back(filenames::nameToBytes(p).toStdString());
  const ViewInput view{layoutInput(), scrollPosition()};
  // A copy of the view's values, never the control: this runs on the cache's thread.
  prefetch_->hint(
      files, view.key(),
      [view](const Picture& p) -> zelmar::PreparedPtr {
        auto copy = std::make_shared<ScreenCopy>();
        copy->params = view.paramsFor(p);
        copy->image = zelmar::qt::renderView(p, copy->params.scale, copy->params.visible);
        if (copy->image.isNull()) return nullptr;
        return copy;
      },
      rgbOf(backColor_));
}

void ImageControl::waitForPrefetch() {
  if (prefetch_) prefetch_->waitIdle();
}

bool ImageControl::takePrefetched(const std::string& file, CachedPicture& out) {
  return prefetch_ && prefetch_->take(file, out, rgbOf(backColor_));
}

Status ImageControl::loadUncached(const std::string& file, CachedPicture& out) {
  // Only a file that stayed the same while it was read may stand in for
  // it later; without prefetching, nothing is kept and nothing is asked.
  const bool keepable = prefetch_ && zelmar::identifyFile(file, out.file);
  // Transparent pixels show the background the control paints around the picture.
  out.background = rgbOf(backColor_);
  ZELMAR_TRY(zelmar::loadPicture(file, {{}, out.background}, out.decoded));
  zelmar::FileIdentity after;
  if (!keepable || !zelmar::identifyFile(file, after) || !(after == out.file)) out.file = {};
  return {};
}

void ImageControl::showLoaded(CachedPicture loaded) {
  if (prefetch_ && shownFile_ && shownGeneration_ == generation_) {
    CachedPicture leaving;
    leaving.file = *shownFile_;
    leaving.background = shownBackground_;
    leaving.decoded.facts = facts_;
    const ViewInput view{layoutInput(), scrollPosition()};
    auto copy = std::make_shared<ScreenCopy>();
    if (cache_.held(generation_, copy->params, copy->image) &&
        copy->params == view.paramsFor(picture())) {
      leaving.prepared = copy;
      leaving.preparedFor = view.key();
    }
    leaving.decoded.picture = session_.take();
    prefetch_->keep(std::move(leaving));
  }
  facts_ = loaded.decoded.facts;
  replacePicture(std::move(loaded.decoded.picture));
  shownFile_.reset();
  if (!loaded.file.path.empty()) shownFile_ = std::move(loaded.file);
  shownBackground_ = loaded.background;
  shownGeneration_ = generation_;
  if (const auto* copy = dynamic_cast<const ScreenCopy*>(loaded.prepared.get()))
    cache_.seed(generation_, copy->params, copy->image);
}

void ImageControl::fileReplaced(const std::string& file) {
  if (prefetch_) prefetch_->forget(file);
  if (shownFile_ && shownFile_->path == file) shownFile_.reset();
}
