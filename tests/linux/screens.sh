#!/usr/bin/env bash
# fluttons on screens of other depths, one mix of settings each: a 16-bit
# screen (a window of its own), a 30-bit screen (-root) and a 32-bit ARGB
# window on a 24-bit screen (-window-id). Over a desktop painted with
# stripes and ramps, each draws the frame fluttons draws on a 24-bit screen
# from the same desktop (the colours as that screen holds them), pixel for
# pixel through its visual's colour masks: the desktop reads back as the
# colours that were painted, the characters and the message's edges are the
# same. The ARGB window's pixels are opaque. And a screen of two heads, where
# -every-head makes each head the picture of a screen of its own.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
XPIXELS=${XPIXELS:-$(dirname "$FLUTTONS")/tests/linux/xpixels}
[[ -x $XPIXELS ]] || fail "no xpixels tool at $XPIXELS"
ticks=8

# Pure and mixed colours, a grey ramp and a colour ramp.
convert -size 80x160 xc:red xc:lime xc:blue xc:white xc:'#808080' xc:'#C86432' xc:'#1E90FF' xc:yellow +append \
    \( -size 160x640 gradient:black-white -rotate 90 \) \( -size 160x640 gradient:red-cyan -rotate 90 \) \
    -append -depth 8 "$WORK/stripes.ppm"

# hack_frame OPTIONS...: fluttons on $DISPLAY up to frame $ticks; sets PID.
# The log is emptied here, not only by the background job's redirection: that
# may come after the wait has read the line of the run before.
hack_frame() {
    : >"$WORK/hack.log"
    "$FLUTTONS" -stop-after "$ticks" "$@" >"$WORK/hack.log" 2>&1 &
    PID=$!
    STARTED+=("$PID")
    flutt_wait_for 30 grep -q "stopped at frame $ticks" "$WORK/hack.log" ||
        fail "fluttons $* did not reach frame $ticks: $(cat "$WORK/hack.log")"
}

# end_hack: SIGTERM ends it cleanly, having said nothing else.
end_hack() {
    kill -TERM "$PID"
    wait "$PID" || fail "fluttons ended with $? on SIGTERM: $(cat "$WORK/hack.log")"
    [[ $(cat "$WORK/hack.log") == "fluttons: stopped at frame $ticks" ]] || fail "fluttons said: $(cat "$WORK/hack.log")"
}

# window DEPTH X Y W H: a window of another program; sets HOST and WID.
window() {
    rm -f "$WORK/window.id"
    "$XPIXELS" window "$@" >"$WORK/window.id" &
    HOST=$!
    STARTED+=("$HOST")
    flutt_wait_for 10 test -s "$WORK/window.id" || fail "no $1-bit window"
    WID=$(cat "$WORK/window.id")
}

# same_frame WINDOW NAME WHAT: WINDOW shows reference.ppm through its masks.
# Its picture stays as NAME.ppm, to look at.
same_frame() {
    local result
    "$XPIXELS" dump "$1" "$WORK/$2.ppm"
    result=$("$XPIXELS" compare "$1" "$WORK/reference.ppm" 2>"$WORK/compare.err") || {
        cp "$WORK/reference.ppm" "$WORK/$2-reference.ppm"
        fail "$3: $result $(cat "$WORK/compare.err") (see $WORK/$2.ppm and $2-reference.ppm)"
    }
    echo "ok: $3, $result, $WORK/$2.ppm"
}

start_xvfb 640x480 24
screen24=$DISPLAY

# The end-to-end tests' screenshots (xpixels shot) give the painted colours
# back in their own channels, and a comparison finds the one pixel, a step of
# one in blue, changed in a 16-bit PNG of the picture, where it is.
"$XPIXELS" paint-root "$WORK/stripes.ppm"
"$XPIXELS" shot "$WORK/stripes-shot.png"
convert "$WORK/stripes.ppm" -fill '#FF0001' -draw 'point 40,20' -depth 16 "$WORK/stripes-changed.png"
found="$("$XPIXELS" differing "$WORK/stripes-shot.png" "$WORK/stripes.ppm")"
found+=" $("$XPIXELS" differing "$WORK/stripes-shot.png" "$WORK/stripes-changed.png")"
found+=" $("$XPIXELS" diffbox "$WORK/stripes-shot.png" "$WORK/stripes-changed.png")"
[[ $found == "0 1 1x1+40+20" ]] || fail "screenshot of the painted stripes: $found, not 0 1 1x1+40+20"
echo "ok: a screenshot has the painted colours; one changed pixel is found"

# reference PAINTED OPTIONS...: the frame of fluttons -root on the 24-bit
# screen painted with PAINTED, as reference.ppm.
reference() {
    local painted=$1
    shift
    export DISPLAY=$screen24
    "$XPIXELS" paint-root "$painted"
    hack_frame -root "$@"
    "$XPIXELS" dump root "$WORK/reference.ppm"
    end_hack
}

