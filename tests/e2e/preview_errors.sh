#!/usr/bin/env bash
# A preview started with a window handle that cannot be a parent shows the
# error box (owned by the application window, the program's name as caption,
# one OK button) and exits with 0 once it is dismissed.
# Usage: preview_errors.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

# handle text | the box's text (a prefix when it ends in *); \n is a line feed
cases=(
    "0|コントロール 'MainForm' は親ウィンドウを持っていません."
    "abc|コントロール 'MainForm' は親ウィンドウを持っていません."
    "12345|Win32 エラー。コード : 1400.\\n*"
)

reg_reset
for row in "${cases[@]}"; do
    IFS='|' read -r handle expected <<<"$row"
    what="/p $handle"
    kill_leftovers
    start_saver /p "$handle"
    box=$(probe msgbox --timeout 15000 --press)
    if [[ $(kv msgbox <<<"$box") == none || -z $box ]]; then
        fail "$what: no message box"
        continue
    fi
    text=$(kv text <<<"$box")
    if [[ $expected == *'*' ]]; then
        check_prefix "$text" "${expected%'*'}" "$what: error text"
    else
        check_eq "$text" "$expected" "$what: error text"
    fi
    check_eq "$(kv caption <<<"$box")" fluttsaver "$what: error box caption"
    check_eq "$(kv owner_class <<<"$box")" TApplication "$what: error box owner"
    check_eq "$(kv buttons <<<"$box")" OK "$what: error box buttons"
    check_eq "$(kv pressed <<<"$box")" 1 "$what: OK dismissed the box"
    wait_exit "$SAVER_PID" 15
    check_eq "$EXIT_STATUS" 0 "$what: exit status after the error box"
done
check_eq "$(probe reg "$REG_SUBKEY_PATH" | kv key)" missing "settings subkey after the failed previews"

e2e_finish
