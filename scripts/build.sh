#!/usr/bin/env bash
# scripts/build.sh KIND [ninja targets...]: configure and build one of the
# project's configurations in build/KIND.
#   release  optimised, tests and benchmarks built
#   debug    unoptimised with assertions
#   asan     AddressSanitizer + UndefinedBehaviorSanitizer, tests only
#   tsan     ThreadSanitizer, the core alone (no Qt): for the threaded tests
#   fuzz     clang + libFuzzer fuzzers (engine only)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
kind=${1:?usage: build.sh release|debug|asan|tsan|fuzz [targets]}
shift
dir="$root/build/$kind"
case "$kind" in
  release) args=(-DCMAKE_BUILD_TYPE=Release -DZELMAR_BENCH=ON) ;;
  debug) args=(-DCMAKE_BUILD_TYPE=Debug) ;;
  asan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMAR_SANITIZE=ON) ;;
  tsan) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMAR_TSAN=ON -DZELMAR_GUI=OFF) ;;
  fuzz) args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DZELMAR_SANITIZE=ON -DZELMAR_FUZZ=ON
              -DZELMAR_TESTS=OFF -DZELMAR_GUI=OFF
              -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
  *) echo "unknown build kind: $kind" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${args[@]}" >/dev/null
cmake --build "$dir" -j "${ZELMAR_JOBS:-2}" ${1:+--target "$@"}
