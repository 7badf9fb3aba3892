#!/usr/bin/env bash
# What a full-screen run shows on the screen: the composed background with
# the characters over it; with no characters, the background and nothing else;
# and a screenshot of every background with characters and the message.
# (The test display is 1920 x 1080.)
source "$(dirname "$0")/lib.sh"

# The expected background: "FT Wave1", a 64 x 64 tile, repeated from the
# top-left corner across the screen, as the generator drew it.
art=$(dirname "$SCR")/assets/art
expected=$E2E_WORK/expected-background.png
convert "$art/imgBack3.bmp" -write mpr:tile +delete -size 1920x1080 tile:mpr:tile "$expected"

for num in 0 100; do
    reg_reset
    reg_import back2=3 num=$num
    rest_cursor
    start_saver /s
    if find_window TMainForm; then
        sleep 1.5  # a dozen frames: the first characters have come on screen
        shot=picture-num$num
        diff=$(shot_differing "$shot" "$expected")
        if ((num == 0)); then
            check_eq "$diff" 0 "pixels differing from the tiled background with no characters"
        else
            # 100 characters of 32 x 32 cover at most 102400 pixels; some are
            # still off screen or drawn over each other.
            check_true "characters drawn over the background ($diff pixels)" test "$diff" -gt 2000
            check_true "the rest is the background ($diff pixels differ)" test "$diff" -lt 102400
        fi
        stop_saver "$SAVER_PID"
    fi
    kill_leftovers
done

# Every background of this build, with characters and the message in front:
# one screenshot each, in the work folder, to look at. The message sits on
# its box of the default background colour, light blue #8080FF.
last_background=8
[[ ${E2E_VARIANT:-full} == reduced ]] && last_background=5
for back2 in $(seq 0 "$last_background"); do
    reg_reset
    reg_import back2=$back2 num=300 IsShownMessage=1
    rest_cursor
    start_saver /s
    if find_window TMainForm; then
        sleep 1.5
        shot=background-$back2
        check_true "message box on background $back2" test "$(pictures shot-count "$E2E_WORK/$shot.png" 8080FF)" -gt 10000
        stop_saver "$SAVER_PID"
    fi
    kill_leftovers
done

e2e_finish
