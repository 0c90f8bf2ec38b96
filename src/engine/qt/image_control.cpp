#include "engine/qt/image_control.h"

#include <QFile>
#include <QScrollBar>

#include "engine/io/file_io.h"
#include "engine/qt/control_codes.h"
#include "engine/qt/engine_factory.h"
#include "engine/qt/file_names.h"
#include "engine/qt/transition.h"

using zelmar::ErrorCode;
using zelmar::Picture;
using zelmar::Status;

ImageEngine* createDefaultImageEngine(QWidget* parent) { return new ImageControl(parent); }

ImageControl::ImageControl(QWidget* parent)
    : QWidget(parent),
      transition_(new zelmar::qt::Transition(this)),
      hBar_(new QScrollBar(Qt::Horizontal, this)),
      vBar_(new QScrollBar(Qt::Vertical, this)) {
  setObjectName("ImageControl");
  // Every pixel is painted from the composed frame; Qt need not clear first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  hBar_->setObjectName("hScroll");
  vBar_->setObjectName("vScroll");
  hBar_->hide();
  vBar_->hide();
  connect(hBar_, &QScrollBar::valueChanged, this, &ImageControl::changed);
  connect(vBar_, &QScrollBar::valueChanged, this, &ImageControl::changed);
  connect(transition_, &zelmar::qt::Transition::stepped, this, [this] {
    update();
    emit transitionStepped();
  });
}

ImageControl::~ImageControl() = default;

int ImageControl::fail(const Status& status) {
  const int code = int(status.code());
  if (raiseErrors_) throw EngineError(code, status.message());
  return code;
}

void ImageControl::replacePicture(Picture picture) {
  session_.reset(std::move(picture));
  pixelsChanged();
}

void ImageControl::pixelsChanged() {
  ++generation_;
  cache_.clear();
  changed();
}

void ImageControl::adoptPicture(Picture picture) {
  facts_ = zelmar::FileFacts{};
  facts_.fileFormat = 0;
  facts_.originBits = picture.bits();
  facts_.originWidth = picture.width();
  facts_.originHeight = picture.height();
  facts_.compression = "None";
  replacePicture(std::move(picture));
}

void ImageControl::changed() {
  if (!repaintEnabled_) {
    stale_ = true;
    return;
  }
  pending_ = true;
  update();
}

void ImageControl::setRepaintEnabled(bool on) {
  repaintEnabled_ = on;
  // What changed meanwhile and no Repaint showed is painted now.
  if (on && stale_) changed();
}

void ImageControl::setDisplaySizeMode(int16_t mode) {
  mode_ = mode;
  changed();
}

void ImageControl::setZoomPercent(double percent) {
  zoom_ = percent;
  if (zelmar::qt::codes::displayMode(mode_) == zelmar::qt::DisplayMode::Zoom) changed();
}

void ImageControl::setDisplayBrightness(int32_t value) {
  brightness_ = value;
  changed();
}

void ImageControl::setDisplayContrast(int32_t value) {
  contrast_ = value;
  changed();
}

void ImageControl::setBackColor(const QColor& color) {
  backColor_ = color;
  changed();
}

int ImageControl::LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) {
  if (bits != 0 || page != 0 || pages != 1)
    return fail({ErrorCode::InvalidArgument, "only the first page at the file's own depth"});
  if (path.isEmpty()) return fail({ErrorCode::FileNotFound, "no file name"});
  const std::string file = filenames::nameToBytes(path).toStdString();
  zelmar::CachedPicture loaded;
  if (!takePrefetched(file, loaded)) {
    const Status s = loadUncached(file, loaded);
    if (!s.ok()) return fail(s);
  }
  showLoaded(std::move(loaded));
  return 0;
}

int ImageControl::SaveFile(const QString& path, int16_t format, int16_t bits, int16_t factor,
                           bool append) {
  if (picture().empty()) return fail({ErrorCode::NoPicture});
  if (path.isEmpty()) return fail({ErrorCode::WriteFailed, "no file name"});
  const std::string file = filenames::nameToBytes(path).toStdString();
  fileReplaced(file);
  const Status s = zelmar::savePicture(picture(), file, format, bits, factor, append);
  return s.ok() ? 0 : fail(s);
}
