#!/usr/bin/env bash
# Command lines that end the program at once, and the switches that start a
# full-screen run. Usage: cmdline.sh FLUTTSAVER.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
source "$(dirname "$0")/lib.sh"

reg_reset

# Rejected command lines end with -1 (255 as Wine reports it) before anything
# is created; the password switch ends with 0 and shows nothing. Neither may
# touch the registry. One argument vector per row: exit status, arguments.
immediate_cases=(
    "255|/x"
    "255|/"
    "255|-"
    "255|/q|more"
    "255|/p"
    "255|-P"
    "255|/p|1|2"
    "255|/p:123"
    "255|/P|1|2|3"
    "0|/a"
    "0|/a|1234"
    "0|-A"
    "0|/Apassword|words|after"
)
for row in "${immediate_cases[@]}"; do
    IFS='|' read -r -a fields <<<"$row"
    expected=${fields[0]}
    args=("${fields[@]:1}")
    start_saver "${args[@]}"
    wait_exit "$SAVER_PID" 20
    check_eq "$EXIT_STATUS" "$expected" "exit status of fluttsaver.scr ${args[*]}"
    if [[ $EXIT_STATUS == running ]]; then
        probe find '#32770' --timeout 0 | grep -q '^hwnd=[0-9]' && echo "  (a message box is up)"
        kill_leftovers
    fi
done
check_eq "$(probe reg "$REG_ROOT_PATH" | kv key)" missing \
    "registry key after the rejected and password runs"

# Switches that select the full-screen run: the first two characters decide,
# in either case, and further arguments are ignored. Each must bring up the
# saver window and count one start; the run itself is stopped at once.
saver_switches=(
    "/s"
    "/S"
    "-s"
    "/Screen"
    "-S|extra|words"
)
count=0
for row in "${saver_switches[@]}"; do
    IFS='|' read -r -a args <<<"$row"
    rest_cursor
    start_saver "${args[@]}"
    if find_window TMainForm; then
        count=$((count + 1))
        check_eq "$(reg_get TimesOfBoot)" "\"$count\"" "TimesOfBoot after fluttsaver.scr ${args[*]}"
    else
        fail "no saver window for fluttsaver.scr ${args[*]}"
    fi
    stop_saver "$SAVER_PID"
    kill_leftovers
done

e2e_finish
