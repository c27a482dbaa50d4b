#!/usr/bin/env bash
# Renders the main window and each dialog to PNG under docs/guide/images/
# (offscreen platform, simulated crate).
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

quorvane_build_programs
QT_QPA_PLATFORM=offscreen "$BUILD/bin/quorvane_screenshots" "$QUORVANE_ROOT/docs/guide/images"
