#!/usr/bin/env bash
# The settings dialog for a screen reader, the keyboard alone and a high-
# contrast theme: its own accessible objects read from another process, the
# events of changed checks, the page keys, the link by Tab, Enter and Space,
# and its drawing in a high-contrast colour scheme (dialog_access_*.png); one
# dialog, opened once. Wine 8 keeps the high-contrast flag off
# (SPI_SETHIGHCONTRAST fails): the link and the focused colour button's frame
# take the system's colours here because their own fade into the black face.
# Wine's list box raises no focus or selection events for its items (Windows'
# does; the dialog leaves those to it).
# Usage: dialog_access.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog_lib.sh"

readonly ROLE_GROUPING=20 ROLE_LINK=30 ROLE_LIST=33 ROLE_PUSHBUTTON=43 ROLE_CHECKBUTTON=44
readonly STATE_SELECTED=0x2 STATE_FOCUSED=0x4 STATE_CHECKED=0x10
readonly EVENT_STATECHANGE=0x800a

# The prefix's colours as they were, and a browser that only notes what it is
# asked to open; both put back when the script ends.
work=$(cd "$E2E_WORK" && pwd)  # the browser is asked for by a full path
saved_colors=$work/colors.reg
browser=$work/browser.sh
opened=$work/opened.txt
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$opened" >"$browser"
chmod +x "$browser"
cat >"$E2E_WORK/contrast.reg" <<EOF
REGEDIT4

[HKEY_CURRENT_USER\\Control Panel\\Colors]
"ButtonFace"="0 0 0"
"ButtonText"="255 255 255"
"Window"="0 0 0"
"WindowText"="255 255 255"
"Hilight"="26 235 255"
"HilightText"="0 0 0"
"HotTrackingColor"="255 255 0"

[HKEY_CURRENT_USER\\Software\\Wine\\WineBrowser]
"Browsers"="$browser"
EOF
wine reg export 'HKCU\Control Panel\Colors' "$(winpath "$saved_colors")" /y >/dev/null 2>&1 </dev/null ||
    read_failed "the prefix's colours" "reg export failed"
restore_prefix() {
    wine reg delete 'HKCU\Software\Wine\WineBrowser' /f >/dev/null 2>&1 </dev/null
    [[ -s $saved_colors ]] && wine reg import "$(winpath "$saved_colors")" >/dev/null 2>&1 </dev/null
}
trap 'restore_prefix; e2e_cleanup' EXIT
wine reg import "$(winpath "$E2E_WORK/contrast.reg")" >/dev/null 2>&1 </dev/null || fail "could not set the colour scheme"

reg_reset
open_dialog /c || e2e_finish
controls
hwnd_of() { field "$(ctl "$1" "$2")" hwnd; }
screen_rect() { local l; l=$(ctl "$1" "$2"); echo "$(field "$l" sx) $(field "$l" sy) $(field "$l" w) $(field "$l" h)"; }
list=$(field "$(grep -m1 ' class=ListBox ' "$CONTROLS")" hwnd)
font_color=$(hwnd_of Button "■変更(&C)...")
back_color=$(hwnd_of Button "■変更(&B)...")
link=$(hwnd_of Static "https://orrin-software.example/fluttons/")
groups=$(grep ' class=TRadioGroup ' "$CONTROLS" | while IFS= read -r line; do field "$line" hwnd; done)

ACC=$E2E_WORK/acc.txt
read_acc() { dprobe acc "$@" >"$ACC"; }  # a screen reader's view of the windows, into ACC
acc_field() { field "$(grep -m1 -- "^acc hwnd=$1 child=$2 " "$ACC")" "$3"; }  # HWND CHILD KEY
acc_text() { grep -m1 -- "^$3 hwnd=$1 child=$2 " "$ACC" | sed 's/.* text=//'; }  # HWND CHILD name|value
has_state() { (($(acc_field "$1" "$2" state) & $3)); }
items_heard() {  # role:name:check of each item, as a screen reader hears them
    local i
    for i in {1..15}; do
        echo "$(acc_field "$list" "$i" role):$(acc_text "$list" "$i" name):$(has_state "$list" "$i" $STATE_CHECKED && echo 1 || echo 0)"
    done | paste -sd ' '
}
items_shown() { grep '^item ' "$CONTROLS" | sed -E "s/.* data=(-?[0-9]+) text=(.*)/$ROLE_CHECKBUTTON:\2:\1/" | paste -sd ' '; }
list_checks() { grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) .*/\1/' | paste -sd ''; }

# Every object event of the dialog's process, from another process.
events=$E2E_WORK/events.txt
wine "$DIALOG_PROBE" events "$DLG" 120000 >"$events" 2>&1 </dev/null &
events_pid=$!
wait_line "$events" ready= 15 >/dev/null || read_failed "the event hook" "no ready line in $events"
mark_events() { mark=$(wc -l <"$events"); }
new_events() {  # HWND CHILD...: a state change of each since mark_events
    local hwnd=$1 child
    shift
    for child in "$@"; do
        tail -n +$((mark + 1)) "$events" |
            grep -qE -- "^event=$EVENT_STATECHANGE hwnd=$hwnd object=-4 child=$child"$'\r'"?\$" || return 1
    done
}

# ---- what a screen reader reads ----
# shellcheck disable=SC2086
read_acc "$list" $groups "$font_color" "$back_color" "$link"
check_eq "$(acc_field "$list" 0 role),$(acc_field "$list" 0 children),$(acc_text "$list" 0 name),$(acc_field "$list" 0 shortcut)" \
    "$ROLE_LIST,15,登場するキャラクター,Alt+C" "the character list: a list of 15, named after its label"
