#!/usr/bin/env bash
# A full-screen run on two monitors: the primary shows what it shows on one
# monitor, the second one is covered in black for the whole run (below the
# saver window, top-most), input there ends the run by the same rules, and
# the covers go with the run.
#
# The rig, started and stopped here: a host Xvfb of 3200 x 1200 with, inside
# it, an Xephyr of two heads side by side (1920 x 1080 at 0,0 and 1280 x 1024
# at 1920,0), and a prefix of its own in which Wine's X11 driver is told not
# to use XRandR (set before any program runs there), so that it reports the
# Xinerama heads as two monitors. (Plain Xvfb with +xinerama puts every head
# at 0,0.)
source "$(dirname "$0")/lib.sh"

readonly SECOND_X=1920 SECOND_W=1280 SECOND_H=1024
readonly ON_SECOND_X=2500 ON_SECOND_Y=500

RIG_PIDS=()
RIG_PREFIX=
DESKTOP_PID=
OUTER_WINEPREFIX=$WINEPREFIX
OUTER_DISPLAY=$DISPLAY

rig_cleanup() {
    [[ -n $DESKTOP_PID ]] && kill "$DESKTOP_PID" 2>/dev/null
    if [[ -n $RIG_PREFIX && -d $RIG_PREFIX ]]; then
        kill_leftovers
        WINEPREFIX=$RIG_PREFIX wineserver -k >/dev/null 2>&1
        WINEPREFIX=$RIG_PREFIX timeout 10 wineserver -w >/dev/null 2>&1
        rm -rf "$RIG_PREFIX"
    fi
    local pid
    for pid in "${RIG_PIDS[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
    export WINEPREFIX=$OUTER_WINEPREFIX DISPLAY=$OUTER_DISPLAY
}
trap 'rig_cleanup; e2e_cleanup' EXIT

start_rig() {
    local first=$((500 + $$ % 300))
    flutt_start_x_server $first Xvfb :%d -screen 0 3200x1200x24 -nolisten tcp -noreset || return 1
    RIG_PIDS+=("$FLUTT_X_PID")
    local host=$FLUTT_X_DISPLAY
    DISPLAY=$host flutt_start_x_server $first Xephyr :%d +xinerama -screen 1920x1080+0+0 -screen 1280x1024+1920+0 \
        -nolisten tcp -noreset || return 1
    RIG_PIDS+=("$FLUTT_X_PID")
    export DISPLAY=$FLUTT_X_DISPLAY
    local template
    template=$(flutt_wine_template "$FLUTT_WINE_SELECTED") || return 1
    RIG_PREFIX=$(dirname "$template")/monitors.$$
    rm -rf "$RIG_PREFIX"
    cp -a "$template" "$RIG_PREFIX" || return 1
    # In the registry file itself: no program may have run before it is set.
    sed -i '/^\[Software\\\\Wine\\\\X11 Driver\]/,/^$/ s/^"Managed"="N"$/&\n"UseXRandR"="N"/' "$RIG_PREFIX/user.reg"
    grep -q '^"UseXRandR"="N"$' "$RIG_PREFIX/user.reg" || { echo "could not set UseXRandR"; return 1; }
    export WINEPREFIX=$RIG_PREFIX
    wineserver -p >/dev/null 2>&1 && wine cmd /c exit >/dev/null 2>&1 </dev/null
}
start_rig || { fail "the two-monitor rig did not start"; e2e_finish; }
log "two monitors: display $DISPLAY, prefix $WINEPREFIX"

check_text "$(probe monitors)" "monitor=0,0,1920,1080 primary=1
monitor=1920,0,3200,1024 primary=0" "Wine sees two monitors side by side"

# ---- pictures ----------------------------------------------------------

pattern_hex() { printf '%02X%02X%02X' $(($1 & 255)) $(($2 & 255)) $((($1 ^ $2) & 255)); }
crop() { convert "$1" -crop "$2" +repage "$3"; }
same() { [[ $(compare -metric AE "$1" "$2" null: 2>&1) == 0 ]]; }
all_black() { [[ $(convert "$1" -format '%[fx:maxima.r+maxima.g+maxima.b]' info:) == 0 ]]; }
readonly PRIMARY=1920x1080+0+0 SECOND=${SECOND_W}x${SECOND_H}+${SECOND_X}+0

# The desktop: probe's pattern window, another process, over both monitors.
wine "$PROBE" desktop >"$E2E_WORK/desktop.out" 2>/dev/null </dev/null &
DESKTOP_PID=$!
check_prefix "$(wait_line "$E2E_WORK/desktop.out" hwnd= 20)" hwnd= "the pattern window is up"
desktop=$E2E_WORK/monitors-desktop.png
for ((i = 0; i < 50; i++)); do
    screenshot monitors-desktop
    [[ $(convert "$desktop" -format '%[hex:p{3199,1023}]' info:) == "$(pattern_hex 3199 1023)" ]] && break
    sleep 0.1
