#include "app/recording_engine.h"

#include <QFileInfo>
#include <QPointer>

#include "engine/qt/engine_factory.h"

namespace {
QPointer<RecordingEngine>& latestEngine() {
  static QPointer<RecordingEngine> engine;
  return engine;
}

QString argText(const QVariant& v) {
  if (v.typeId() == QMetaType::Bool) return v.toBool() ? "true" : "false";
  if (v.typeId() == QMetaType::QColor) return v.value<QColor>().name();
  return v.toString();
}
}  // namespace

QString RecordingEngine::Call::text() const {
  QStringList parts;
  for (const QVariant& a : args) parts << argText(a);
  return name + "(" + parts.join(',') + ")";
}

RecordingEngine::RecordingEngine(QWidget* parent) : QWidget(parent) {
  latestEngine() = this;
}

void RecordingEngine::install() {
  setImageEngineFactory([](QWidget* parent) { return new RecordingEngine(parent); });
}
void RecordingEngine::uninstall() { setImageEngineFactory({}); }
RecordingEngine* RecordingEngine::latest() { return latestEngine(); }

QStringList RecordingEngine::calls() const {
  QStringList out;
  for (const Call& c : log) out << c.text();
  return out;
}

QStringList RecordingEngine::calls(const QString& name) const {
  QStringList out;
  for (const Call& c : log)
    if (c.name == name) out << c.text();
  return out;
}

int RecordingEngine::count(const QString& name) const { return int(calls(name).size()); }

void RecordingEngine::failOperation(const QString& operation, int code) {
  failing_.insert(operation, code);
}

void RecordingEngine::setPictureSize(float width, float height, int16_t bits) {
  nextWidth_ = width;
  nextHeight_ = height;
  nextBits_ = bits;
}

int RecordingEngine::record(const QString& name, QVariantList args) {
  log.push_back({name, std::move(args)});
  return failing_.value(name, 0);
}

int RecordingEngine::fail(int code, const QString& what) {
  if (raiseErrors_) throw EngineError(code, what.toStdString());
  return code;
}

int RecordingEngine::operation(const QString& name, QVariantList args) {
  const int code = record(name, std::move(args));
  return code ? fail(code, name + " failed") : 0;
}

// Property writes: recorded, then applied unless told to fail.
#define ZELMAR_RECORDED_SETTER(Name, Type, member)           \
  void RecordingEngine::set##Name(Type v) {                   \
    if (const int code = record("set" #Name, {QVariant::fromValue(v)})) { \
      fail(code, "set" #Name " failed");                      \
      return;                                                 \
    }                                                         \
    member = v;                                               \
  }
ZELMAR_RECORDED_SETTER(RepaintEnabled, bool, repaintEnabled_)
ZELMAR_RECORDED_SETTER(RaiseErrors, bool, raiseErrors_)
ZELMAR_RECORDED_SETTER(TransitionEffect, int16_t, effect_)
ZELMAR_RECORDED_SETTER(TransitionDelay, int16_t, delay_)
ZELMAR_RECORDED_SETTER(TransitionGrain, int16_t, grain_)
ZELMAR_RECORDED_SETTER(EraseBackground, bool, erase_)
ZELMAR_RECORDED_SETTER(DisplaySizeMode, int16_t, sizeMode_)
ZELMAR_RECORDED_SETTER(ZoomPercent, double, zoom_)
ZELMAR_RECORDED_SETTER(DisplayBrightness, int32_t, brightness_)
ZELMAR_RECORDED_SETTER(DisplayContrast, int32_t, contrast_)
ZELMAR_RECORDED_SETTER(BackColor, const QColor&, back_)
ZELMAR_RECORDED_SETTER(AcquireOption, int32_t, acquire_)
#undef ZELMAR_RECORDED_SETTER

int RecordingEngine::LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) {
  if (const int code = record("LoadFile", {path, bits, page, pages})) return fail(code, "load");
  // Like the real control: a missing or unreadable file fails and keeps the picture held.
  const QFileInfo info(path);
  if (path.isEmpty() || !info.isFile() || !info.isReadable() || badPaths_.contains(path))
    return fail(1, "cannot read " + path);
  width_ = nextWidth_;
  height_ = nextHeight_;
  bits_ = nextBits_;
  fileSize_ = int32_t(info.size());
  return 0;
}

int RecordingEngine::SaveFile(const QString& path, int16_t format, int16_t bits, int16_t factor,
                              bool append) {
  return operation("SaveFile", {path, format, bits, factor, append});
}

void RecordingEngine::Repaint() {
  if (const int code = record("Repaint", {})) fail(code, "Repaint failed");
}

int RecordingEngine::FlipVertical() { return operation("FlipVertical", {}); }
int RecordingEngine::MirrorHorizontal() { return operation("MirrorHorizontal", {}); }
int RecordingEngine::InvertColors() { return operation("InvertColors", {}); }
int RecordingEngine::ApplyFilter(int16_t f) { return operation("ApplyFilter", {f}); }
int RecordingEngine::EnhanceEdges(int16_t s) { return operation("EnhanceEdges", {s}); }
int RecordingEngine::ToGrayscale(int16_t b) { return operation("ToGrayscale", {b}); }
int RecordingEngine::MakeHalftone(int16_t k, int16_t a) {
  return operation("MakeHalftone", {k, a});
}
int RecordingEngine::ChangeColorDepth(int16_t b, int16_t p, int16_t d, int16_t c) {
  return operation("ChangeColorDepth", {b, p, d, c});
}
int RecordingEngine::ResizeImage(float w, float h, int16_t m) {
  return operation("ResizeImage", {w, h, m});
}
int RecordingEngine::RotateImage(int32_t h, bool e, const QColor& f) {
  return operation("RotateImage", {h, e, f});
}
int RecordingEngine::AdjustSaturation(int16_t v) { return operation("AdjustSaturation", {v}); }
int RecordingEngine::CopyToClipboard(int16_t k) { return operation("CopyToClipboard", {k}); }
int RecordingEngine::PasteFromClipboard(int16_t k) {
  return operation("PasteFromClipboard", {k});
}
int RecordingEngine::ScanPrepare(QWidget*) { return operation("ScanPrepare", {}); }
int RecordingEngine::ScanAcquire(QWidget*) { return operation("ScanAcquire", {}); }
int RecordingEngine::RenderToDevice(QPainter*, float l, float t, float w, float h) {
  return operation("RenderToDevice", {l, t, w, h});
}
