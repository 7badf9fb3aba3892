#!/usr/bin/env bash
# Makes the README's pictures from the real programs on virtual X displays:
#   saver.png            the animation full screen over a picture, with the message
#   saver-desktop.png    the same over the desktop (a wallpaper and the settings dialog)
#   saver.gif            three seconds of the characters moving, ten frames a second
#   dialog-general.png, dialog-message.png, dialog-character.png, dialog-about.png
#                        the four tabs of the settings dialog
#   saver-monitors.png   fluttsaver.scr /s with IsOnEveryMonitor on two
#                        monitors side by side (scripts/monitor-rig.sh),
#                        1280 wide: only when asked for by name, as it is
#                        taken from the running saver, at no fixed frame
# The full-screen pictures are drawn by fluttons, the Linux hack, which draws
# the Windows saver's frames pixel for pixel from the same core, stopped at a
# fixed frame (-stop-after): the same commit gives the same pixels. The dialog
# is fluttsaver.scr /c, the 64-bit build (which runs on every machine with
# 64-bit Wine), under Wine.
# Usage: screenshots.sh [--out DIR] [NAME...]   (NAME: saver saver-desktop
#        saver.gif dialog saver-monitors; default: all but saver-monitors,
#        into docs/)
# FLUTTONS and FLUTTSAVER_SCR name programs already built; otherwise the
# native and win64 presets build them.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$repo"
# shellcheck source=scripts/x-server.sh
source scripts/x-server.sh

out=$repo/docs
if [[ ${1:-} == --out ]]; then
    out=$(realpath -m "$2")
    shift 2
