#!/usr/bin/env bash
# What the build variant changes in the settings dialog: the background
# group's size and its list (the reduced build lacks three pictures, so its
# random entry is the seventh), and where a stored background beyond the list
# lands: on the random entry, saved as that entry's number. It runs in the
# full and in the reduced tree; the rest of the dialog is the same in both
# (the form's unit tests hold the two forms equal but for that group) and is
# tested in the full tree.
# Usage: dialog_variant.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog_lib.sh"

if [[ $E2E_VARIANT == reduced ]]; then
    back_size=129x169 random_entry=6
    expected_back="なし,チェッカールーム,夜空,FT Wave1,FT Wave2,レンガ,ランダム"
else
    back_size=137x209 random_entry=9
    expected_back="なし,チェッカールーム,夜空,FT Wave1,FT Wave2,レンガ,Fedora28,ChatGPT(F28風),Gemini(F28風),ランダム"
fi

reg_reset
reg_import back2=12
open_dialog /c || e2e_finish
controls
group=$(ctl TRadioGroup 背景)
check_eq "$(field "$group" px),$(field "$group" py) $(field "$group" w)x$(field "$group" h)" "16,8 $back_size" \
    "place of the background group ($E2E_VARIANT build)"
check_eq "$(grep -- " parent=$(field "$group" hwnd) " "$CONTROLS" | sed 's/.* text=//' | paste -sd,)" "$expected_back" \
    "background items ($E2E_VARIANT build)"
check_eq "$(field "$(ctl Button ランダム)" check)" 1 "back2 12 shows random"
close_dialog enter
check_eq "$(reg_get back2)" "\"$random_entry\"" "back2 12 saved as the random entry"

e2e_finish
