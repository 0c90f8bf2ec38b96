// The processing commands on the shared 24-megapixel photo in a 1280 x 800
// viewer, each set against what it cannot avoid, timed in the same run:
//  - a one-step command, trigger to return, against the core's operation
//    alone on a copy of the same picture (goal: at most 20 ms more), with
//    the first paint of the new picture timed on its own;
//  - a brightness or contrast step of the colour dialog and its repaint
//    (goal: 16 ms);
//  - a saturation step against the core's operation plus one repaint of a
//    changed picture on a bare control of the same size (goal: within 10 %).
// Medians over the iterations; the worst is printed beside them.
//   scripts/build.sh release process_qt_bench
//   build/release/bench/process_qt_bench   (ZELMAR_PHOTO names another photo)
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>
#include <vector>

#include "app/picfrm.h"
#include "bench_main.h"
#include "engine/ops/ops.h"
#include "engine/qt/image_control.h"
#include "process/AdjFrm.h"
#include "shared_photo.h"

namespace {

using zelmar::Picture;
using zelmar::Status;
namespace ops = zelmar::ops;
using Clock = std::chrono::steady_clock;

template <typename F>
double ms(F&& f) {
  const auto t = Clock::now();
  f();
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}
double worst(const std::vector<double>& v) {
  return v.empty() ? 0 : *std::max_element(v.begin(), v.end());
}

Picture copyOf(const Picture& p) {
  Picture q;
  if (!p.cloneTo(q).ok()) std::abort();
  return q;
}

struct Viewer;
Viewer& viewer();

// The viewer as started with no pictures, 1280 x 800 on the screen, and the
// photo decoded once (24-bit, and its 256-colour reduction).
struct Viewer {
  QTemporaryDir config;
  std::unique_ptr<picfrm> window;
  Picture photo, photo8;
  bool ready = false;

  Viewer() {
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    photo = copyOf(zelmar::bench::sharedPhoto());
    photo8 = copyOf(photo);
    if (!ops::changeColorDepth(photo8, 8, ops::Dither::ErrorDiffusion).ok()) return;
    window = std::make_unique<picfrm>();
    window->context().prompt().setMessageHook([](QMessageBox&) { return QMessageBox::No; });
    window->resize(1280, 800);
    window->show();
    QApplication::processEvents();
    // The window must go with the application, not at exit after it.
    qAddPostRoutine([] { viewer().window.reset(); });
    ready = true;
  }
  ImageControl& control() { return *static_cast<ImageControl*>(window->Engine1); }
  // Puts a copy of `p` on screen, painted, outside any timing.
  void show(const Picture& p) {
    control().adoptPicture(copyOf(p));
    control().Repaint();
    QApplication::processEvents();
  }
};

Viewer& viewer() {
  static Viewer v;
  return v;
}

bool ready(benchmark::State& state) {
  if (viewer().ready) return true;
  state.SkipWithError("the photo could not be reduced to 256 colours");
  return false;
}

// Trigger to return of the command's menu item, against the core's
// operation on a copy of the same picture, alternately.
void oneStep(benchmark::State& state, Command command, bool fromPalette,
             std::function<Status(Picture&)> op) {
  if (!ready(state)) return;
  Viewer& v = viewer();
  const Picture& source = fromPalette ? v.photo8 : v.photo;
  std::vector<double> opMs, commandMs, overMs, repaintMs, frameMs;
  for (auto _ : state) {
    Picture p = copyOf(source);
    opMs.push_back(ms([&] {
      if (!op(p).ok()) state.SkipWithError("the operation failed");
    }));
    p.clear();
    v.show(source);
    commandMs.push_back(ms([&] { v.window->action(command)->trigger(); }));
    QApplication::processEvents();
    overMs.push_back(commandMs.back() - opMs.back());
    // Most of what lies beyond the operation: painting the new picture.
    v.control().adoptPicture(copyOf(v.control().picture()));
    repaintMs.push_back(ms([&] { v.control().Repaint(); }));
    frameMs.push_back(overMs.back() - repaintMs.back());
    state.SetIterationTime(commandMs.back() / 1000);
  }
  state.counters["op_ms"] = median(opMs);
  state.counters["command_ms"] = median(commandMs);
  state.counters["over_op_ms"] = median(overMs);
  state.counters["worst_over_op_ms"] = worst(overMs);
  state.counters["repaint_ms"] = median(repaintMs);
  state.counters["rest_ms"] = median(frameMs);  // beyond the operation and that paint
  state.counters["ratio"] = median(commandMs) / std::max(median(opMs), 1e-3);
  state.counters["goal_met"] = median(overMs) <= 20;
}

#define ONE_STEP(name, command, palette, op)                      \
  BENCHMARK_CAPTURE(oneStep, name, Command::command, palette, op) \
      ->UseManualTime()                                           \
      ->Iterations(5)                                             \
      ->Unit(benchmark::kMillisecond)

ONE_STEP(invert, idm_cinverse, false, ops::invertColors);
ONE_STEP(mirror, idm_invert, false, ops::mirrorHorizontal);
ONE_STEP(flip, idm_Flip, false, ops::flipVertical);
ONE_STEP(emboss, idm_Emboss, false,
         [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); });
