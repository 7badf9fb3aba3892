#!/usr/bin/env bash
# The settings dialog on high-DPI screens: with the prefix's DPI at 96, 120,
# 144, 192 and 288 (100 to 300 %) the dialog opens laid out for that DPI (client area, every
# control's place and size the form's scaled by DPI / 96), every control lies
# inside its page or the client area and overlaps none of its siblings (but
# the one pair the form designs so), and no label, check box, radio button
# or button has a text wider than itself in the font it uses. A screenshot of
# each page at each DPI: dialog-DPIdpi-pageN.png in the work folder.
# Then, at 96 DPI, WM_DPICHANGED to 192 and back: the controls take the places
# they have when the dialog opens at that DPI, and the window the suggested
# rectangle.
#
# What Wine 8 does, where Windows differs (the program is written for Windows):
#   - Wine reads LogPixels when the wineserver starts and gives every monitor
#     that one DPI, so a window never moves to a monitor of another DPI and
#     Wine never sends WM_DPICHANGED. The script sends it itself, as Windows
#     does (the new DPI in wParam, the suggested rectangle in the dialog's
#     own memory in lParam).
#   - Wine draws programs that are not DPI aware unscaled too, and scales the
#     window frame with the one DPI whatever the window's awareness: the
#     suggested rectangle is the 96 DPI frame around the 192 DPI client area.
#   - The fonts are Wine's substitutes for the form's face; the text checks
#     measure them as drawn.
# The script runs in a Wine session of its own, on a 2560 x 1440 screen, so
# that the dialog fits at 288 DPI (1449 x 1204 with its frame).
# Usage: dialog_dpi.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE
export FLUTT_SCREEN=2560x1440x24 FLUTT_WINE_PRIVATE=1
source "$(dirname "$0")/lib.sh"
source "$(dirname "$0")/dialog_lib.sh"

PREFIX_DPI=96
# The session's prefix goes back to 96 DPI for the scripts after this one.
trap '((PREFIX_DPI == 96)) || set_prefix_dpi 96; e2e_cleanup' EXIT

# scaled PIXELS DPI; scaled_size X W DPI: a length, and a size from its scaled edges.
scaled() { echo $((($1 * $2 + 48) / 96)); }
scaled_size() { echo $(($(scaled $(($1 + $2)) "$3") - $(scaled "$1" "$3"))); }

# The awk function f(KEY) that the listings below share: the value of one
# key=value word of a snapshot line, before its text. Its $ are awk's.
# shellcheck disable=SC2016
AWK_FIELD='
    function f(key,   i, kv) {
        for (i = 1; i <= NF; i++) {
            if ($i ~ "^" key "=") { split($i, kv, "="); return kv[2] }
            if ($i ~ /^text=/) break
        }
        return ""
    }'

# layout FILE: every control's class, place in its parent, size and
# visibility, from a controls snapshot, one per line in z-order. The tab
# control's scroll arrows are left out while hidden: the tab control makes
# them itself once its tabs did not fit, as for a moment while its font
# changes, and keeps them hidden after.
layout() {
    awk "$AWK_FIELD"'
        $1 == "ctl" && !(f("class") == "msctls_updown32" && f("visible") == 0) {
            print f("depth") " " f("class") " " f("px") "," f("py") " " f("w") "x" f("h") " visible=" f("visible")
        }' "$1"
}

# outside FILE CLIENT_W CLIENT_H: the controls of the snapshot that do not lie
# inside their parent (a page, a group, the tab control) or the client area.
outside() {
    awk -v dlg="$DLG" -v cw="$2" -v ch="$3" "$AWK_FIELD"'
        $1 == "ctl" {
            h = f("hwnd"); p[h] = f("parent"); x[h] = f("px"); y[h] = f("py"); w[h] = f("w"); hh[h] = f("h")
            c[h] = f("class"); order[++n] = h
        }
        END {
            for (i = 1; i <= n; i++) {
                h = order[i]
                if (p[h] == dlg) { pw = cw; ph = ch } else { pw = w[p[h]]; ph = hh[p[h]] }
                if (x[h] < 0 || y[h] < 0 || x[h] + w[h] > pw || y[h] + hh[h] > ph)
                    printf "%s %s,%s %sx%s in %sx%s; ", c[h], x[h], y[h], w[h], hh[h], pw, ph
            }
        }' "$1"
}

# overlaps FILE: the pairs of controls of one parent whose rectangles share a
# pixel, as "CLASS 'TEXT' & CLASS 'TEXT'; " (the pages and the tab control's
# hidden scroll arrows left out).
overlaps() {
    awk "$AWK_FIELD"'
        $1 == "ctl" && f("class") != "TTabSheet" && !(f("class") == "msctls_updown32" && f("visible") == 0) {
            n++; p[n] = f("parent"); x[n] = f("px"); y[n] = f("py"); w[n] = f("w"); h[n] = f("h")
            t = $0; sub(/.* text=/, "", t); name[n] = f("class") " \047" t "\047"
        }
        END {
            for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++)
                if (p[i] == p[j] && x[i] < x[j] + w[j] && x[j] < x[i] + w[i] && y[i] < y[j] + h[j] && y[j] < y[i] + h[i])
                    printf "%s & %s; ", name[i], name[j]
        }' "$1"
}

