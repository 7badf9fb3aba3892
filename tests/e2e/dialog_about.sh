#!/usr/bin/env bash
# The About page counts the full-screen starts: after two /s runs the dialog
# reads 起動回数: 2回, and neither Esc nor OK changes the count.
# Usage: dialog_about.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog_lib.sh"

show_about() {  # Ctrl+Tab until the About page shows
    local i
    for ((i = 0; i < 4; i++)); do
        controls
        [[ $(current_page) == 3 ]] && break
        keys ctrl+Tab
    done
    check_eq "$(current_page)" 3 "the About page is shown"
}
about_labels() {  # the About page's version and count labels
    grep -- " parent=$(field "$(grep ' class=TTabSheet .* text=バージョン情報$' "$CONTROLS")" hwnd) " "$CONTROLS" |
        grep ' class=Static ' | grep -E ' text=(Fluttons|起動回数)' | sed 's/.* text=//' | paste -sd '|'
}

reg_reset
open_dialog /c && {
    show_about
    check_eq "$(about_labels)" "Fluttons! Saver Ver 4.00|起動回数: 0回" "About page on an empty registry"
    close_dialog escape
}

for run in 1 2; do
    rest_cursor
    start_saver /s
    if find_window TMainForm; then
        check_eq "$(reg_get TimesOfBoot)" "\"$run\"" "start count after full-screen run $run"
    else
        fail "no saver window for full-screen run $run"
    fi
    stop_saver "$SAVER_PID"
    kill_leftovers
done

open_dialog /c && {
    show_about
    check_eq "$(about_labels)" "Fluttons! Saver Ver 4.00|起動回数: 2回" "About page after two full-screen runs"
    screenshot dialog_about_two_starts
    close_dialog escape
}
check_eq "$(reg_get TimesOfBoot)" '"2"' "start count after Esc"

open_dialog /c && close_dialog enter
check_eq "$(reg_get TimesOfBoot)" '"2"' "start count after OK"
check_eq "$(reg_values | wc -l)" 32 "OK's 31 values and the start count"

e2e_finish
