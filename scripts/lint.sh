#!/usr/bin/env bash
# Formatting (clang-format, the root .clang-format) and clang-tidy (the root
# .clang-tidy) over the sources. Fails on the first finding of either.
#   ./scripts/lint.sh [--no-install] [--format | --tidy]
# --format checks the formatting only (quick: CI runs it first), --tidy runs
# clang-tidy only; without either, both.
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

FORMAT=1
TIDY=1
case "${1:-}" in
  --format) TIDY=0 ;;
  --tidy) FORMAT=0 ;;
  "") ;;
  *) echo "usage: $0 [--no-install] [--format | --tidy]" >&2; exit 2 ;;
esac

packages=("${QUORVANE_PACKAGES_LINT[@]}")
[ "$TIDY" -eq 1 ] && packages+=("${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_TEST[@]}"
  "${QUORVANE_PACKAGES_TANGO[@]}")
quorvane_setup "${packages[@]}"
cd "$QUORVANE_ROOT"

if [ "$FORMAT" -eq 1 ]; then
  echo "== clang-format"
  git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
fi
[ "$TIDY" -eq 1 ] || exit 0

echo "== clang-tidy"
# The compile commands of the test build, which compiles every source (the
# adapters included: they load their vendors' libraries at run time). Nothing
# is built for them.
(cmake --preset test >/dev/null)
dbs=("$QUORVANE_ROOT/build/test")
# Each source with the first build that compiles it; one that none compiles
# is an error, so no source is left out unnoticed.
declare -A files_of
while IFS= read -r -d '' file; do
  found=""
  for db in "${dbs[@]}"; do
    if grep -qF "\"file\": \"$QUORVANE_ROOT/$file\"" "$db/compile_commands.json"; then
      files_of[$db]+="$file"$'\n'
      found=1
      break
    fi
  done
  [ -n "$found" ] || { echo "lint: no build compiles $file" >&2; exit 1; }
done < <(git ls-files -z 'src/*.cpp')
for db in "${dbs[@]}"; do
  [ -n "${files_of[$db]:-}" ] || continue
  printf '%s' "${files_of[$db]}" |
    xargs -d '\n' -n 4 -P "$(nproc)" clang-tidy -p "$db" --quiet
done
echo "lint: clean"
