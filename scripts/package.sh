#!/usr/bin/env bash
# Builds the Debian packages in build/package/: quorvane (the panel and
# quorvane-ctl) and, where libtango is found, quorvane-tango (quorvane-ds).
#   ./scripts/package.sh [--no-install] [--check]
# --check then validates the desktop entry and the AppStream data, runs
# lintian on the package (failing on its errors, showing its warnings),
# installs the package with dpkg (root), starts the installed panel once through its
# launcher on the offscreen platform, and checks that it made its per-user
# folder and ran; and for quorvane-tango the same lintian run, that the panel's
# package depends on no Tango library, and the installed server's --version.
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

CHECK=0
[ "${1:-}" = "--check" ] && CHECK=1

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_PACKAGE[@]}" \
  "${QUORVANE_PACKAGES_TANGO[@]}"
quorvane_build package
(cd "$QUORVANE_ROOT" && cpack --preset package >/dev/null)
deb=$(ls "$BUILD"/quorvane_*.deb)
echo "package: $deb"
tango_deb=$(ls "$BUILD"/quorvane-tango_*.deb 2>/dev/null || true)
[ -z "$tango_deb" ] || echo "package: $tango_deb"
[ "$CHECK" -eq 1 ] || exit 0

desktop-file-validate "$QUORVANE_ROOT/packaging/org.quorvane.Quorvane.desktop"
appstreamcli validate --no-net "$QUORVANE_ROOT/packaging/org.quorvane.Quorvane.metainfo.xml"
dpkg-deb -I "$deb" | grep -E '^ (Depends|Recommends):'
lintian --fail-on error --display-level ">=warning" "$deb"
# The panel's package must install where no Tango is.
if dpkg-deb -f "$deb" Depends | grep -Eq 'tango|omni'; then
  echo "the quorvane package depends on Tango: $(dpkg-deb -f "$deb" Depends)" >&2
  exit 1
fi
if [ -n "$tango_deb" ]; then
  dpkg-deb -I "$tango_deb" | grep -E '^ (Depends|Suggests):'
  lintian --fail-on error --display-level ">=warning" "$tango_deb"
fi
if [ "$(id -u)" -ne 0 ]; then
  echo "package.sh --check installs the package and must run as root" >&2
  exit 1
fi
DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$deb" >/dev/null
if [ -n "$tango_deb" ]; then
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "$tango_deb" >/dev/null
  quorvane-ds --version
fi

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
