#pragma once
// The imaging control: one core picture, painted in a widget, with the
// clipboard, printing and scanning around it.
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "engine/cache/picture_cache.h"
#include "engine/core/defaults.h"
#include "engine/core/error.h"
#include "engine/core/facts.h"
#include "engine/core/picture.h"
#include "engine/ops/saturation_session.h"
#include "engine/qt/engine_codes.h"
#include "engine/qt/image_engine.h"
#include "engine/qt/view_cache.h"
#include "engine/qt/view_layout.h"

class QScrollBar;

namespace zelmar::qt {
class Transition;
}

class ImageControl : public QWidget, public ImageEngine {
  Q_OBJECT
 public:
  explicit ImageControl(QWidget* parent = nullptr);
  ~ImageControl() override;

  QWidget* widget() override { return this; }

  bool RepaintEnabled() const override { return repaintEnabled_; }
  void setRepaintEnabled(bool on) override;
  bool RaiseErrors() const override { return raiseErrors_; }
  void setRaiseErrors(bool on) override { raiseErrors_ = on; }
  int16_t TransitionEffect() const override { return effect_; }
  void setTransitionEffect(int16_t effect) override { effect_ = effect; }
  int16_t TransitionDelay() const override { return delay_; }
  void setTransitionDelay(int16_t ms) override { delay_ = ms; }
  int16_t TransitionGrain() const override { return grain_; }
  void setTransitionGrain(int16_t pixels) override { grain_ = pixels; }
  bool EraseBackground() const override { return eraseBackground_; }
  void setEraseBackground(bool on) override { eraseBackground_ = on; }
  int16_t DisplaySizeMode() const override { return mode_; }
  void setDisplaySizeMode(int16_t mode) override;
  double ZoomPercent() const override { return zoom_; }
  void setZoomPercent(double percent) override;
  int32_t DisplayBrightness() const override { return brightness_; }
  void setDisplayBrightness(int32_t value) override;
  int32_t DisplayContrast() const override { return contrast_; }
  void setDisplayContrast(int32_t value) override;
  QColor BackColor() const override { return backColor_; }
  void setBackColor(const QColor& color) override;
  int32_t AcquireOption() const override { return acquireOption_; }
  void setAcquireOption(int32_t option) override { acquireOption_ = option; }

  float ImageWidth() const override { return float(picture().width()); }
  float ImageHeight() const override { return float(picture().height()); }
  int16_t BitsPerPixel() const override { return int16_t(picture().bits()); }
  int16_t IsGray() const override { return picture().isGray() ? 1 : 0; }
  int16_t FileFormat() const override { return int16_t(facts_.fileFormat); }
  float OriginWidth() const override { return float(facts_.originWidth); }
  float OriginHeight() const override { return float(facts_.originHeight); }
  int16_t OriginBits() const override { return int16_t(facts_.originBits); }
  int64_t FileSize() const override { return int64_t(facts_.fileSize); }
  int64_t MemSize() const override { return int64_t(picture().memSize()); }
  QString Compression() const override { return QString::fromStdString(facts_.compression); }
  int16_t PageCount() const override { return int16_t(facts_.pageCount); }

  int LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) override;
  int SaveFile(const QString& path, int16_t format, int16_t bits, int16_t factor,
               bool append) override;
  void Repaint() override;
  // Decodes the hinted files on a background thread, each with its screen
  // copy for the view as it is now, so that loading one is a hand-over.
  void PrefetchHint(const QStringList& paths) override;
  // Waits until the hinted pictures are ready (tests and benchmarks).
  void waitForPrefetch();

  int FlipVertical() override;
  int MirrorHorizontal() override;
  int InvertColors() override;
  int ApplyFilter(int16_t filter) override;
  int EnhanceEdges(int16_t strength) override;
  int ToGrayscale(int16_t bits) override;
  int MakeHalftone(int16_t kind, int16_t angle) override;
  int ChangeColorDepth(int16_t bits, int16_t palette, int16_t dither, int16_t colors) override;
  int ResizeImage(float width, float height, int16_t method) override;
  int RotateImage(int32_t hundredths, bool enlarge, const QColor& fill) override;
  int AdjustSaturation(int16_t value) override;
  int EndSaturationRun() override;

  int CopyToClipboard(int16_t kind) override;
  int PasteFromClipboard(int16_t kind) override;
  int ScanPrepare(QWidget* window) override;
  int ScanAcquire(QWidget* window) override;
  int RenderToDevice(QPainter* device, float left, float top, float width, float height) override;

  // The picture held; a new one replaces it with no file behind it.
  const zelmar::Picture& picture() const { return session_.picture(); }
  void adoptPicture(zelmar::Picture picture);

  // Frames composed so far: one per Repaint, one per batch of changes while
  // RepaintEnabled is true, none otherwise (re-exposing shows the last one).
  int paintCount() const { return paintCount_; }
  bool transitionRunning() const;
  // The frame last composed, in device pixels.
  const QImage& frame() const { return frame_; }
  // Where the view is scrolled to (device pixels of the scaled picture).
  QPoint scrollPosition() const;
  // Times the reduced copy of the picture was rebuilt.
  int viewRebuilds() const { return cache_.rebuilds(); }

 signals:
  void painted();  // a new frame was composed
  void transitionStepped();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int fail(const zelmar::Status& status);
  int runOperation(const std::function<zelmar::Status(zelmar::Picture&)>& op);
  void replacePicture(zelmar::Picture picture);
  void pixelsChanged();
  void changed();
  void present();
  zelmar::qt::LayoutInput layoutInput() const;  // without the picture
  zelmar::qt::Layout layout() const;
  void updateScrollBars(const zelmar::qt::Layout& l);
  QImage composeFrame();
  bool takePrefetched(const std::string& file, zelmar::CachedPicture& out);
  zelmar::Status loadUncached(const std::string& file, zelmar::CachedPicture& out);
  void showLoaded(zelmar::CachedPicture loaded);
  void fileReplaced(const std::string& file);

  // The picture, and the base of a run of saturation changes.
  zelmar::ops::SaturationSession session_;
  zelmar::FileFacts facts_;
  uint64_t generation_ = 0;
  // Pictures decoded ahead of need; made on the first hint.
  std::unique_ptr<zelmar::PictureCache> prefetch_;
  // The file the picture came from, while the pixels are still the file's.
  std::optional<zelmar::FileIdentity> shownFile_;
  zelmar::Rgb shownBackground_;
  uint64_t shownGeneration_ = 0;

  bool repaintEnabled_ = true, raiseErrors_ = true, eraseBackground_ = true;
  int16_t effect_ = 0, delay_ = 0, grain_ = 1, mode_ = engine_codes::kSizeFit;
  double zoom_ = 100;
  int32_t brightness_ = 0, contrast_ = 0, acquireOption_ = 0;
  QColor backColor_{zelmar::kDefaultBackColor.r, zelmar::kDefaultBackColor.g,
                    zelmar::kDefaultBackColor.b};

  zelmar::qt::ViewCache cache_;
  QImage frame_;
  bool pending_ = false;
  bool stale_ = false;  // changed while RepaintEnabled was false, not yet painted
  int paintCount_ = 0;
  zelmar::qt::Transition* transition_;
  QScrollBar* hBar_;
  QScrollBar* vBar_;
  std::optional<QPoint> dragFrom_;
  QPoint dragScroll_;
};
