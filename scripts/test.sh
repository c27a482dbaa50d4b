#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test with ctest.
#   ./scripts/test.sh [--no-install]            preset test in build/test (warnings are errors)
#   ./scripts/test.sh --sanitize                preset sanitize: AddressSanitizer + UBSan
#   ./scripts/test.sh --fuzz N                  also preset fuzz: each fuzz target for N seconds
#   ./scripts/test.sh --bench                   also builds the benchmarks (bench/) in the test
#                                               build, without running them (CI: they cannot rot)
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

SANITIZE=0
FUZZ_SECONDS=0
BENCH=OFF
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) SANITIZE=1 ;;
    --fuzz) FUZZ_SECONDS=$2; shift ;;
    --bench) BENCH=ON ;;
    *) echo "usage: $0 [--no-install] [--sanitize] [--fuzz SECONDS] [--bench]" >&2; exit 2 ;;
  esac
  shift
done

# The Tango packages let every test run: the device server and its client test.
packages=("${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_TEST[@]}" "${QUORVANE_PACKAGES_TANGO[@]}")
[ "$FUZZ_SECONDS" -gt 0 ] && packages+=("${QUORVANE_PACKAGES_FUZZ[@]}")
[ "$BENCH" = ON ] && packages+=("${QUORVANE_PACKAGES_BENCH[@]}")
quorvane_setup "${packages[@]}"

if [ "$SANITIZE" -eq 1 ]; then
  preset=sanitize
  # Leaks are suppressed only for third-party libraries (Qt, fontconfig).
  export LSAN_OPTIONS="suppressions=$QUORVANE_ROOT/scripts/lsan.supp:print_suppressions=0"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  preset=test
fi
quorvane_build "$preset" -DQUORVANE_BENCH="$BENCH"
(cd "$QUORVANE_ROOT" && ctest --preset "$preset" -j "$(nproc)")

if [ "$FUZZ_SECONDS" -gt 0 ]; then
  quorvane_build fuzz
  # libFuzzer adds what it finds to its corpus folder and writes a crashing
  # input where -artifact_prefix says: both live in the build folder, so the
  # checkout is never written to. Seeds (fuzz/corpus/<target>) are copied in.
  for target in "$BUILD"/bin/fuzz_*; do
    name=$(basename "$target")
    seeds="$QUORVANE_ROOT/fuzz/corpus/${name#fuzz_}"
    corpus="$BUILD/corpus/$name"
    artifacts="$BUILD/artifacts/$name"
    log="$BUILD/$name.log"
    mkdir -p "$corpus" "$artifacts"
    if [ -d "$seeds" ]; then cp "$seeds"/* "$corpus"/; fi
    echo "== $name for $FUZZ_SECONDS s"
    if "$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" >"$log" 2>&1; then
      tail -n 5 "$log"
    else
      # The whole report: the stack, the sanitizer's words and the input.
      cat "$log"
      echo "$name failed; its input is kept in $artifacts/" >&2
      exit 1
    fi
  done
fi
