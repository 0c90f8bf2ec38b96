// Every pixel operation on the 6000 × 4000 photo-like picture, in-process.
// Run: build/release/bench/ops_bench --benchmark_repetitions=5
//        --benchmark_report_aggregates_only=true
// The picture's copy made before each run of an operation is not timed.
// For bench/compare_ops.sh it also writes the picture, and our colour
// reductions of it, as PNM:
//   ops_bench --write-photo OUT.ppm
//   ops_bench --write-colors 256|16|2 OUT.pnm
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <opencv2/imgproc.hpp>
#include <string>

#include "bench_main.h"
#include "engine/ops/area_shrink.h"
#include "engine/ops/ops.h"
#include "support/pictures.h"

namespace {

using zelmar::Picture;
using zelmar::Status;
namespace ops = zelmar::ops;

const Picture& photo() {
  static const Picture p = zelmar::test::makePhoto(6000, 4000);
  return p;
}

const Picture& photo8() {
  static const Picture p = [] {
    Picture q;
    if (!photo().cloneTo(q).ok() || !ops::changeColorDepth(q, 8, ops::Dither::ErrorDiffusion).ok())
      std::abort();
    return q;
  }();
  return p;
}

cv::Mat matOfPhoto() {
  return cv::Mat(int(photo().height()), int(photo().width()), CV_8UC3,
                 const_cast<uint8_t*>(photo().data()));
}

void run(benchmark::State& state, const Picture& source,
         const std::function<Status(Picture&)>& op) {
  Picture p;
  for (auto _ : state) {
    state.PauseTiming();
    if (!source.cloneTo(p).ok()) std::abort();
    state.ResumeTiming();
    if (!op(p).ok()) state.SkipWithError("operation failed");
    benchmark::DoNotOptimize(p.data());
  }
}

// Operations that change the picture in place and cost the same every time
// run on one copy, with nothing paused.
void runInPlace(benchmark::State& state, Status (*op)(Picture&)) {
  Picture p;
  if (!photo().cloneTo(p).ok()) std::abort();
  for (auto _ : state) {
    if (!op(p).ok()) state.SkipWithError("operation failed");
    benchmark::ClobberMemory();
  }
}

void invert(benchmark::State& s) { runInPlace(s, ops::invertColors); }
void mirror(benchmark::State& s) { runInPlace(s, ops::mirrorHorizontal); }
void flip(benchmark::State& s) { runInPlace(s, ops::flipVertical); }
void gray(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::toGrayscale(p); });
}
void rotate3333(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::rotate(p, 3333, true, {64, 64, 64}); });
}
void rotate9000(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::rotate(p, 9000, true, {64, 64, 64}); });
}
void resizeHalf(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::resize(p, 3000, 2000, ops::ResizeMethod::Smooth); });
}
void resizeFit(benchmark::State& s) {
  // The largest size with the picture's proportions inside 1280 × 800.
  run(s, photo(), [](Picture& p) { return ops::resize(p, 1200, 800, ops::ResizeMethod::Smooth); });
}
void resizeDouble(benchmark::State& s) {
  run(s, photo(),
      [](Picture& p) { return ops::resize(p, 12000, 8000, ops::ResizeMethod::Smooth); });
}
// The area shrinker against OpenCV's area resampler, the path resize would
// take otherwise, at whole and fractional factors: 2, 5, 4.69 and 1.5.
const cv::Size kShrinks[] = {{3000, 2000}, {1200, 800}, {1280, 853}, {4000, 2667}};
void shrinkOpenCV(benchmark::State& s) {
  const cv::Mat src = matOfPhoto();
  cv::Mat out;
  for (auto _ : s) cv::resize(src, out, kShrinks[s.range(0)], 0, 0, cv::INTER_AREA);
}
void shrinkOurs(benchmark::State& s) {
  const cv::Mat src = matOfPhoto();
  cv::Mat out;
  for (auto _ : s) ops::areaShrink(src, kShrinks[s.range(0)], out);
}
void colors256(benchmark::State& s) {
  run(s, photo(),
      [](Picture& p) { return ops::changeColorDepth(p, 8, ops::Dither::ErrorDiffusion); });
}
void colors16(benchmark::State& s) {
  run(s, photo(),
      [](Picture& p) { return ops::changeColorDepth(p, 4, ops::Dither::ErrorDiffusion); });
}
void colors2(benchmark::State& s) {
  run(s, photo(),
      [](Picture& p) { return ops::changeColorDepth(p, 1, ops::Dither::ErrorDiffusion); });
}
void to24(benchmark::State& s) {
  run(s, photo8(), [](Picture& p) { return ops::changeColorDepth(p, 24, ops::Dither::Nearest); });
}
void halftone(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::makeHalftone(p, ops::Halftone::ClusteredDot); });
}
void emboss(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::applyFilter(p, ops::Filter::Emboss); });
}
void edges(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::applyFilter(p, ops::Filter::EdgeDetect); });
}
void enhance(benchmark::State& s) {
  run(s, photo(), [](Picture& p) { return ops::enhanceEdges(p, 100); });
}
void saturation(benchmark::State& s) {
  Picture out;
  for (auto _ : s) {
    if (!ops::adjustSaturation(photo(), 500, out).ok()) s.SkipWithError("operation failed");
    benchmark::DoNotOptimize(out.data());
  }
}

// Real time is the figure that counts; the CPU column sums every thread, which
// tells how much of the machine an operation takes when it is shared.
#define OP_BENCH(f) \
  BENCHMARK(f)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()
OP_BENCH(invert);
OP_BENCH(mirror);
OP_BENCH(flip);
OP_BENCH(gray);
OP_BENCH(rotate3333);
OP_BENCH(rotate9000);
OP_BENCH(resizeHalf);
OP_BENCH(resizeFit);
OP_BENCH(resizeDouble);
OP_BENCH(shrinkOpenCV)->DenseRange(0, 3);
OP_BENCH(shrinkOurs)->DenseRange(0, 3);
OP_BENCH(colors256);
OP_BENCH(colors16);
OP_BENCH(colors2);
OP_BENCH(to24);
OP_BENCH(halftone);
OP_BENCH(emboss);
OP_BENCH(edges);
OP_BENCH(enhance);
OP_BENCH(saturation);

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--write-photo") == 0)
    return zelmar::test::writePnm(photo(), argv[2]) ? 0 : 1;
  if (argc == 4 && std::strcmp(argv[1], "--write-colors") == 0) {
    const int colours = std::atoi(argv[2]);
    const int bits = colours == 256 ? 8 : colours == 16 ? 4 : colours == 2 ? 1 : 0;
    Picture p;
    if (bits == 0 || !photo().cloneTo(p).ok() ||
        !ops::changeColorDepth(p, bits, ops::Dither::ErrorDiffusion).ok())
      return 1;
    return zelmar::test::writePnm(p, argv[3]) ? 0 : 1;
  }
  return zelmar::bench::runBenchmarks(argc, argv);
}
