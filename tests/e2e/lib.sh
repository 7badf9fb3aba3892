# shellcheck shell=bash
# Helpers of the end-to-end test scripts. A script sources this with its own
# arguments: SCR PROBE HOST (paths of fluttsaver.scr, e2e_probe.exe and
# e2e_preview_host.exe). Checks record failures and go on, so one run reports
# every broken case of its table; e2e_finish sets the exit status.

set -uo pipefail

if (($# < 3)); then
    echo "usage: $0 FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE" >&2
    exit 2
fi
SCR=$1
PROBE=$2
HOST=$3
for f in "$SCR" "$PROBE" "$HOST"; do
    [[ -f $f ]] || { echo "missing: $f" >&2; exit 2; }
done
# Windows path of the saver, for the preview host (drive Z: is the Unix root).
SCR_WIN="Z:${SCR//\//\\}"

# The pictures tool of the native tree (tests/linux/tools/xpixels.cpp), which
# scripts/test.sh builds before the Windows trees' tests run.
XPIXELS=${XPIXELS:-$(dirname "$SCR")/../native/tests/linux/xpixels}
[[ -x $XPIXELS ]] || { echo "missing: $XPIXELS (the native tree's xpixels)" >&2; exit 2; }

E2E_NAME=$(basename "$0" .sh)
E2E_WORK=${E2E_WORK:-$(dirname "$SCR")/tests/e2e/work/$E2E_NAME}
rm -rf "$E2E_WORK"
mkdir -p "$E2E_WORK"

# The session of scripts/test.sh, or one of our own when run alone, and in it
# the prefix of the saver's kind (FLUTT_TREE_BITS, which ctest sets).
# shellcheck source=../../scripts/wine-env.sh
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh" || exit 2
flutt_wine_select "${FLUTT_TREE_BITS:-64}" ||
    { echo "skipped: this machine runs no ${FLUTT_TREE_BITS:-64}-bit x86 code"; exit 77; }

# The program's settings key and its one subkey.
readonly REG_ROOT='HKCU\Software\Orrin Software'
readonly REG_SUBKEY_PATH='Software\Orrin Software\Fluttons Saver'
readonly REG_ROOT_PATH='Software\Orrin Software'

# Message numbers the tests post.
readonly WM_CLOSE=0x0010
readonly WM_QUERYENDSESSION=0x0011
readonly WM_SYSCOMMAND=0x0112
readonly SC_CLOSE=0xF060
readonly SC_CLOSE_PLUS_1=0xF061
readonly SC_SCREENSAVE=0xF140
readonly HOST_CMD_CLOSE=0x8001   # WM_APP + 1 .. 4: see preview_host.cpp
readonly HOST_CMD_DESTROY=0x8002
readonly HOST_CMD_EXIT=0x8003

# Where the cursor rests when a full-screen run starts.
readonly REST_X=700 REST_Y=400

E2E_FAILURES=0
E2E_CHECKS=0
E2E_SEQ=0

log() { echo "[$(date +%T.%3N)] $*"; }
now_ms() { date +%s%3N; }

fail() {
    E2E_FAILURES=$((E2E_FAILURES + 1))
    echo "FAIL: $*"
}

# read_failed WHAT WHY: a read of the test's (a window look-up, the registry, a
# screenshot) that gave no answer. It counts as a failure of the script even
# when it happens inside $(...), and says why; the value the caller then sees
# is no answer, never "missing" or "none".
E2E_READ_FAILURES=$E2E_WORK/read-failures
read_failed() {
    echo "FAIL: could not read $1: $2" | tee -a "$E2E_READ_FAILURES" >&2
}

# check_eq ACTUAL EXPECTED WHAT
check_eq() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if [[ $1 == "$2" ]]; then
        echo "ok: $3 = '$1'"
    else
        fail "$3: got '$1', expected '$2'"
    fi
}

# check_prefix ACTUAL PREFIX WHAT
check_prefix() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if [[ $1 == "$2"* ]]; then
        echo "ok: $3 starts with '$2'"
    else
        fail "$3: got '$1', expected it to start with '$2'"
    fi
}

