#!/usr/bin/env bash
# The settings dialog as the user sees it: the command lines that open it, its
# window, every control's place and first state on an empty registry, the
# keyboard (tab order, accelerators, Ctrl+Tab), the hints, the enabling rules
# and the sample as drawn, the presets, the link, and a screenshot of each
# page (dialog_page*.png in the work folder). Nothing it does is saved.
# Usage: dialog_window.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog_lib.sh"

reg_reset

# ---- every settings command line opens the dialog; the close box ends it ----
open_cases=("" "/c" "-C" "/c:1234" "/c|1234" "settings")
for row in "${open_cases[@]}"; do
    IFS='|' read -r -a args <<<"$row"
    open_dialog "${args[@]}" || continue
    check_eq "$(probe info "$DLG" | kv title)" "$DIALOG_CAPTION" "caption for fluttsaver.scr ${args[*]}"
    close_dialog close-box
    check_eq "$EXIT_STATUS" 0 "exit status after the close box (fluttsaver.scr ${args[*]})"
done
check_eq "$(probe reg "$REG_SUBKEY_PATH" | kv key)" missing "settings subkey after closing without OK"

# ---- the window ----
open_dialog /c || e2e_finish
info=$(probe info "$DLG")
style=$(kv style <<<"$info")
check_eq "$(printf '0x%08X' $((style & 0x00CF0000)))" 0x00CB0000 \
    "caption, system menu, minimise and maximise boxes, no sizing border (style $style)"
check_eq "$(kv owner <<<"$info")" 0 "the dialog has no owner"
check_eq "$(dprobe client "$DLG" | kv client)" 481x381 "client area"
IFS=, read -r left top right bottom <<<"$(kv rect <<<"$info")"
check_eq "$left,$top" "$(((1920 - (right - left)) / 2)),$(((1080 - (bottom - top)) / 2))" "centred on the screen"

# ---- every control in its place (relative to its page or the window) ----
# class|text|x|y|w|h; text @ finds the control by its place; w h - for labels
# that fit their text.
layout=(
    "SysTabControl32|@|8|8|465|327"
    "Button|初期値(&D)|8|346|73|25"
    "Button|OK|320|346|73|25"
    "Button|キャンセル|400|346|73|25"
    "TRadioGroup|背景|16|8|137|209"
    "TRadioGroup|上下の動き|160|8|113|105"
    "TRadioGroup|左右の動き|296|8|113|105"
    "Static|上下のスピード(&V):|160|128|-|-"
    "msctls_trackbar32|@|160|152|97|41"
    "Static|30|257|155|-|-"
    "Static|左右のスピード(&H):|292|128|-|-"
    "msctls_trackbar32|@|280|152|97|41"
    "Static|20|384|155|-|-"
    "Button|すべてのモニターに表示する(&A)|160|200|249|17"
    "Button|伝言メッセージを表示する(&M)|16|8|185|17"
    "Static|伝言(&X):|32|34|-|-"
    "Edit|Fluttons! Saver|80|30|177|20"
    "Button|前面に表示(&R)|272|32|105|17"
    "Static|文字色:|32|62|-|-"
    "Button|■変更(&C)...|80|56|81|25"
    "Static|背景色:|176|62|-|-"
    "Button|透明(&T)|224|60|65|17"
    "Button|■変更(&B)...|288|56|81|25"
    "Static|フォント:|32|98|-|-"
    "Button|変更(F)...|80|92|65|25"
    "Static|Times New Roman, 48pt|152|98|-|-"
    "Static|サンプル:|8|122|-|-"
    "TPanel|Fluttons! Saver|8|136|438|149"
    "Static|登場するキャラクター(&C):|8|8|-|-"
    "ListBox|@|8|24|185|265"
    "Button|おすすめ(&R)|208|24|75|25"
    "Button|昭和文字(&S)|208|56|75|25"
    "Static|キャラクターの数(&N):|208|96|-|-"
    "msctls_trackbar32|@|208|112|174|45"
    "Static|100|384|120|-|-"
    "Static|Fluttons! Saver Ver 4.00|32|32|-|-"
    "Static|起動回数: 0回|32|88|-|-"
    "Static|https://orrin-software.example/fluttons/|24|120|417|18"
    "Static|@|216|32|32|32"
    "Static|@|272|32|32|32"
)
controls
for row in "${layout[@]}"; do
    IFS='|' read -r class text x y w h <<<"$row"
    if [[ $text == @ ]]; then line=$(ctl_at "$class" "$x" "$y"); else line=$(ctl "$class" "$text"); fi
    what="$class '$text'"
    if [[ -z $line ]]; then
        E2E_CHECKS=$((E2E_CHECKS + 1))
        fail "$what: not found at $x,$y"
        continue
    fi
    actual="$(field "$line" px),$(field "$line" py)"
    expected="$x,$y"
    if [[ $w != - ]]; then
        actual+=" $(field "$line" w)x$(field "$line" h)"
        expected+=" ${w}x$h"
    fi
    check_eq "$actual" "$expected" "place of $what"
