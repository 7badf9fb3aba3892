#!/usr/bin/env bash
# The hack's conventions on a private display: refused options (one line on
# stderr, exit code 2), a window of its own, drawing into another program's
# window (-window-id, $XSCREENSAVER_WINDOW) and following its size, and the
# end on SIGTERM, SIGINT or when that window goes away.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_xvfb 1920x1080
main_display=$DISPLAY
main_xvfb=$XVFB_PID
XPIXELS=${XPIXELS:-$(dirname "$FLUTTONS")/tests/linux/xpixels}

refused=(
    "-num abc" "-num" "-downspeed 12abc" "-nosuch" "-characters 12" "-font Serif"
    "-message-color red" "-window-id x"
)
for args in "${refused[@]}"; do
    rc=0
    # shellcheck disable=SC2086
    "$FLUTTONS" $args >"$WORK/out" 2>"$WORK/err" </dev/null || rc=$?
    [[ $rc == 2 ]] || fail "$args: exit code $rc, not 2"
    [[ $(wc -l <"$WORK/err") == 1 && $(head -c 10 "$WORK/err") == "fluttons: " && ! -s $WORK/out ]] ||
        fail "$args: not one line on stderr: $(cat "$WORK/err" "$WORK/out")"
done
rc=0
XSCREENSAVER_WINDOW=garbage "$FLUTTONS" -root >/dev/null 2>&1 || rc=$?
[[ $rc == 2 ]] || fail "a garbage \$XSCREENSAVER_WINDOW: exit code $rc"
"$FLUTTONS" -help | grep -q -- "-characters" || fail "-help"
echo "ok: refused options"

# The desktop background is the screen as it was before the window came up.
root_frame 1 "$WORK/desktop.png" -back2 3 -num 40
own_window_shot() {
    import -window "$WID" "$WORK/own.png" 2>/dev/null && [[ $(differing "$WORK/desktop.png" "$WORK/own.png") == 0 ]]
}

# own_window OPTIONS...: a fluttons in a window of its own; sets PID and WID.
own_window() {
    "$FLUTTONS" "$@" >"$WORK/own.log" 2>&1 &
    PID=$!
    STARTED+=("$PID")
    flutt_wait_for 20 xdotool search --pid "$PID" >/dev/null || fail "no window of its own: $(cat "$WORK/own.log")"
    WID=$(xdotool search --pid "$PID" | head -1)
}

own_window -back2 0 -num 0
flutt_wait_for 10 own_window_shot || fail "the desktop background is not the screen before the window: $(differing "$WORK/desktop.png" "$WORK/own.png") pixels differ"
kill -TERM "$PID"
wait "$PID"
echo "ok: the desktop background"

for signal in TERM INT; do
    own_window -back2 5 -num 50
    [[ $(xdotool getwindowgeometry "$WID" | grep Geometry) == *1920x1080 ]] || fail "own window not screen-sized"
    kill -"$signal" "$PID"
    rc=0
    wait "$PID" || rc=$?
    [[ $rc == 0 ]] || fail "SIG$signal: exit code $rc"
    ! xdotool getwindowname "$WID" >/dev/null 2>&1 || fail "SIG$signal left the window behind"
done
echo "ok: SIGTERM and SIGINT end it cleanly"

# While the X server does not answer, a second signal ends it at once.
own_window -back2 5 -num 50
kill -STOP "$main_xvfb"
kill -TERM "$PID"
sleep 0.2
kill -TERM "$PID"
ended=0
flutt_wait_for 5 eval '! running "$PID"' && ended=1
kill -CONT "$main_xvfb"
((ended)) || fail "two SIGTERMs did not end it while the X server was stopped"
echo "ok: a second SIGTERM ends it at once"

# A window nothing can be drawn into: one line, exit code 1.
"$XPIXELS" input-only-window >"$WORK/input-only.id" &
STARTED+=("$!")
flutt_wait_for 10 test -s "$WORK/input-only.id" || fail "no InputOnly window"
rc=0
timeout 10 "$FLUTTONS" -window-id "$(cat "$WORK/input-only.id")" >"$WORK/out" 2>"$WORK/err" || rc=$?
[[ $rc == 1 && $(wc -l <"$WORK/err") == 1 && $(cat "$WORK/err") == *InputOnly* && ! -s $WORK/out ]] ||
    fail "an InputOnly window: exit code $rc, said $(cat "$WORK/err" "$WORK/out")"
echo "ok: an InputOnly window is refused"


