#!/usr/bin/env bash
# Frame benchmark of the real saver under Wine on a 1920x1080 virtual display:
# builds the win32 preset, then prints the figures of frame_bench.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j2 --target fluttsaver frame_bench >/dev/null
# shellcheck source=scripts/wine-env.sh
source scripts/wine-env.sh
wine reg delete 'HKCU\Software\Orrin Software' /f >/dev/null 2>&1 || true
out=$(mktemp)
wine build/win32/tests/bench/frame_bench.exe "$(winepath -w build/win32/fluttsaver.scr)" >"$out" 2>&1 </dev/null
cat "$out"
rm -f "$out"

# CPU share of the saver in its real loop at the default settings (an empty
# registry), from the Linux side: the Wine process's own time, and the Wine
# server's time spent meanwhile (timers, messages, drawing requests).
ticks=$(getconf CLK_TCK)
cpu_of() { awk '{print $14 + $15}' "/proc/$1/stat"; }
# The process of this Wine session whose command line matches.
pid_in_prefix() {
    local p
    for p in $(pgrep -f "$1"); do
        tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
    done
}
wine reg delete 'HKCU\Software\Orrin Software' /f >/dev/null 2>&1 || true
wine build/win32/fluttsaver.scr /s >/dev/null 2>&1 </dev/null &
launcher=$!
sleep 3
saver=$(pid_in_prefix 'fluttsaver.scr /s')
server=$(pid_in_prefix 'wineserver')
s0=$(cpu_of "$saver"); w0=$(cpu_of "$server"); t0=$(date +%s.%N)
sleep 10
s1=$(cpu_of "$saver"); w1=$(cpu_of "$server"); t1=$(date +%s.%N)
awk -v s="$((s1 - s0))" -v w="$((w1 - w0))" -v hz="$ticks" -v t0="$t0" -v t1="$t1" 'BEGIN {
    wall = t1 - t0
    printf "CPU share at the default settings, 10 s of the real loop: saver %.2f %% of one core, wineserver %.2f %%\n", 100 * s / hz / wall, 100 * w / hz / wall }'
xdotool mousemove 10 10 mousemove 20 20 key space
wait "$launcher"
