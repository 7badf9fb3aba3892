#!/usr/bin/env bash
# Benchmarks of the real saver under Wine; they print figures, they pass or
# fail nothing. Builds the saver of the kind this machine runs (the 32-bit
# win32 preset where 32-bit x86 code runs, else the 64-bit win64 one; see
# scripts/wine-arch.sh) and says which: compare figures only within one kind.
# FLUTT_BENCH_PRESET chooses another preset. Then:
#   1. the saver's real loop measured from outside: the CPU time of the saver
#      process plus the Wine server that serves it, per frame, for num 0, 100
#      and 1000 on a 1920x1080 display at 96 DPI (k = 1), and num 100 on a
#      3840x2160 one at 96 DPI (k = 1) and at 192 DPI (k = 2: the characters
#      drawn twice as large on a 1920x1080 logical screen). Each run is set
#      against two floors measured just before it on that display: F, two
#      full-screen 32-bit memory copies, and I, the same outside measure of
#      an idle full-screen window whose 100 ms timer draws nothing (what any
#      program that ticks ten times a second costs under Wine). The figure
#      that is the saver's own is "above I, in F": (saver - I) / F. Then two
#      monitors side by side (scripts/monitor-rig.sh: 1920x1080 and
#      1280x1024), num 100: today's run, the primary animated and the other
#      monitor black, and the run on every monitor (IsOnEveryMonitor), whose
#      cost above I should be the sum of each monitor's alone: the 1920x1080
#      figure plus that of a 1280x1024 display, measured last;
#   2. process start to first frame, against a minimal Win32 program's start
#      to first paint (the difference is the saver's own, from its window
#      showing to its first frame), on screens of 1920x1080, 3840x2160 and
#      15360x8640, with the default (stretched) background and a tiled one;
#      FLUTT_BENCH_START_SIZES chooses other sizes;
#   3. frame_bench's in-process phases of a frame;
#   4. the Wine server's requests a tick (a 100 ms tick: requests over
#      $seconds s, / ($seconds * 10)) of the idle window and of the saver at
#      num 0 and num 100, each program alone under a private wineserver that
#      traces every request (-d2) in a session of its own, the requests of
#      the program's own threads counted, with the names most made.
# FLUTT_BENCH_PARTS chooses the parts, by name: "loop start phases requests"
# (the default, all of them).
# FLUTT_BENCH_SCR measures another build of the saver (the benchmark programs
# still come from this tree); FLUTT_BENCH_SECONDS (10) and FLUTT_BENCH_RUNS (3)
# set each loop measurement's length and repeats. The machine's other load
# shows in the figures: compare runs made close together.
set -euo pipefail
cd "$(dirname "$0")/.."
# shellcheck source=scripts/wine-arch.sh
source scripts/wine-arch.sh
preset=${FLUTT_BENCH_PRESET:-win$FLUTT_WINE_ARCH}
bits=64
[[ $preset == win32* ]] && bits=32
echo "benchmarking the $bits-bit saver ($preset): $FLUTT_WINE_ARCH_WHY"
bash scripts/deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" -j2 --target fluttsaver frame_bench first_paint >/dev/null
scr=$(realpath "${FLUTT_BENCH_SCR:-build/$preset/fluttsaver.scr}")
bench=build/$preset/tests/bench
seconds=${FLUTT_BENCH_SECONDS:-10}
runs=${FLUTT_BENCH_RUNS:-3}
readonly REG_KEY='HKCU\Software\Orrin Software\Fluttons Saver'

