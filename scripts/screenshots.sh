#!/usr/bin/env bash
# Renders the main window, each dialog, the bus log and the crate monitor to
# PNG on the offscreen platform and the simulated crate.
#   ./scripts/screenshots.sh [--no-install]      into docs/guide/images/ (the guide's pictures)
#   ./scripts/screenshots.sh --compare           into build/<preset>/screenshots/, then checks
#       that every picture but the bus log (it shows times) equals the one in docs/guide/images/
#       pixel for pixel; one that differs gets NAME-diff.png beside it. Nothing in the checkout
#       is written to.
#   --preset NAME   build in build/NAME (default run; CI uses the test build it has made)
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

COMPARE=0
PRESET=run
while [ $# -gt 0 ]; do
  case "$1" in
    --compare) COMPARE=1 ;;
    --preset) PRESET=$2; shift ;;
    *) echo "usage: $0 [--no-install] [--compare] [--preset NAME]" >&2; exit 2 ;;
  esac
  shift
done

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}"
quorvane_build_targets "$PRESET" quorvane_screenshots
images="$QUORVANE_ROOT/docs/guide/images"
# The tool takes well under a second; a box the session did not expect would
# wait for an answer for ever.
render() { QT_QPA_PLATFORM=offscreen timeout 60 "$BUILD/bin/quorvane_screenshots" "$@"; }
if [ "$COMPARE" -eq 1 ]; then
  rm -rf "$BUILD/screenshots"
  render "$BUILD/screenshots" --compare "$images"
else
  render "$images"
fi
