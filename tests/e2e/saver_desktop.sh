#!/usr/bin/env bash
# The desktop background is the screen as other programs show it when the
# saver starts. A window of another process (probe's pattern window) stands
# in for the desktop; every full-screen run that shows the desktop shows that
# pattern pixel for pixel, run after run, never the black of a window that
# has not repainted yet.
#
# With no characters the saver's frame would look exactly like the pattern
# window under it, so the runs show the message: the frame is the pattern
# everywhere outside the message's line, and the message proves that the
# picture is the saver's.
source "$(dirname "$0")/lib.sh"

DESKTOP_PID=
trap '[[ -n $DESKTOP_PID ]] && kill "$DESKTOP_PID" 2>/dev/null; e2e_cleanup' EXIT

random_entry=9
[[ ${E2E_VARIANT:-full} == reduced ]] && random_entry=6

expected=$E2E_WORK/desktop.png
pattern_hex() { printf '%02X%02X%02X' $(($1 & 255)) $(($2 & 255)) $((($1 ^ $2) & 255)); }

wine "$PROBE" desktop >"$E2E_WORK/desktop.out" 2>/dev/null </dev/null &
DESKTOP_PID=$!
check_prefix "$(wait_line "$E2E_WORK/desktop.out" hwnd= 20)" hwnd= "the pattern window of another process is up"

# The screen with nothing but the pattern window: the picture every run
# must show. Checked against the formula at a few points first.
screen_is_pattern() { [[ $(shot_differing desktop-now "$expected") == 0 ]]; }
# Waits up to 5 s until the pattern window has repainted what the last run covered.
wait_for_pattern() {
    local i
    for ((i = 0; i < 50; i++)); do screen_is_pattern && return 0; sleep 0.05; done
    fail "the screen does not show the pattern window"
}
for ((i = 0; i < 50; i++)); do
    screenshot desktop
    [[ $(pixel_hex "$expected" 1919 1079) == "$(pattern_hex 1919 1079)" ]] && break
    sleep 0.1
done
for point in 0,0 255,0 300,700 1234,567 1919,1079; do
    x=${point%,*} y=${point#*,}
    check_eq "$(pixel_hex "$expected" "$x" "$y")" "$(pattern_hex "$x" "$y")" "pattern pixel $x,$y"
done

# shows_desktop SHOT: waits up to 5 s for the saver's frame to be the
# pattern with the message over it: nothing differs outside the message's
# line, and something inside it does. Keeps the last screenshot as SHOT.
shows_desktop() {
    local deadline=$(($(now_ms) + 5000)) box
    for ((;;)); do
        # The bounding box of the pixels that differ from the pattern.
        box=$(shot_diffbox "$1" "$expected")
        # The message's line lies well within rows 480 .. 600 of 1080.
        if [[ $box =~ ^([0-9]+)x([0-9]+)\+([0-9]+)\+([0-9]+)$ ]] && ((BASH_REMATCH[1] < 1920)) &&
            ((BASH_REMATCH[4] >= 480 && BASH_REMATCH[4] + BASH_REMATCH[2] <= 600)); then
            return 0
        fi
        (($(now_ms) >= deadline)) && { echo "    differing from the pattern: $box"; return 1; }
        sleep 0.1
    done
}

# run_once SHOT: one full-screen run over the pattern; true when it showed it.
run_once() {
    local shown=1
    start_saver /s
    if find_window TMainForm; then
        shows_desktop "$1" && shown=0
    fi
    stop_saver "$SAVER_PID"
    kill_leftovers
    return $shown
}

# The build variant changes only the random entry's number: the reduced
# tree (E2E_SCOPE variant) runs the random entry alone.
if [[ ${E2E_SCOPE:-all} != variant ]]; then
    for back2 in 0 10 -3; do
        reg_reset
        reg_import back2=$back2 num=0 IsShownMessage=1
        runs=1
        ((back2 == 0)) && runs=8
        for ((run = 1; run <= runs; run++)); do
            wait_for_pattern
            check_true "back2 $back2, run $run: the desktop, pixel for pixel" run_once "desktop-$back2-$run"
        done
    done
fi

# The random entry: the draw is seeded with the time in seconds while the
# saver builds its first frame, between its application window's making and
# its window's showing (both seen by the watch). The test starts the saver
# before a second whose draw is the desktop, timed by what the last start
# took to make the application window, for that to come early in the second.
# Whatever the saver shows must be the draw of a second in that span: the
# desktop only where one of them draws it, a picture only where one of them
# draws another entry. A run that showed a picture is tried again.
draw_of_second() {
    local state=$(((($1 * 22695477) + 1) & 0xFFFFFFFF))
    echo $((((state >> 16) & 0x7FFF) % random_entry))
}
# draws_in FIRST LAST: the draws of the seconds FIRST .. LAST, one per line.
draws_in() {
    local second
    for ((second = $1; second <= $2; second++)); do draw_of_second "$second"; done
}
reg_reset
reg_import back2=$random_entry num=0 IsShownMessage=1
landed=1 lead=1000
for ((try = 1; try <= 8 && landed != 0; try++)); do
    wait_for_pattern
    start_guard_watch
    second=$((($(now_ms) + lead + 200) / 1000 + 1))
    while (($(draw_of_second "$second") != 0)); do second=$((second + 1)); done
    log "random entry: starting $lead ms before second $second, whose draw is the desktop"
    sleep_until $((second * 1000 - lead))
    started_ms=$(now_ms)
    start_saver /s
    if guarded_window && line=$(wait_line "$GUARD_WATCH" created_ms= 5); then
        created_ms=${line#created_ms=}
        lead=$((created_ms - started_ms - 100))
        draws=$(draws_in $((created_ms / 1000)) $((FOUND_MS / 1000)) | sort -u | tr '\n' ' ')
        if shows_desktop "desktop-random-$try"; then
            check_true "the random entry shows the desktop where a second of its set-up draws it (draws: $draws)" \
                grep -qw 0 <<<"$draws"
            landed=0
        elif grep -qvx 0 < <(tr ' ' '\n' <<<"${draws% }"); then
            echo "note: the random entry drew a picture, as a second of its set-up can (draws: $draws; try $try)"
        else
            fail "the random entry shows no desktop, although every second of its set-up draws it (draws: $draws)"
            landed=0
        fi
    else
        fail "random entry, try $try: no saver window"
    fi
    stop_saver "$SAVER_PID"
    kill_leftovers
done
((landed == 0)) || fail "the random entry never showed the desktop in 8 runs started in seconds that draw it"

e2e_finish
