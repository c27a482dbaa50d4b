#!/usr/bin/env bash
# Sets up what is missing, builds the panel and quorvane-ctl, and starts the
# panel (on the simulated crate unless told otherwise). The working folder is
# run/bin of the checkout, so the configuration file is run/quorvane.ini: a
# clean rebuild keeps the operator's sequences and presets.
#   ./scripts/run.sh [--no-install] [panel options, e.g. --adapter caen]
# quorvane-ctl is build/run/bin/quorvane-ctl; give it that file with
# --config run/quorvane.ini.
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
# common.sh takes a leading --no-install off the arguments; the rest are the panel's.
source "$QUORVANE_ROOT/scripts/common.sh"

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}"
quorvane_build run
mkdir -p "$QUORVANE_ROOT/run/bin"
cd "$QUORVANE_ROOT/run/bin"
exec "$BUILD/bin/quorvane" "$@"