ONE_STEP(edges, idm_fringer, false,
         [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); });
ONE_STEP(enhance, idm_enhanceb, false, [](Picture& p) { return ops::enhanceEdges(p, 100); });
ONE_STEP(gray, idm_toGray, false, [](Picture& p) { return ops::toGrayscale(p); });
ONE_STEP(halftone, idm_halftone, false,
         [](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); });
ONE_STEP(to256, idm_to8bit, false,
         [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion); });
ONE_STEP(to16, idm_to4Bit, false,
         [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); });
ONE_STEP(to2, idm_to1Bit, false,
         [](Picture& p) { return ops::changeColorDepth(p, 1, ops::Dither::ErrorDiffusion); });
ONE_STEP(toRGB, idm_toRGB, true,
         [](Picture& p) { return ops::changeColorDepth(p, 24, ops::Dither::Nearest); });

// One step of a colour dialog's scroll bar: the engine's value and the
// preview's repaint, as the user moves the bar by its arrows.
QScrollBar* bar(AdjFrm& d, int which) {
  return which == 1 ? d.HScroll1 : which == 2 ? d.HScroll2 : d.HScroll3;
}

void displayStep(benchmark::State& state) {
  if (!ready(state)) return;
  Viewer& v = viewer();
  v.show(v.photo);
  AdjFrm dialog(v.window->context(), v.window.get());
  QScrollBar* b = bar(dialog, int(state.range(0)));
  std::vector<double> stepMs;
  int value = 0, direction = 1;
  for (auto _ : state) {
    if (std::abs(value + direction) > 99) direction = -direction;
    value += direction;
    stepMs.push_back(ms([&] { b->setValue(value); }));
    state.SetIterationTime(stepMs.back() / 1000);
  }
  b->setValue(0);
  state.counters["step_ms"] = median(stepMs);
  state.counters["worst_step_ms"] = worst(stepMs);
  state.counters["ratio_to_16ms"] = median(stepMs) / 16;
  state.counters["goal_met"] = median(stepMs) <= 16;
}
BENCHMARK(displayStep)
    ->Name("brightness_step")
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(displayStep)
    ->Name("contrast_step")
    ->Arg(2)
    ->UseManualTime()
    ->Iterations(60)
    ->Unit(benchmark::kMillisecond);

void saturationStep(benchmark::State& state) {
  if (!ready(state)) return;
  Viewer& v = viewer();
  v.show(v.photo);
  AdjFrm dialog(v.window->context(), v.window.get());
  // The peer repaint: a bare control of the viewer's engine size.
  ImageControl bare;
  bare.resize(v.control().size());
  bare.show();
  std::vector<double> opMs, repaintMs, stepMs, ratio;
  int value = 0;
  for (auto _ : state) {
    value = value >= 90 ? -90 : value + 30;
    Picture out;
    opMs.push_back(ms([&] {
      if (!ops::adjustSaturation(v.photo, value * 10, out).ok()) state.SkipWithError("failed");
    }));
    bare.adoptPicture(std::move(out));
    repaintMs.push_back(ms([&] { bare.Repaint(); }));
    stepMs.push_back(ms([&] { dialog.HScroll3->setValue(value); }));
    ratio.push_back(stepMs.back() / (opMs.back() + repaintMs.back()));
    state.SetIterationTime(stepMs.back() / 1000);
  }
  dialog.HScroll3->setValue(0);
  state.counters["op_ms"] = median(opMs);
  state.counters["repaint_ms"] = median(repaintMs);
  state.counters["step_ms"] = median(stepMs);
  state.counters["ratio"] = median(ratio);
  state.counters["worst_ratio"] = worst(ratio);
  state.counters["goal_met"] = median(ratio) <= 1.1;
}
BENCHMARK(saturationStep)
    ->Name("saturation_step")
    ->UseManualTime()
    ->Iterations(8)
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  return zelmar::bench::runBenchmarks(argc, argv);
}
