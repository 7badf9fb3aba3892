#!/usr/bin/env bash
# fluttons on screens of other depths, one mix of settings each: a 16-bit
# screen (a window of its own), a 30-bit screen (-root) and a 32-bit ARGB
# window on a 24-bit screen (-window-id). Over a desktop painted with
# stripes and ramps, each draws the frame fluttons draws on a 24-bit screen
# from the same desktop (the colours as that screen holds them), pixel for
# pixel through its visual's colour masks: the desktop reads back as the
# colours that were painted, the characters and the message's edges are the
# same. The ARGB window's pixels are opaque.
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
