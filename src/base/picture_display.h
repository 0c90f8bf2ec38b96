#pragma once
// Putting a picture file on screen in the main engine: automatic repaint
// held off, one of two alternating transitions when the effect item is
// checked, the busy cursor during the load, errors absorbed, then one
// repaint and `shown` (the main window's title follows it). A failed load
// repaints nothing and announces nothing.
#include <QObject>
#include <QString>
#include <cstdint>

class ViewerContext;

class PictureDisplay : public QObject {
  Q_OBJECT

 public:
  explicit PictureDisplay(ViewerContext& context) : context_(context) {}

  // By list slot; a slot outside 0..1000 fails like an unreadable file.
  // Both return the engine's load status (0 when the load did not run).
  int16_t ShowPicture(int16_t index);
  int16_t ShowPicture1(const QString& Fname);

  // The next picture shown with effects on gets the first transition.
  void resetEffectPhase() { EffectPhase = 0; }

 signals:
  void shown(const QString& path);

 private:
  int16_t display(const QString* name);

  ViewerContext& context_;
  int16_t EffectPhase = 0;  // shared by both entry points, never reset by switching effects
};
