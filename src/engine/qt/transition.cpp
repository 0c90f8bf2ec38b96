#include "engine/qt/transition.h"

#include <QPainter>
#include <algorithm>

namespace zelmar::qt {
namespace {
constexpr int kMaxTotalMs = 500;
constexpr int kFrameMs = 16;  // no point stepping faster than a screen refreshes
constexpr int kFadeSteps = 16;
}  // namespace

TransitionPlan planTransition(Effect effect, int delayMs, int grain, int width) {
  int nominal = 0;
  if (effect == Effect::CrossFade)
    nominal = kFadeSteps;
  else if (effect == Effect::Wipe)
    nominal = (std::max(width, 1) + std::max(grain, 1) - 1) / std::max(grain, 1);
  if (nominal == 0) return {};
  const int interval = std::clamp(delayMs, kFrameMs, kMaxTotalMs);
  return {std::clamp(nominal, 1, kMaxTotalMs / interval), interval};
}

QImage blendFrame(const QImage& from, const QImage& to, Effect effect, int grain, int step,
                  int steps) {
  if (step >= steps) return to;
  QImage out = from.copy();
  QPainter p(&out);
  if (effect == Effect::CrossFade) {
    p.setOpacity(double(step) / steps);
    p.drawImage(0, 0, to);
  } else {
    // Whole bands only, so the edge moves by multiples of the grain.
    const int g = std::max(grain, 1);
    const int bands = (to.width() + g - 1) / g;
    const int shown = bands * step / steps;
    p.drawImage(QPoint(0, 0), to, QRect(0, 0, std::min(shown * g, to.width()), to.height()));
  }
  return out;
}

Transition::Transition(QObject* parent) : QObject(parent) {
  connect(&timer_, &QTimer::timeout, this, &Transition::advance);
}

bool Transition::start(const QImage& from, const QImage& to, Effect effect, int delayMs,
                       int grain) {
  finish();
  const TransitionPlan plan = planTransition(effect, delayMs, grain, to.width());
  if (plan.steps == 0 || from.size() != to.size() || from.isNull()) return false;
  from_ = from.convertToFormat(to.format());
  to_ = to;
  effect_ = effect;
  grain_ = std::max<int>(grain, 1);
  step_ = 0;
  steps_ = plan.steps;
  current_ = from_;
  timer_.start(plan.intervalMs);
  return true;
}

void Transition::finish() {
  if (!timer_.isActive()) return;
  step_ = steps_ - 1;
  advance();
}

void Transition::advance() {
  ++step_;
  current_ = blendFrame(from_, to_, effect_, grain_, step_, steps_);
  emit stepped();
  if (step_ >= steps_) {
    timer_.stop();
    from_ = QImage();
    to_ = QImage();
    emit finished();
  }
}

}  // namespace zelmar::qt