# CPU time of a process, all its threads, in nanoseconds.
cpu_ns() {
    local sum=0 f on_cpu
    for f in /proc/"$1"/task/*/schedstat; do
        read -r on_cpu _ <"$f" 2>/dev/null && sum=$((sum + on_cpu))
    done
    echo "$sum"
}

# The process of this Wine session whose command line matches.
pid_in_prefix() {
    local p
    for p in $(pgrep -f "$1"); do
        tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" && { echo "$p"; return; }
    done
}

# launch PATTERN COMMAND...: starts COMMAND and sets the caller's launcher
# (its process) and program (the process of this session whose command line
# matches PATTERN, once it shows); end_launch ends both.
launch() {
    local pattern=$1 i
    shift
    "$@" >/dev/null 2>&1 </dev/null &
    launcher=$!
    program=
    for ((i = 0; i < 100; i++)); do
        sleep 0.1
        program=$(pid_in_prefix "$pattern")
        [[ -n $program ]] && break
    done
}

end_launch() {
    kill "$launcher" 2>/dev/null || true
    [[ -n $program ]] && { kill "$program" 2>/dev/null || true; }
    wait "$launcher" 2>/dev/null || true
}

# ms_per_tick PATTERN COMMAND...: starts COMMAND and prints the CPU time, in
# ms per 100 ms tick, of the process of this session whose command line
# matches PATTERN plus the Wine server, over $seconds after 3 s of start-up.
ms_per_tick() {
    local launcher program server
    launch "$@"
    server=$(pid_in_prefix 'wineserver')
    sleep 3  # past the start-up and the first frames
    local p0 w0 t0 p1 w1 t1
    p0=$(cpu_ns "$program"); w0=$(cpu_ns "$server"); t0=$(date +%s%N)
    sleep "$seconds"
    p1=$(cpu_ns "$program"); w1=$(cpu_ns "$server"); t1=$(date +%s%N)
    end_launch
    awk -v p=$((p1 - p0)) -v w=$((w1 - w0)) -v t=$((t1 - t0)) 'BEGIN {
        ticks = t / 1e8; printf "%.3f %.3f\n", p / ticks / 1e6, w / ticks / 1e6 }'
}

# The saver with `num` characters ("NUM", or "NUM:every" for the run on every
# monitor): "saver-ms wineserver-ms" per frame.
saver_ms_per_frame() {
    local every=0
    [[ $1 == *:every ]] && every=1
    set_saver_num "${1%:every}" "$every"
    ms_per_tick "$(basename "$scr") /s" wine "$scr" /s
}

# set_saver_num NUM [EVERY]: the saver's settings: the defaults but for num
# (and IsOnEveryMonitor, 0 unless given).
set_saver_num() {
    wine reg delete 'HKCU\Software\Orrin Software' /f >/dev/null 2>&1 || true
    wine reg add "$REG_KEY" /v num /t REG_SZ /d "$1" /f >/dev/null 2>&1
    wine reg add "$REG_KEY" /v IsOnEveryMonitor /t REG_SZ /d "${2:-0}" /f >/dev/null 2>&1
}

# The idle floor I: "window-ms wineserver-ms" per tick.
idle_ms_per_tick() { ms_per_tick 'frame_bench.exe idle' wine "$bench/frame_bench.exe" idle; }

# The floor F on this display now, in ms: two full-screen 32-bit memory copies.
floor_ms() { wine "$bench/frame_bench.exe" floor </dev/null | tr -d '\r' | sed -n 's/^floor_ms=//p'; }

# requests_per_tick PATTERN TRACE COMMAND...: under a tracing wineserver (started
# by the caller, writing to TRACE), starts COMMAND and prints the requests a 100 ms tick made
# by the threads of the process whose command line matches PATTERN over
# $seconds after 3 s of start-up, then the names most made, with theirs.
requests_per_tick() {
    local trace=$2 launcher program l0 l1 task tids=
    launch "$1" "${@:3}"
    sleep 3
    l0=$(wc -l <"$trace")
    sleep "$seconds"
    l1=$(wc -l <"$trace")
    for task in /proc/"$program"/task/*; do tids+=" ${task##*/}"; done
    end_launch
    # A thread's number in the trace comes from the line on which it made
    # itself known with its Unix thread id; a request line is "NNNN: name( ...",
    # its reply "NNNN: name() = ...".
    awk -v l0="$l0" -v l1="$l1" -v tids="$tids" -v ticks="$((seconds * 10))" '
        BEGIN { n = split(tids, t, " "); for (i = 1; i <= n; i++) ours[t[i]] = 1 }
        match($0, /^[0-9a-f]+: init_(first_)?thread\( .*unix_tid=[0-9]+/) {
            id = substr($0, 1, index($0, ":") - 1)
            tid = $0; sub(/.*unix_tid=/, "", tid); sub(/[^0-9].*/, "", tid)
            if (tid in ours) mine[id] = 1
        }
        NR > l0 && NR <= l1 && match($0, /^[0-9a-f]+: [a-z_]+\( /) {
            id = substr($0, 1, index($0, ":") - 1)
            if (!(id in mine)) next
            name = $2; sub(/\(.*/, "", name)
            count[name]++; total++
        }
        END {
            printf "%.2f requests a tick:", total / ticks
            for (k = 0; k < 4; k++) {
                best = ""; for (name in count) if (best == "" || count[name] > count[best]) best = name
                if (best == "") break
                printf " %s %.2f", best, count[best] / ticks; delete count[best]
            }
            printf "\n"
        }' "$trace"
}

sum_of() { awk -v l="$1" 'BEGIN { split(l, a, " "); printf "%.3f", a[1] + a[2] }'; }

# runs_table TITLE NUM...: in the Wine session and on the display this shell
# is in, each run measures F and I, then the saver with each NUM (see
# saver_ms_per_frame): the machine's load moves them all.
runs_table() {
    local title=$1 floor idle num run line total
    shift
    declare -A above
    echo "$title"
    for ((run = 1; run <= runs; run++)); do
        floor=$(floor_ms)
        line=$(idle_ms_per_tick)
        idle=$(sum_of "$line")
        echo "  run $run: floor F $floor ms; idle window I: window + wineserver $line ms per tick (total $idle)"
        for num in "$@"; do
            line=$(saver_ms_per_frame "$num")
            total=$(sum_of "$line")
            above[$num]+=" $(awk -v t="$total" -v i="$idle" -v f="$floor" 'BEGIN { printf "%.2f", (t - i) / f }')"
            echo "  run $run: num $num: saver + wineserver ms per frame: $line (total $total):" \
                "$(awk -v t="$total" -v f="$floor" 'BEGIN { printf "%.2f", t / f }')x F in all," \
                "${above[$num]##* }x F above I"
        done
    done
    for num in "$@"; do
        echo "  num $num: above I, in F, $runs runs of $seconds s:$(tr ' ' '\n' <<<"${above[$num]}" | sort -n | paste -sd' ')"
    done
}

# loop_table SCREEN DPI NUM...: runs_table in a Wine session of its own on a
# display of that size at that DPI (the prefix's LogPixels, read when the
# wineserver starts).
loop_table() (
    export FLUTT_SCREEN=$1x24
    local dpi=$2
    shift 2
    # shellcheck source=scripts/wine-env.sh
    source scripts/wine-env.sh
    flutt_wine_select "$bits"
    if ((dpi != 96)); then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
        wineserver -k >/dev/null 2>&1 || true
        timeout 20 wineserver -w >/dev/null 2>&1 || true
        wineserver -p >/dev/null 2>&1
        wine cmd /c exit >/dev/null 2>&1 </dev/null
    fi
    runs_table "screen ${FLUTT_SCREEN%x24} at $dpi DPI" "$@"
)

# rig_table NUM...: runs_table on the two-monitor rig (F and I on the primary).
rig_table() (
    # shellcheck source=scripts/wine-env.sh
    source scripts/wine-env.sh
    # shellcheck source=scripts/monitor-rig.sh
    source scripts/monitor-rig.sh
    flutt_wine_select "$bits"
    trap 'flutt_stop_monitor_rig; flutt_wine_cleanup' EXIT
    flutt_start_monitor_rig "$bits" || { echo "the two-monitor rig did not start" >&2; exit 1; }
    runs_table "two monitors, 1920x1080 and 1280x1024, at 96 DPI (NUM:every: on every monitor)" "$@"
)

# request_table: the requests a tick of the idle window and of the saver at
# num 0 and 100, in a Wine session of its own whose server traces them.
request_table() (
    # shellcheck source=scripts/wine-env.sh
    source scripts/wine-env.sh
    flutt_wine_select "$bits"
    local trace server num
    trace=$(mktemp)
    wineserver -k >/dev/null 2>&1 || true
    timeout 20 wineserver -w >/dev/null 2>&1 || true
    wineserver -f -d2 2>"$trace" >/dev/null &
    server=$!
    wine cmd /c exit >/dev/null 2>&1 </dev/null  # Wine's services up before anything is counted
    echo "== Wine server requests a 100 ms tick, $seconds s each (saver: $scr)"
    echo "  idle window: $(requests_per_tick 'frame_bench.exe idle' "$trace" wine "$bench/frame_bench.exe" idle)"
    for num in 0 100; do
        set_saver_num "$num"
        echo "  saver, num $num: $(requests_per_tick "$(basename "$scr") /s" "$trace" wine "$scr" /s)"
    done
    wineserver -k >/dev/null 2>&1 || true
    wait "$server" 2>/dev/null || true
    rm -f "$trace"
)

start_sizes=${FLUTT_BENCH_START_SIZES:-1920x1080 3840x2160 15360x8640}

# start_up_table SCREEN: process start to first frame in a Wine session of
# its own on a display of that size, with the default background and with a
# tiled one (back2 3).
start_up_table() (
    export FLUTT_SCREEN=$1x24
    # shellcheck source=scripts/wine-env.sh
    source scripts/wine-env.sh
    flutt_wine_select "$bits"
    local back2 out
    out=$(mktemp)
    for back2 in default 3; do
        wine reg delete 'HKCU\Software\Orrin Software' /f >/dev/null 2>&1 || true
        [[ $back2 == default ]] || wine reg add "$REG_KEY" /v back2 /t REG_SZ /d "$back2" /f >/dev/null 2>&1
        echo "  screen $1, background $back2:"
        wine "$bench/frame_bench.exe" start "$(winepath -w "$scr")" "$(winepath -w "$bench/first_paint.exe")" \
            >"$out" 2>&1 </dev/null
        tr -d '\r' <"$out" | sed 's/^/    /'
    done
    rm -f "$out"
)

parts=" ${FLUTT_BENCH_PARTS:-loop start phases requests} "

if [[ $parts == *" loop "* ]]; then
echo "== the real loop, from outside (saver: $scr)"
loop_table 1920x1080 96 0 100 1000
loop_table 3840x2160 96 100
loop_table 3840x2160 192 100
rig_table 100 100:every
loop_table 1280x1024 96 100
fi

if [[ $parts == *" start "* ]]; then
    echo "== start-up"
    for size in $start_sizes; do start_up_table "$size"; done
fi

[[ $parts == *" phases "* ]] && (
    # shellcheck source=scripts/wine-env.sh
    source scripts/wine-env.sh
    flutt_wine_select "$bits"
    wine reg delete 'HKCU\Software\Orrin Software' /f >/dev/null 2>&1 || true
    out=$(mktemp)
    echo "== in-process phases (1920x1080)"
    wine "$bench/frame_bench.exe" frames "$(winepath -w "$scr")" >"$out" 2>&1 </dev/null
    tr -d '\r' <"$out"
    rm -f "$out"
)

if [[ $parts == *" requests "* ]]; then
    request_table
fi
