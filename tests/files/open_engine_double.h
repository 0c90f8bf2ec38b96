#pragma once
// A stand-in engine for the open dialog's tests: remembers every LoadFile
// and answers like the control (nonzero for a file that is not there,
// thrown when errors are raised). Everything else holds plain values.
#include <unistd.h>

#include <QWidget>
#include <vector>

#include "engine/qt/engine_factory.h"
#include "engine/qt/file_names.h"

namespace zelmar::test {

struct LoadCall {
  QString path;
  int16_t bits, page, pages;
};

class OpenEngineDouble : public QWidget, public ImageEngine {
 public:
  explicit OpenEngineDouble(QWidget* parent) : QWidget(parent) {}
  std::vector<LoadCall> loads;

  QWidget* widget() override { return this; }
  bool RepaintEnabled() const override { return repaint_; }
  void setRepaintEnabled(bool on) override { repaint_ = on; }
  bool RaiseErrors() const override { return raise_; }
  void setRaiseErrors(bool on) override { raise_ = on; }
  int16_t TransitionEffect() const override { return 0; }
  void setTransitionEffect(int16_t) override {}
  int16_t TransitionDelay() const override { return 0; }
  void setTransitionDelay(int16_t) override {}
  int16_t TransitionGrain() const override { return 0; }
  void setTransitionGrain(int16_t) override {}
  bool EraseBackground() const override { return false; }
  void setEraseBackground(bool) override {}
  int16_t DisplaySizeMode() const override { return 3; }
  void setDisplaySizeMode(int16_t) override {}
  double ZoomPercent() const override { return 100; }
  void setZoomPercent(double) override {}
  int32_t DisplayBrightness() const override { return 0; }
  void setDisplayBrightness(int32_t) override {}
  int32_t DisplayContrast() const override { return 0; }
  void setDisplayContrast(int32_t) override {}
  QColor BackColor() const override { return Qt::darkGray; }
  void setBackColor(const QColor&) override {}
  int32_t AcquireOption() const override { return 0; }
  void setAcquireOption(int32_t) override {}
  float ImageWidth() const override { return 0; }
  float ImageHeight() const override { return 0; }
  int16_t BitsPerPixel() const override { return 0; }
  int16_t IsGray() const override { return 0; }
  int16_t FileFormat() const override { return 0; }
  float OriginWidth() const override { return 0; }
  float OriginHeight() const override { return 0; }
  int16_t OriginBits() const override { return 0; }
  int32_t FileSize() const override { return 0; }
  int32_t MemSize() const override { return 0; }
  QString Compression() const override { return {}; }
  int16_t PageCount() const override { return 0; }

  int LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) override {
    loads.push_back({path, bits, page, pages});
    // Only a file that exists counts as loaded.
    return ::access(filenames::nameToBytes(path).constData(), R_OK) == 0 ? 0 : fail(kNotFound);
  }
  int SaveFile(const QString&, int16_t, int16_t, int16_t, bool) override { return fail(kUnused); }
  void Repaint() override {}
  int FlipVertical() override { return fail(kUnused); }
  int MirrorHorizontal() override { return fail(kUnused); }
  int InvertColors() override { return fail(kUnused); }
  int ApplyFilter(int16_t) override { return fail(kUnused); }
  int EnhanceEdges(int16_t) override { return fail(kUnused); }
  int ToGrayscale(int16_t) override { return fail(kUnused); }
  int MakeHalftone(int16_t, int16_t) override { return fail(kUnused); }
  int ChangeColorDepth(int16_t, int16_t, int16_t, int16_t) override { return fail(kUnused); }
  int ResizeImage(float, float, int16_t) override { return fail(kUnused); }
  int RotateImage(int32_t, bool, const QColor&) override { return fail(kUnused); }
  int AdjustSaturation(int16_t) override { return fail(kUnused); }
  int CopyToClipboard(int16_t) override { return fail(kUnused); }
  int PasteFromClipboard(int16_t) override { return fail(kUnused); }
  int ScanPrepare(QWidget*) override { return fail(kUnused); }
  int ScanAcquire(QWidget*) override { return fail(kUnused); }
  int RenderToDevice(QPainter*, float, float, float, float) override { return fail(kUnused); }

 private:
  static constexpr int kNotFound = 2;
  static constexpr int kUnused = 99;
  int fail(int code) {
    if (raise_) throw EngineError(code, "double: failed");
    return code;
  }
  bool repaint_ = true;
  bool raise_ = true;
};

// Makes every engine created while it lives an OpenEngineDouble and keeps
// the last one made.
class OpenEngineFactoryScope {
 public:
  OpenEngineFactoryScope() {
    setImageEngineFactory([this](QWidget* parent) {
      last = new OpenEngineDouble(parent);
      return static_cast<ImageEngine*>(last);
    });
  }
  ~OpenEngineFactoryScope() { setImageEngineFactory({}); }
  OpenEngineFactoryScope(const OpenEngineFactoryScope&) = delete;
  OpenEngineFactoryScope& operator=(const OpenEngineFactoryScope&) = delete;
  OpenEngineDouble* last = nullptr;
};

}  // namespace zelmar::test
