#!/usr/bin/env bash
# The full-screen run: its window, the hidden application window, the focus
# edit box, and the start counter in the registry (previews do not count).
# Usage: saver_window.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

read -r SCREEN_W SCREEN_H < <(xdotool getdisplaygeometry)

# Waits for the saver window of a full-screen run and checks its facts.
check_saver_window() {
    if ! find_window TMainForm; then
        fail "no visible TMainForm window"
        return 1
    fi
    local info
    info=$(probe info "$HWND")
    check_eq "$(kv title <<<"$info")" MainForm "saver window caption"
    check_eq "$(kv rect <<<"$info")" "0,0,$SCREEN_W,$SCREEN_H" "saver window rectangle (the whole screen)"
    check_eq "$(kv topmost <<<"$info")" 1 "saver window is top-most"
    check_eq "$(kv visible <<<"$info")" 1 "saver window is visible"
    local style=$(($(kv style <<<"$info")))
    check_eq "$(((style & 0x80000000) != 0))" 1 "saver window has WS_POPUP"
    check_eq "$(((style & 0x40000000) != 0))" 0 "saver window is no child"
    check_eq "$(((style & 0x00C00000) != 0))" 0 "saver window has no caption"
    check_eq "$(((style & 0x00040000) != 0))" 0 "saver window has no sizing border"
    check_eq "$(kv owner_class <<<"$info")" TApplication "saver window's owner is the application window"

    # The application window: hidden, titled for the full-screen run.
    local app
    app=$(probe info "$(kv owner <<<"$info")")
    check_eq "$(kv title <<<"$app")" "Fluttons! スクリーンセーバー" "application title in a full-screen run"
    check_eq "$(kv visible <<<"$app")" 0 "application window is hidden"

    # The focus edit box lies beyond the right edge of the screen.
    local edit
    edit=$(probe children "$HWND" | grep -m1 ' class=Edit ')
    if [[ -z $edit ]]; then
        fail "saver window has no Edit child"
    else
        check_eq "$(kw x <<<"$edit")" $((SCREEN_W + 100)) "left of the focus edit box"
    fi
}

reg_reset

# First run on an empty registry.
rest_cursor
start_saver /s
if check_saver_window; then
    first_window_ms=$FOUND_MS
    # The registry holds the counter only, as REG_SZ "1" with its NUL.
    check_eq "$(reg_values | tr '\n' ' ')" 'TimesOfBoot="1" ' "settings values after the first start"
    tob=$(probe reg "$REG_SUBKEY_PATH" TimesOfBoot)
    check_eq "$(kv type <<<"$tob")" 1 "TimesOfBoot registry type (REG_SZ)"
    check_eq "$(kv bytes <<<"$tob")" 4 "TimesOfBoot data size (text and NUL, UTF-16)"
    root=$(probe reg "$REG_ROOT_PATH")
    check_eq "$(kv values <<<"$root")" 0 "values directly under Software\\Orrin Software"
    check_eq "$(kv subkeys <<<"$root")" 1 "subkeys under Software\\Orrin Software"
    check_eq "$(kv subkey <<<"$root")" "Fluttons Saver" "the subkey's name"

    sleep_until $((first_window_ms + 2300))
    screenshot saver-first-run
    check_true "saver still runs after 2.3 s without input" still_running "$SAVER_PID"
    xdotool key x
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "exit status after a key press"
fi
kill_leftovers

# A preview does not count a start.
wine "$HOST" "$SCR_WIN" --do close --after 300 --timeout 20000 >"$E2E_WORK/host.log" 2>&1 </dev/null
check_eq "$(kv saver_exit <"$E2E_WORK/host.log")" 0 "exit status of a preview closed by its host"
check_eq "$(reg_get TimesOfBoot)" '"1"' "TimesOfBoot after a preview"
kill_leftovers

# The second full-screen run counts 2.
rest_cursor
start_saver /s
if find_window TMainForm; then
    check_eq "$(reg_values | tr '\n' ' ')" 'TimesOfBoot="2" ' "settings values after the second start"
    sleep_until $((FOUND_MS + 2300))
    xdotool click 1
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "exit status after a click"
else
    fail "no saver window in the second run"
fi

e2e_finish