# check_text ACTUAL EXPECTED WHAT: for multi-line text; shows a diff.
check_text() {
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if [[ $1 == "$2" ]]; then
        echo "ok: $3"
    else
        fail "$3; the differences (- expected, + actual):"
        diff <(echo "$2") <(echo "$1") | sed 's/^/    /'
    fi
}

# check_true WHAT COMMAND...   (the command's status decides, and is returned)
check_true() {
    local what=$1
    shift
    E2E_CHECKS=$((E2E_CHECKS + 1))
    if "$@"; then
        echo "ok: $what"
    else
        fail "$what"
        return 1
    fi
}

# kv KEY: the value of the last "KEY=value" line of the text on stdin (the
# whole rest of the line, blanks included).
kv() {
    local key=$1 line value= found=1
    while IFS= read -r line; do
        if [[ $line == "$key="* ]]; then
            value=${line#"$key="}
            found=0
        fi
    done
    printf '%s' "$value"
    return $found
}

# kw KEY: the value of the first word "KEY=value" anywhere in the text on
# stdin, for lines that hold several such words (child=... class=... w=...).
kw() {
    local key=$1 line word
    while IFS= read -r line; do
        for word in $line; do
            if [[ $word == "$key="* ]]; then
                printf '%s' "${word#"$key="}"
                return 0
            fi
        done
    done
    return 1
}

# run_tool PROGRAM ARGS...: runs one of the helper programs and prints its
# lines. Its output goes to a file first, never straight into a pipe: a Wine
# program's Unix output can be held open by processes it starts.
# Every helper command prints at least one line, even when it fails, and says
# error=... when it could not do what it was asked. Now and then, on a loaded
# machine, Wine's start of a process fails before the program runs, and it
# prints nothing: that start is tried once more, with a note. A helper that
# still prints nothing, or prints error=, is a failed read (read_failed).
run_tool() {
    local program=$1
    shift
    E2E_SEQ=$((E2E_SEQ + 1))
    local out=$E2E_WORK/tool.$BASHPID.$E2E_SEQ.out err=$E2E_WORK/tool.$BASHPID.$E2E_SEQ.err
    local try status
    if tool_served "$program" "$@" >"$out"; then
        tr -d '\r' <"$out"
        grep -q '^error=' "$out" && read_failed "${program##*/} $*" "$(grep -m1 '^error=' "$out" | tr -d '\r') (exit $TOOL_STATUS)"
        return "$TOOL_STATUS"
    fi
    for try in 1 2; do
        # Wine's own error messages, which -all hides, tell why a start failed.
        WINEDEBUG=fixme-all timeout 60 wine "$program" "$@" >"$out" 2>"$err" </dev/null
        status=$?
        [[ -s $out ]] && break
        echo "note: ${program##*/} $1 printed nothing (exit $status, try $try): $(tail -n 5 "$err" | tr '\n' ' ')" >&2
    done
    tr -d '\r' <"$out"
    if [[ ! -s $out ]]; then
        read_failed "${program##*/} $*" "it printed nothing twice (exit $status, stderr in $err)"
    elif grep -q '^error=' "$out"; then
        read_failed "${program##*/} $*" "$(grep -m1 '^error=' "$out" | tr -d '\r') (exit $status)"
    fi
    return $status
}

# probe ARGS: runs e2e_probe, prints its key=value lines.
probe() { run_tool "$PROBE" "$@"; }

# ---- helper programs kept running ------------------------------------------
# A Wine process start costs a script a second or more on a loaded machine,
# and the scripts make hundreds of quick reads. tool_server_start PROGRAM
# keeps one process of a helper running on two fifos (its command "serve",
# tools/ToolOutput.h), and run_tool hands it the commands of TOOL_SERVED, one
# at a time: a call while it is busy (from a background job), a command that
# waits for a window to come (--wait-for), hooks, or shows a window of its
# own, or a call in another prefix starts a process of its own, as before. A
# server that does not answer is stopped, with a note, and its command is
# started as a process, as run_tool does after a start that printed nothing.
declare -gA TOOL_SERVER_PID=() TOOL_SERVER_IN=() TOOL_SERVER_OUT=() TOOL_SERVER_WHERE=() TOOL_SERVER_PROGRAM=()
readonly TOOL_SERVED=' find gone info children post send msgbox wait-pid reg values reg-delete reg-set monitors dpi
    controls client textfit settext dpichanged acc doaction '

tool_server_start() {
    local program=$1 key=${1##*/} in out
    tool_server_stop "$key"
    local fifo=$E2E_WORK/server.$key
    rm -f "$fifo.in" "$fifo.out"
    mkfifo "$fifo.in" "$fifo.out" || return 1
    WINEDEBUG=fixme-all wine "$program" serve <"$fifo.in" >"$fifo.out" 2>>"$fifo.err" &
    TOOL_SERVER_PID[$key]=$!
    # Each open waits for the other end, which the server's shell opens in the same order.
    exec {in}>"$fifo.in" {out}<"$fifo.out"
    TOOL_SERVER_IN[$key]=$in
    TOOL_SERVER_OUT[$key]=$out
    TOOL_SERVER_WHERE[$key]=$WINEPREFIX@$DISPLAY
    TOOL_SERVER_PROGRAM[$key]=$program
}

tool_server_stop() {
    local key=$1 pid=${TOOL_SERVER_PID[$1]:-}
    [[ -n $pid ]] || return 0
    local in=${TOOL_SERVER_IN[$key]} out=${TOOL_SERVER_OUT[$key]}
    exec {in}>&- {out}<&-
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
    unset "TOOL_SERVER_PID[$key]"
}

# All servers stopped, for the Wine server's restart; then started again.
tool_servers_stop() {
    local key
    for key in "${!TOOL_SERVER_PID[@]}"; do tool_server_stop "$key"; done
}
tool_servers_start() {
    local key
    for key in "${!TOOL_SERVER_PROGRAM[@]}"; do tool_server_start "${TOOL_SERVER_PROGRAM[$key]}"; done
}

# tool_served PROGRAM ARGS...: the command's lines from PROGRAM's server, and
# its exit code in TOOL_STATUS; returns 1 having asked nothing where no
# server takes the command, 2 where the server gave no whole answer.
tool_served() {
    local key=${1##*/} line
    shift
    local pid=${TOOL_SERVER_PID[$key]:-}
    [[ -n $pid && ${TOOL_SERVER_WHERE[$key]} == "$WINEPREFIX@$DISPLAY" && $TOOL_SERVED == *" $1 "* &&
        " $* " != *" --wait-for "* && $* != *[$'\n\x1f']* ]] || return 1
    {
        flock -n 9 || return 1
        kill -0 "$pid" 2>/dev/null || return 1
        local IFS=$'\x1f'
        if (trap '' PIPE; printf '%s\n' "$*" >&"${TOOL_SERVER_IN[$key]}") 2>/dev/null; then
            while IFS= read -r -t 120 line <&"${TOOL_SERVER_OUT[$key]}"; do
                if [[ $line == served=* ]]; then
                    TOOL_STATUS=${line#served=}
                    return 0
                fi
                printf '%s\n' "$line"
            done
        fi
        echo "note: the ${key} server gave no whole answer to $1; stopped, the command runs as a process" >&2
        kill "$pid" 2>/dev/null
        return 2
    } 9>"$E2E_WORK/server.$key.lock"
}

# ---- registry ------------------------------------------------------------

# Deletes the program's settings key (and its parent, the maker's key).
reg_reset() {
    local out
    out=$(probe reg-delete "$REG_ROOT_PATH")
    [[ $(kv deleted <<<"$out") == 1 || $(kv key <<<"$out") == missing ]] || fail "could not delete $REG_ROOT"
}

# The values of the settings subkey, one 'name=data' line each, sorted, with
# data as a .reg file writes it (a string is "text", a DWORD dword:0000002a);
# nothing when the key is missing. A read that fails prints a line saying so
# and returns 1 (it is also a failure of the script: read_failed).
reg_values() {
    local out
    out=$(probe values "$REG_SUBKEY_PATH")
    case $(kv key <<<"$out") in
    missing) return 0 ;;
    present) grep -q '^end=' <<<"$out" && { sed -n 's/^v://p' <<<"$out" | LC_ALL=C sort; return 0; } ;;
    esac
    echo '<the settings key could not be read>'
    return 1
}

# reg_get NAME...: the data of values of the subkey, as reg_values writes it,
# or <missing>; several are joined by commas, all from one read.
reg_get() {
    local values
    values=$(reg_values) || { echo "$values"; return 1; }
    awk -v names="$*" '
        { eq = index($0, "="); data[substr($0, 1, eq - 1)] = substr($0, eq + 1) }
        END {
            n = split(names, name, " ")
            for (i = 1; i <= n; i++) printf "%s%s", (i > 1 ? "," : ""), ((name[i] in data) ? data[name[i]] : "<missing>")
            print ""
        }' <<<"$values"
}

# reg_import NAME=TEXT ...: stores REG_SZ values in the subkey in one go (any
# text, Japanese or starting with "-"); NAME=dword:HEX stores a DWORD.
reg_import() {
    [[ $(probe reg-set "$REG_SUBKEY_PATH" "$@" | kv set) == "$#" ]] || fail "could not store $*"
}

winpath() { printf 'Z:%s' "${1//\//\\}"; }

# ---- processes and windows -----------------------------------------------

# start_saver ARGS...: runs the saver in the background; sets SAVER_PID (the
# Unix process that is the Windows process).
start_saver() {
    E2E_SEQ=$((E2E_SEQ + 1))
    SAVER_SEQ=$E2E_SEQ
    wine "$SCR" "$@" >"$E2E_WORK/saver.$E2E_SEQ.log" 2>&1 </dev/null &
    SAVER_PID=$!
    log "started: fluttsaver.scr $* (pid $SAVER_PID)"
}

# start_guarded_saver ARGS...: start_saver, with a probe listening for the
# run's first window, the hidden application window that the saver makes just
# before its 2000 ms guard starts, and then for a visible window of class
# GUARD_SHOWN (TMainForm unless set): guarded_window waits for that one, and
# early_in_guard counts from the first. The probe starts before the saver, so
# its own start-up (a second or more on a loaded machine) costs no time.
start_guarded_saver() {
    start_guard_watch
    start_saver "$@"
}
# start_guard_watch: the watch of start_guarded_saver alone, for a saver
# started later by start_saver.
start_guard_watch() {
    GUARD_WATCH=$E2E_WORK/watch.$((E2E_SEQ + 1)).log
    WINEDEBUG=fixme-all wine "$PROBE" watch TApplication --wait-for "${GUARD_SHOWN:-TMainForm}" --timeout 60000 \
        >"$GUARD_WATCH" 2>&1 </dev/null &
    if ! wait_line "$GUARD_WATCH" ready= 60 >/dev/null; then
        fail "the window-creation watch did not start: $(tr '\n' ' ' <"$GUARD_WATCH")"
    fi
}

# guarded_window: after start_guarded_saver, waits for its visible window;
# sets HWND (or empty) and FOUND_MS (when it was seen), as find_window does.
guarded_window() {
    local line
    HWND=
    line=$(wait_line "$GUARD_WATCH" shown= 60) || return 1
    [[ $line != shown=none ]] || return 1
    HWND=${line#shown=}
    line=$(wait_line "$GUARD_WATCH" shown_ms= 5) || return 1
    FOUND_MS=${line#shown_ms=}
}

# wait_exit PID SECONDS: sets EXIT_STATUS to the process's exit status when
# it ended within that time, or to 'running' (the process is left alone).
# Not for use inside $(...): only this shell can wait for its children.
wait_exit() {
    local pid=$1 deadline=$(($(now_ms) + $2 * 1000))
    EXIT_STATUS=running
    while still_running "$pid"; do
        (($(now_ms) >= deadline)) && return 1
        sleep 0.05
    done
    wait "$pid" 2>/dev/null
    EXIT_STATUS=$?
}

# still_running PID: true while the process has not ended.
still_running() {
    kill -0 "$1" 2>/dev/null && [[ $(ps -o stat= -p "$1" 2>/dev/null) != Z* ]]
}

# find_window CLASS [probe options]: waits up to 15 s for a visible top-level
# window of CLASS; sets HWND (or empty) and FOUND_MS (when the wait ended).
# Where none came, a note says what became of the last saver started.
find_window() {
    local class=$1 found
    shift
    found=$(probe find "$class" --timeout 15000 "$@")
    FOUND_MS=$(now_ms)
    HWND=$(kv hwnd <<<"$found")
    [[ -n $HWND && $HWND != none ]] && return 0
    HWND=
    if [[ -n ${SAVER_PID:-} ]]; then
        local state="has ended"
        still_running "$SAVER_PID" && state="still runs"
        echo "note: no $class window in 15 s ($(kv hwnd <<<"$found")); the saver (pid $SAVER_PID) $state," \
            "its output: $(tail -c 300 "$E2E_WORK/saver.${SAVER_SEQ:-}.log" 2>/dev/null | tr '\n' ' ')"
    fi
    return 1
}

# guard_elapsed WHAT [AT]: after start_guarded_saver, sets GUARD_ELAPSED_MS,
# the time from the making of the saver's application window, just before its
# 2000 ms guard started, to now (or to AT, Unix ms); false, with a failure,
# when the watch saw no such window.
guard_elapsed() {
    local line
    if ! line=$(wait_line "$GUARD_WATCH" created_ms= 10); then
        fail "$1: the watch saw no application window made: $(tr '\n' ' ' <"$GUARD_WATCH")"
        return 1
    fi
    GUARD_ELAPSED_MS=$((${2:-$(now_ms)} - ${line#created_ms=}))
}

# early_in_guard WHAT: sets EARLY_MS (guard_elapsed) and is true when input
# given now still leaves the saver half a second of its 2000 ms guard to
# handle it; otherwise says so in a note (the caller starts the run again).
early_in_guard() {
    guard_elapsed "$1" || return 1
    EARLY_MS=$GUARD_ELAPSED_MS
    ((EARLY_MS <= 1500)) && return 0
    echo "note: $1 only $EARLY_MS ms after the saver's guard started, trying again"
    return 1
}

# start_host ARGS...: runs the preview host in the background with its report
# in a file; sets HOST_PID and HOST_LOG.
start_host() {
    E2E_SEQ=$((E2E_SEQ + 1))
    HOST_LOG=$E2E_WORK/host.$E2E_SEQ.log
    wine "$HOST" "$SCR_WIN" "$@" >"$HOST_LOG" 2>&1 </dev/null &
    HOST_PID=$!
    log "started: preview host $* (pid $HOST_PID)"
}

# wait_line FILE PREFIX SECONDS: waits until FILE has a line starting with
# PREFIX; prints that line.
wait_line() {
    local deadline=$(($(now_ms) + $3 * 1000)) line
    for ((;;)); do
        line=$(grep -m1 -a -- "^$2" "$1" 2>/dev/null | tr -d '\r')
        [[ -n $line ]] && { echo "$line"; return 0; }
        (($(now_ms) >= deadline)) && return 1
        sleep 0.05
    done
}

# Every Windows process of ours still running from this test's programs: its
# program name (argv[0]) is the saver or the preview host, and it runs in our
# prefix (the same programs may run in other Wine sessions on the machine).
leftover_pids() {
    local pid argv0
    for pid in $(pgrep -f 'fluttsaver\.scr|e2e_preview_host'); do
        argv0=$(tr '\0' '\n' 2>/dev/null <"/proc/$pid/cmdline" | head -n1)
        [[ ${argv0,,} =~ (fluttsaver\.scr|e2e_preview_host\.exe)$ ]] || continue
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" || continue
        echo "$pid"
    done
}

kill_leftovers() {
    local pids
    pids=$(leftover_pids)
    [[ -z $pids ]] && return 0
    # shellcheck disable=SC2086
    kill $pids 2>/dev/null
    local i
    for ((i = 0; i < 100; i++)); do
        [[ -z $(leftover_pids) ]] && break
        sleep 0.05
    done
    # shellcheck disable=SC2046
    kill -9 $(leftover_pids) 2>/dev/null
    return 0
}

# Ends a full-screen saver quickly when the test no longer needs it: a close
# after its 2000 ms guard would only cost time.
stop_saver() {
    kill "$1" 2>/dev/null
    wait_exit "$1" 10
}

# Puts the cursor at its resting place and waits until X has it there.
# (xdotool's --sync would wait forever when the cursor is there already.)
rest_cursor() {
    xdotool mousemove "$REST_X" "$REST_Y"
    local i
    for ((i = 0; i < 50; i++)); do
        [[ $(xdotool getmouselocation) == "x:$REST_X y:$REST_Y "* ]] && return 0
        sleep 0.02
    done
    fail "the cursor did not go to $REST_X,$REST_Y"
}

# Sleeps until the given ms timestamp.
sleep_until() {
    local left=$(($1 - $(now_ms)))
    ((left > 0)) && sleep "$(printf '%d.%03d' $((left / 1000)) $((left % 1000)))"
    return 0
}

# set_prefix_dpi DPI: the prefix's DPI as winecfg writes it (LogPixels), then
# a fresh wineserver, which reads it when it starts. A loaded machine has been
# seen to start the new server with the old DPI (the write lost, or the old
# server killed before it had saved it): the DPI is read back from the new
# server and set again, with a note, when it is not the one asked for.
set_prefix_dpi() {
    kill_leftovers
    local hex try
    hex=$(printf '0x%08x' "$1")
    tool_servers_stop
    for try in 1 2 3; do
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$hex" /f >/dev/null 2>&1 </dev/null
        wine reg add 'HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts' /v LogPixels \
            /t REG_DWORD /d "$hex" /f >/dev/null 2>&1 </dev/null
        wineserver -k >/dev/null 2>&1
        timeout 20 wineserver -w >/dev/null 2>&1
        wineserver -p >/dev/null 2>&1
        wine cmd /c exit >/dev/null 2>&1 </dev/null
        if [[ $(probe reg 'Control Panel\Desktop' LogPixels | kv dword) == "$1" ]]; then
            log "DPI $1"
            tool_servers_start
            return 0
        fi
        echo "note: the restarted Wine server has not got DPI $1 (try $try), setting it again"
    done
    fail "could not set the prefix's DPI to $1"
}

# ---- start and end -------------------------------------------------------

# pictures COMMAND ARGS...: xpixels' answer about the screen or picture files
# (see the commands in its source). A screen or file it could not read is a
# failed read, with its message; the answer is then nothing.
pictures() {
    local err=$E2E_WORK/xpixels.$BASHPID.err answer status
    answer=$("$XPIXELS" "$@" 2>"$err")
    status=$?
    if ((status != 0)); then
        read_failed "pictures: xpixels ${*##*/}" "exit $status: $(head -c 300 "$err")"
        return 1
    fi
    rm -f "$err"
    printf '%s\n' "$answer"
}

# screenshot NAME [WxH+X+Y]: the screen, or that part of it, as NAME.png.
screenshot() {
    rm -f "$E2E_WORK/$1.png"
    pictures shot "$E2E_WORK/$1.png" ${2:+"$2"}
}
# shot_differing NAME PICTURE [WxH+X+Y]: screenshot NAME, then how many of
# its pixels differ from PICTURE's; shot_diffbox the box of those pixels,
# WxH+X+Y (0x0+W+H when none differ).
shot_differing() { rm -f "$E2E_WORK/$1.png"; pictures shot-differing "$E2E_WORK/$1.png" "$2" ${3:+"$3"}; }
shot_diffbox() { rm -f "$E2E_WORK/$1.png"; pictures shot-diffbox "$E2E_WORK/$1.png" "$2" ${3:+"$3"}; }
# differing A B [WxH+X+Y]: how many pixels of A (or of that part of it)
# differ from B's in red, green or blue.
differing() { pictures differing "$@"; }
# pixel_hex PICTURE X Y: the colour of one pixel, RRGGBB.
pixel_hex() { pictures pixel "$@"; }

e2e_cleanup() {
    tool_servers_stop
    kill_leftovers
    if declare -F flutt_wine_cleanup >/dev/null && [[ ${FLUTT_WINE_OWNER_PID:-} == "$$" ]]; then
        flutt_wine_cleanup
    fi
}
trap e2e_cleanup EXIT

e2e_finish() {
    [[ -f $E2E_READ_FAILURES ]] && E2E_FAILURES=$((E2E_FAILURES + $(wc -l <"$E2E_READ_FAILURES")))
    echo "---- $E2E_NAME: $E2E_CHECKS checks, $E2E_FAILURES failed (work files: $E2E_WORK)"
    if ((E2E_CHECKS == 0)); then
        echo "FAIL: no checks ran"
        exit 1
    fi
    ((E2E_FAILURES == 0))
    exit $?
}

kill_leftovers
rest_cursor
tool_server_start "$PROBE"
