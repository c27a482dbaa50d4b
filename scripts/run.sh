#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the panel on the simulated crate.
# The working folder is run/bin of the checkout, so the configuration file is
# run/quorvane.ini: a clean rebuild keeps the operator's sequences and presets.
#   ./scripts/run.sh [--no-install]
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}"
quorvane_build run
mkdir -p "$QUORVANE_ROOT/run/bin"
cd "$QUORVANE_ROOT/run/bin"
exec "$BUILD/bin/quorvane"
