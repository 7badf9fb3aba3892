#!/usr/bin/env bash
# Input that ends a full-screen run: ignored during the first 2000 ms, the
# first key, click or move away from the resting cursor after them ends the
# run with 0; the wheel and a move back to the resting place end nothing.
# Usage: saver_input.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

# Run a step list: xdotool arguments separated by ';', where the step
# "expect-running" waits half a second and checks that the saver still runs.
run_steps() {
    local what=$1 steps=$2 step
    IFS=';' read -r -a step_list <<<"$steps"
    for step in "${step_list[@]}"; do
        if [[ $step == expect-running ]]; then
            sleep 0.5
            check_true "saver still runs after $what" still_running "$SAVER_PID"
        else
            # shellcheck disable=SC2086
            xdotool $step
        fi
    done
}

# name | input during the first 2000 ms | input after them (must end the run)
cases=(
    "key x|key x|key x"
    "left click|click 1|click 1"
    "right click|click 3|click 3"
    "Alt alone|key Alt_L|key Alt_L"
    "Alt+F4|key alt+F4|key alt+F4"
    "mouse move|mousemove $((REST_X + 1)) $REST_Y|mousemove $REST_X $REST_Y;expect-running;mousemove $REST_X $((REST_Y + 1))"
    "wheel then key|click 4;click 5|click 4;click 5;expect-running;key x"
)

# One full-screen run per case. The early input must come well inside the
# guard period for its check to mean anything: a run whose window came up too
# late for that (a loaded machine) is tried again. The time counts from the
# saver's first window, made just before its guard starts.
run_case() {
    local name=$1 early=$2 late=$3 attempt
    for attempt in 1 2 3 4 5; do
        kill_leftovers
        rest_cursor
        start_guarded_saver /s
        if ! guarded_window; then
            fail "$name: no saver window"
            return
        fi
        if ! early_in_guard "$name: window seen"; then
            stop_saver "$SAVER_PID"
            continue
        fi
        run_steps "$name during the first 2000 ms (${EARLY_MS} ms into it)" "$early;expect-running"

        # The resting cursor's move event when the window came up ends nothing.
        sleep_until $((FOUND_MS + 2300))
        check_true "$name: saver still runs 2.3 s after it came up" still_running "$SAVER_PID"
        run_steps "$name after 2000 ms" "$late"
        wait_exit "$SAVER_PID" 10
        check_eq "$EXIT_STATUS" 0 "$name: exit status after the input that ends the run"
        return
    done
    fail "$name: the saver window never came up within 1500 ms of the guard's start"
}

# What ends a run does not depend on what it draws: a tiled background and no
# characters bring the window up soonest, well inside the guard.
reg_reset
reg_import back2=3 num=0
for row in "${cases[@]}"; do
    IFS='|' read -r name early late <<<"$row"
    log "case: $name"
    run_case "$name" "$early" "$late"
done

e2e_finish
