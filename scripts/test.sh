#!/usr/bin/env bash
# Installs what the tests need, then builds and runs every test: the
# optimised build, the sanitizer build, a replay of every fuzz corpus (part
# of both), the threaded core tests under ThreadSanitizer, and a short
# fuzzing run of every fuzz target.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
export CCACHE_DIR=${CCACHE_DIR:-$HOME/.ccache}
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1
fuzz_seconds=${ZELMAR_FUZZ_SECONDS:-30}
# The targets that wrap a library (PNG, GIF, WebP, HEIF) run shorter: the
# libraries are fuzzed by their makers, our part is the thin layer around them.
wrapper_fuzz_seconds=${ZELMAR_WRAPPER_FUZZ_SECONDS:-10}
wrapper_fuzzers=" png gif webp heif "

status=0
passed=0
failed=0
# Prints each test of a ctest JUnit report that did not run for a reason
# other than a declared platform one (a skip message starting "platform: ",
# such as running as root or under a sanitizer). On a machine this script
# prepared, any other skip hides a fault: a missing tool, a broken guard.
undeclared_skips() {
  awk '
    /<testcase / {
      name = $0; sub(/.*name="/, "", name); sub(/".*/, "", name)
      notrun = ($0 ~ /status="notrun"/); reason = ""; grab = 0; next
    }
    notrun && grab { reason = $0; grab = 0 }
    notrun && /: Skipped$/ { grab = 1 }
    /<\/testcase>/ {
      if (notrun && reason !~ /^platform: /) print "  " name ": " (reason == "" ? "no reason given" : reason)
      notrun = 0
    }' "$1"
}

# Adds one ctest run's counts, read from its summary line, to the totals.
count_ctest() {
  local line total bad
  line=$(grep -a -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -1 || true)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*passed, ([0-9]+) tests? failed.*/\1/' <<<"$line")
  passed=$((passed + ${total:-0} - ${bad:-0}))
  failed=$((failed + ${bad:-1}))
}

# Every C++ file as .clang-format lays it out: an unformatted file fails.
echo "=== formatting"
unformatted=$(cd "$root" && git ls-files '*.cpp' '*.h' ':!tests/data/' |
  while read -r f; do clang-format --dry-run -Werror "$f" >/dev/null 2>&1 || echo "  $f"; done)
if [ -n "$unformatted" ]; then
  echo "=== not formatted with clang-format -i (counted as failed):"; echo "$unformatted"
  failed=$((failed + 1)); status=1
else
  passed=$((passed + 1))
fi

for kind in release asan; do
  echo "=== $kind build"
  "$root/scripts/build.sh" "$kind"
  echo "=== $kind tests"
  log="$root/build/$kind/ctest.log" junit="$root/build/$kind/ctest-junit.xml"
  ctest --test-dir "$root/build/$kind" --output-on-failure -j 2 --timeout 600 \
    --output-junit "$junit" 2>&1 | tee "$log" || status=1
  count_ctest "$log"
  skips=$(undeclared_skips "$junit")
  if [ -n "$skips" ]; then
    echo "=== $kind tests skipped without a declared platform reason (counted as failed):"
    echo "$skips"
    n=$(wc -l <<<"$skips")
    passed=$((passed - n)); failed=$((failed + n)); status=1
  fi
done

# The prefetch cache's threads: the core and its own tests only, since Qt is
# not built for ThreadSanitizer.
echo "=== tsan build and tests"
"$root/scripts/build.sh" tsan test_cache
log="$root/build/tsan/ctest.log"
TSAN_OPTIONS=halt_on_error=1 ctest --test-dir "$root/build/tsan" -L cache --output-on-failure \
  -j 2 --timeout 600 2>&1 | tee "$log" || status=1
count_ctest "$log"

echo "=== fuzzing, ${fuzz_seconds}s per target (${wrapper_fuzz_seconds}s for library wrappers)"
"$root/scripts/build.sh" fuzz
for fuzzer in "$root"/build/fuzz/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer"); name=${name#fuzz_}
  seconds=$fuzz_seconds
  [[ "$wrapper_fuzzers" == *" $name "* ]] && seconds=$wrapper_fuzz_seconds
  work=$(mktemp -d)
  cp -r "$root/fuzz/corpus/$name/." "$work/" 2>/dev/null || true
  if "$fuzzer" -max_total_time="$seconds" -max_len=65536 -rss_limit_mb=2048 \
       -artifact_prefix="$root/build/fuzz/$name-" "$work" >"$root/build/fuzz/$name.log" 2>&1; then
    echo "fuzz $name: $(grep -a -E '^#[0-9]+.*DONE' "$root/build/fuzz/$name.log" | tail -1)"
    passed=$((passed + 1))
  else
    echo "fuzz $name: FAILED"; tail -40 "$root/build/fuzz/$name.log"; status=1
    failed=$((failed + 1))
  fi
  rm -rf "$work"
done
[ "$failed" -eq 0 ] || status=1
echo "$passed passed, $failed failed"
exit $status