done
check_eq "$(grep -c ' class=TTabSheet ' "$CONTROLS")" 4 "pages"
check_eq "$(grep ' class=TTabSheet ' "$CONTROLS" | sed 's/.* text=//' | paste -sd,)" \
    "基本設定,伝言,キャラクター,バージョン情報" "page captions in order"
check_eq "$(grep -c ' class=Static .* text=Copyright (C) 2025 Orrin Software$' "$CONTROLS")" 1 "authorship notice"

# Every control of a page lies inside its page.
while read -r sheet; do
    id=$(field "$sheet" hwnd)
    sw=$(field "$sheet" w)
    sh=$(field "$sheet" h)
    outside=$(grep -- " parent=$id " "$CONTROLS" | while read -r line; do
        (($(field "$line" px) + $(field "$line" w) > sw || $(field "$line" py) + $(field "$line" h) > sh)) &&
            echo "${line#* text=}"
    done | paste -sd,)
    check_eq "$outside" "" "controls outside page ${sheet#* text=} (${sw}x$sh)"
done < <(grep ' class=TTabSheet ' "$CONTROLS")

# The background group's list: dialog_variant.sh, for each build.

# ---- the first state on an empty registry ----
checked_items() { grep -- " parent=$(field "$(ctl TRadioGroup "$1")" hwnd) .* check=1 " "$CONTROLS" | sed 's/.* text=//'; }
check_eq "$(checked_items 背景)" チェッカールーム "background chosen"
check_eq "$(checked_items 上下の動き)" 降ってくる "vertical motion chosen"
check_eq "$(checked_items 左右の動き)" 両方 "horizontal motion chosen"
check_eq "$(field "$(ctl_at msctls_trackbar32 160 152)" pos)" 30 "vertical speed"
check_eq "$(field "$(ctl_at msctls_trackbar32 280 152)" pos)" 20 "horizontal speed"
check_eq "$(field "$(ctl_at msctls_trackbar32 208 112)" pos)" 100 "number of characters"
check_eq "$(field "$(ctl_at msctls_trackbar32 208 112)" max)" 1000 "number of characters: most"
check_eq "$(grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) text=\(.*\)/\2=\1/' | paste -sd,)" \
    "赤ネズミ=1,ペンタン=1,ぽよよん=1,キラリン=1,ハムハム=1,昭和笑顔文字=1,昭和笑顔文字(色つき)=1,昭和三日月=1,昭和三日月黄色=1,ファイア君=1,バクバク=1,たこ星人=1,ケロタン=1,16t=1,炎=1" \
    "characters, all checked"
check_field "message switch off" Button "伝言メッセージを表示する(&M)" check 0
check_field "front display on" Button "前面に表示(&R)" check 1
check_field "transparency off" Button "透明(&T)" check 0
check_field "every monitor off" Button "すべてのモニターに表示する(&A)" check 0
switched=("Static|伝言(&X):" "Edit|Fluttons! Saver" "Button|前面に表示(&R)" "Static|文字色:" "Button|■変更(&C)..."
    "Static|背景色:" "Button|透明(&T)" "Button|■変更(&B)..." "Static|フォント:" "Button|変更(F)..."
    "Static|Times New Roman, 48pt" "Static|サンプル:" "TPanel|Fluttons! Saver")
