#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds the five trees
# (native, win32, win32-reduced, win64, win64-reduced) and runs their tests in
# one ctest run on a private Xvfb display and Wine prefix. Which Windows trees
# run their tests follows what this machine runs (scripts/wine-arch.sh):
#   32-bit x86 code runs: both 32-bit trees, and the full 64-bit tree in a
#     64-bit prefix beside the 32-bit one;
#   it does not (or FLUTT_WINE_ARCH=64): both 64-bit trees.
# The other trees are built all the same, and ctest reports each of their
# tests as skipped, with the reason. Extra arguments go to ctest, e.g.
#   scripts/test.sh -L e2e        only the end-to-end tests
#   scripts/test.sh -R unit       only the unit tests
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# shellcheck source=scripts/wine-arch.sh
source scripts/wine-arch.sh
echo "== $FLUTT_WINE_ARCH-bit Wine: $FLUTT_WINE_ARCH_WHY"
bash scripts/deps.sh

declare -A skip
if [[ $FLUTT_WINE_ARCH == 32 ]]; then
    skip[win64-reduced]="on a machine that runs 32-bit code the reduced build is tested in its 32-bit tree"
else
    skip[win32]=$FLUTT_WINE_ARCH_WHY
    skip[win32-reduced]=$FLUTT_WINE_ARCH_WHY
fi
trees=(native win32 win32-reduced win64 win64-reduced)
for preset in "${trees[@]}"; do
    echo "== build $preset"
    if [[ $preset == native ]]; then
        cmake --preset "$preset" >/dev/null
    else
        cmake --preset "$preset" -DFLUTT_WINE_SKIP="${skip[$preset]:-}" >/dev/null
    fi
    cmake --build --preset "$preset" -j2
done

echo "== Wine session"
source scripts/wine-env.sh
echo "display $DISPLAY, $FLUTT_WINE_ARCH-bit prefix $WINEPREFIX"

# One ctest run over the trees gives one summary. Serial on purpose: the Wine
# tests share one screen and one prefix.
printf 'subdirs(%s)\n' "$(printf '"%s" ' "${trees[@]}")" >build/CTestTestfile.cmake
ctest --test-dir build --output-on-failure --parallel 1 "$@"
