#pragma once
// A stand-in for the imaging control that records every property write and
// every operation, in order, and holds just enough state to be believable:
// a "picture" of a size it is told, taken from any existing file.
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QWidget>
#include <vector>

#include "engine/qt/image_engine.h"

class RecordingEngine : public QWidget, public ImageEngine {
 public:
  struct Call {
    QString name;  // "setTransitionEffect", "LoadFile", "Repaint" ...
    QVariantList args;
    QString text() const;  // "LoadFile(/a/b.jpg,0,0,1)"
  };

  explicit RecordingEngine(QWidget* parent = nullptr);

  // Makes createImageEngine() build RecordingEngines (restored by uninstall).
  static void install();
  static void uninstall();
  // The most recently created one (null when none).
  static RecordingEngine* latest();

  std::vector<Call> log;
  QStringList calls() const;                     // readable, in order
  QStringList calls(const QString& name) const;  // only those named
  int count(const QString& name) const;
  void clearLog() { log.clear(); }

  // Every call of `operation` fails with `code`; LoadFile of `path` fails.
  void failOperation(const QString& operation, int code = 321);
  void failPath(const QString& path) { badPaths_.insert(path); }
  // Size and depth of the pictures later loads give.
  void setPictureSize(float width, float height, int16_t bits = 24);

  QWidget* widget() override { return this; }

  bool RepaintEnabled() const override { return repaintEnabled_; }
  void setRepaintEnabled(bool on) override;
  bool RaiseErrors() const override { return raiseErrors_; }
  void setRaiseErrors(bool on) override;
  int16_t TransitionEffect() const override { return effect_; }
  void setTransitionEffect(int16_t v) override;
  int16_t TransitionDelay() const override { return delay_; }
  void setTransitionDelay(int16_t v) override;
  int16_t TransitionGrain() const override { return grain_; }
  void setTransitionGrain(int16_t v) override;
  bool EraseBackground() const override { return erase_; }
  void setEraseBackground(bool on) override;
  int16_t DisplaySizeMode() const override { return sizeMode_; }
  void setDisplaySizeMode(int16_t v) override;
  double ZoomPercent() const override { return zoom_; }
  void setZoomPercent(double v) override;
  int32_t DisplayBrightness() const override { return brightness_; }
  void setDisplayBrightness(int32_t v) override;
  int32_t DisplayContrast() const override { return contrast_; }
  void setDisplayContrast(int32_t v) override;
  QColor BackColor() const override { return back_; }
  void setBackColor(const QColor& c) override;
  int32_t AcquireOption() const override { return acquire_; }
  void setAcquireOption(int32_t v) override;

  float ImageWidth() const override { return width_; }
  float ImageHeight() const override { return height_; }
  int16_t BitsPerPixel() const override { return bits_; }
  int16_t IsGray() const override { return 0; }
  int16_t FileFormat() const override { return bits_ ? 10 : 0; }
  float OriginWidth() const override { return width_; }
  float OriginHeight() const override { return height_; }
  int16_t OriginBits() const override { return bits_; }
  int64_t FileSize() const override { return fileSize_; }
  int64_t MemSize() const override { return int64_t(width_ * height_ * float(bits_) / 8); }
  QString Compression() const override { return bits_ ? "JPEG" : QString(); }
  int16_t PageCount() const override { return bits_ ? 1 : 0; }

  int LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) override;
  int SaveFile(const QString& path, int16_t format, int16_t bits, int16_t factor,
               bool append) override;
  void Repaint() override;

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
  int CopyToClipboard(int16_t kind) override;
  int PasteFromClipboard(int16_t kind) override;
  int ScanPrepare(QWidget* window) override;
  int ScanAcquire(QWidget* window) override;
  int RenderToDevice(QPainter* device, float left, float top, float width, float height) override;

 private:
  // Records the call; returns its failure code (0 = go ahead).
  int record(const QString& name, QVariantList args);
  // Reports `code` as the real control does.
  int fail(int code, const QString& what);
  // Records a plain operation and fails it when told to.
  int operation(const QString& name, QVariantList args);

  QHash<QString, int> failing_;
  QSet<QString> badPaths_;
  bool repaintEnabled_ = true, raiseErrors_ = true, erase_ = true;
  int16_t effect_ = 0, delay_ = 0, grain_ = 0, sizeMode_ = 3, bits_ = 0;
  double zoom_ = 100;
  int32_t brightness_ = 0, contrast_ = 0, acquire_ = 0, fileSize_ = 0;
  QColor back_{64, 64, 64};
  float width_ = 0, height_ = 0;
  float nextWidth_ = 640, nextHeight_ = 480;
  int16_t nextBits_ = 24;
};
