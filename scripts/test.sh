#!/usr/bin/env bash
# The whole test suite: installs what is missing, builds the five trees
# (native, win32, win32-reduced, win64, win64-reduced) and runs their tests in
# one ctest run, side by side, in the slots of one Wine session (each slot a
# virtual display and a prefix of each kind; scripts/wine-env.sh). Every
# machine tests the native tree and both 64-bit trees in 64-bit prefixes; where
# it runs 32-bit x86 code (scripts/wine-arch.sh) it also tests the 32-bit trees
# in 32-bit prefixes; where it does not (or FLUTT_WINE_ARCH=64) only their
# savers are built, for the release files, and ctest reports each of their
# tests as skipped, with the reason. Extra arguments go to ctest, e.g.
#   scripts/test.sh -L e2e        only the end-to-end tests
#   scripts/test.sh -R unit       only the unit tests
# FLUTT_TEST_JOBS sets how many tests run at once, each Wine test in a slot of
# its own (default 3, which suits two cores).
#
# --stress [N] (first argument): the scripts that check timing, input, the
# registry and pictures, each run N times (default 20) with ctest's
# --repeat until-fail:N, three at a time as in the suite, the longest first;
# FLUTT_STRESS_LOOPS=K adds K busy loops beside them. Further arguments go to
# ctest as above.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

stress=
if [[ ${1:-} == --stress ]]; then
    shift
    stress=20
    [[ ${1:-} =~ ^[1-9][0-9]*$ ]] && { stress=$1; shift; }
fi

# shellcheck source=scripts/wine-arch.sh
source scripts/wine-arch.sh
echo "== $FLUTT_WINE_ARCH-bit Wine: $FLUTT_WINE_ARCH_WHY"
bash scripts/deps.sh

# The trees share one compiler cache: a reduced tree compiles little more
# than what the variant changes, so it is built after its full tree. Two trees
# build at a time, the next one starting as soon as one is done, each with its
# output in build/<tree>.log.
export CCACHE_DIR=$PWD/build/ccache CCACHE_BASEDIR=$PWD
skip=
[[ $FLUTT_WINE_ARCH == 32 ]] || skip=$FLUTT_WINE_ARCH_WHY
trees=(native win64 win64-reduced win32 win32-reduced)
build_tree() {
    local preset=$1 start=$SECONDS options=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache) targets=()
    if [[ $preset == win32* ]]; then
        options+=(-DFLUTT_WINE_SKIP="$skip")
        # Where their tests cannot run, only the savers, which the release files carry.
        [[ -n $skip ]] && targets=(--target fluttsaver)
    elif [[ $preset == win64* ]]; then
        options+=(-DFLUTT_WINE_SKIP=)
    fi
    if cmake --preset "$preset" "${options[@]}" >"build/$preset.log" 2>&1 &&
        cmake --build --preset "$preset" -j2 "${targets[@]}" >>"build/$preset.log" 2>&1; then
        echo "== built $preset ($((SECONDS - start)) s)"
    else
        cat "build/$preset.log"
        echo "== build of $preset failed" >&2
        return 1
    fi
}
mkdir -p build
# Making the Wine templates mostly waits on Wine's start-up: it runs beside the
# build, and the session below uses them.
bash scripts/wine-env.sh templates >build/wine-templates.log 2>&1 &
templates=$!
declare -A full_tree=([win64-reduced]=win64 [win32-reduced]=win32) building=() built=()
queue=(native win64 win32 win64-reduced win32-reduced)
failed=0
while ((${#queue[@]} + ${#building[@]})); do
    for i in "${!queue[@]}"; do
        preset=${queue[i]} full=${full_tree[$preset]:-}
        if ((${#building[@]} < 2)) && [[ -z $full || -n ${built[$full]:-} ]]; then
            build_tree "$preset" &
            building[$!]=$preset
            unset 'queue[i]'
        fi
    done
    wait -n -p pid "${!building[@]}" || failed=1
    built[${building[$pid]}]=1
    unset 'building[$pid]'
done

wait "$templates" || cat build/wine-templates.log  # the session tries again, and says why it fails
((!failed)) || exit 1

jobs=${FLUTT_TEST_JOBS:-3}
echo "== Wine session ($SECONDS s since the start)"
export FLUTT_WINE_SLOTS=$jobs
source scripts/wine-env.sh
kinds="64-bit prefixes"
[[ $FLUTT_WINE_ARCH == 32 ]] && kinds="64-bit and 32-bit prefixes"
echo "made before the tests: $jobs slots with $kinds ($FLUTT_WINE_SESSION)"

# ctest hands each Wine test a slot of its own (the resource "wine").
resources=build/ctest-resources.json
{
    printf '{"version": {"major": 1, "minor": 0}, "local": [{"wine": ['
    for ((i = 0; i < jobs; i++)); do
        ((i == 0)) || printf ', '
        printf '{"id": "%d", "slots": 1}' "$i"
    done
    printf ']}]}\n'
} >"$resources"

# One ctest run over the trees gives one summary.
printf 'subdirs(%s)\n' "$(printf '"%s" ' "${trees[@]}")" >build/CTestTestfile.cmake
if [[ -n $stress ]]; then
    busy=()
    for ((i = 0; i < ${FLUTT_STRESS_LOOPS:-0}; i++)); do
        bash -c 'while :; do :; done' </dev/null >/dev/null 2>&1 &
        busy+=($!)
    done
    trap 'kill "${busy[@]}" 2>/dev/null || true; flutt_wine_cleanup' EXIT
    echo "== stress: each script $stress times, $jobs at a time, beside ${#busy[@]} busy loops"
    set -- -R 'e2e\.full\.(settings_store|dialog_save|dialog_dpi|saver_monitors|saver_input|saver_close|saver_desktop)$|^linux\.(screens|same_frame_as_windows)$' \
        --repeat "until-fail:$stress" "$@"
fi
ctest --test-dir build --output-on-failure --parallel "$jobs" --resource-spec-file "$PWD/$resources" "$@"
