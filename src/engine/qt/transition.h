#pragma once
// The two transitions between the frame on screen and the next one: a
// cross-fade and a left-to-right wipe in bands.
#include <QImage>
#include <QObject>
#include <QTimer>

namespace zelmar::qt {

enum class Effect { None, Wipe, CrossFade };

struct TransitionPlan {
  int steps = 0;       // frames shown, the last being the new frame
  int intervalMs = 0;  // between frames
};

// Steps and pace for an effect: `delayMs` per step (at least one display
// frame), `grain` pixels per wipe band, `width` of the frame; the whole
// transition stays within about half a second. No steps for other effects.
TransitionPlan planTransition(Effect effect, int delayMs, int grain, int width);

// The frame `step` of `steps` between `from` and `to` (same size).
QImage blendFrame(const QImage& from, const QImage& to, Effect effect, int grain, int step,
                  int steps);

class Transition : public QObject {
  Q_OBJECT
 public:
  explicit Transition(QObject* parent = nullptr);

  // Starts from `from` towards `to`; false (nothing started) when the effect
  // is plain or the frames differ in size.
  bool start(const QImage& from, const QImage& to, Effect effect, int delayMs, int grain);
  // Jumps to the end.
  void finish();
  bool running() const { return timer_.isActive(); }
  const QImage& current() const { return current_; }

 signals:
  void stepped();   // current() changed
  void finished();  // current() is the target frame

 private:
  void advance();

  QTimer timer_;
  QImage from_, to_, current_;
  Effect effect_ = Effect::None;
  int grain_ = 1, step_ = 0, steps_ = 0;
};

}  // namespace zelmar::qt