enabled_states() {
    local row
    for row in "${switched[@]}"; do field "$(ctl "${row%%|*}" "${row#*|}")" enabled; done | paste -sd ''
}
check_eq "$(enabled_states)" 0000000000000 "the thirteen message controls with the message off"
check_field "message switch enabled" Button "伝言メッセージを表示する(&M)" enabled 1
check_eq "$(current_page)" 0 "page shown first"
check_eq "$(kv focus <"$CONTROLS")" "$(field "$(ctl_at SysTabControl32 8 8)" hwnd)" "first focus: the tab control"

# ---- hints: a control with a hint shows it, one without shows none ----
hint_at() {  # hint_at CLASS TEXT: moves the mouse onto the control, prints the tooltip shown
    local line sx sy
    line=$(ctl "$1" "$2")
    sx=$(($(field "$line" sx) + $(field "$line" w) / 2))
    sy=$(($(field "$line" sy) + $(field "$line" h) / 2))
    xdotool mousemove "$((sx - 1))" "$sy"
    sleep 0.2
    xdotool mousemove "$sx" "$sy"
    sleep 1.5
    local tip
    tip=$(probe find tooltips_class32 --timeout 500 | kv hwnd)
    [[ $tip =~ ^[0-9]+$ ]] && probe info "$tip" | kv title
}
check_eq "$(hint_at Button OK)" "変更内容をを保存します。" "hint of OK"
check_eq "$(hint_at Button キャンセル)" "変更内容をを保存しません。" "hint of Cancel"
check_eq "$(hint_at Button 初期値\(\&D\))" "設定値をインストール時の状態に戻します。" "hint of Reset"
check_eq "$(hint_at Button 夜空)" "背景を設定します。" "hint over an item of the background group"
check_eq "$(hint_at Button "すべてのモニターに表示する(&A)")" "すべてのモニターにそれぞれキャラクターを表示します。" \
    "hint of the every-monitor switch"
check_eq "$(hint_at Static 上下のスピード\(\&V\):)" "" "no hint on a label without one"
rest_cursor

# ---- keyboard: the tab order of the frame and the General page ----
name_of() {  # a readable name of a control handle, from the last snapshot
    local line
    line=$(grep -m1 -- "^ctl hwnd=$1 " "$CONTROLS")
    if [[ -n ${line#* text=} ]]; then echo "${line#* text=}"; else echo "$(field "$line" class)@$(field "$line" px),$(field "$line" py)"; fi
}
tab_walk() {  # tab_walk N: presses Tab N times, prints the focused control after each
    local i
    for ((i = 0; i < $1; i++)); do
        keys Tab
        controls
        name_of "$(kv focus <"$CONTROLS")"
    done | paste -sd,
}
check_eq "$(tab_walk 10)" \
    "チェッカールーム,降ってくる,両方,msctls_trackbar32@160,152,msctls_trackbar32@280,152,すべてのモニターに表示する(&A),初期値(&D),OK,キャンセル,SysTabControl32@8,8" \
    "tab order from the tab control through the General page"
keys alt+v
controls
check_eq "$(name_of "$(kv focus <"$CONTROLS")")" "msctls_trackbar32@160,152" "Alt+V focuses the vertical speed"
keys End
controls
check_eq "$(field "$(ctl_at msctls_trackbar32 160 152)" pos)" 100 "End moves the vertical speed to 100"
check_eq "$(grep -c ' px=257 py=155 .* text=100$' "$CONTROLS")" 1 "its value label follows"
keys alt+h Home
controls
check_eq "$(name_of "$(kv focus <"$CONTROLS")")" "msctls_trackbar32@280,152" "Alt+H focuses the horizontal speed"
check_eq "$(field "$(ctl_at msctls_trackbar32 280 152)" pos)" 0 "Home moves the horizontal speed to 0"
check_eq "$(grep -c ' px=384 py=155 .* text=0$' "$CONTROLS")" 1 "its value label reads 0"
keys Down
controls
check_eq "$(field "$(ctl_at msctls_trackbar32 280 152)" pos)" 1 "an arrow key moves the horizontal speed by one"
# Arrow keys choose within a radio group.
keys shift+Tab shift+Tab shift+Tab shift+Tab Down
controls
check_eq "$(checked_items 背景)" 夜空 "Down in the background group chooses the next item"
keys alt+a
controls
check_field "Alt+A checks the every-monitor switch" Button "すべてのモニターに表示する(&A)" check 1
check_eq "$(name_of "$(kv focus <"$CONTROLS")")" "すべてのモニターに表示する(&A)" "... and focuses it"
screenshot dialog_page0_general

# ---- the Message page: the switches and the sample as drawn ----
keys ctrl+Tab
controls
check_eq "$(current_page)" 1 "Ctrl+Tab shows the Message page"
keys alt+m
controls
check_field "Alt+M checks the message switch" Button "伝言メッセージを表示する(&M)" check 1
check_eq "$(enabled_states)" 1111111111111 "the thirteen message controls with the message on"
check_eq "$(tab_walk 7)" "Fluttons! Saver,前面に表示(&R),変更(F)...,■変更(&B)...,■変更(&C)...,透明(&T),初期値(&D)" \
    "tab order through the Message page"
keys alt+x
controls
check_eq "$(name_of "$(kv focus <"$CONTROLS")")" "Fluttons! Saver" "Alt+X focuses the message text"
keys End
screenshot dialog_page1_message
shot=$E2E_WORK/dialog_page1_message.png
region() { local l; l=$(ctl "$1" "$2"); echo "$(field "$l" sx) $(field "$l" sy) $(field "$l" w) $(field "$l" h)"; }
read -r px py pw ph <<<"$(region TPanel "Fluttons! Saver")"
check_eq "$(pixel "$shot" $((px + 3)) $((py + 3)))" 8080ff "sample fill: the background colour 0xFF8080"
check_true "sample text drawn in yellow" test "$(count_pixels "$shot" "$px" "$py" "$pw" "$ph" ffff00)" -gt 200
read -r bx by bw bh <<<"$(region Button "■変更(&C)...")"
check_true "text colour button's swatch in yellow" test "$(count_pixels "$shot" "$bx" "$by" "$bw" "$bh" ffff00)" -gt 20
read -r gx gy gw gh <<<"$(region Button "■変更(&B)...")"
check_true "background colour button's swatch in light blue" \
    test "$(count_pixels "$shot" "$gx" "$gy" "$gw" "$gh" 8080ff)" -gt 20
face=$(pixel "$shot" $((px - 4)) $((py - 20)))

# Typing changes the sample at once.
xdotool type --delay 40 'AB'
sleep 0.3
controls
check_eq "$(field "$(ctl TPanel "Fluttons! SaverAB")" w)" 438 "the sample shows the typed text"

keys alt+t
controls
check_field "Alt+T checks transparency" Button "透明(&T)" check 1
check_field "transparency disables the background colour button" Button "■変更(&B)..." enabled 0
check_field "... but not the text colour button" Button "■変更(&C)..." enabled 1
screenshot dialog_page1_transparent
check_eq "$(pixel "$E2E_WORK/dialog_page1_transparent.png" $((px + 3)) $((py + 3)))" "$face" \
    "a transparent sample is filled with the dialog's face colour"
keys alt+m
controls
check_eq "$(enabled_states | tr -d 0)" "" "message off again: all thirteen disabled"
keys alt+m
controls
check_field "message on with transparency: text colour button enabled" Button "■変更(&C)..." enabled 1
check_field "message on with transparency: background colour button still disabled" Button "■変更(&B)..." enabled 0

# ---- the Character page: presets, check boxes, the count ----
keys ctrl+Tab
controls
check_eq "$(current_page)" 2 "Ctrl+Tab shows the Character page"
checks() { grep '^item ' "$CONTROLS" | sed 's/.* data=\(-*[0-9]*\) .*/\1/' | paste -sd ''; }
keys alt+s
controls
check_eq "$(checks)" 000001111000000 "昭和文字 checks items 5 to 8 only"
keys alt+r
controls
check_eq "$(checks)" 111110000000000 "おすすめ checks items 0 to 4 only"
list=$(ctl_at ListBox 8 24)
lx=$(field "$list" sx)
ly=$(field "$list" sy)
click $((lx + 2 + 7)) $((ly + 2 + 9 * 15 + 7))  # the check box of item 9
controls
check_eq "$(checks)" 111110000100000 "a click on an item's check box checks it"
click $((lx + 100)) $((ly + 2 + 1 * 15 + 7))  # the text of item 1: selects only
controls
check_eq "$(checks)" 111110000100000 "a click on an item's text changes no check"
keys space
controls
check_eq "$(checks)" 101110000100000 "Space toggles the selected item"
check_eq "$(tab_walk 4)" "おすすめ(&R),msctls_trackbar32@208,112,昭和文字(&S),初期値(&D)" "tab order through the Character page"
keys alt+c
controls
check_eq "$(name_of "$(kv focus <"$CONTROLS")")" "ListBox@8,24" "Alt+C focuses the character list"
keys alt+n End
controls
check_eq "$(field "$(ctl_at msctls_trackbar32 208 112)" pos)" 1000 "Alt+N and End: 1000 characters"
check_eq "$(grep -c ' px=384 py=120 .* text=1000$' "$CONTROLS")" 1 "the count's label reads 1000"
screenshot dialog_page2_character

# ---- the About page: labels, icons, the link's colours ----
keys ctrl+Tab
controls
check_eq "$(current_page)" 3 "Ctrl+Tab shows the About page"
screenshot dialog_page3_about
shot=$E2E_WORK/dialog_page3_about.png
read -r ux uy uw uh <<<"$(region Static "https://orrin-software.example/fluttons/")"
check_true "the link is drawn in blue" test "$(count_pixels "$shot" "$ux" "$uy" "$uw" "$uh" 0000ff)" -gt 100
check_eq "$(count_pixels "$shot" "$ux" "$uy" "$uw" "$uh" ff0000)" 0 "no red in the link at rest"
for icon in 216 272; do
    read -r ix iy _ <<<"$(field "$(ctl_at Static "$icon" 32)" sx) $(field "$(ctl_at Static "$icon" 32)" sy)"
    check_true "icon at $icon,32 is drawn" test "$(pictures colours "$shot" "32x32+$ix+$iy")" -gt 4
done
check_eq "$(hint_at Static "起動回数: 0回")" "今までこのスクリーンセーバーが起動した回数です。" "hint of the start count"
check_eq "$(hint_at Static https://orrin-software.example/fluttons/)" "Go to Our site!" "hint of the link"
check_eq "$(hint_at Static "Copyright (C) 2025 Orrin Software")" "" "no hint on the notice"
xdotool mousemove --sync $((ux + 20)) $((uy + 9)) mousedown 1
sleep 0.4
screenshot dialog_link_pressed
check_true "the link turns red while pressed" \
    test "$(count_pixels "$E2E_WORK/dialog_link_pressed.png" "$ux" "$uy" "$uw" "$uh" ff0000)" -gt 100
# Released away from the link: no click, blue again.
xdotool mousemove --sync $((ux + 20)) $((uy + 60)) mouseup 1
sleep 0.4
screenshot dialog_link_released
check_eq "$(count_pixels "$E2E_WORK/dialog_link_released.png" "$ux" "$uy" "$uw" "$uh" ff0000)" 0 "blue again once released"
rest_cursor

keys ctrl+Tab
controls
check_eq "$(current_page)" 0 "Ctrl+Tab wraps round to the General page"

# ---- maximised, the anchored controls keep their distances; restored, their places ----
anchored() {  # the places of the anchored controls, relative to the client's right and bottom edges
    local client w h row line
    client=$(dprobe client "$DLG" | kv client)
    w=${client%x*}
    h=${client#*x}
    controls
    for row in "SysTabControl32|@" "Button|初期値(&D)" "Button|OK" "Button|キャンセル"; do
        if [[ ${row#*|} == @ ]]; then line=$(ctl_at SysTabControl32 8 8); else line=$(ctl "${row%%|*}" "${row#*|}"); fi
        echo "$(field "$line" px),$((h - $(field "$line" py) - $(field "$line" h))),$((w - $(field "$line" px) - $(field "$line" w)))"
    done | paste -sd ' '
}
check_eq "$(anchored)" "8,46,8 8,10,400 320,10,88 400,10,8" "frame controls as designed (left, bottom gap, right gap)"
probe post "$DLG" "$WM_SYSCOMMAND" 0xF030 0 >/dev/null  # SC_MAXIMIZE
sleep 0.5
check_eq "$(dprobe client "$DLG" | kv client | cut -dx -f1)" 1920 "maximised to the screen's width"
check_eq "$(anchored)" "8,46,8 8,10,$((1920 - 81)) $((1920 - 161)),10,88 $((1920 - 81)),10,8" \
    "maximised: the tab control grows, the buttons keep to their edges"
probe post "$DLG" "$WM_SYSCOMMAND" 0xF120 0 >/dev/null  # SC_RESTORE
sleep 0.5
check_eq "$(anchored)" "8,46,8 8,10,400 320,10,88 400,10,8" "restored: every frame control back in its place"

# None of it is saved by Esc.
close_dialog escape
check_eq "$EXIT_STATUS" 0 "exit status after Esc"
check_eq "$(probe reg "$REG_SUBKEY_PATH" | kv key)" missing "settings subkey after Esc"

e2e_finish