# A 16-bit screen, in a window of its own: characters falling and drifting
# right, the message in front in its box.
start_xvfb 640x480 16
screen16=$DISPLAY
"$XPIXELS" paint-root "$WORK/stripes.ppm"
"$XPIXELS" dump root "$WORK/painted16.ppm"
options=(-back2 0 -num 120 -lr 1 -lrspeed 40 -message "Sixteen bits" -font "DejaVu Sans 40" -message-color '#FF8000')
reference "$WORK/painted16.ppm" "${options[@]}"
export DISPLAY=$screen16
hack_frame "${options[@]}"
flutt_wait_for 10 xdotool search --pid "$PID" >/dev/null || fail "no window of its own on the 16-bit screen"
same_frame "$(xdotool search --pid "$PID" | head -1)" 16-bit "16-bit screen"
end_hack

# A 30-bit screen, -root: characters rising and falling, the message behind
# them with no box, its glyphs' edges blended into the desktop.
start_xvfb 640x480 30
"$XPIXELS" paint-root "$WORK/stripes.ppm"
"$XPIXELS" dump root "$WORK/painted30.ppm"
options=(-back2 0 -num 200 -updown 2 -message "Thirty bits 日本" -font "DejaVu Serif 36" -message-behind -transparent)
screen30=$DISPLAY
reference "$WORK/painted30.ppm" "${options[@]}"
export DISPLAY=$screen30
hack_frame -root "${options[@]}"
same_frame root 30-bit "30-bit screen"
end_hack

# A 32-bit ARGB window on the 24-bit screen, beside the part of the desktop
# it shows: the same frame as a 24-bit window there, and opaque.
export DISPLAY=$screen24
options=(-back2 0 -num 60 -updown 1 -downspeed 60 -message "ARGB" -font "DejaVu Sans 30" -message-bg '#204060')
"$XPIXELS" paint-root "$WORK/stripes.ppm"
window 24 320 240 320 240
hack_frame -window-id "$WID" "${options[@]}"
"$XPIXELS" dump "$WID" "$WORK/reference.ppm"
end_hack
kill "$HOST"
window 32 320 240 320 240
hack_frame -window-id "$WID" "${options[@]}"
same_frame "$WID" argb "32-bit ARGB window"
end_hack
kill "$HOST"

# Two heads side by side on one X screen, joined by Xinerama: 1920 x 1080 and,
# to its right, 1280 x 1024 (Xephyr in a 3200 x 1200 Xvfb). With -every-head
# each head shows what a window of its size shows on that screen: the tiles
# start at the head's top-left corner, the message sits at its centre, and the
# left head's characters, made first, are those of a 1920 x 1080 window; the
# right head has characters of its own. Without it, the picture is that of one
# 3200 x 1080 screen. (Xephyr keeps no pixels below the right head, so that
# strip is left out.)
heads=(1920x1080+0+0 1280x1024+1920+0)
options=(-back2 3 -message "Two heads" -font "DejaVu Sans 40")
start_xvfb 3200x1080
root_frame "$ticks" "$WORK/spanning-3200.png" -num 60 "${options[@]}"
start_xvfb 3200x1200
flutt_start_x_server $((700 + $$ % 200)) Xephyr :%d +xinerama -screen 1920x1080+0+0 -screen 1280x1024+1920+0 \
    -dpi 100 -nolisten tcp -noreset || fail "no Xephyr of two heads"
STARTED+=("$FLUTT_X_PID")
export DISPLAY=$FLUTT_X_DISPLAY
root_frame "$ticks" "$WORK/spanning.png" -num 60 "${options[@]}"
root_frame 1 "$WORK/every-head.png" -every-head -num 0 "${options[@]}"
root_frame "$ticks" "$WORK/every-head-num.png" -every-head -num 60 "${options[@]}"

# alone NAME W H TICKS OPTIONS...: the picture of a W x H window there, up to
# frame TICKS, as NAME.ppm.
alone() {
    local ticks=$4
    window 24 0 0 "$2" "$3"
    hack_frame -window-id "$WID" "${@:5}"
    "$XPIXELS" dump "$WID" "$WORK/$1.ppm"
    end_hack
    kill "$HOST"
}
alone alone-1920 1920 1080 "$ticks" -num 60 "${options[@]}"
alone alone-1280 1280 1024 1 -num 0 "${options[@]}"

# PICTURE[GEOMETRY] is the part of PICTURE on the head at GEOMETRY.
for check in "every-head-num 0 alone-1920" "every-head 1 alone-1280"; do
    read -r picture n alone <<<"$check"
    [[ $(differing "$WORK/$picture.png[${heads[$n]}]" "$WORK/$alone.ppm") == 0 ]] ||
        fail "-every-head: head $n is not the picture of a window of its size ($WORK/$picture.png, $alone.ppm)"
done
characters=$(differing "$WORK/every-head-num.png[${heads[1]}]" "$WORK/every-head.png[${heads[1]}]")
[[ $characters =~ ^[0-9]+$ && $characters -gt 0 ]] || fail "-every-head: no characters on the right head: $characters"
echo "ok: -every-head, each head the picture of its own size, $characters pixels of characters on the right one"
for head in "${heads[@]}"; do
    [[ $(differing "$WORK/spanning.png[$head]" "$WORK/spanning-3200.png[$head]") == 0 ]] ||
        fail "without -every-head, the head at $head is not its part of one spanning picture ($WORK/spanning.png)"
done
echo "ok: without -every-head, one picture across both heads"
