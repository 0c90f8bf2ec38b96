#pragma once
// The real control, logging the calls whose order is the behaviour; `failing`
// names a call that throws, as the control does with RaiseErrors on.
#include <QtCore>
#include <functional>

#include "engine/qt/image_control.h"

// clang-format off
#define ZELMAR_SPY(name, T) \
  void name(T v) override { note(#name, {v}, [&] { ImageControl::name(v); }); }
// clang-format on

class SpyEngine : public ImageControl {
 public:
  using ImageControl::ImageControl;
  static ImageEngine* make(QWidget* parent) { return new SpyEngine(parent); }

  QStringList log;  // "LoadFile(/a.bmp,0,0,1)", "Repaint()" ...
  QString failing;
  std::function<void(const QString&)> onCall;  // told of every call as it is logged
  int count(const QString& name) const { return int(log.filter(name + '(').size()); }

  ZELMAR_SPY(setRepaintEnabled, bool);
  ZELMAR_SPY(setTransitionEffect, int16_t);
  ZELMAR_SPY(setTransitionDelay, int16_t);
  ZELMAR_SPY(setTransitionGrain, int16_t);
  ZELMAR_SPY(setDisplaySizeMode, int16_t);
  ZELMAR_SPY(setZoomPercent, double);
  void Repaint() override {
    note("Repaint", {}, [&] { ImageControl::Repaint(); });
  }
  void PrefetchHint(const QStringList& paths) override {
    note("PrefetchHint", {paths.join('|')}, [&] { ImageControl::PrefetchHint(paths); });
  }
  int LoadFile(const QString& path, int16_t bits, int16_t page, int16_t pages) override {
    int status = 0;
    note("LoadFile", {path, bits, page, pages},
         [&] { status = ImageControl::LoadFile(path, bits, page, pages); });
    return status;
  }

 private:
  template <typename F>
  void note(const char* name, const QVariantList& args, F&& forward) {
    QStringList parts;
    for (const QVariant& a : args) parts << a.toString();
    log << QStringLiteral("%1(%2)").arg(QLatin1String(name), parts.join(','));
    if (onCall) onCall(log.last());
    if (failing == QLatin1String(name)) throw EngineError(1, "failing on purpose");
    forward();
  }
};
#undef ZELMAR_SPY
