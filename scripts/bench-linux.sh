#!/usr/bin/env bash
# Cost of fluttons, the Linux hack, on a 1920x1080 Xvfb display: builds the
# native preset, then runs the real loop (fluttons -root -bench S) for num 0,
# 100 and 1000 and prints, per frame, the hack's own CPU time plus the X
# server's (which does the presenting), against the floor of two full-screen
# 32-bit memory copies measured in the same run (the floor of the Windows
# benchmark), and above the idle floor I: the same measure of a full-screen
# window that wakes every 100 ms and draws nothing (xpixels idle-window). The
# hack's own cost is "above I, in F": (total - I) / F. Prints figures; passes
# or fails nothing.
#   FLUTT_BENCH_SECONDS (10): length of each run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset native >/dev/null
cmake --build --preset native -j2 --target fluttons xpixels >/dev/null
seconds=${FLUTT_BENCH_SECONDS:-10}
hz=$(getconf CLK_TCK)

# shellcheck source=scripts/x-server.sh
source scripts/x-server.sh
flutt_start_x_server $((500 + $$ % 300)) Xvfb :%d -screen 0 1920x1080x24 -nolisten tcp ||
    { echo "bench-linux.sh: no free display for Xvfb" >&2; exit 1; }
xvfb=$FLUTT_X_PID
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY=$FLUTT_X_DISPLAY

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# The idle floor I, in ms per tick: the window's own CPU plus the X server's.
log=$(mktemp)
build/native/tests/linux/xpixels idle-window "$seconds" >"$log" &
idle=$!
until grep -q measuring "$log"; do sleep 0.01; done
x0=$(cpu_ticks "$xvfb")
wait "$idle"
x1=$(cpu_ticks "$xvfb")
idle_ms=$(awk -v x="$((x1 - x0))" -v hz="$hz" '/ticks, process CPU/ {
    printf "%.3f", $5 + 1000 * x / hz / $1 }' "$log")
rm -f "$log"
echo "idle window I: $idle_ms ms per tick (its own CPU and the X server's)"
echo

for shm in 1 0; do
    for num in 0 100 1000; do
        log=$(mktemp)
        if ((shm)); then
            build/native/fluttons -root -back2 1 -num "$num" -bench "$seconds" >"$log" &
        else
            FLUTTONS_NO_SHM=1 build/native/fluttons -root -back2 1 -num "$num" -bench "$seconds" >"$log" &
        fi
        hack=$!
        # The server's share from the second frame on, as the hack's own.
        until grep -q measuring "$log"; do sleep 0.01; done
        x0=$(cpu_ticks "$xvfb")
        wait "$hack"
        x1=$(cpu_ticks "$xvfb")
        out=$(grep -v measuring "$log")
        rm -f "$log"
        echo "$out"
        awk -v out="$out" -v x="$((x1 - x0))" -v hz="$hz" -v idle="$idle_ms" 'BEGIN {
            n = split(out, lines, "\n")
            for (i = 1; i <= n; i++) {
                if (lines[i] ~ /frames measured$/) { split(lines[i], w, " "); frames = w[length(w) - 2] }
                if (lines[i] ~ /^floor/) { split(lines[i], w, ": "); floor = w[2] + 0 }
                if (lines[i] ~ /^process CPU/) { split(lines[i], w, ": "); own = w[2] + 0 }
            }
            server = 1000 * x / hz / frames
            total = own + server
            printf "X server CPU: %.3f ms per frame\ntotal: %.3f ms per frame = %.2fx F in all, %.2fx F above I\n\n",
                server, total, total / floor, (total - idle) / floor
        }'
    done
done