check_eq "$(items_heard)" "$(items_shown)" "its items: check buttons with the characters' names and the list's checks"
for group in $groups; do
    check_eq "$(acc_field "$group" 0 role) $(acc_field "$group" 0 children) $(acc_text "$group" 0 name)" \
        "$ROLE_GROUPING $(grep -c -- " parent=$group " "$CONTROLS") $(grep -m1 -- "^ctl hwnd=$group " "$CONTROLS" | sed 's/.* text=//')" \
        "radio group $group: a grouping named by its caption, its radio buttons its children"
done
check_eq "$(acc_field "$font_color" 0 role)|$(acc_text "$font_color" 0 name)|$(acc_text "$font_color" 0 value)|$(acc_field "$font_color" 0 shortcut)" \
    "$ROLE_PUSHBUTTON|文字色の変更|赤 255、緑 255、青 0|Alt+C" "the text colour button: its colour named, yellow its value"
check_eq "$(acc_text "$back_color" 0 name)|$(acc_text "$back_color" 0 value)" \
    "背景色の変更|赤 128、緑 128、青 255" "the background colour button: its colour named, 0xFF8080 its value"
check_eq "$(acc_field "$link" 0 role) $(acc_text "$link" 0 name) $(acc_field "$link" 0 action)" \
    "$ROLE_LINK https://orrin-software.example/fluttons/ Jump" "the link: a link to the web page"

# ---- the page keys; Space, a preset and the default action change checks, and say so ----
keys ctrl+Next ctrl+Next ctrl+Prior
controls
check_eq "$(current_page)" 1 "Ctrl+PageDown twice and Ctrl+PageUp: the Message page"
keys ctrl+Next
controls
check_eq "$(current_page)" 2 "Ctrl+PageDown: the Character page"
keys alt+c Home
before=$(list_checks)
mark_events
keys space
controls
read_acc "$list"
check_eq "$(list_checks | cut -c1)" "$((1 - ${before:0:1}))" "Space flips the first character's check"
check_eq "$(items_heard)" "$(items_shown)" "... and a screen reader hears the new check"
check_true "the focused item is focused and selected" has_state "$list" 1 $((STATE_FOCUSED | STATE_SELECTED))
check_true "the state change of item 1 reaches the hook" poll 5 new_events "$list" 1

before=$(list_checks)
mark_events
keys alt+r
controls
changed=$(for ((i = 0; i < 15; i++)); do [[ ${before:i:1} != "$(list_checks | cut -c$((i + 1)))" ]] && echo $((i + 1)); done)
check_true "the recommendation changes some checks (from $before)" test -n "$changed"
# shellcheck disable=SC2086
check_true "the recommendation's change of each of the items $(echo $changed) reaches the hook" poll 5 new_events "$list" $changed

before=$(list_checks)
mark_events
dprobe doaction "$list" 15 >/dev/null
controls
check_eq "$(list_checks | cut -c15)" "$((1 - ${before:14:1}))" "the default action of item 15 flips its check"
check_true "... and its state change reaches the hook" poll 5 new_events "$list" 15

# ---- the link by keyboard, in high contrast ----
keys ctrl+Next Tab
controls
check_eq "$(kv focus <"$CONTROLS")" "$link" "Tab from the tabs reaches the link"
screenshot dialog_access_link
read -r lx ly lw lh <<<"$(screen_rect Static "https://orrin-software.example/fluttons/")"
check_true "the link is drawn in the system's link colour (yellow)" \
    test "$(count_pixels "$E2E_WORK/dialog_access_link.png" "$lx" "$ly" "$lw" "$lh" ffff00)" -gt 100
check_eq "$(count_pixels "$E2E_WORK/dialog_access_link.png" "$lx" "$ly" "$lw" "$lh" 0000ff)" 0 "no blue left in the link"
keys Return
check_eq "$(wait_line "$opened" https 10)" https://orrin-software.example/fluttons/ "Enter on the link opens the web page"
keys space
opened_twice() { (($(wc -l <"$opened") >= 2)); }
poll 10 opened_twice
check_eq "$(sed -n 2p "$opened")" https://orrin-software.example/fluttons/ "Space on the link opens it too"

# ---- the focused colour button's frame in high contrast ----
keys ctrl+Next ctrl+Next alt+m Tab Tab Tab Tab
controls
check_eq "$(kv focus <"$CONTROLS")" "$back_color" "the background colour button has the focus"
screenshot dialog_access_button
read -r bx by bw _ <<<"$(screen_rect Button "■変更(&B)...")"
check_eq "$(count_pixels "$E2E_WORK/dialog_access_button.png" "$bx" "$by" "$bw" 1 ffffff)" "$bw" \
    "its focus frame is drawn in the button text colour (white) over its whole width"

# The reset puts the message switch and the every-monitor switch off again:
# changes of the program's own, which the hook hears of.
switches=("$(hwnd_of Button "伝言メッセージを表示する(&M)")" "$(hwnd_of Button "すべてのモニターに表示する(&A)")")
new_switch_events() { new_events "${switches[0]}" 0 && new_events "${switches[1]}" 0; }
keys ctrl+Prior alt+a
mark_events
keys alt+d
probe msgbox --timeout 10000 --press >/dev/null
check_true "the reset's changes of both switches reach the hook" poll 5 new_switch_events

close_dialog escape
wait_exit "$events_pid" 15
e2e_finish
