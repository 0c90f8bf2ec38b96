#pragma once
// The end of every benchmark program's main: the allocator set up as the
// measured programs set it, then Google Benchmark's usual run.
#include <benchmark/benchmark.h>

#include "engine/core/memory_tuning.h"

namespace zelmar::bench {

inline int runBenchmarks(int argc, char** argv) {
  tuneMemoryForPictures();
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace zelmar::bench
