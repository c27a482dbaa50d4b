#!/usr/bin/env bash
# Builds the Debian package of the panel in build/package/.
#   ./scripts/package.sh [--no-install] [--check]
# --check then validates the desktop entry and the AppStream data, runs
# lintian on the package (failing on its errors, showing its warnings),
# installs the package with dpkg (root), starts the installed panel once through its
# launcher on the offscreen platform, and checks that it made its per-user
# folder and ran.
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

CHECK=0
[ "${1:-}" = "--check" ] && CHECK=1

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_PACKAGE[@]}"
quorvane_build package
(cd "$QUORVANE_ROOT" && cpack --preset package >/dev/null)
deb=$(ls "$BUILD"/quorvane_*.deb)
echo "package: $deb"
[ "$CHECK" -eq 1 ] || exit 0

desktop-file-validate "$QUORVANE_ROOT/packaging/org.quorvane.Quorvane.desktop"
appstreamcli validate --no-net "$QUORVANE_ROOT/packaging/org.quorvane.Quorvane.metainfo.xml"
dpkg-deb -I "$deb" | grep -E '^ (Depends|Recommends):'
lintian --fail-on error --display-level ">=warning" "$deb"
if [ "$(id -u)" -ne 0 ]; then
  echo "package.sh --check installs the package and must run as root" >&2
  exit 1
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null

home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# The panel runs until its window is closed: still running after a few
# seconds (timeout's 124) means it started; anything else is a failure.
status=0
HOME="$home" XDG_DATA_HOME="" QT_QPA_PLATFORM=offscreen timeout 5 quorvane >"$home/out" 2>&1 ||
  status=$?
if [ "$status" -ne 124 ]; then
  echo "the installed panel ended with status $status:" >&2
  cat "$home/out" >&2
  exit 1
fi
[ -d "$home/.local/share/quorvane/bin" ] || {
  echo "the launcher did not make ~/.local/share/quorvane/bin" >&2
  exit 1
}
echo "package: installed, started through its launcher, per-user folder made"
