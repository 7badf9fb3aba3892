#!/usr/bin/env bash
# The Wine session of scripts/wine-env.sh, as the tests meet it (run inside the
# session of scripts/test.sh):
#   - every slot and every prefix it will use was made before the tests: a
#     display and a 64-bit prefix in each slot, and a 32-bit prefix beside it
#     exactly where this machine runs 32-bit code;
#   - a shell that joins the session (a test, ctest's discovery) makes
#     nothing, waits on no lock, and finds the same prefixes every time, also
#     the second and third time and from a second shell;
#   - no process holds the template locks.
# The same checks on both kinds of machine; only the expected kinds differ.
set -uo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
failures=0 checks=0
check() {
    local what=$1
    shift
    checks=$((checks + 1))
    if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}

if [[ ${FLUTT_WINE_ENV:-} != 1 || -z ${FLUTT_WINE_SESSION:-} ]]; then
    echo "FAIL: not inside the session of scripts/test.sh (source scripts/wine-env.sh first)"
    exit 1
fi
kinds=(64)
[[ $FLUTT_WINE_ARCH == 32 ]] && kinds+=(32)
echo "session $FLUTT_WINE_SESSION: $FLUTT_WINE_SLOTS slots, kinds ${kinds[*]} ($FLUTT_WINE_ARCH_WHY)"

# What joining must leave as it is: the session's slots and prefixes, and the
# templates with their times (other tests write in their prefixes meanwhile).
wine_dir=$(dirname "$FLUTT_WINE_SESSION")
listing() {
    find "$FLUTT_WINE_SESSION" -maxdepth 2 -printf '%p\n' | sort
    find "$wine_dir" -maxdepth 2 -path "$wine_dir/template*/.fluttsaver-template-*" -printf '%p %T@\n' | sort
}
before=$(listing)

# runs_in SLOT KIND: a fresh shell joins SLOT, selects KIND through
# cmake/wine-run.sh as ctest's tests do, and runs a Windows program there.
runs_in() {
    local out
    out=$(FLUTT_WINE_SLOT=$1 CTEST_RESOURCE_GROUP_COUNT= timeout 60 \
        bash "$repo/cmake/wine-run.sh" "$2" cmd /c echo 'fluttsaver session' </dev/null 2>&1)
    [[ $out == *'fluttsaver session'* ]]
}

display_answers() { DISPLAY=$1 timeout 10 xdotool getmouselocation >/dev/null 2>&1; }

for ((slot = 0; slot < FLUTT_WINE_SLOTS; slot++)); do
    dir=$FLUTT_WINE_SESSION/slot$slot
    check "slot $slot names its display" test -s "$dir/display"
    check "slot $slot's display answers" display_answers "$(cat "$dir/display" 2>/dev/null)"
    for kind in 64 32; do
        if [[ " ${kinds[*]} " == *" $kind "* ]]; then
            check "slot $slot has its $kind-bit prefix" test -f "$dir/$kind/system.reg"
            # Twice: the second start in a session once waited forever on a lock.
            check "a program runs in slot $slot's $kind-bit prefix" runs_in "$slot" "$kind"
            check "and again" runs_in "$slot" "$kind"
        else
            check "slot $slot has no $kind-bit prefix" test ! -e "$dir/$kind"
        fi
    done
done

# A shell that joins selects at once, and a second shell finds the same.
joined() {
    FLUTT_WINE_SLOT=$1 CTEST_RESOURCE_GROUP_COUNT= timeout 20 bash -c '
        source "$1/scripts/wine-env.sh" || exit 1
        for kind in 64 32 64 32; do
            if flutt_wine_select $kind; then echo "$kind $WINEPREFIX $DISPLAY"; else echo "$kind none"; fi
        done' _ "$repo" </dev/null
}
last=$((FLUTT_WINE_SLOTS - 1))
first_shell=$(joined "$last")
second_shell=$(joined "$last")
expected=
for kind in 64 32 64 32; do
    if [[ " ${kinds[*]} " == *" $kind "* ]]; then
        expected+="$kind $FLUTT_WINE_SESSION/slot$last/$kind $(cat "$FLUTT_WINE_SESSION/slot$last/display")"$'\n'
    else
        expected+="$kind none"$'\n'
    fi
done
check "a shell that joins slot $last selects each kind's prefix there, at once and again" \
    test "$first_shell" == "${expected%$'\n'}"
check "a second shell of the session gets the same" test "$second_shell" == "$first_shell"
# ctest's resource variables choose the slot.
from_ctest=$(CTEST_RESOURCE_GROUP_COUNT=1 CTEST_RESOURCE_GROUP_0=wine CTEST_RESOURCE_GROUP_0_WINE="id:$last,slots:1" \
    FLUTT_WINE_SLOT=0 timeout 20 bash -c 'source "$1/scripts/wine-env.sh" && echo "$WINEPREFIX"' _ "$repo" </dev/null)
check "the slot ctest gives is the one joined" test "$from_ctest" == "$FLUTT_WINE_SESSION/slot$last/64"

check "joining made and changed nothing under $wine_dir" test "$(listing)" == "$before"
for lock in "$wine_dir"/template*.lock; do
    check "no process holds ${lock##*/}" flock -n "$lock" true
done

echo "---- session: $checks checks, $failures failed"
((failures == 0))
