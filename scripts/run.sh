#!/usr/bin/env bash
# Installs what is missing, builds fluttsaver.scr and runs it full screen: the
# 64-bit saver (preset win64) in a 64-bit Wine prefix, the same on every
# machine, whether or not it also runs 32-bit x86 code. With
# $DISPLAY set it runs there until you end it (a key, a click or a mouse move
# after the first two seconds). Without a display it runs on a virtual one,
# saves build/<preset>/screenshot.png after about 3 s, then ends the saver
# with a key press.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

preset=win64
echo "running the 64-bit saver ($preset) in 64-bit Wine"
bash scripts/deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target fluttsaver
scr=build/$preset/fluttsaver.scr

if [[ -n ${DISPLAY:-} ]]; then
    export WINEDEBUG=${WINEDEBUG:--all}
    export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
    PATH=$PWD/scripts/wine64:$PATH
    exec wine "$scr" /s
fi

source scripts/wine-env.sh
echo "running $scr /s on the virtual display $DISPLAY"
wine "$scr" /s >"build/$preset/run.log" 2>&1 </dev/null &
saver=$!
sleep 3
import -window root "build/$preset/screenshot.png"
echo "screenshot: build/$preset/screenshot.png"

# An ended child stays a zombie until waited for: not running any more.
running() { [[ $(ps -o stat= -p "$1" 2>/dev/null) == [^Z]* ]]; }

# Past the saver's first two seconds, a key press ends it.
xdotool key space
for _ in $(seq 100); do
    running "$saver" || break
    sleep 0.1
done
if running "$saver"; then
    echo "the saver did not end on a key press; stopping it" >&2
    kill "$saver"
    wait "$saver" 2>/dev/null || true
    exit 1
fi
status=0
wait "$saver" || status=$?
echo "the saver ended with exit status $status"
exit "$status"
