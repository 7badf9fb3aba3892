# shellcheck shell=bash
# Helpers of the settings dialog's end-to-end scripts; sourced after lib.sh by
# a script that got four arguments: SCR PROBE HOST DIALOG_PROBE.

if (($# < 4)) || [[ ! -f $4 ]]; then
    echo "usage: $0 FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE E2E_DIALOG_PROBE.EXE" >&2
    exit 2
fi
DIALOG_PROBE=$4
# full or reduced: which background list the dialog must show.
E2E_VARIANT=${E2E_VARIANT:-$( [[ $SCR == *reduced* ]] && echo reduced || echo full)}

# Used by the scripts that source this file.
# shellcheck disable=SC2034
readonly DIALOG_CAPTION='Fluttons! セーバー2025設定'
# shellcheck disable=SC2034
readonly WM_COMMAND=0x0111 IDOK=1 IDCANCEL=2

# dprobe ARGS: runs the dialog probe and prints its lines.
dprobe() { run_tool "$DIALOG_PROBE" "$@"; }
tool_server_start "$DIALOG_PROBE"

# open_dialog ARGS...: starts the saver with ARGS and waits for the dialog;
# sets DLG (its handle) or fails the check and returns 1.
open_dialog() {
    DLG=
    # The first start in a new prefix on a loaded machine has been seen to
    # take longer than the wait: a dialog that does not come up is started
    # once more before that counts as a failure.
    local attempt
    for attempt in 1 2; do
        start_saver "$@"
        find_window TOptDialog && break
        kill_leftovers
        ((attempt == 1)) && log "note: no settings dialog for fluttsaver.scr $* within the wait, starting it again"
    done
    if [[ -z $HWND ]]; then
        fail "no settings dialog for fluttsaver.scr $*"
        return 1
    fi
    DLG=$HWND
    # The dialog takes the keyboard once it is up; wait until it has the focus.
    local i
    for ((i = 0; i < 40; i++)); do
        [[ $(dprobe controls "$DLG" | kv focus) =~ ^[1-9] ]] && break
        sleep 0.05
    done
}

# close_dialog HOW: ends the dialog by HOW (enter, escape, close-box) and waits
# for the process; sets EXIT_STATUS.
close_dialog() {
    case $1 in
        enter) keys Return ;;
        escape) keys Escape ;;
        close-box) probe post "$DLG" "$WM_SYSCOMMAND" "$SC_CLOSE" 0 >/dev/null ;;
    esac
    wait_exit "$SAVER_PID" 15
    if [[ $EXIT_STATUS == running ]]; then
        fail "the dialog did not end on $1"
        kill_leftovers
    fi
}

# keys KEY...: real key presses through X (xdotool names: Return, ctrl+Tab, alt+m).
keys() {
    xdotool key --delay 60 "$@"
    sleep 0.3
}

# click X Y: a real left click at a screen position.
click() {
    xdotool mousemove --sync "$1" "$2" click 1
    sleep 0.3
}

# Snapshot of the dialog's controls into CONTROLS (a file).
controls() {
    E2E_SEQ=$((E2E_SEQ + 1))
    CONTROLS=$E2E_WORK/controls.$E2E_SEQ.txt
    dprobe controls "${1:-$DLG}" >"$CONTROLS"
}

# ctl CLASS TEXT: the line of the control of CLASS whose text is exactly TEXT
# (from the last snapshot); empty when there is none.
ctl() {
    local class=$1 text=$2 line
    while IFS= read -r line; do
        [[ $line == "ctl "* && $line == *" class=$class "* && ${line#* text=} == "$text" ]] && { echo "$line"; return; }
    done <"$CONTROLS"
}

# ctl_at CLASS PX PY: the control of CLASS at that place in its parent.
ctl_at() { grep -- " class=$1 " "$CONTROLS" | grep -m1 -- " px=$2 py=$3 "; }

# field LINE KEY: the value of one key=value word of a line (not text=).
field() {
    local word
    for word in ${1% text=*}; do
        [[ $word == "$2="* ]] && { echo "${word#*=}"; return; }
    done
}

# item_data INDEX: the check state of a check-list item (its item data).
item_data() { grep -m1 -- "^item .* index=$1 " "$CONTROLS" | sed -E 's/.* data=(-?[0-9]+) .*/\1/'; }

# check_field WHAT CLASS TEXT KEY EXPECTED
check_field() {
    local line
    line=$(ctl "$2" "$3")
    if [[ -z $line ]]; then
        E2E_CHECKS=$((E2E_CHECKS + 1))
        fail "$1: no $2 control with text '$3'"
        return
    fi
    check_eq "$(field "$line" "$4")" "$5" "$1"
}

# The tab control's chosen page (0..3).
current_page() { field "$(grep -m1 -- ' class=SysTabControl32 ' "$CONTROLS")" sel; }

# count_pixels FILE X Y W H HEX: how many pixels of the region have exactly
# the colour HEX (rrggbb).
count_pixels() { pictures count "$1" "$6" "$4x$5+$2+$3"; }

# pixel FILE X Y: the colour of one pixel as rrggbb.
pixel() { pixel_hex "$@" | tr 'A-F' 'a-f'; }

# poll SECONDS COMMAND...: runs COMMAND until it succeeds or the time is up.
poll() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        (($(now_ms) >= deadline)) && return 1
        sleep 0.1
    done
}