# A host window (a fluttons stopped after its first frame, so that it does
# not repaint when exposed), and two hacks drawing into it, found by
# -window-id and $XSCREENSAVER_WINDOW.
own_window -back2 5 -num 0 -stop-after 1
host=$PID
flutt_wait_for 10 grep -q "stopped at frame 1" "$WORK/own.log" || fail "the host did not draw"
kill -STOP "$host"
"$FLUTTONS" -window-id "$WID" -back2 2 -num 0 >"$WORK/by-id.log" 2>&1 &
by_id=$!
STARTED+=("$by_id")
XSCREENSAVER_WINDOW=$WID "$FLUTTONS" -root -back2 2 -num 0 >"$WORK/by-env.log" 2>&1 &
by_env=$!
STARTED+=("$by_env")

# Made smaller, the window gets the night sky stretched to its new size.
start_xvfb 640x480
root_frame 1 "$WORK/night-640.png" -back2 2 -num 0
export DISPLAY=$main_display
xdotool windowsize "$WID" 640 480
same_as_reference() {
    import -window "$WID" "$WORK/resized.png" 2>/dev/null && [[ $(differing "$WORK/night-640.png" "$WORK/resized.png") == 0 ]]
}
flutt_wait_for 10 same_as_reference || fail "the window's new size was not followed: $(differing "$WORK/night-640.png" "$WORK/resized.png") pixels differ"
echo "ok: drawing into another window, following its size"

# The window goes away: both hacks end by themselves.
kill -TERM "$host"
kill -CONT "$host"
wait "$host" || fail "the host window's program failed"
for pid in "$by_id" "$by_env"; do
    flutt_wait_for 10 eval '! running "$pid"' || fail "a hack kept running after its window went away"
    rc=0
    wait "$pid" || rc=$?
    [[ $rc == 0 ]] || fail "a hack ended with $rc after its window went away: $(cat "$WORK"/by-*.log)"
done
[[ ! -s $WORK/by-id.log && ! -s $WORK/by-env.log ]] || fail "noise at the window's end: $(cat "$WORK"/by-*.log)"
# Nor do the frame-rate line's requests on the window that went away.
"$XPIXELS" window 24 0 0 320 240 >"$WORK/host.id" &
host=$!
STARTED+=("$host")
flutt_wait_for 10 test -s "$WORK/host.id" || fail "no host window"
"$FLUTTONS" -window-id "$(cat "$WORK/host.id")" -fps -num 20 >"$WORK/fps.log" 2>&1 &
fps=$!
STARTED+=("$fps")
sleep 1
kill "$host"
flutt_wait_for 10 eval '! running "$fps"' || fail "the hack with -fps kept running after its window went away"
rc=0
wait "$fps" || rc=$?
[[ $rc == 0 && ! -s $WORK/fps.log ]] || fail "-fps at the window's end: exit code $rc, said $(cat "$WORK/fps.log")"
echo "ok: the window's end ends the hack"

# Every option the settings description hands over is one the hack takes.
xml=$REPO/linux/fluttons.xml
sample() {
    case $1 in
        num | downspeed | lrspeed) echo 50 ;;
        characters) echo 111110000011111 ;;
        messagecolor | messagebg) echo '#80FF00' ;;
        font) echo 'DejaVu Sans 24' ;;
        *) echo Hello ;;
    esac
}
checked=0
while read -r line; do
    if [[ $line =~ arg-set=\"([^\"]*)\" ]]; then
        read -r -a args <<<"${BASH_REMATCH[1]}"
    elif [[ $line =~ id=\"([^\"]*)\".*arg=\"([^\" ]*)\ %\" ]]; then
        args=("${BASH_REMATCH[2]}" "$(sample "${BASH_REMATCH[1]}")")
    else
        continue
    fi
    "$FLUTTONS" "${args[@]}" -help >/dev/null 2>"$WORK/err" || fail "fluttons.xml: ${args[*]} refused: $(cat "$WORK/err")"
    checked=$((checked + 1))
done < <(tr '\n' ' ' <"$xml" | grep -o '<[^>]*>' | grep ' arg' | sed 's/<command arg=/<command arg-set=/')
((checked == 25)) || fail "only $checked options found in fluttons.xml"
echo "ok: the $checked options of fluttons.xml"

# The install puts both where XScreenSaver looks.
cmake --install "$(dirname "$FLUTTONS")" --prefix "$WORK/prefix" >/dev/null
[[ -x $WORK/prefix/libexec/xscreensaver/fluttons && -f $WORK/prefix/share/xscreensaver/config/fluttons.xml ]] ||
    fail "cmake --install: $(find "$WORK/prefix" -type f)"
"$WORK/prefix/libexec/xscreensaver/fluttons" -help >/dev/null || fail "the installed program does not run"
echo "ok: cmake --install"
