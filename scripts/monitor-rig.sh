# shellcheck shell=bash
# The two-monitor rig: a host Xvfb of 3200 x 1200 with, inside it, an Xephyr
# of two heads side by side (1920 x 1080 at 0,0 and 1280 x 1024 at 1920,0),
# and a Wine prefix of its own in which Wine's X11 driver is told not to use
# XRandR (set before any program runs there), so that it reports the
# Xinerama heads as two monitors. (Plain Xvfb with +xinerama puts every head
# at 0,0.) Xephyr's root is 3200 x 1080; the strip below the second head
# belongs to no monitor.
# Source it in a shell that has a Wine session (scripts/wine-env.sh):
#   flutt_start_monitor_rig 32|64   starts the rig with a prefix of that kind
#                                   and points DISPLAY and WINEPREFIX at it
#   flutt_stop_monitor_rig          ends it all and points them back
# Both work under set -e.
# shellcheck source=scripts/x-server.sh
source "$(dirname "${BASH_SOURCE[0]}")/x-server.sh"

FLUTT_RIG_PIDS=()
FLUTT_RIG_PREFIX=
_flutt_rig_outer=()

flutt_start_monitor_rig() {
    local first=$((500 + $$ % 300)) template
    _flutt_rig_outer=("$DISPLAY" "$WINEPREFIX")
    flutt_start_x_server $first Xvfb :%d -screen 0 3200x1200x24 -nolisten tcp -noreset || return 1
    FLUTT_RIG_PIDS+=("$FLUTT_X_PID")
    DISPLAY=$FLUTT_X_DISPLAY flutt_start_x_server $first Xephyr :%d +xinerama -screen 1920x1080+0+0 \
        -screen 1280x1024+1920+0 -nolisten tcp -noreset || return 1
    FLUTT_RIG_PIDS+=("$FLUTT_X_PID")
    export DISPLAY=$FLUTT_X_DISPLAY
    template=$(flutt_wine_template "$1") || return 1
    # In a slot of the session, whose end stops what a test killed on its
    # timeout left running here: the prefix's Wine and the X servers in .pids.
    FLUTT_RIG_PREFIX=${FLUTT_WINE_SLOT_DIR:-$(dirname "$template")}/monitors-$1.$$
    rm -rf "$FLUTT_RIG_PREFIX"
    cp -a "$template" "$FLUTT_RIG_PREFIX" || return 1
    echo "${FLUTT_RIG_PIDS[*]}" >"$FLUTT_RIG_PREFIX.pids"
    # In the registry file itself: no program may have run before it is set.
    sed -i '/^\[Software\\\\Wine\\\\X11 Driver\]/,/^$/ s/^"Managed"="N"$/&\n"UseXRandR"="N"/' \
        "$FLUTT_RIG_PREFIX/user.reg"
    grep -q '^"UseXRandR"="N"$' "$FLUTT_RIG_PREFIX/user.reg" || { echo "could not set UseXRandR" >&2; return 1; }
    export WINEPREFIX=$FLUTT_RIG_PREFIX
    wineserver -p >/dev/null 2>&1 && wine cmd /c exit >/dev/null 2>&1 </dev/null
}

flutt_stop_monitor_rig() {
    if [[ -n $FLUTT_RIG_PREFIX && -d $FLUTT_RIG_PREFIX ]]; then
        WINEPREFIX=$FLUTT_RIG_PREFIX wineserver -k >/dev/null 2>&1 || true
        WINEPREFIX=$FLUTT_RIG_PREFIX timeout 10 wineserver -w >/dev/null 2>&1 || true
        rm -rf "$FLUTT_RIG_PREFIX" "$FLUTT_RIG_PREFIX.pids"
    fi
    local pid
    for pid in "${FLUTT_RIG_PIDS[@]}"; do
        kill "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    FLUTT_RIG_PIDS=()
    FLUTT_RIG_PREFIX=
    ((${#_flutt_rig_outer[@]})) && export DISPLAY=${_flutt_rig_outer[0]} WINEPREFIX=${_flutt_rig_outer[1]}
    return 0
}
