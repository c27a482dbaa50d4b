# Shared by the scripts: the Debian packages each step needs, installing the
# missing ones (as root, or through sudo where it exists), and building a
# CMake preset in its own folder build/<preset>.
#
# --no-install as a script's first argument, or QUORVANE_NO_INSTALL=1, skips
# the install step (other distributions, machines without sudo): the script
# then only names the packages it would have wanted.

QUORVANE_PACKAGES_RUN=(build-essential cmake qt6-base-dev libgl-dev fonts-dejavu-core)
QUORVANE_PACKAGES_TEST=(libgtest-dev libgmock-dev)
QUORVANE_PACKAGES_FUZZ=(clang libclang-rt-14-dev)
QUORVANE_PACKAGES_BENCH=(libbenchmark-dev)
QUORVANE_PACKAGES_LINT=(clang-format clang-tidy)
QUORVANE_PACKAGES_PACKAGE=(dpkg-dev desktop-file-utils appstream lintian)
# quorvane-ds (built where libtango is found) and its client test (PyTango).
QUORVANE_PACKAGES_TANGO=(libtango-dev python3-tango)

if [ "${1:-}" = "--no-install" ]; then
  QUORVANE_NO_INSTALL=1
  shift
fi

quorvane_missing_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  echo "${missing[@]}"
}

# quorvane_setup PACKAGE...: installs those of the packages that are missing.
quorvane_setup() {
  if [ "${QUORVANE_NO_INSTALL:-0}" = 1 ]; then
    command -v dpkg-query >/dev/null 2>&1 || return 0
    local wanted
    wanted=$(quorvane_missing_packages "$@")
    [ -z "$wanted" ] || echo "Not installing (as asked); this step wants: $wanted" >&2
    return 0
  fi
  local missing
  missing=$(quorvane_missing_packages "$@")
  [ -z "$missing" ] && return 0
  local line="apt-get update && apt-get install -y $missing"
  echo "Installing missing packages: $missing"
  if [ "$(id -u)" -eq 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing
  elif command -v sudo >/dev/null 2>&1; then
    sudo sh -c "apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing"
  else
    echo "Cannot install packages (not root, no sudo). Run as root:" >&2
    echo "  $line" >&2
    echo "or pass --no-install to use what this machine has." >&2
    exit 1
  fi
}

# quorvane_configure PRESET [cmake options...]: configures the preset in
# build/PRESET; sets BUILD to that folder.
quorvane_configure() {
  local preset=$1
  shift
  BUILD="$QUORVANE_ROOT/build/$preset"
  (cd "$QUORVANE_ROOT" && cmake --preset "$preset" "$@" >/dev/null)
}

# quorvane_build PRESET [cmake options...]: configures and builds the preset
# in build/PRESET; sets BUILD to that folder.
quorvane_build() {
  quorvane_configure "$@"
  (cd "$QUORVANE_ROOT" && cmake --build --preset "$1" --parallel "$(nproc)")
}

# quorvane_build_targets PRESET TARGET...: configures the preset and builds
# only the named targets in build/PRESET; sets BUILD to that folder.
quorvane_build_targets() {
  quorvane_configure "$1"
  shift
  cmake --build "$BUILD" --parallel "$(nproc)" --target "$@"
}
