#!/usr/bin/env bash
# The settings dialog for a screen reader, the keyboard alone and a high-
# contrast theme: the accessible objects it serves for the controls it draws
# itself, read from another process as a screen reader reads them; the events
# it raises when a check changes; the page keys; the link by Tab, Enter and
# Space; and its drawing with a high-contrast scheme of system colours
# (dialog_access_*.png). One dialog, opened once with that scheme.
# Wine 8 keeps the high-contrast flag off (SPI_SETHIGHCONTRAST fails), so the
# scheme alone is tested here: the link and the focused colour button's frame
# give way to the system's colours because their own ones fade into the black
# face. Nor does Wine's list box raise focus or selection events for its items,
# which Windows' does; the dialog leaves those to the list box.
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
"ButtonShadow"="128 128 128"
"ButtonHilight"="255 255 255"
"ButtonLight"="192 192 192"
"ButtonDkShadow"="255 255 255"
"Window"="0 0 0"
"WindowText"="255 255 255"
"WindowFrame"="255 255 255"
"Hilight"="26 235 255"
"HilightText"="0 0 0"
"HotTrackingColor"="255 255 0"
"GrayText"="63 242 0"

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
list=$(field "$(grep -m1 ' class=ListBox ' "$CONTROLS")" hwnd)
font_color=$(hwnd_of Button "■変更(&C)...")
back_color=$(hwnd_of Button "■変更(&B)...")
link=$(hwnd_of Static "https://orrin-software.example/fluttons/")
groups=$(grep ' class=TRadioGroup ' "$CONTROLS" | while IFS= read -r line; do field "$line" hwnd; done)

# A screen reader's view of the windows, into ACC (a file).
read_acc() {
    E2E_SEQ=$((E2E_SEQ + 1))
    ACC=$E2E_WORK/acc.$E2E_SEQ.txt
    dprobe acc "$@" >"$ACC"
}
acc_field() { field "$(grep -m1 -- "^acc hwnd=$1 child=$2 " "$ACC")" "$3"; }  # HWND CHILD KEY
acc_text() { grep -m1 -- "^$3 hwnd=$1 child=$2 " "$ACC" | sed 's/.* text=//'; }  # HWND CHILD name|value
has_state() { (($(acc_field "$1" "$2" state) & $3)); }
item_checks() {  # the list's items as a screen reader hears their checks: 1 checked, 0 not
    local i
    for ((i = 1; i <= 15; i++)); do if has_state "$list" "$i" $STATE_CHECKED; then echo 1; else echo 0; fi; done | paste -sd ''
}
list_checks() { grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) .*/\1/' | paste -sd ''; }

# Every object event of the dialog's process, from another process.
events=$E2E_WORK/events.txt
wine "$DIALOG_PROBE" events "$DLG" 120000 >"$events" 2>&1 </dev/null &
events_pid=$!
wait_line "$events" ready= 15 >/dev/null || read_failed "the event hook" "no ready line in $events"
state_events() { grep -cE -- "^event=$EVENT_STATECHANGE hwnd=${2:-$list} object=-4 child=$1"$'\r'"?\$" "$events"; }  # CHILD [HWND]
count_events() { local i; seen=(0); for i in {1..15}; do seen+=("$(state_events "$i")"); done; }  # into seen[CHILD]
new_state_events() { local c; for c in "$@"; do (($(state_events "$c") > seen[c])) || return 1; done; }  # CHILD...: each one more since count_events

# ---- what a screen reader reads ----
# shellcheck disable=SC2086
read_acc "$list" $groups "$font_color" "$back_color" "$link"
check_eq "$(acc_field "$list" 0 role),$(acc_field "$list" 0 children),$(acc_text "$list" 0 name),$(acc_field "$list" 0 shortcut)" \
    "$ROLE_LIST,15,登場するキャラクター,Alt+C" "the character list: a list of 15, named after its label"
