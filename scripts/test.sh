#!/usr/bin/env bash
# Sets up what is missing, builds, and runs every test with ctest.
#   ./scripts/test.sh             normal build in build/
#   ./scripts/test.sh --sanitize  AddressSanitizer + UndefinedBehaviorSanitizer in build-asan/
#   ./scripts/test.sh --fuzz N    also builds the fuzz targets with clang and runs each N seconds
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

SANITIZE=0
FUZZ_SECONDS=0
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) SANITIZE=1 ;;
    --fuzz) FUZZ_SECONDS=$2; shift ;;
    *) echo "usage: $0 [--sanitize] [--fuzz SECONDS]" >&2; exit 2 ;;
  esac
  shift
done

quorvane_setup

if [ "$SANITIZE" -eq 1 ]; then
  BUILD="$QUORVANE_ROOT/build-asan"
  quorvane_build "$BUILD" -DQUORVANE_TESTS=ON -DQUORVANE_SANITIZE=ON
  # Leaks are suppressed only for third-party libraries (Qt, fontconfig).
  export LSAN_OPTIONS="suppressions=$QUORVANE_ROOT/scripts/lsan.supp:print_suppressions=0"
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
else
  BUILD="$QUORVANE_ROOT/build"
  # The run command shares this folder with the tests switched off: switch them on.
  quorvane_build "$BUILD" -DQUORVANE_TESTS=ON -DQUORVANE_SANITIZE=OFF
fi

(cd "$BUILD" && ctest --output-on-failure --no-tests=error --timeout 300 -j "$(nproc)")

if [ "$FUZZ_SECONDS" -gt 0 ]; then
  FUZZ_BUILD="$QUORVANE_ROOT/build-fuzz"
  CXX=clang++ quorvane_build "$FUZZ_BUILD" -DQUORVANE_FUZZ=ON -DQUORVANE_TESTS=OFF
  # libFuzzer adds what it finds to its corpus folder and writes crashes
  # where -artifact_prefix says: both live in the build folder, so the
  # checkout is never written to. Seed corpora are copied in first.
  for target in "$FUZZ_BUILD"/bin/fuzz_*; do
    name=$(basename "$target")
    case "$name" in
      fuzz_IniFile) seeds="$QUORVANE_ROOT/fuzz/corpus/ini" ;;
      *) seeds="" ;;
    esac
    corpus="$FUZZ_BUILD/corpus/$name"
    artifacts="$FUZZ_BUILD/artifacts/$name"
    mkdir -p "$corpus" "$artifacts"
    if [ -n "$seeds" ]; then cp "$seeds"/* "$corpus"/; fi
    echo "== $name for $FUZZ_SECONDS s"
    "$target" -max_total_time="$FUZZ_SECONDS" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$artifacts/" "$corpus" 2>&1 | tail -n 5
  done
fi