fi
names=("$@")
((${#names[@]})) || names=(saver saver-desktop saver.gif dialog)
wants() { [[ " ${names[*]} " == *" $1 "* ]]; }
wants_wine() { wants saver-desktop || wants dialog; }
mkdir -p "$out"

if [[ -z ${FLUTTONS:-} ]]; then
    cmake --preset native >/dev/null
    cmake --build --preset native -j2 --target fluttons >/dev/null
    FLUTTONS=$repo/build/native/fluttons
fi
if { wants_wine || wants saver-monitors; } && [[ -z ${FLUTTSAVER_SCR:-} ]]; then
    cmake --preset win64 >/dev/null
    cmake --build --preset win64 -j2 --target fluttsaver >/dev/null
    FLUTTSAVER_SCR=$repo/build/win64/fluttsaver.scr
fi

work=$(mktemp -d)
started=()
cleanup() {
    local pid
    for pid in "${started[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$work"
    if declare -F flutt_wine_cleanup >/dev/null; then flutt_wine_cleanup; fi
}
trap cleanup EXIT

# xvfb WxH: a display of that size, 24-bit, for the hack; sets DISPLAY.
xvfb() {
    flutt_start_x_server $((1100 + $$ % 200)) Xvfb :%d -screen 0 "$1x24" -nolisten tcp -noreset ||
        { echo "screenshots.sh: no free display for Xvfb" >&2; exit 1; }
    started+=("$FLUTT_X_PID")
    export DISPLAY=$FLUTT_X_DISPLAY
}

# start_frame N LOG OPTIONS...: fluttons on $DISPLAY, to stop at frame N; sets PID.
start_frame() {
    local ticks=$1 log=$2
    shift 2
    : >"$log"  # the wait must not read the line of the run before
    "$FLUTTONS" -stop-after "$ticks" "$@" >"$log" 2>&1 &
    PID=$!
}

# finish_frame PID N LOG OUT.png: waits for frame N, takes the screen's
# picture, and ends the hack again.
finish_frame() {
    local pid=$1 ticks=$2 log=$3
    flutt_wait_for 60 grep -q "stopped at frame $ticks" "$log" || { echo "screenshots.sh: fluttons: $(cat "$log")" >&2; exit 1; }
    import -window root "$4"
    kill -TERM "$pid"
    wait "$pid"
}

# frame N OUT.png OPTIONS...: fluttons on $DISPLAY stopped at frame N, the
# screen's picture, and the hack ended again.
frame() {
    local ticks=$1 shot=$2
    shift 2
    start_frame "$ticks" "$work/fluttons.log" "$@"
    finish_frame "$PID" "$ticks" "$work/fluttons.log" "$shot"
}

# Pictures without time stamps or other chunks that change from run to run.
png() { convert "$1" -strip -define png:exclude-chunks=date,time "$2"; }

readonly SCREEN_SIZE=1280x720
readonly MESSAGE="Fluttons! Saver"
# The still pictures: 150 characters after three seconds.
still=(-num 150 -message "$MESSAGE")

if wants saver; then
    xvfb "$SCREEN_SIZE"
    frame 30 "$work/saver.png" -root -back2 1 "${still[@]}"
    png "$work/saver.png" "$out/saver.png"
    echo "screenshots.sh: $out/saver.png"
fi

if wants saver.gif; then
    # Frames 21 to 50, when the characters have come in from the edge. Each
    # frame is taken from a run of its own stopped there, so they are the same
    # every time; five runs at a time, each on a display of its own.
    displays=()
    for ((k = 0; k < 5; k++)); do
        xvfb 640x360
        displays+=("$DISPLAY")
    done
    frames=()
    for ((n = 21; n <= 50; n += 5)); do
        pids=()
        for ((k = 0; k < 5; k++)); do
            DISPLAY=${displays[k]} start_frame $((n + k)) "$work/anim-$k.log" -root -back2 2 -num 60
            pids+=("$PID")
        done
        for ((k = 0; k < 5; k++)); do
            DISPLAY=${displays[k]} finish_frame "${pids[k]}" $((n + k)) "$work/anim-$k.log" "$work/anim-$((n + k)).png"
            frames+=("$work/anim-$((n + k)).png")
        done
    done
    convert -delay 10 -loop 0 "${frames[@]}" +dither -layers Optimize "$out/saver.gif"
    echo "screenshots.sh: $out/saver.gif ($(stat -c %s "$out/saver.gif") bytes)"
fi

if wants saver-monitors; then
    (
        # shellcheck source=scripts/wine-env.sh
        source "$repo/scripts/wine-env.sh"
        # shellcheck source=scripts/monitor-rig.sh
        source "$repo/scripts/monitor-rig.sh"
        trap 'flutt_stop_monitor_rig; flutt_wine_cleanup' EXIT
        flutt_wine_select 64 && flutt_start_monitor_rig 64 ||
            { echo "screenshots.sh: no two-monitor rig with 64-bit Wine" >&2; exit 1; }
        for value in IsOnEveryMonitor=1 back2=1 num=150 IsShownMessage=1; do
            wine reg add 'HKCU\Software\Orrin Software\Fluttons Saver' /v "${value%=*}" /t REG_SZ \
                /d "${value#*=}" /f >/dev/null 2>&1
        done
        wine "$FLUTTSAVER_SCR" /s >"$work/monitors.log" 2>&1 </dev/null &
        sleep 4  # three seconds of frames after the start
        import -window root "$work/monitors.png"
        kill $!
        # The strip below the smaller monitor belongs to no monitor: black.
        convert "$work/monitors.png" -fill black -draw 'rectangle 1920,1024 3199,1079' -resize 1280x "$work/small.png"
        # 192 colours keep it smaller than the README's other pictures.
        convert "$work/small.png" -strip -define png:exclude-chunks=date,time -alpha off -colors 192 \
            "PNG8:$out/saver-monitors.png"
    ) || exit 1
    echo "screenshots.sh: $out/saver-monitors.png"
fi

if wants_wine; then
    export FLUTT_SCREEN=${SCREEN_SIZE}x24
    # shellcheck source=scripts/wine-env.sh
    source "$repo/scripts/wine-env.sh"
    trap cleanup EXIT  # which ends the Wine session too
    flutt_wine_select 64 || { echo "screenshots.sh: no 64-bit Wine here" >&2; exit 1; }
    # 64-bit Wine does not find its own Marlett here, which draws the caption
    # buttons: without it they show as the letters 0, 1 and r.
    cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
    # The pointer away from the dialog: no tooltip, no hover.
    xdotool mousemove 0 0
    # The desktop's wallpaper: a blue gradient on the root window.
    convert -size "$SCREEN_SIZE" gradient:'#2f6db0-#0c2747' "$work/wallpaper.png"
    display -window root "$work/wallpaper.png" >/dev/null 2>&1 || true
    wine "$FLUTTSAVER_SCR" /c >"$work/dialog.log" 2>&1 </dev/null &
    dialog_pid=$!
    started+=("$dialog_pid")
    dialog_window() { xdotool search --onlyvisible --name '^Fluttons! ' 2>/dev/null | head -1; }
    flutt_wait_for 30 dialog_window >/dev/null || { echo "screenshots.sh: no settings dialog" >&2; exit 1; }
    xid=$(dialog_window)
    eval "$(xdotool getwindowgeometry --shell "$xid")"
    # Until the dialog has painted itself.
    sleep 2
    if wants dialog; then
        for tab in general message character about; do
            import -window root -crop "${WIDTH}x${HEIGHT}+$X+$Y" +repage "$work/tab.png"
            png "$work/tab.png" "$out/dialog-$tab.png"
            echo "screenshots.sh: $out/dialog-$tab.png"
            xdotool key ctrl+Tab
            sleep 1
        done  # and back on the first tab
    fi
    if wants saver-desktop; then
        # The hack in a window of its own over the whole screen, with the screen
        # as it was before as its background.
        frame 30 "$work/desktop.png" -back2 0 "${still[@]}"
        png "$work/desktop.png" "$out/saver-desktop.png"
        echo "screenshots.sh: $out/saver-desktop.png"
    fi
fi
