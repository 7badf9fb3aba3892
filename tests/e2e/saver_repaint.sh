#!/usr/bin/env bash
# A frame presents only what changed, so a part of the saver that was covered
# must come back whole when it is uncovered: another window covers part of a
# full-screen run with no characters (nothing changes from frame to frame),
# then goes, and the saver is asked to repaint that part, erased first, as
# Windows asks it (Wine would put the old pixels back by itself); the screen
# must show the full frame again. (The test display is 1920 x 1080.)
source "$(dirname "$0")/lib.sh"

art=$(dirname "$SCR")/assets/art
expected=$E2E_WORK/expected-background.png
convert "$art/imgBack3.bmp" -write mpr:tile +delete -size 1920x1080 tile:mpr:tile "$expected"

reg_reset
reg_import back2=3 num=0
rest_cursor
start_saver /s
if find_window TMainForm; then
    sleep 1  # the first frames are up
    cover_log=$E2E_WORK/cover.log
    wine "$PROBE" cover "$HWND" 300 200 800 500 1500 >"$cover_log" 2>&1 </dev/null &
    cover_pid=$!
    if wait_line "$cover_log" shown=1 15 >/dev/null; then
        check_true "the cover window is on the saver" test "$(shot_differing covered "$expected")" -ge $((800 * 500))
    else
        fail "the cover window did not show"
    fi
    wait "$cover_pid"
    check_eq "$(tr -d '\r' <"$cover_log" | kv gone)" 1 "the cover window went"
    sleep 1
    check_eq "$(shot_differing uncovered "$expected")" 0 "pixels differing from the full frame once uncovered"
    stop_saver "$SAVER_PID"
fi
kill_leftovers
e2e_finish