# clipped FILE DPI: the texts of the visible controls of a textfit listing
# that do not fit: a label its text, a check box or radio button its text
# beside the box, a button its text inside its edges.
clipped() {
    local box edge
    box=$(scaled 16 "$2")  # the 13-pixel box and the gap to the text
    edge=$(scaled 4 "$2")
    awk -v box="$box" -v edge="$edge" "$AWK_FIELD"'
        $1 == "fit" && f("visible") == 1 {
            text = $0; sub(/.* text=/, "", text)
            kind = f("kind"); w = f("w"); h = f("h"); tw = f("text_w"); th = f("text_h")
            room = kind == "label" ? w : (kind == "check" || kind == "radio") ? w - box : w - 2 * edge
            if (tw > room || th > h) printf "[%s: %sx%s in %sx%s] ", text, tw, th, room, h
        }' "$1"
}

# ---- the dialog opened at each DPI ----
declare -A LAYOUT
for dpi in 96 120 144 192 288; do
    if ((dpi != PREFIX_DPI)); then
        set_prefix_dpi "$dpi"
        PREFIX_DPI=$dpi
    fi
    reg_reset
    open_dialog /c || continue
    client=$(dprobe client "$DLG" | kv client)
    cw=$(scaled 481 "$dpi") ch=$(scaled 381 "$dpi")
    check_eq "$client" "${cw}x${ch}" "$dpi DPI: client area"
    controls
    check_field "$dpi DPI: OK button's left" Button OK px "$(scaled 320 "$dpi")"
    check_field "$dpi DPI: OK button's width" Button OK w "$(scaled_size 320 73 "$dpi")"
    check_field "$dpi DPI: sample panel's height" TPanel "Fluttons! Saver" h "$(scaled_size 136 149 "$dpi")"
    check_field "$dpi DPI: first track bar's width" msctls_trackbar32 "" w "$(scaled_size 160 97 "$dpi")"
    check_eq "$(outside "$CONTROLS" "$cw" "$ch")" "" "$dpi DPI: every control inside its parent"
    # The form puts the transparency box a pixel into the background colour button beside it.
    check_eq "$(overlaps "$CONTROLS")" "Button '■変更(&B)...' & Button '透明(&T)'; " \
        "$dpi DPI: no two controls overlap but the designed pair"
    LAYOUT[$dpi]=$(layout "$CONTROLS")
    IFS=, read -r left top right bottom <<<"$(probe info "$DLG" | kv rect)"
    for page in 0 1 2 3; do
        ((page > 0)) && keys ctrl+Tab
        controls
        check_eq "$(current_page)" "$page" "$dpi DPI: page $page shown"
        dprobe textfit "$DLG" "$dpi" >"$E2E_WORK/textfit-$dpi-$page.txt"
        check_eq "$(clipped "$E2E_WORK/textfit-$dpi-$page.txt" "$dpi")" "" "$dpi DPI, page $page: no text clipped"
        sleep 0.3
        screenshot "dialog-${dpi}dpi-page$page" "$((right - left))x$((bottom - top))+$left+$top"
    done
    # A long message and a long font name on the Message page.
    keys ctrl+Tab ctrl+Tab
    dprobe settext "$(field "$(ctl Edit "Fluttons! Saver")" hwnd)" "$(printf '伝言%.0s' {1..40})" >/dev/null
    dprobe textfit "$DLG" "$dpi" >"$E2E_WORK/textfit-$dpi-long.txt"
    check_eq "$(clipped "$E2E_WORK/textfit-$dpi-long.txt" "$dpi")" "" "$dpi DPI: no text clipped with a long message"
    close_dialog escape
done

# ---- WM_DPICHANGED: to 192 DPI and back ----
((PREFIX_DPI == 96)) || set_prefix_dpi 96
PREFIX_DPI=96
reg_reset
if open_dialog /c; then
    IFS=, read -r left top right bottom <<<"$(probe info "$DLG" | kv rect)"
    frame_w=$((right - left - 481)) frame_h=$((bottom - top - 381))
    for dpi in 192 96; do
        cw=$(scaled 481 "$dpi") ch=$(scaled 381 "$dpi")
        suggested=("$left" "$top" "$((left + cw + frame_w))" "$((top + ch + frame_h))")
        check_eq "$(dprobe dpichanged "$DLG" "$dpi" "${suggested[@]}" | kv sent)" 1 "WM_DPICHANGED to $dpi handled"
        check_eq "$(probe info "$DLG" | kv rect)" "$(IFS=,; echo "${suggested[*]}")" \
            "after WM_DPICHANGED to $dpi: the window takes the suggested rectangle"
        check_eq "$(dprobe client "$DLG" | kv client)" "${cw}x${ch}" "after WM_DPICHANGED to $dpi: client area"
        controls
        check_text "$(layout "$CONTROLS")" "${LAYOUT[$dpi]:-}" \
            "after WM_DPICHANGED to $dpi: every control where it is when the dialog opens at $dpi DPI"
        dprobe textfit "$DLG" "$dpi" >"$E2E_WORK/textfit-changed-$dpi.txt"
        check_eq "$(clipped "$E2E_WORK/textfit-changed-$dpi.txt" "$dpi")" "" \
            "after WM_DPICHANGED to $dpi: no text clipped"
        sleep 0.3
        screenshot "dialog-changed-to-${dpi}dpi" "$((cw + frame_w))x$((ch + frame_h))+$left+$top"
    done
    close_dialog escape
fi

e2e_finish
