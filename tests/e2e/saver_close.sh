#!/usr/bin/env bash
# Close requests and system commands sent to a full-screen run from outside:
# queued WM_SYSCOMMAND SC_CLOSE and SC_SCREENSAVE are dropped (whatever the
# target), SC_CLOSE + 1 is not; every close passes the 2000 ms guard, which
# also answers WM_QUERYENDSESSION.
# Usage: saver_close.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

# Starts a run and waits for its windows; sets WIN (saver) and APP (application).
start_run() {
    kill_leftovers
    rest_cursor
    start_saver /s
    WIN= APP=
    if ! find_window TMainForm; then
        fail "$1: no saver window"
        return 1
    fi
    WIN=$HWND
    APP=$(probe info "$WIN" | kv owner)
    [[ -n $APP && $APP != 0 ]] || { fail "$1: saver window has no owner"; return 1; }
}

expect_running() {
    sleep "${2:-0.5}"
    check_true "saver still runs after $1" still_running "$SAVER_PID"
}

expect_exit() {
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "exit status after $1"
}

# Whether a step came inside the guard period (its check means nothing otherwise).
inside_guard() {
    local elapsed
    elapsed=$(since_window_start)
    if ((elapsed > 1700)); then
        echo "note: $1 came only $elapsed ms after the saver started; not a guard-period check"
        return 1
    fi
}

reg_reset

log "run 1: close requests inside the guard period, dropped system commands after it"
if start_run "run 1"; then
    if inside_guard "the early requests"; then
        probe post "$WIN" $WM_SYSCOMMAND $SC_CLOSE_PLUS_1 0 >/dev/null
        probe post "$WIN" $WM_CLOSE 0 0 >/dev/null
        probe post "$APP" $WM_CLOSE 0 0 >/dev/null
        answer=$(probe send "$WIN" $WM_QUERYENDSESSION 0 0 | kw result)
        early_ms=$(since_window_start)
        if ((early_ms < 1900)); then
            check_eq "$answer" 0 "WM_QUERYENDSESSION answer inside the guard period"
        fi
        expect_running "SC_CLOSE+1 and WM_CLOSE inside the guard period"
    fi
    sleep_until $((FOUND_MS + 2300))
    for target in "$WIN" "$APP"; do
        probe post "$target" $WM_SYSCOMMAND $SC_CLOSE 0 >/dev/null
        probe post "$target" $WM_SYSCOMMAND $SC_SCREENSAVE 0 >/dev/null
    done
    expect_running "queued SC_CLOSE and SC_SCREENSAVE" 1
    answer=$(probe send "$WIN" $WM_QUERYENDSESSION 0 0 | kw result)
    check_true "WM_QUERYENDSESSION answer after the guard period is TRUE (got '$answer')" test "${answer:-0}" != 0
    expect_running "WM_QUERYENDSESSION (a query closes nothing)" 0.3
    probe post "$WIN" $WM_SYSCOMMAND $SC_CLOSE_PLUS_1 0 >/dev/null
    expect_exit "a queued SC_CLOSE+1 after the guard period"
fi

log "run 2: SC_CLOSE sent straight to the window procedure is not filtered"
if start_run "run 2"; then
    sleep_until $((FOUND_MS + 2300))
    probe send "$WIN" $WM_SYSCOMMAND $SC_CLOSE 0 --timeout 5000 >/dev/null
    expect_exit "a sent SC_CLOSE"
fi

log "run 3: WM_CLOSE to the saver window"
if start_run "run 3"; then
    sleep_until $((FOUND_MS + 2300))
    probe post "$WIN" $WM_CLOSE 0 0 >/dev/null
    expect_exit "WM_CLOSE to the saver window"
fi

log "run 4: WM_CLOSE to the application window is passed on to the saver window"
if start_run "run 4"; then
    sleep_until $((FOUND_MS + 2300))
    probe post "$APP" $WM_CLOSE 0 0 >/dev/null
    expect_exit "WM_CLOSE to the application window"
fi

e2e_finish
