#!/usr/bin/env bash
# High-DPI screens: a full-screen run on the 1920 x 1080 test display with the
# prefix's DPI at 96, 144 and 192.
#   - At 192 DPI (k = 2) the window covers the screen in physical pixels and
#     shows the frame of a 960 x 540 run, each pixel a 2 x 2 block: the
#     screenshot equals frame_dump's 960 x 540 frame of the same tick, doubled.
#     The desktop background is the desktop pixel for pixel, and the message
#     is drawn in a font twice as tall as at 96 DPI.
#   - At 144 DPI (k = 1) it shows frame_dump's 1920 x 1080 frame.
#   - A run at 96 DPI sent WM_DPICHANGED to 192 DPI draws its next frames at
#     k = 2: each pixel a 2 x 2 block, the tiles twice as large.
# The fourth argument is frame_dump.exe of the same tree.
#
# What Wine 8 does, where Windows differs (the program is written for Windows):
#   - Wine takes the DPI from LogPixels, read when the wineserver starts, and
#     reports it to every process and window (GetDpiForWindow, GetDpiForSystem,
#     GetDpiForMonitor, LOGPIXELSY), DPI-aware or not. Windows gives each
#     monitor its own DPI and virtualizes programs that are not aware.
#   - Wine reads the manifest's awareness: the saver's window reports per-monitor
#     awareness (see the "awareness" check), but Wine draws unaware programs
#     unscaled too, so the blur this fixes on Windows does not show here.
#   - The screen keeps its physical size at every DPI, as Windows shows it to a
#     per-monitor aware program.
source "$(dirname "$0")/lib.sh"

FRAME_DUMP=${4:?usage: $0 SCR PROBE HOST FRAME_DUMP}
DESKTOP_PID=

# set_dpi DPI: the prefix's DPI, with no desktop pattern window left over.
set_dpi() {
    [[ -n $DESKTOP_PID ]] && kill "$DESKTOP_PID" 2>/dev/null
    DESKTOP_PID=
    set_prefix_dpi "$1"
}
# The session's prefix goes back to 96 DPI for the scripts after this one.
trap 'set_dpi 96; e2e_cleanup' EXIT

# matching_tick SHOT W H TICKS OPTIONS...: the tick of frame_dump's W x H run
# whose frame SHOT shows, among ticks 1..TICKS; "none" when there is none.
matching_tick() {
    local shot=$1 w=$2 h=$3 ticks=$4 frames=() tick
    shift 4
    rm -f "$E2E_WORK"/dump.*.ppm
    wine "$FRAME_DUMP" "$(winpath "$E2E_WORK/dump.ppm")" "$w" "$h" "1:$ticks" "$@" >"$E2E_WORK/dump.log" 2>&1 </dev/null ||
        fail "frame_dump: $(cat "$E2E_WORK/dump.log")"
    for ((tick = 1; tick <= ticks; tick++)); do frames+=("$E2E_WORK/dump.$tick.ppm"); done
    pictures first-same "$shot" "${frames[@]}"
    rm -f "$E2E_WORK"/dump.*.ppm
}

# run_frames DPI W H: a run with characters over a tiled picture; checks that
# its screenshot is the frame of a W x H run, enlarged to the screen.
options=(-back2 3 -num 150)
run_frames() {
    local dpi=$1 w=$2 h=$3 k=$((1920 / $2)) shot=frame-$1dpi
    reg_reset
    reg_import back2=3 num=150
    rest_cursor
    start_saver /s
    if find_window TMainForm; then
        local dpi_info
        dpi_info=$(probe dpi "$HWND")
        check_eq "$(kv size <<<"$dpi_info")" 1920x1080 "$dpi DPI: the window covers the screen in physical pixels"
        check_eq "$(kv window_dpi <<<"$dpi_info")" "$dpi" "$dpi DPI: the window's DPI"
        # Wine 8 reports per-monitor awareness but not version 2 (v2=0) for
        # the manifest's PerMonitorV2: only the awareness is checked.
        check_eq "$(kv awareness <<<"$dpi_info")" 2 "$dpi DPI: the window is per-monitor DPI aware"
        log "Wine reports: $(tr '\n' ' ' <<<"$dpi_info")"
        sleep 1.5  # a dozen frames: characters have come on screen
        local try tick=none
        for ((try = 1; try <= 3; try++)); do
            [[ $tick == none ]] || break
            # A screenshot can fall between two presents: up to three.
            screenshot "$shot"
            local logical=$E2E_WORK/$shot-logical.png
            pictures sample "$E2E_WORK/$shot.png" "$k" "$logical"
            # Each pixel a k x k block: the screenshot is its own logical picture enlarged.
            check_eq "$(pictures blocks "$E2E_WORK/$shot.png" "$k")" 0 \
                "$dpi DPI, try $try: every pixel of the logical picture is a $k x $k block"
            tick=$(matching_tick "$logical" "$w" "$h" 60 "${options[@]}")
        done
        check_true "$dpi DPI: the screenshot is frame_dump's $w x $h frame at some tick (tick ${tick:-unread})" \
            test "${tick:-none}" != none
        convert "$(dirname "$SCR")/assets/art/imgBack3.bmp" -write mpr:t +delete -size "${w}x${h}" tile:mpr:t \
            "$E2E_WORK/$shot-background.png"
        check_true "$dpi DPI: characters are on the screen" \
            test "$(differing "$logical" "$E2E_WORK/$shot-background.png")" -gt 1000
        stop_saver "$SAVER_PID"
    fi
    kill_leftovers
}

