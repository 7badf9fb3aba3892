#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds the three trees
# (native, win32, win32-reduced) and runs all their tests in one ctest run on a
# private Xvfb display and Wine prefix. Extra arguments go to ctest, e.g.
#   scripts/test.sh -L e2e        only the end-to-end tests
#   scripts/test.sh -R unit       only the unit tests
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/deps.sh

for preset in native win32 win32-reduced; do
    echo "== build $preset"
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2
done

echo "== Wine session"
source scripts/wine-env.sh
echo "display $DISPLAY, prefix $WINEPREFIX"

# One ctest run over the three trees gives one summary. Serial on purpose:
# the Wine tests share one screen and one prefix.
printf 'subdirs("native" "win32" "win32-reduced")\n' >build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure --parallel 1 "$@"