check_eq "$(for i in {1..15}; do acc_text "$list" "$i" name; done | paste -sd '|')" \
    "$(grep '^item ' "$CONTROLS" | sed 's/.* text=//' | paste -sd '|')" "its items' names are the characters'"
check_eq "$(for i in {1..15}; do acc_field "$list" "$i" role; done | sort -u)" $ROLE_CHECKBUTTON "every item a check button"
check_eq "$(item_checks)" "$(list_checks)" "the items' checked states are the list's checks"
check_eq "$(acc_field "$list" 1 action)" "$([[ $(list_checks) == 1* ]] && echo Uncheck || echo Check)" \
    "the first item's default action undoes its check"
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
keys ctrl+Next ctrl+Next
controls
check_eq "$(current_page)" 2 "Ctrl+PageDown twice: the Character page"
keys ctrl+Prior
controls
check_eq "$(current_page)" 1 "Ctrl+PageUp: the Message page"
keys ctrl+Next alt+c Home
before=$(list_checks)
count_events
keys space
controls
read_acc "$list"
check_eq "$(list_checks | cut -c1)" "$((1 - ${before:0:1}))" "Space flips the first character's check"
check_eq "$(item_checks)" "$(list_checks)" "... and a screen reader reads the new check"
check_true "the focused item is focused and selected" has_state "$list" 1 $((STATE_FOCUSED | STATE_SELECTED))
check_true "the state change of item 1 reaches the hook" poll 5 new_state_events 1

before=$(list_checks)
count_events
keys alt+r
controls
changed=$(for ((i = 0; i < 15; i++)); do [[ ${before:i:1} != "$(list_checks | cut -c$((i + 1)))" ]] && echo $((i + 1)); done)
check_true "the recommendation changes some checks (from $before)" test -n "$changed"
# shellcheck disable=SC2086
check_true "the recommendation's change of each of the items $(echo $changed) reaches the hook" poll 5 new_state_events $changed

before=$(list_checks)
count_events
dprobe doaction "$list" 15 >/dev/null
controls
check_eq "$(list_checks | cut -c15)" "$((1 - ${before:14:1}))" "the default action of item 15 flips its check"
check_true "... and its state change reaches the hook" poll 5 new_state_events 15

# ---- the link by keyboard, in high contrast ----
keys ctrl+Next Tab
controls
check_eq "$(kv focus <"$CONTROLS")" "$link" "Tab from the tabs reaches the link"
screenshot dialog_access_link
read -r lx ly lw lh <<<"$(l=$(ctl Static "https://orrin-software.example/fluttons/"); echo "$(field "$l" sx) $(field "$l" sy) $(field "$l" w) $(field "$l" h)")"
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
read -r bx by bw _ <<<"$(l=$(ctl Button "■変更(&B)..."); echo "$(field "$l" sx) $(field "$l" sy) $(field "$l" w) $(field "$l" h)")"
check_eq "$(count_pixels "$E2E_WORK/dialog_access_button.png" "$bx" "$by" "$bw" 1 ffffff)" "$bw" \
    "its focus frame is drawn in the button text colour (white) over its whole width"

# The reset puts the message switch and the every-monitor switch off again:
# changes of the program's own, which the hook hears of.
switches=("$(hwnd_of Button "伝言メッセージを表示する(&M)")" "$(hwnd_of Button "すべてのモニターに表示する(&A)")")
switch_events=("$(state_events 0 "${switches[0]}")" "$(state_events 0 "${switches[1]}")")
new_switch_events() { (($(state_events 0 "${switches[0]}") > switch_events[0] && $(state_events 0 "${switches[1]}") > switch_events[1])); }
keys ctrl+Prior alt+a alt+d
probe msgbox --timeout 10000 --press >/dev/null
check_true "the reset's changes of both switches reach the hook" poll 5 new_switch_events

close_dialog escape
wait_exit "$events_pid" 15
e2e_finish
