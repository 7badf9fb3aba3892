#!/usr/bin/env bash
# The settings store as a full-screen run sees it in the real registry: the
# start counter read with the program's integer rules and written back as
# REG_SZ text, and every other value left exactly as it was, also when the
# stored record is out of the dialog's ranges.
# Usage: settings_store.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

# Counter text before a start | counter text after it. Unparsable text counts
# as 0, so the start makes it 1.
counter_cases=(
    "41|42"
    "  7|8"
    "+5|6"
    "-3|-2"
    "0x10|17"
    "0X1F|32"
    "x1f|32"
    "\$10|17"
    "-\$10|-15"
    "-2147483648|-2147483647"
    "12abc|1"
    "7 |1"
    "abc|1"
    "|1"
    "2147483648|1"
)

log "the start counter's integer rules"
for row in "${counter_cases[@]}"; do
    IFS='|' read -r before after <<<"$row"
    reg_reset
    reg_import "TimesOfBoot=$before"
    if [[ $(reg_get TimesOfBoot) != "\"$before\"" ]]; then
        fail "could not store TimesOfBoot '$before' (got $(reg_get TimesOfBoot))"
        continue
    fi
    start_saver /s
    if find_window TMainForm; then
        check_eq "$(reg_get TimesOfBoot)" "\"$after\"" "TimesOfBoot '$before' after one start"
        tob=$(probe reg "$REG_SUBKEY_PATH" TimesOfBoot)
        check_eq "$(kv type <<<"$tob"),$(kv bytes <<<"$tob")" "1,$(((${#after} + 1) * 2))" \
            "TimesOfBoot '$after' is REG_SZ with its NUL"
    else
        fail "no saver window with TimesOfBoot '$before'"
    fi
    stop_saver "$SAVER_PID"
done
kill_leftovers

# A whole run (up to its end by a key) with a stored record leaves the record
# untouched and only counts the start.
run_with_record() {
    local what=$1
    shift
    reg_reset
    reg_import "$@"
    local before
    before=$(reg_values)
    rest_cursor
    start_saver /s
    if ! find_window TMainForm; then
        fail "$what: no saver window"
        return
    fi
    sleep_until $((FOUND_MS + 2300))
    check_true "$what: saver still runs after 2.3 s" still_running "$SAVER_PID"
    check_eq "$(probe find '#32770' --timeout 0 | kv hwnd)" none "$what: no message box"
    xdotool key x
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "$what: exit status after a key"
    local expected
    expected=$(sed 's/^TimesOfBoot=.*/TimesOfBoot="10"/' <<<"$before")
    check_text "$(reg_values)" "$expected" "$what: the run changed no stored value and counted 9 -> 10"
}

characters=()
for i in $(seq 0 14); do
    characters+=("Character$i=$((i % 3 == 0 ? 0 : 1))")
done

log "a complete record within the dialog's ranges"
run_with_record "in-range record" \
    num=250 downspeed=45 LRspeed=7 back2=3 updown=1 LR=0 \
    IsShownMessage=1 IsMessageFront=0 IsTransparent=1 \
    'MessageText=こんにちは、世界 "quoted" \back\slash' \
    MessageBGColor=16744576 MessageFontColor=65535 MessageFontSize=36 \
    'MessageFontName=ＭＳ Ｐゴシック' \
    "${characters[@]}" IsOnEveryMonitor=1 banner=1 TimesOfBoot=9

log "a record outside the dialog's ranges"
no_characters=()
for i in $(seq 0 14); do
    no_characters+=("Character$i=0")
done
run_with_record "out-of-range record" \
    num=999999 downspeed=-7 LRspeed=100000 back2=12 updown=7 LR=-4 \
    IsShownMessage=2 IsMessageFront=yes IsTransparent=-1 \
    MessageText= MessageBGColor=-1 MessageFontColor=0x1000000 MessageFontSize=0 \
    MessageFontName=NoSuchFontFace \
    "${no_characters[@]}" IsOnEveryMonitor=on TimesOfBoot=9

e2e_finish
