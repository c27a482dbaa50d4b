#!/usr/bin/env bash
# Runs the real adapters' tests: the SBS and CAEN adapters loading our fakes
# of the vendors' shared libraries (tests/adapters/fake_*, the vendors' C
# interface) by path through the program's own dlopen, the contract every
# provider of the adapter calls keeps (the simulated crate too), and the
# choice of the adapter at start. They are part of the normal test build; this builds and
# runs only them.
#   ./scripts/check-adapters.sh             build/test
#   ./scripts/check-adapters.sh --sanitize  build/sanitize (AddressSanitizer, UndefinedBehaviorSanitizer)
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

PRESET=test
while [ $# -gt 0 ]; do
  case "$1" in
    --sanitize) PRESET=sanitize ;;
    *) echo "usage: $0 [--no-install] [--sanitize]" >&2; exit 2 ;;
  esac
  shift
done

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_TEST[@]}"
if [ "$PRESET" = sanitize ]; then
  export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  export LSAN_OPTIONS="suppressions=$QUORVANE_ROOT/scripts/lsan.supp"
fi

cd "$QUORVANE_ROOT"
cmake --preset "$PRESET" >/dev/null
cmake --build --preset "$PRESET" --parallel "$(nproc)" --target test_adapters test_crate
ctest --preset "$PRESET" --tests-regex '^(SbsAdapterTest|CaenAdapterTest|EachProvider/AdapterContract|CrateSettingsFile|SelectAdapter)\.' \
  -j "$(nproc)"
