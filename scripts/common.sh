# Shared by run.sh and test.sh: the Debian packages the build needs, and
# installing the missing ones (as root, or through sudo where it exists).

QUORVANE_PACKAGES=(build-essential cmake qt6-base-dev libgl-dev libgtest-dev libgmock-dev
                   libbenchmark-dev fonts-dejavu-core clang libclang-rt-14-dev)

quorvane_missing_packages() {
  local missing=() pkg
  for pkg in "${QUORVANE_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  echo "${missing[@]}"
}

quorvane_setup() {
  local missing
  missing=$(quorvane_missing_packages)
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
    exit 1
  fi
}

# quorvane_build BUILD_DIR [cmake options...]
quorvane_build() {
  local dir=$1
  shift
  cmake -S "$QUORVANE_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" --parallel "$(nproc)"
}

# Sets up and builds the programs (no tests) in build/; sets BUILD.
quorvane_build_programs() {
  quorvane_setup
  BUILD="$QUORVANE_ROOT/build"
  quorvane_build "$BUILD" -DQUORVANE_TESTS=OFF -DQUORVANE_SANITIZE=OFF
}
