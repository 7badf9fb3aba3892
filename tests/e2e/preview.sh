#!/usr/bin/env bash
# The preview run inside a host's preview area: the child window and its size,
# input that ends nothing, the one-preview-at-a-time rule, a full-screen run
# beside a preview, and the three ways a preview ends (WM_CLOSE, the host
# destroying its window, the host exiting) with no process left behind.
# Previews write nothing to the registry.
# Usage: preview.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

readonly WS_MAXIMIZE=0x01000000
readonly WM_MOUSEMOVE=0x0200 WM_LBUTTONDOWN=0x0201 WM_KEYDOWN=0x0100 WM_SYSKEYDOWN=0x0104

# check_child WHAT W H: the host's child= line for its saver window.
check_child() {
    local what=$1 width=$2 height=$3 child
    child=$(grep -m1 -a '^child=' "$HOST_LOG")
    if [[ -z $child || $child == child=none ]]; then
        fail "$what: the saver made no window in the preview area"
        return 1
    fi
    check_eq "$(kw class <<<"$child")" TMainForm "$what: class of the preview window"
    check_eq "$(kw parent_is_area <<<"$child")" 1 "$what: the preview window's parent is the host's area"
    check_eq "$(kw x <<<"$child"),$(kw y <<<"$child")" 0,0 "$what: position in the area"
    check_eq "$(kw w <<<"$child")x$(kw h <<<"$child")" "${width}x${height}" "$what: size (the area's size)"
    # The maximised show command may add WS_MAXIMIZE; the rest is fixed.
    local style=$(($(kw style <<<"$child")))
    check_eq "$(printf '0x%08X' $((style & ~WS_MAXIMIZE)))" 0x56000000 "$what: style, WS_MAXIMIZE aside"
    check_eq "$(kw pid <<<"$child")" "$(kv saver_pid <"$HOST_LOG")" "$what: the window belongs to the started saver"
    CHILD=$(kw child <<<"$child")
}

preview_alive() {
    ! grep -q -a '^saver_exit=' "$HOST_LOG" && [[ $(probe info "$CHILD" | kv class) == TMainForm ]]
}

reg_reset

log "case 1: a preview that runs while the tests poke at it"
start_host --timeout 120000
if ready=$(wait_line "$HOST_LOG" ready= 20); then
    check_child "case 1" 152 112
    area=$(kw area <"$HOST_LOG")
    ready_ms=$(now_ms)

    check_eq "$(probe reg "$REG_ROOT_PATH" | kv key)" present "Software\\Orrin Software exists once a preview has read its settings"
    check_eq "$(probe reg "$REG_SUBKEY_PATH" | kv key)" missing "a preview writes no settings subkey"

    # Input ends no preview, neither at once nor after 2000 ms.
    IFS=, read -r al at ar ab < <(probe info "$area" | kv rect)
    cx=$(((al + ar) / 2)) cy=$(((at + ab) / 2))
    poke() {
        xdotool mousemove "$cx" "$cy" click 1 click 3 key x mousemove $((cx + 5)) $((cy + 3)) key Alt_L
        probe post "$CHILD" $WM_KEYDOWN 0x58 0x00000001 >/dev/null
        probe post "$CHILD" $WM_SYSKEYDOWN 0x12 0x20000001 >/dev/null
        probe post "$CHILD" $WM_LBUTTONDOWN 1 $(((20 << 16) | 30)) >/dev/null
        probe post "$CHILD" $WM_MOUSEMOVE 0 $(((40 << 16) | 50)) >/dev/null
        sleep 0.5
    }
    poke
    check_true "preview still runs after keys, clicks and moves" preview_alive
    sleep_until $((ready_ms + 2300))
    poke
    check_true "preview still runs after keys, clicks and moves after 2000 ms" preview_alive

    # A second preview while this one runs ends with -1 and changes nothing.
    start_saver /p "$area"
    wait_exit "$SAVER_PID" 20
    check_eq "$EXIT_STATUS" 255 "exit status of a second preview"
    check_true "the first preview still runs after the second one ended" preview_alive

    # A full-screen run beside the preview proceeds normally.
    rest_cursor
    start_saver /s
    if find_window TMainForm; then
        check_eq "$(reg_get TimesOfBoot)" '"1"' "TimesOfBoot of a full-screen run beside a preview"
        sleep_until $((FOUND_MS + 2300))
        check_true "full-screen run beside a preview still runs after 2.3 s" still_running "$SAVER_PID"
        xdotool key x
        wait_exit "$SAVER_PID" 10
        check_eq "$EXIT_STATUS" 0 "exit status of the full-screen run beside a preview"
    else
        fail "no full-screen saver window beside the preview"
    fi
    check_true "the preview still runs after the full-screen run" preview_alive

    # WM_CLOSE from the host ends the preview with 0.
    probe post FluttPreviewHost $HOST_CMD_CLOSE 0 0 >/dev/null
    wait_exit "$HOST_PID" 15
    check_eq "$(kv saver_exit <"$HOST_LOG")" 0 "exit status of the preview after WM_CLOSE"
else
    fail "case 1: the preview host saw no saver window ($(tr '\n' ' ' <"$HOST_LOG"))"
fi
kill_leftovers

log "case 2: WM_CLOSE at once: no guard period in a preview"
start_host --do close --after 0 --timeout 20000
wait_exit "$HOST_PID" 40
if check_child "case 2" 152 112; then
    check_eq "$(kv saver_exit <"$HOST_LOG")" 0 "exit status of a preview closed as soon as it came up"
    at=$(grep -a '^sent_close=' "$HOST_LOG" | kw at_ms)
    ((${at:-9999} < 1800)) || echo "note: the close came only $at ms after the start; the check says little about a guard period"
fi
kill_leftovers

log "case 3: the host destroys its window (another size of preview area)"
start_host --size 200 150 --do destroy --after 500 --timeout 20000
wait_exit "$HOST_PID" 40
if check_child "case 3" 200 150; then
    check_true "the host destroyed its window" grep -q -a '^destroyed=1' "$HOST_LOG"
    check_eq "$(kv saver_exit <"$HOST_LOG")" 0 "exit status of a preview whose host window was destroyed"
fi
kill_leftovers

log "case 4: the host exits without destroying its window"
start_host --timeout 60000
if wait_line "$HOST_LOG" ready= 20 >/dev/null && check_child "case 4" 152 112; then
    saver_pid=$(kv saver_pid <"$HOST_LOG")
    watch_log=$E2E_WORK/wait-pid.log
    wine "$PROBE" wait-pid "$saver_pid" --timeout 20000 >"$watch_log" 2>&1 </dev/null &
    watch_pid=$!
    if wait_line "$watch_log" watching=1 20 >/dev/null; then
        probe post FluttPreviewHost $HOST_CMD_EXIT 0 0 >/dev/null
        wait_exit "$HOST_PID" 15
        check_eq "$EXIT_STATUS" 0 "the host exited"
        wait_exit "$watch_pid" 40
        check_eq "$(kv state <"$watch_log")" exited "the preview ended after its host exited"
        check_eq "$(kv exit <"$watch_log")" 0 "exit status of a preview whose host exited"
        sleep 0.5
        check_eq "$(leftover_pids | wc -l)" 0 "saver processes left behind"
    else
        fail "case 4: could not watch the saver process ($(tr '\n' ' ' <"$watch_log"))"
    fi
fi
kill_leftovers

# Previews neither counted a start nor wrote anything else.
check_eq "$(reg_values | tr '\n' ' ')" 'TimesOfBoot="1" ' "settings values after the previews and one full-screen run"

e2e_finish
