#!/usr/bin/env bash
# Formatting (clang-format, the root .clang-format) and clang-tidy (the root
# .clang-tidy) over the sources. Fails on the first finding of either.
#   ./scripts/lint.sh [--no-install]
set -euo pipefail
QUORVANE_ROOT=$(cd "$(dirname "$0")/.." && pwd)
source "$QUORVANE_ROOT/scripts/common.sh"

quorvane_setup "${QUORVANE_PACKAGES_RUN[@]}" "${QUORVANE_PACKAGES_TEST[@]}" \
  "${QUORVANE_PACKAGES_LINT[@]}"
cd "$QUORVANE_ROOT"

echo "== clang-format"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror

echo "== clang-tidy"
# The compile commands of the test build; nothing needs to be built for them.
(cmake --preset test >/dev/null)
git ls-files -z 'src/*.cpp' ':!src/adapters/*' |
  xargs -0 -n 4 -P "$(nproc)" clang-tidy -p build/test --quiet
echo "lint: clean"
