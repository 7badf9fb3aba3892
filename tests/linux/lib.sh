# shellcheck shell=bash
# Helpers of the Linux hack's test scripts: private Xvfb displays, waiting for
# conditions, runs of fluttons up to a frame, and the cleanup of what they
# started. Each script gets fluttons as $1 and a work folder in $LINUX_WORK.
set -euo pipefail

FLUTTONS=$(realpath "$1")
REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
WORK=${LINUX_WORK:-$(mktemp -d)}
rm -rf "$WORK"
mkdir -p "$WORK"
STARTED=()
# shellcheck source=scripts/x-server.sh
source "$REPO/scripts/x-server.sh"

linux_cleanup() {
    local pid
    for pid in "${STARTED[@]}"; do
        kill "$pid" >/dev/null 2>&1 || true
        kill -CONT "$pid" >/dev/null 2>&1 || true  # a stopped one ends only when it goes on
        wait "$pid" 2>/dev/null || true
    done
    STARTED=()
    if declare -F flutt_wine_cleanup >/dev/null; then flutt_wine_cleanup; fi
}
trap linux_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_xvfb WxH [DEPTH]: a display of that size, 24-bit unless DEPTH says
# otherwise (16 and 30 work too); sets DISPLAY and XVFB_PID.
start_xvfb() {
    flutt_start_x_server $((700 + $$ % 200)) Xvfb :%d -screen 0 "$1x${2:-24}" -nolisten tcp -noreset ||
        fail "no free display for Xvfb"
    STARTED+=("$FLUTT_X_PID")
    XVFB_PID=$FLUTT_X_PID
    export DISPLAY=$FLUTT_X_DISPLAY
}

# running PID: the process exists and has not ended (a zombie has ended).
running() {
    local state
    state=$(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) || return 1
    [[ $state != Z ]]
}

# root_frame TICKS OUT.png OPTIONS...: fluttons -root on $DISPLAY up to frame
# TICKS, its screenshot, and the hack ended again.
root_frame() {
    local ticks=$1 out=$2 log pid
    shift 2
    log=$WORK/root_frame.log
    : >"$log"  # the wait must not read the line of the run before
    "$FLUTTONS" -root -stop-after "$ticks" "$@" >"$log" 2>&1 &
    pid=$!
    flutt_wait_for 30 grep -q "stopped at frame $ticks" "$log" || fail "fluttons $* did not reach frame $ticks: $(cat "$log")"
    import -window root "$out"
    kill -TERM "$pid"
    wait "$pid" || fail "fluttons $* ended with $? on SIGTERM"
}

# differing A B: how many pixels of two pictures differ.
differing() {
    compare -metric AE "$1" "$2" null: 2>&1 || true
}