done
# (Xephyr's root is 3200 x 1080; the strip below the second head belongs to
# no monitor and shows nothing reliable, so it is left out.)
check_eq "$(identify -format '%wx%h' "$desktop")" 3200x1080 "the screen of both monitors"
for point in 100,100 1919,1079 2500,500 3199,1023; do
    x=${point%,*} y=${point#*,}
    check_eq "$(convert "$desktop" -format "%[hex:p{$x,$y}]" info:)" "$(pattern_hex "$x" "$y")" "pattern pixel $x,$y"
done
# Waits up to 5 s for the second monitor to show the pattern window again.
desktop_back() {
    local i
    crop "$desktop" "$SECOND" "$E2E_WORK/second-desktop.png"
    for ((i = 0; i < 50; i++)); do
        screenshot monitors-after
        crop "$E2E_WORK/monitors-after.png" "$SECOND" "$E2E_WORK/second-now.png"
        same "$E2E_WORK/second-now.png" "$E2E_WORK/second-desktop.png" && return 0
        sleep 0.1
    done
    return 1
}

# The primary with the tiled background and no characters, exactly as on one
# monitor (see saver_picture.sh).
art=$(dirname "$SCR")/assets/art
tiled=$E2E_WORK/expected-primary.png
convert "$art/imgBack3.bmp" -write mpr:tile +delete -size 1920x1080 tile:mpr:tile "$tiled"

# start_with_cover BACK2 [EARLY]: starts a full-screen run with background
# BACK2 and no characters, the cursor resting on the second monitor, and gives
# it the xdotool input EARLY (if any) as soon as the cover is up (the saver
# shows it after its own window; before it, a click would land on the
# desktop's window); true when the saver window ($saver) and a cover ($cover)
# came up. The early input must come well inside the 2000 ms guard for its
# checks to mean anything: a run whose windows came up too late for that (a
# loaded machine) is tried again, with a note. EARLY_MS tells when the input
# came, counted from the saver process's start, which is before the guard's.
start_with_cover() {
    local back2=$1 early=${2:-} attempt
    for attempt in 1 2 3 4 5; do
        kill_leftovers
        reg_reset
        reg_import back2="$back2" num=0
        xdotool mousemove "$ON_SECOND_X" "$ON_SECOND_Y"
        start_saver /s
        find_window TMonitorCover || return 1
        cover=$HWND
        if [[ -n $early ]]; then
            # shellcheck disable=SC2086
            xdotool $early
            early_in_guard "$early came" || continue
        fi
        find_window TMainForm || return 1
        saver=$HWND
        return 0
    done
    fail "the saver window never came up early enough for $early within the first 2000 ms"
    return 1
}

# ---- a run ended by a mouse move on the second monitor ------------------

# One pixel within the first 2000 ms (counted from no earlier than the start).
if start_with_cover 3 "mousemove $((ON_SECOND_X + 1)) $ON_SECOND_Y"; then
    info=$(probe info "$cover")
    check_eq "$(kv rect <<<"$info")" "$SECOND_X,0,$((SECOND_X + SECOND_W)),$SECOND_H" "the cover's rectangle"
    check_eq "$(kv topmost <<<"$info")" 1 "the cover is top-most"
    check_eq "$(probe info "$saver" | kv below)" "$cover" "the cover lies just below the saver window"
    check_eq "$(probe info "$saver" | kv rect)" 0,0,1920,1080 "the saver window covers the primary only"
    for ((i = 0; i < 50; i++)); do
        screenshot monitors-running
        crop "$E2E_WORK/monitors-running.png" "$PRIMARY" "$E2E_WORK/primary.png"
        same "$E2E_WORK/primary.png" "$tiled" && break
        sleep 0.1
    done
    check_true "the primary shows the tiled background, as on one monitor" same "$E2E_WORK/primary.png" "$tiled"
    crop "$E2E_WORK/monitors-running.png" "$SECOND" "$E2E_WORK/second.png"
    check_true "the second monitor is black" all_black "$E2E_WORK/second.png"

    sleep_until $((FOUND_MS + 2200))
    check_true "the move $EARLY_MS ms after the saver started did not end the run" still_running "$SAVER_PID"
    xdotool mousemove $((ON_SECOND_X + 2)) "$ON_SECOND_Y"
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "a one-pixel move on the second monitor after 2000 ms ends the run"
    check_true "the second monitor shows the desktop again" desktop_back
else
    fail "no saver window with a cover"
fi
kill_leftovers

# ---- a run with the desktop copy, ended by a click on the second monitor --

if start_with_cover 0; then
    pattern_primary=$E2E_WORK/pattern-primary.png
    crop "$desktop" "$PRIMARY" "$pattern_primary"
    # No characters: the saver's frame looks like the desktop under it. The
    # second monitor going black tells that the run is up; the primary then
    # stays the desktop as it was copied.
    for ((i = 0; i < 50; i++)); do
        screenshot monitors-copy
        crop "$E2E_WORK/monitors-copy.png" "$SECOND" "$E2E_WORK/second.png"
        all_black "$E2E_WORK/second.png" && break
        sleep 0.1
    done
    sleep_until $((FOUND_MS + 1000))  # a few frames
    screenshot monitors-copy
    crop "$E2E_WORK/monitors-copy.png" "$PRIMARY" "$E2E_WORK/primary.png"
    check_true "the primary shows the desktop copy, pixel for pixel" same "$E2E_WORK/primary.png" "$pattern_primary"
    sleep_until $((FOUND_MS + 2200))
    check_true "still running before the click" still_running "$SAVER_PID"
    xdotool click 1
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "a click on the second monitor after 2000 ms ends the run"
    check_true "the second monitor shows the desktop again" desktop_back
else
    fail "no saver window with a cover"
fi
kill_leftovers

# ---- a click on the cover within 2000 ms takes nothing from the saver ----
# (On Windows a click would activate the cover, raise it and take the
# keyboard, were it not for its refusal; Wine's unmanaged windows do neither,
# so here this checks the ignored click, the z-order and the keyboard only.)

if start_with_cover 3 "click 1"; then
    sleep_until $((FOUND_MS + 2200))
    check_true "the click $EARLY_MS ms after the saver started did not end the run" still_running "$SAVER_PID"
    check_eq "$(probe info "$saver" | kv below)" "$cover" "the cover still lies below the saver window"
    xdotool key x
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "a key after 2000 ms still reaches the saver and ends the run"
else
    fail "no saver window with a cover"
fi

e2e_finish
