#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the panel on the simulated crate.
# The working directory is the build's bin/ folder, so the configuration file
# is the build folder's quorvane.ini.
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

quorvane_build_programs
cd "$BUILD/bin"
exec ./quorvane
