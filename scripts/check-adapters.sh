#!/usr/bin/env bash
# Builds each real adapter (QUORVANE_ADAPTER sbs and caen) against our fake of
# its vendor's library, each in its own build folder, and runs its tests: the
# connection compiled and linked as for a real crate, the exact vendor calls
# and the operator's messages. No vendor library is needed.
#   ./scripts/check-adapters.sh             build/adapters-sbs/, build/adapters-caen/
#   ./scripts/check-adapters.sh --sanitize  the same under AddressSanitizer and
#                                           UndefinedBehaviorSanitizer (build/adapters-*-asan/)
#   ./scripts/check-adapters.sh --program   also builds the panel itself for each adapter
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

SANITIZE=OFF
SUFFIX=""
TARGETS=()
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) SANITIZE=ON; SUFFIX="-asan" ;;
    --program) TARGETS+=(quorvane) ;;
    *) echo "usage: $0 [--no-install] [--sanitize] [--program]" >&2; exit 2 ;;
  esac
  shift
done

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_TEST[@]}"
if [ "$SANITIZE" = ON ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
fi

for adapter in sbs caen; do
  BUILD="$QUORVANE_ROOT/build/adapters-$adapter$SUFFIX"
  echo "== $adapter adapter against its fake vendor library ($BUILD)"
  cmake -S "$QUORVANE_ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DQUORVANE_ADAPTER="$adapter" -DQUORVANE_FAKE_VENDOR=ON -DQUORVANE_TESTS=ON \
    -DQUORVANE_SANITIZE="$SANITIZE" >/dev/null
  # Only what the adapter's tests need (and the panel when asked for).
  cmake --build "$BUILD" --parallel "$(nproc)" --target "test_adapter_$adapter" "${TARGETS[@]}"
  (cd "$BUILD" && ctest --output-on-failure --no-tests=error --timeout 120 -j "$(nproc)")
done
