#pragma once
// The imaging control as the viewer sees it. Every property and operation
// carries the name the viewer's commands use. Operations return 0 on
// success; on failure they throw EngineError when RaiseErrors is true
// (the default), else they return the nonzero error code.
#include <QColor>
#include <QString>
#include <cstdint>
#include <stdexcept>
#include <string>

class QPainter;
class QWidget;

class EngineError : public std::runtime_error {
 public:
  EngineError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
  int code() const { return code_; }

 private:
  int code_;
};

class ImageEngine {
 public:
  virtual ~ImageEngine() = default;

  // Every engine is a widget; its parent owns it.
  virtual QWidget* widget() = 0;

  // Behaviour and display properties.
  virtual bool RepaintEnabled() const = 0;
  virtual void setRepaintEnabled(bool on) = 0;
  virtual bool RaiseErrors() const = 0;
  virtual void setRaiseErrors(bool on) = 0;
  virtual int16_t TransitionEffect() const = 0;  // 0 plain, 47 cross-fade, 23 wipe in bands
  virtual void setTransitionEffect(int16_t effect) = 0;
  virtual int16_t TransitionDelay() const = 0;  // milliseconds per step
  virtual void setTransitionDelay(int16_t ms) = 0;
  virtual int16_t TransitionGrain() const = 0;  // band width in pixels
  virtual void setTransitionGrain(int16_t pixels) = 0;
  virtual bool EraseBackground() const = 0;
  virtual void setEraseBackground(bool on) = 0;
  virtual int16_t DisplaySizeMode() const = 0;  // 0 natural size, 3 fit, 4 at ZoomPercent
  virtual void setDisplaySizeMode(int16_t mode) = 0;
  virtual double ZoomPercent() const = 0;  // 100 = one picture pixel per device pixel
  virtual void setZoomPercent(double percent) = 0;
  virtual int32_t DisplayBrightness() const = 0;  // -1000..1000, display only
  virtual void setDisplayBrightness(int32_t value) = 0;
  virtual int32_t DisplayContrast() const = 0;  // -1000..1000, display only
  virtual void setDisplayContrast(int32_t value) = 0;
  virtual QColor BackColor() const = 0;
  virtual void setBackColor(const QColor& color) = 0;
  virtual int32_t AcquireOption() const = 0;  // 9 = show the scan dialog
  virtual void setAcquireOption(int32_t option) = 0;

  // The picture held and the file it came from (0 / empty with no picture).
  virtual float ImageWidth() const = 0;
  virtual float ImageHeight() const = 0;
  virtual int16_t BitsPerPixel() const = 0;  // 1, 4, 8, 24; 0 = no picture
  virtual int16_t IsGray() const = 0;
  virtual int16_t FileFormat() const = 0;
  virtual float OriginWidth() const = 0;
  virtual float OriginHeight() const = 0;
  virtual int16_t OriginBits() const = 0;
  virtual int64_t FileSize() const = 0;  // bytes on disk
  virtual int64_t MemSize() const = 0;   // bytes held for the picture
  virtual QString Compression() const = 0;
  virtual int16_t PageCount() const = 0;

  // Files.
  virtual int LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) = 0;
  virtual int SaveFile(const QString& path, int16_t format, int16_t bits, int16_t factor,
                       bool append) = 0;
  virtual void Repaint() = 0;

  // Pixel operations.
  virtual int FlipVertical() = 0;
  virtual int MirrorHorizontal() = 0;
  virtual int InvertColors() = 0;
  virtual int ApplyFilter(int16_t filter) = 0;     // 5 emboss, 16 edges
  virtual int EnhanceEdges(int16_t strength) = 0;  // 100 = sharpen by 100 %
  virtual int ToGrayscale(int16_t bits) = 0;       // 8
  virtual int MakeHalftone(int16_t kind, int16_t angle) = 0;
  virtual int ChangeColorDepth(int16_t bits, int16_t palette, int16_t dither, int16_t colors) = 0;
  virtual int ResizeImage(float width, float height, int16_t method) = 0;
  virtual int RotateImage(int32_t hundredths, bool enlarge, const QColor& fill) = 0;
  virtual int AdjustSaturation(int16_t value) = 0;  // -990..990, tenths of a percent

  // Clipboard, scanning and printing.
  virtual int CopyToClipboard(int16_t kind) = 0;
  virtual int PasteFromClipboard(int16_t kind) = 0;
  virtual int ScanPrepare(QWidget* window) = 0;
  virtual int ScanAcquire(QWidget* window) = 0;
  virtual int RenderToDevice(QPainter* device, float left, float top, float width,
                             float height) = 0;
};