# The desktop run: back2 = 0 with the message over the pattern window of
# another process. Checks that the frame is the pattern outside the message's
# line; sets MESSAGE_HEIGHT to the height of that line (the box of the
# differing pixels), 0 when the frame never showed it.
pattern_hex() { printf '%02X%02X%02X' $(($1 & 255)) $(($2 & 255)) $((($1 ^ $2) & 255)); }
desktop_message() {
    local dpi=$1 shot=desktop-$1dpi expected=$E2E_WORK/pattern-$1dpi.png box i
    MESSAGE_HEIGHT=0
    wine "$PROBE" desktop >"$E2E_WORK/desktop.$dpi.out" 2>/dev/null </dev/null &
    DESKTOP_PID=$!
    wait_line "$E2E_WORK/desktop.$dpi.out" hwnd= 20 >/dev/null || fail "$dpi DPI: no pattern window"
    for ((i = 0; i < 50; i++)); do
        screenshot "pattern-${dpi}dpi"
        [[ $(pixel_hex "$expected" 1919 1079) == "$(pattern_hex 1919 1079)" ]] && break
        sleep 0.1
    done
    reg_reset
    reg_import back2=0 num=0 IsShownMessage=1
    rest_cursor
    start_saver /s
    if find_window TMainForm; then
        for ((i = 0; i < 30; i++)); do
            sleep 0.1
            box=$(shot_diffbox "$shot" "$expected")
            # Only pixels of a line around the middle row differ.
            if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] < 1920)) &&
                ((BASH_REMATCH[4] > 380 && BASH_REMATCH[4] + BASH_REMATCH[2] < 700)); then
                MESSAGE_HEIGHT=${BASH_REMATCH[2]}
                break
            fi
        done
        stop_saver "$SAVER_PID"
    fi
    kill_leftovers
    kill "$DESKTOP_PID" 2>/dev/null
    DESKTOP_PID=
}

desktop_message 96
height96=$MESSAGE_HEIGHT
check_true "96 DPI: the desktop pixel for pixel outside the message line ($height96 rows)" test "$height96" -gt 10

# A new scale during a run, as when a remote session connects at 200 %: from
# the next tick the frame is a 960 x 540 run's, each pixel a 2 x 2 block, the
# tiles twice as large. (Wine keeps one DPI for every monitor and never sends
# WM_DPICHANGED itself: the script sends it, as Windows does.)
reg_reset
reg_import back2=3 num=150
rest_cursor
start_saver /s
if find_window TMainForm; then
    sleep 1  # characters have come on screen
    probe send "$HWND" 0x02E0 $((192 << 16 | 192)) 0 >/dev/null  # WM_DPICHANGED
    convert "$(dirname "$SCR")/assets/art/imgBack3.bmp" -write mpr:t +delete -size 960x540 tile:mpr:t \
        "$E2E_WORK/changed-background.png"
    for ((i = 0; i < 30; i++)); do
        screenshot dpi-changed
        blocks=$(pictures blocks "$E2E_WORK/dpi-changed.png" 2)
        [[ $blocks == 0 ]] && break
        sleep 0.1
    done
    pictures sample "$E2E_WORK/dpi-changed.png" 2 "$E2E_WORK/dpi-changed-logical.png"
    check_eq "$blocks" 0 "after WM_DPICHANGED to 192 DPI: pixels that are not part of a 2 x 2 block"
    check_true "after WM_DPICHANGED to 192 DPI: characters over the tiling twice as large" \
        test "$(differing "$E2E_WORK/dpi-changed-logical.png" "$E2E_WORK/changed-background.png")" -gt 1000
    stop_saver "$SAVER_PID"
else
    fail "no saver window for the change of scale"
fi
kill_leftovers

set_dpi 144
run_frames 144 1920 1080

set_dpi 192
run_frames 192 960 540
desktop_message 192
height192=$MESSAGE_HEIGHT
check_true "192 DPI: the desktop pixel for pixel outside the message line ($height192 rows)" test "$height192" -gt 10
check_true "192 DPI: the message is drawn twice as tall ($height192 rows against $height96 at 96 DPI)" \
    test $((height192 * 10)) -ge $((height96 * 18))

e2e_finish
