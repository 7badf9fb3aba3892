#!/usr/bin/env bash
# What the settings dialog writes: OK (Enter) on an empty registry, Esc, the
# close box and Cancel, stored values round-tripping through the controls,
# clamping, the Caution box, Reset with its Setting box, the colour and font
# choosers, and the every-monitor switch turned on.
# Usage: dialog_save.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog_lib.sh"

chars() { local i; for ((i = 0; i < 15; i++)); do printf 'Character%d=%s\n' "$i" "$1"; done; }
# The 31 values of an OK, as reg_values prints them, for the given overrides
# (NAME=TEXT ...) over the defaults.
expected_values() {
    {
        printf '%s\n' num=100 downspeed=30 LRspeed=20 back2=1 updown=0 LR=2 IsShownMessage=0 IsMessageFront=1 \
            IsTransparent=0 'MessageText=Fluttons! Saver' MessageBGColor=16744576 MessageFontColor=65535 \
            MessageFontSize=48 'MessageFontName=Times New Roman' IsOnEveryMonitor=0 banner=1
        chars 1
        (($# == 0)) || printf '%s\n' "$@"
    } | awk -F= '{ v[$1] = substr($0, length($1) + 2) } END { for (k in v) printf "%s=\"%s\"\n", k, v[k] }' |
        LC_ALL=C sort
}
page_to() {  # page_to N: Ctrl+Tab until page N shows
    local i
    for ((i = 0; i < 4; i++)); do
        controls
        [[ $(current_page) == "$1" ]] && return 0
        keys ctrl+Tab
    done
    fail "could not show page $1"
}
msgbox_field() { kv "$1" <"$MSGBOX"; }
box_gone() { [[ $(probe find '#32770' --timeout 0 | kv hwnd) == none ]]; }
read_msgbox() {  # waits for a message box; its key=value lines go to MSGBOX (a file)
    E2E_SEQ=$((E2E_SEQ + 1))
    MSGBOX=$E2E_WORK/msgbox.$E2E_SEQ.txt
    probe msgbox --timeout 10000 >"$MSGBOX"
}

# ---- OK on an empty registry writes exactly the 31 values, all text ----
reg_reset
open_dialog /c && close_dialog enter
check_eq "$EXIT_STATUS" 0 "exit status after Enter"
check_eq "$(reg_values)" "$(expected_values)" "the 31 values after Enter on an empty registry"
check_eq "$(reg_values | wc -l)" 31 "number of values"
for name in MessageBGColor MessageFontColor banner; do
    check_eq "$(probe reg "$REG_SUBKEY_PATH" "$name" | kv type)" 1 "$name is REG_SZ"
done
check_eq "$(probe reg "$REG_SUBKEY_PATH" MessageBGColor | kv text)" 16744576 "background colour as text"
check_eq "$(probe reg "$REG_SUBKEY_PATH" MessageFontColor | kv text)" 65535 "text colour as text"

# ---- Esc, the close box and Cancel write nothing ----
for how in escape close-box cancel; do
    reg_reset
    open_dialog /c || continue
    if [[ $how == cancel ]]; then
        controls
        line=$(ctl Button キャンセル)
        click $(($(field "$line" sx) + 30)) $(($(field "$line" sy) + 12))
        wait_exit "$SAVER_PID" 15
    else
        close_dialog "$how"
    fi
    check_eq "$EXIT_STATUS" 0 "exit status after $how"
    check_eq "$(probe reg "$REG_ROOT_PATH" | kv key)/$(probe reg "$REG_SUBKEY_PATH" | kv key)" present/missing \
        "after $how the settings key exists (the load opened it) and its subkey does not"
done

# ---- stored values show in the controls and come back unchanged ----
reg_reset
stored=(num=250 downspeed=7 LRspeed=0 back2=5 updown=1 LR=0 IsShownMessage=1 IsMessageFront=0 IsTransparent=1
    'MessageText=こんにちは 世界' MessageBGColor=255 MessageFontColor=16711680 MessageFontSize=20
    'MessageFontName=ＭＳ ゴシック' TimesOfBoot=7 Character3=0 Character14=0 IsOnEveryMonitor=1)
reg_import "${stored[@]}"
open_dialog /c
controls
check_eq "$(field "$(ctl_at msctls_trackbar32 208 112)" pos)" 250 "stored num shown"
check_eq "$(field "$(ctl Button レンガ)" check)" 1 "stored background shown"
check_eq "$(field "$(ctl Button 浮いてくる)" check)" 1 "stored vertical motion shown"
check_eq "$(field "$(ctl Button 左へ流れる)" check)" 1 "stored horizontal motion shown"
check_eq "$(grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) .*/\1/' | paste -sd '')" 111011111111110 \
    "stored character flags shown"
check_eq "$(field "$(ctl Edit "こんにちは 世界")" enabled)" 1 "stored message text shown, switch on"
check_eq "$(field "$(ctl Button "■変更(&B)...")" enabled)" 0 "stored transparency disables the background colour"
check_eq "$(grep -c ' text=ＭＳ ゴシック, 20pt$' "$CONTROLS")" 1 "stored font shown"
check_eq "$(grep -c ' text=起動回数: 7回$' "$CONTROLS")" 1 "stored start count shown"
check_field "stored every-monitor switch shown" Button "すべてのモニターに表示する(&A)" check 1
close_dialog enter
mapfile -t stored_back < <(printf '%s\n' "${stored[@]}" | grep -v TimesOfBoot)
check_eq "$(reg_values | grep -v TimesOfBoot)" "$(expected_values "${stored_back[@]}")" "OK without changes keeps every value"
check_eq "$(reg_get TimesOfBoot)" '"7"' "OK never writes the start count"

# ---- stored values outside the controls' ranges are clamped and saved so ----
reg_reset
# (back2 beyond the list: dialog_variant.sh, for each build)
reg_import num=5000 downspeed=-5 LRspeed=250 updown=-1 LR=7
open_dialog /c
controls
check_eq "$(field "$(ctl_at msctls_trackbar32 208 112)" pos)" 1000 "num 5000 shows 1000"
check_eq "$(grep -c -- " parent=$(field "$(ctl TRadioGroup 上下の動き)" hwnd) .* check=1 " "$CONTROLS")" 0 \
    "updown -1 chooses no item"
close_dialog enter
check_eq "$(reg_get num downspeed LRspeed updown LR)" \
    '"1000","0","100","-1","2"' "clamped values saved"

# ---- OK with no character checked: Caution, item 0, the Character page ----
reg_reset
open_dialog /c
page_to 2
keys alt+s
controls
list=$(ctl_at ListBox 8 24)
for i in 5 6 7 8; do click $(($(field "$list" sx) + 9)) $(($(field "$list" sy) + 2 + i * 15 + 7)); done
controls
check_eq "$(grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) .*/\1/' | paste -sd '')" 000000000000000 \
    "every character unchecked"
keys ctrl+Tab
xdotool key Return
read_msgbox
check_eq "$(msgbox_field caption)" Caution "caption of the box for no character"
check_eq "$(msgbox_field text)" "最低1つキャラクターを選択してください。" "text of the box for no character"
check_eq "$(msgbox_field buttons)" OK "buttons of the box for no character"
check_eq "$(msgbox_field owner_class)" TOptDialog "the box belongs to the dialog"
probe msgbox --press >/dev/null
sleep 0.3
controls
check_eq "$(current_page)" 2 "the Character page is shown"
check_eq "$(grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) .*/\1/' | paste -sd '')" 100000000000000 \
    "only the first character is checked again"
check_eq "$(probe reg "$REG_SUBKEY_PATH" | kv key)" missing "nothing written"
check_true "the dialog stays open" still_running "$SAVER_PID"
close_dialog enter
check_eq "$(reg_get $(printf 'Character%d ' {0..14}))" "\"1\"$(printf ',"0"%.0s' {1..14})" \
    "the second OK saves character 0 only"

# ---- Reset: the Setting box; Cancel changes nothing, OK resets the general values ----
reg_reset
reg_import num=500 back2=3 updown=1 LR=0 downspeed=70 LRspeed=80 IsShownMessage=1 'MessageText=リセット後も' \
    Character1=0 MessageBGColor=0 MessageFontColor=255 IsTransparent=1 IsMessageFront=0 MessageFontName=Tahoma \
    MessageFontSize=20 IsOnEveryMonitor=1
open_dialog /c
keys alt+d
read_msgbox
check_eq "$(msgbox_field caption)" Setting "caption of the reset box"
check_eq "$(msgbox_field text)" '設定値を初期値に戻します。\nよろしいですか?' "text of the reset box"
# Two buttons, OK and Cancel (the second named in the system's language).
ok_and_one_more() { [[ $(msgbox_field buttons) =~ ^OK,[^,]+$ ]]; }
check_true "buttons of the reset box: OK and Cancel ($(msgbox_field buttons))" ok_and_one_more
probe post "$(msgbox_field msgbox)" "$WM_COMMAND" "$IDCANCEL" 0 >/dev/null
poll 5 box_gone
controls
check_eq "$(field "$(ctl_at msctls_trackbar32 208 112)" pos),$(field "$(ctl Button FT\ Wave1)" check)" 500,1 \
    "Cancel in the reset box changes nothing"
keys alt+d
probe msgbox --press >/dev/null
sleep 0.3
close_dialog enter
check_eq "$(reg_values)" "$(expected_values Character1=0 'MessageText=リセット後も' MessageBGColor=0 \
    MessageFontColor=255 IsTransparent=1 IsMessageFront=0 MessageFontName=Tahoma MessageFontSize=20)" \
    "Reset sets only the general values (every monitor off too), the count and the message switch"

# ---- the colour chooser: opened at the colour, pure red chosen ----
reg_reset
open_dialog /c
page_to 1
keys alt+m alt+c
chooser=$(probe find '#32770' --timeout 10000 | kv hwnd)
E2E_SEQ=$((E2E_SEQ + 1))
dprobe controls "$chooser" >"$E2E_WORK/chooser.txt"
rgb_edit() { grep -- " id=$1 class=Edit " "$E2E_WORK/chooser.txt"; }
check_eq "$(for id in 706 707 708; do rgb_edit $id | sed 's/.* text=//'; done | paste -sd,)" 255,255,0 \
    "the colour chooser opens at the text colour (yellow)"
dprobe settext "$(field "$(rgb_edit 707)" hwnd)" 0 >/dev/null
dprobe settext "$(field "$(rgb_edit 708)" hwnd)" 0 >/dev/null
probe post "$chooser" "$WM_COMMAND" "$IDOK" 0 >/dev/null
sleep 0.5
controls
screenshot dialog_red_text
read -r bx by bw bh <<<"$(l=$(ctl Button "■変更(&C)..."); echo "$(field "$l" sx) $(field "$l" sy) $(field "$l" w) $(field "$l" h)")"
check_true "the text colour button's caption turns red" \
    test "$(count_pixels "$E2E_WORK/dialog_red_text.png" "$bx" "$by" "$bw" "$bh" ff0000)" -gt 20
read -r px py pw ph <<<"$(l=$(ctl TPanel "Fluttons! Saver"); echo "$(field "$l" sx) $(field "$l" sy) $(field "$l" w) $(field "$l" h)")"
check_true "the sample's text turns red" \
    test "$(count_pixels "$E2E_WORK/dialog_red_text.png" "$px" "$py" "$pw" "$ph" ff0000)" -gt 200

# ---- the font chooser: cancelled, then Tahoma 20 ----
click $(($(field "$(ctl Button "変更(F)...")" sx) + 30)) $(($(field "$(ctl Button "変更(F)...")" sy) + 12))
chooser=$(probe find '#32770' --timeout 10000 | kv hwnd)
check_eq "$(probe info "$chooser" | kv owner_class)" TOptDialog "the font chooser belongs to the dialog"
probe post "$chooser" "$WM_COMMAND" "$IDCANCEL" 0 >/dev/null
sleep 0.5
controls
check_eq "$(grep -c ' text=Times New Roman, 48pt$' "$CONTROLS")" 1 "a cancelled font chooser leaves the font label"
click $(($(field "$(ctl Button "変更(F)...")" sx) + 30)) $(($(field "$(ctl Button "変更(F)...")" sy) + 12))
chooser=$(probe find '#32770' --timeout 10000 | kv hwnd)
E2E_SEQ=$((E2E_SEQ + 1))
dprobe controls "$chooser" >"$E2E_WORK/font.txt"
face_edit=$(grep -m1 ' class=Edit ' "$E2E_WORK/font.txt")
size_edit=$(grep ' class=Edit ' "$E2E_WORK/font.txt" | tail -1)
click $(($(field "$face_edit" sx) + 10)) $(($(field "$face_edit" sy) + 6))
xdotool key End shift+Home
xdotool type --delay 30 Tahoma
click $(($(field "$size_edit" sx) + 10)) $(($(field "$size_edit" sy) + 6))
xdotool key End shift+Home
xdotool type --delay 30 20
xdotool key Return
sleep 0.5
controls
check_eq "$(grep -c ' text=Tahoma, 20pt$' "$CONTROLS")" 1 "the chosen face and size show in the font label"
page_to 0
keys alt+a
close_dialog enter
check_eq "$(reg_get MessageFontColor MessageFontName MessageFontSize IsShownMessage IsOnEveryMonitor)" \
    '"255","Tahoma","20","1","1"' "chosen colour and font, and the every-monitor switch turned on, saved"

e2e_finish
