#!/usr/bin/env bash
# Sets up what is missing, builds the benchmarks optimised and runs them.
#   ./scripts/bench.sh [--no-install] [benchmark options, e.g. --benchmark_filter=Large]
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_BENCH[@]}"
quorvane_build bench
exec "$BUILD/bin/quorvane_bench" "$@"
