#!/usr/bin/env bash
# The setup programs of scripts/package.sh in a fresh Wine prefix, as one of:
#   x86.win32  the 32-bit setup on 32-bit Windows: the saver in System32, its folder
#              in Program Files;
#   x86.win64  the 32-bit setup on 64-bit Windows: the saver in SysWOW64 (a 32-bit
#              setup writing to System32 lands there), its folder in Program Files
#              (x86), its entry in the 32-bit registry view; 64-bit programs read the
#              entry and the saver path;
#   x64.win64  the 64-bit setup on 64-bit Windows: the saver in the real System32 and
#              not in SysWOW64, its folder in Program Files;
#   switch     on 64-bit Windows, the 32-bit setup then the 64-bit one, and back: one
#              entry, one saver file, and the screen saver choice on the file that stays.
# Each setup runs silently (/S) as a real client would start it; the uninstaller
# runs from the entry's QuietUninstallString, and the exit codes are read as a
# client sees them (the full code, through cmd). With the saver running, the
# uninstaller is also driven through its pages to the in-use question and Retry;
# silent runs then leave the file to a restart (3010), which wineboot -r performs.
# Each kind's cases also cover what the setup leaves to the person at the desktop
# (the machine-wide part alone, policy), how the uninstaller recognises its saver in
# the user's SCRNSAVE.EXE, and the folders it refuses.
# The 32-bit setup needs a machine that runs 32-bit x86 code; elsewhere those cases
# report themselves skipped.
# What only Windows shows: Wine grants every program administrator rights and has one
# user, so the setup runs both parts in one process here, and the user it writes for
# is always the one at the desktop. The elevated copy's part (/MACHINE) is run on its
# own below: it must install everything and touch no user's choice. Not tested: the
# elevation prompt and the two processes around it, an administrator's account that
# differs from the desktop's, a setup running as SYSTEM, the components page greyed
# by policy, and the finish page. The preview host stands in for the Screen Saver
# Settings window whose preview holds the file.
# Usage: installer.sh CASE DIST VERSION E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
# The probe and host are of the prefix's kind; the savers are read from build/.
case=$1 dist=$2 version=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
case $case in
x86.win32) kind=x86 FLUTT_TREE_BITS=32 ;;
x86.win64 | switch) kind=x86 FLUTT_TREE_BITS=64 ;;
x64.win64) kind=x64 FLUTT_TREE_BITS=64 ;;
*)
    echo "unknown case: $case" >&2
    exit 2
    ;;
esac
export FLUTT_TREE_BITS
# The 32-bit setup, in either kind of prefix, needs 32-bit x86 code.
# shellcheck source=scripts/wine-arch.sh
source "$(dirname "$0")/../../scripts/wine-arch.sh"
if [[ $kind == x86 && $FLUTT_WINE_ARCH != 32 ]]; then
    echo "skipped: the 32-bit setup needs 32-bit x86 code, and $FLUTT_WINE_ARCH_WHY"
    exit 77
fi
# The builds each setup carries.
declare -A tree=([x86]=win32 [x86-reduced]=win32-reduced [x64]=win64 [x64-reduced]=win64-reduced)
source "$(dirname "$0")/lib.sh" "$repo/build/${tree[$kind]}/fluttsaver.scr" "$4" "$5"

url=$(sed -n 's/.*kHomepageUrl = "\(.*\)";.*/\1/p' "$repo/dialog/OptDlgForm.h")
setup_of() { echo "$dist/fluttsaver-$version-$1-setup.exe"; }
scr_of() { echo "$repo/build/${tree[$1]}/fluttsaver.scr"; }
for f in "$(setup_of "$kind")" "$(setup_of "$kind-reduced")" "$(scr_of "$kind-reduced")"; do
    [[ -f $f ]] || { echo "missing: $f" >&2; exit 2; }
done

# Where each kind installs in this prefix, as Unix and Windows paths:
# sysdir_of KIND, saver_path_of KIND, instdir_of KIND.
sysdir_of() {
    if [[ $FLUTT_TREE_BITS == 32 ]]; then
        echo windows/system32
    elif [[ $1 == x86 ]]; then
        echo windows/syswow64
    else
        echo windows/system32
    fi
}
saver_path_of() {
    # What the 64-bit screen-saver host must be told: for the 32-bit saver on 64-bit
    # Windows, System32 would name no file.
    if [[ $FLUTT_TREE_BITS == 64 && $1 == x86 ]]; then
        echo 'C:\windows\SysWOW64\fluttsaver.scr'
    else
        echo 'C:\windows\system32\fluttsaver.scr'
    fi
}
instdir_of() {
    if [[ $FLUTT_TREE_BITS == 64 && $1 == x86 ]]; then
        echo 'Program Files (x86)/Fluttons Saver'
    else
        echo 'Program Files/Fluttons Saver'
    fi
}
# Wine's own programs of the prefix's kind: the list of installed programs, winepath.
native_wine=wine
[[ $FLUTT_TREE_BITS == 64 ]] && native_wine=/usr/lib/wine/wine64

PREFIX=$E2E_WORK/prefix
cp -a "$(flutt_wine_template "$FLUTT_TREE_BITS")" "$PREFIX" || exit 2
export WINEPREFIX=$PREFIX
release_cleanup() {
    kill_leftovers
    wineserver -k >/dev/null 2>&1
    timeout 10 wineserver -w >/dev/null 2>&1
    rm -rf "$PREFIX"
}
trap 'release_cleanup; e2e_cleanup' EXIT
wineserver -p >/dev/null 2>&1
wine cmd /c exit >/dev/null 2>&1 </dev/null

# use_kind KIND: the paths of the checks below are those of that kind's install.
use_kind() {
    sysdir=$(sysdir_of "$1")
    saver_path=$(saver_path_of "$1")
    instdir=$(instdir_of "$1")
    installed=$PREFIX/drive_c/$sysdir/fluttsaver.scr
    instdir_unix=$PREFIX/drive_c/$instdir
    instdir_win="C:\\${instdir//\//\\}"
    uninst_view=
    [[ $FLUTT_TREE_BITS == 64 ]] && uninst_view=/reg:${1#x}
    [[ $uninst_view == /reg:86 ]] && uninst_view=/reg:32
}
readonly UNINST_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\fluttsaver'
readonly DESKTOP_KEY='HKCU\Control Panel\Desktop'

# out LOADER PROGRAM ARGS...: a Windows program's output, through a file.
# A program that Wine could not start (start.exe says so, or nothing at all came
# out of a failed run) is started once more, with a note: its answer was not read.
out() {
    E2E_SEQ=$((E2E_SEQ + 1))
    local file=$E2E_WORK/out.$BASHPID.$E2E_SEQ try status
    for try in 1 2; do
        timeout 60 "$@" >"$file" 2>"$file.err" </dev/null
        status=$?
        if ! grep -q 'Application could not be started' "$file" && [[ $status == 0 || -s $file ]]; then
            break
        fi
        echo "note: $2 $3 did not start (exit $status, try $try): $(tr '\r\n' '  ' <"$file")" >&2
    done
    tr -d '\r' <"$file"
    return $status
}

# reg_query LOADER KEY [ARGS...]: reg query's output, with a last line exit=N;
# a query that neither found nor missed the key or value is a failed read.
reg_query() {
    local loader=$1 output
    shift
    output=$(out "$loader" reg query "$@"; echo "exit=$?")
    if [[ $output != *$'\n'exit=0 && $output != *"Unable to find the specified registry"* ]]; then
        read_failed "reg query $*" "$(tr '\n' ' ' <<<"$output")"
    fi
    printf '%s\n' "$output"
}

# reg_value KEY NAME: the data of one value as reg query prints it, or <missing>;
# the uninstall entry in the registry view of the kind installed.
reg_value() {
    local output line view=()
    [[ $1 == "$UNINST_KEY" && -n $uninst_view ]] && view=("$uninst_view")
    output=$(reg_query wine "$1" /v "$2" "${view[@]}")
    if line=$(grep -m1 "^    $2    " <<<"$output"); then
        echo "$line" | sed "s/^    $2    REG_[A-Z_]*    //"
    elif [[ $output == *"Unable to find the specified registry"* ]]; then
        echo '<missing>'
    else
        echo '<could not be read>'
    fi
}

# setup FILE ARGS...: runs a setup program silently; sets SETUP_STATUS, its exit code
# as a client sees it.
setup() {
    local file=$1
    shift
    log "setup $(basename "$file") /S $*"
    run_cmdline "\"$(winpath "$file")\" /S $*"
    SETUP_STATUS=$CMD_STATUS
}

# How Wine's list of installed programs (a 64-bit client in a 64-bit prefix) shows ours.
listed() {
    local output
    output=$(out "$native_wine" uninstaller --list) || read_failed "the installed programs" "uninstaller --list exited $?"
    grep -c 'Fluttons' <<<"$output"
}

# uninstall [WANT]: runs the entry's QuietUninstallString as a command line, as a
# client does, and checks the exit code the client gets (default 0). The uninstaller
# runs in place and a copy of it in the temp folder removes uninstall.exe and the
# folder once it has ended: waits for that.
uninstall() {
    local quiet want=${1:-0}
    quiet=$(reg_value "$UNINST_KEY" QuietUninstallString)
    check_eq "$quiet" "\"$instdir_win\\uninstall.exe\" /S _?=$instdir_win" "QuietUninstallString"
    run_cmdline "$quiet"
    check_eq "$CMD_STATUS" "$want" "uninstaller exit code as its caller sees it"
    local deadline=$(($(now_ms) + 30000))
    until uninstall_done || (($(now_ms) >= deadline)); do
        sleep 0.1
    done
    check_true "the uninstaller ended and removed its folder" uninstall_done ||
        echo "    left after 30 s: $(uninstall_leftovers)"
}
uninstall_done() { [[ ! -e $instdir_unix && -z $(uninstaller_pids) ]]; }

# run_cmdline LINE: runs a Windows command line from a batch file, as a client would;
# CMD_STATUS is its full exit code. cmd says 9009 when it could not start the program:
# a loaded machine has seen Wine fail to start one that was there, so that is tried
# once more, with a note.
run_cmdline() {
    local bat=$E2E_WORK/run.bat try output
    printf '@%s\r\n@echo exit=%%ERRORLEVEL%%\r\n' "$1" >"$bat"
    log "run: $1"
    for try in 1 2; do
        E2E_SEQ=$((E2E_SEQ + 1))
        output=$E2E_WORK/cmd.$E2E_SEQ.log
        timeout 60 wine cmd /c "$(winpath "$bat")" >"$output" 2>&1 </dev/null
        CMD_STATUS=$(tr -d '\r' <"$output" | sed -n 's/^exit=//p' | tail -n1)
        [[ $CMD_STATUS == 9009 ]] || break
        echo "note: cmd could not start it (try $try): $(tr -d '\r' <"$output" | head -n1)"
    done
}

# What an uninstall left behind: the folder's files, the uninstaller's processes and
# its copies in the temp folder (a copy that never started leaves none).
uninstall_leftovers() {
    local pid
    echo -n "files '$(ls "$instdir_unix" 2>/dev/null | tr '\n' ' ')', processes '"
    for pid in $(uninstaller_pids); do echo -n "$pid: $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null); "; done
    echo "', temporary copies '$(find "$PREFIX/drive_c/users" -maxdepth 5 -name '~nsu*' 2>/dev/null | sed 's|.*/||' | tr '\n' ' ')'"
}

# The uninstaller's running copies: one in a ~nsu*.tmp folder of this prefix, or the
# one starting it.
uninstaller_pids() {
    local pid
    for pid in $(pgrep -f '~nsu|uninstall.exe /CLEANUP'); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}

check_installed() {
    local scr=$1
    check_true "$sysdir/fluttsaver.scr equals $(basename "$(dirname "$scr")")/fluttsaver.scr" cmp -s "$scr" "$installed"
    check_eq "$(cd "$instdir_unix" 2>/dev/null && ls | tr '\n' ' ')" "LICENSE.txt README.txt uninstall.exe " "files in $instdir"
    check_eq "$(listed)" 1 "programs listed as Fluttons! Saver"
}

# No entry in any registry view.
entry_missing() {
    local view
    for view in /reg:32 /reg:64; do
        [[ $FLUTT_TREE_BITS == 32 && $view == /reg:64 ]] && continue
        [[ $(reg_query wine "$UNINST_KEY" "$view" | tail -n1) == exit=0 ]] && return 1
    done
    return 0
}

check_removed() {
    check_true "$sysdir/fluttsaver.scr removed" test ! -e "$installed"
    check_true "$instdir removed" test ! -e "$instdir_unix"
    check_true "uninstall entry removed" entry_missing
    check_eq "$(listed)" 0 "programs listed as Fluttons! Saver"
}

# check_kind_only KIND: the other kind's saver file and folder are not there.
check_kind_only() {
    local other=x64
    [[ $1 == x64 ]] && other=x86
    check_true "no $(sysdir_of "$other")/fluttsaver.scr beside it" test ! -e "$PREFIX/drive_c/$(sysdir_of "$other")/fluttsaver.scr"
    check_true "no $(instdir_of "$other") beside it" test ! -e "$PREFIX/drive_c/$(instdir_of "$other")"
}

# One kind's setup programs: install with and without taking over the screen saver,
# in use, over itself, the other variant, and silent removal.
kind_cases() {
    local setup_full setup_reduced reduced_scr
    setup_full=$(setup_of "$kind") setup_reduced=$(setup_of "$kind-reduced") reduced_scr=$(scr_of "$kind-reduced")
    use_kind "$kind"
    log "case 1: /NOACTIVATE keeps another saver; uninstalling leaves it too"
    # A saver of the same name elsewhere (as the zip's right-click Install leaves it)
    # is not this install's.
    other='C:\users\Public\fluttsaver.scr'
    wine reg add "$DESKTOP_KEY" /v SCRNSAVE.EXE /t REG_SZ /d "$other" /f >/dev/null 2>&1 </dev/null
    setup "$setup_full" /NOACTIVATE
    check_eq "$SETUP_STATUS" 0 "setup exit status"
    check_installed "$SCR"
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$other" "SCRNSAVE.EXE after /NOACTIVATE"
    uninstall
    check_removed
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$other" "SCRNSAVE.EXE naming another saver, after uninstall"

    log "case 2: install, run, reinstall, switch variant, uninstall"
    reg_import num=42
    setup "$setup_full"
    check_eq "$SETUP_STATUS" 0 "setup exit status"
    check_installed "$SCR"
    declare -A entry=(
        [DisplayName]='Fluttons! Saver'
        [DisplayVersion]=$version
        [Publisher]='Orrin Software'
        [DisplayIcon]=$saver_path
        [URLInfoAbout]=$url
        [InstallLocation]=$instdir_win
        [UninstallString]="\"$instdir_win\\uninstall.exe\""
        [NoModify]=0x1
        [NoRepair]=0x1
    )
    for name in "${!entry[@]}"; do
        check_eq "$(reg_value "$UNINST_KEY" "$name")" "${entry[$name]}" "entry $name"
    done
    size_kb=$(($(reg_value "$UNINST_KEY" EstimatedSize)))
    check_true "EstimatedSize ${size_kb} KB covers the saver" test "$size_kb" -ge $(($(stat -c %s "$SCR") / 1024))
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$saver_path" "SCRNSAVE.EXE"
    check_eq "$(reg_value "$DESKTOP_KEY" ScreenSaveActive)" 1 "ScreenSaveActive"
    resolved=$(out "$native_wine" winepath -u "$saver_path") || read_failed "the Unix path of $saver_path" "winepath exited $?"
    check_eq "$(realpath -m "$resolved")" "$(realpath "$installed")" "SCRNSAVE.EXE as the system's own programs resolve it"

    asked_in_use
    log "the installed saver, started as SCRNSAVE.EXE names it"
    rest_cursor
    E2E_SEQ=$((E2E_SEQ + 1))
    wine "$saver_path" /s >"$E2E_WORK/saver.$E2E_SEQ.log" 2>&1 </dev/null &
    SAVER_PID=$!
    if find_window TMainForm; then
        log "while it runs its file is in use: silently, a setup over it and an uninstall say 3010 and leave it to the restart"
        setup "$setup_reduced"
        check_eq "$SETUP_STATUS" 3010 "setup exit status with the saver running"
        check_true "$sysdir/fluttsaver.scr still the full build" cmp -s "$SCR" "$installed"
        check_true "its replacement waits for the restart" pending_for "$saver_path"
        uninstall 3010
        check_true "$sysdir/fluttsaver.scr still there" cmp -s "$SCR" "$installed"
        check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" '<missing>' "SCRNSAVE.EXE after that uninstall"
        screenshot installed-saver
        sleep_until $((FOUND_MS + 2300))
        xdotool mousemove $((REST_X + 200)) $((REST_Y + 100))
        wait_exit "$SAVER_PID" 10
        check_eq "$EXIT_STATUS" 0 "installed saver's exit status after a mouse move"
        log "a setup before the restart waits for it too, and its file is the one that stays"
        setup "$setup_full"
        check_eq "$SETUP_STATUS" 3010 "exit status of a setup before the restart"
        restart
        check_installed "$SCR"
        log "an uninstall while a replacement waits for the restart removes the file after it"
        cp "$reduced_scr" "$PREFIX/drive_c/$sysdir/staged.tmp"
        wine reg add 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations \
            /t REG_MULTI_SZ /d "\\??\\${saver_path%\\*}\\staged.tmp\\0!\\??\\$saver_path" /f >/dev/null 2>&1 </dev/null
        uninstall 3010
        restart
        check_removed
        check_true "nothing put in its place" test ! -e "$PREFIX/drive_c/$sysdir/staged.tmp"
    else
        fail "the installed saver showed no window"
    fi

    setup "$setup_full"
    check_eq "$SETUP_STATUS" 0 "exit status of a second setup over it"
    check_installed "$SCR"
    setup "$setup_reduced"
    check_eq "$SETUP_STATUS" 0 "exit status of the reduced setup over it"
    check_installed "$reduced_scr"
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$saver_path" "SCRNSAVE.EXE after the reduced setup"

    uninstall
    check_removed
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" '<missing>' "SCRNSAVE.EXE after uninstall"
    check_eq "$(reg_get num)" '"42"' "user settings kept"
    [[ $FLUTT_TREE_BITS == 64 ]] && check_kind_only "$kind"
}

# restart: what Windows does at a restart that matters here: the file operations
# waiting for it, in their order.
restart() {
    log "restart (wineboot -r)"
    timeout 60 wine wineboot -r >/dev/null 2>&1 </dev/null
    check_true "no file operation waits for the restart any more" not_pending
}
# The file operations waiting for the next restart, as reg query prints them.
pending_operations() {
    reg_query "$native_wine" 'HKLM\System\CurrentControlSet\Control\Session Manager' /v PendingFileRenameOperations
}
not_pending() { ! pending_operations | grep -q REG_MULTI_SZ; }

# asked_in_use: with a preview of the installed saver running, the uninstaller started
# by hand in place with its pages: Next, Next; the in-use question names what usually
# holds the file; once the preview has ended, Retry removes everything and the caller
# gets 0.
asked_in_use() {
    log "asked while a preview holds the file: the question names the usual holders, and Retry works once it is free"
    local bat=$E2E_WORK/asked.bat host_log=$E2E_WORK/asked-host.log host_pid dialog box= i
    wine "$HOST" "$saver_path" --timeout 120000 >"$host_log" 2>&1 </dev/null &
    host_pid=$!
    if ! wait_line "$host_log" ready= 30 >/dev/null; then
        fail "no preview of the installed saver: $(tr '\n' ' ' <"$host_log")"
        kill "$host_pid" 2>/dev/null
        return
    fi
    printf '@"%s\\uninstall.exe" _?=%s\r\n@echo exit=%%ERRORLEVEL%%\r\n' "$instdir_win" "$instdir_win" >"$bat"
    wine cmd /c "$(winpath "$bat")" >"$E2E_WORK/asked.log" 2>&1 </dev/null &
    local cmd_pid=$!
    dialog=$(probe find '#32770' --timeout 15000 | kv hwnd)
    for ((i = 0; i < 10; i++)); do
        box=$(probe msgbox --timeout 1500)
        [[ $box == *'buttons=&Retry,Cancel'* ]] && break
        probe post "$dialog" 0x111 1 0 >/dev/null
        sleep 1
    done
    check_prefix "$(echo "$box" | kv text)" "fluttsaver.scr is in use, most likely by the Screen Saver Settings window (its preview) or by the saver's own settings." "the in-use question"
    probe post FluttPreviewHost "$HOST_CMD_CLOSE" 0 0 >/dev/null
    wait_exit "$host_pid" 20
    check_eq "$(kv saver_exit <"$host_log")" 0 "the preview's exit status"
    probe post "$(echo "$box" | kv msgbox)" 0x111 4 0 >/dev/null
    wait_gone "$installed" 15
    check_true "Retry removed the saver file" test ! -e "$installed"
    # The last page's Close.
    probe post "$dialog" 0x111 1 0 >/dev/null
    wait "$cmd_pid"
    check_eq "$(tr -d '\r' <"$E2E_WORK/asked.log" | sed -n 's/^exit=//p')" 0 "exit code after Retry"
    wait_gone "$instdir_unix" 30
    check_true "the uninstaller removed its folder" test ! -e "$instdir_unix"
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" '<missing>' "SCRNSAVE.EXE after that uninstall"
    setup "$(setup_of "$kind")"
    check_eq "$SETUP_STATUS" 0 "setup exit status, installing it again"
}

# wait_gone FILE SECONDS
wait_gone() {
    local deadline=$(($(now_ms) + $2 * 1000))
    while [[ -e $1 ]] && (($(now_ms) < deadline)); do sleep 0.1; done
}

# pending_for PATH: a file operation on PATH waits for the next restart.
pending_for() {
    local output
    output=$(pending_operations)
    grep -qiF "${1#C:}" <<<"$output" && return
    log "pending operations: $(tr '\n' ' ' <<<"$output")"
    [[ -e $PREFIX/drive_c/windows/wininit.ini ]] && log "wininit.ini: $(tr '\r\n' '  ' <"$PREFIX/drive_c/windows/wininit.ini")"
    return 1
}

# What the setup leaves to the person at the desktop, and what the uninstaller takes
# for its own: one kind.
safety_cases() {
    local setup_full other name form forms policy key type data copy
    setup_full=$(setup_of "$kind")
    use_kind "$kind"
    other='C:\users\Public\fluttsaver.scr'
    wine reg add "$DESKTOP_KEY" /v SCRNSAVE.EXE /t REG_SZ /d "$other" /f >/dev/null 2>&1 </dev/null

    log "case 3: the elevated copy's part alone installs everything and changes no user's choice"
    setup "$setup_full" /MACHINE
    check_eq "$SETUP_STATUS" 0 "exit status of the machine-wide part"
    check_installed "$SCR"
    check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$other" "SCRNSAVE.EXE after the machine-wide part"

    log "case 4: where policy sets the screen saver, a silent setup installs and leaves the choice alone"
    for policy in \
        'HKCU\Software\Policies\Microsoft\Windows\Control Panel\Desktop|SCRNSAVE.EXE|REG_SZ|C:\windows\system32\scrnsave.scr' \
        'HKCU\Software\Policies\Microsoft\Windows\Control Panel\Desktop|ScreenSaveActive|REG_SZ|0' \
        'HKCU\Software\Microsoft\Windows\CurrentVersion\Policies\System|NoDispScrSavPage|REG_DWORD|1'; do
        IFS='|' read -r key name type data <<<"$policy"
        wine reg add "$key" /v "$name" /t "$type" /d "$data" /f >/dev/null 2>&1 </dev/null
        setup "$setup_full"
        check_eq "$SETUP_STATUS" 0 "setup exit status under the policy $name"
        check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$other" "SCRNSAVE.EXE under the policy $name"
        wine reg delete "$key" /v "$name" /f >/dev/null 2>&1 </dev/null
    done
    check_installed "$SCR"

    log "case 5: the uninstaller clears every form of its saver's path in SCRNSAVE.EXE"
    local folder=${saver_path%\\*} short
    short=$(out "$native_wine" winepath -s "$saver_path") || read_failed "the short path of $saver_path" "winepath exited $?"
    forms=("\"${saver_path^^}\"" "%SystemRoot%${folder#C:\\windows}\\${short##*\\}" " %windir%\\${folder##*\\}\\FluttSaver.scr ")
    # The 64-bit System32 as a 32-bit program names it; on 64-bit Windows the 32-bit
    # saver as a 32-bit program sees it (System32 holds no saver file then).
    [[ $kind == x64 ]] && forms+=('C:\windows\Sysnative\fluttsaver.scr')
    [[ $kind == x86 && $FLUTT_TREE_BITS == 64 ]] && forms+=('C:\windows\System32\fluttsaver.scr')
    for form in "${forms[@]}"; do
        [[ -e $installed ]] || setup "$setup_full" /NOACTIVATE
        wine reg add "$DESKTOP_KEY" /v SCRNSAVE.EXE /t REG_SZ /d "$form" /f >/dev/null 2>&1 </dev/null
        uninstall
        check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" '<missing>' "SCRNSAVE.EXE '$form' after uninstall"
    done

    log "case 6: an uninstaller copy elsewhere refuses and deletes nothing; a setup into a folder with other files refuses"
    setup "$setup_full" /NOACTIVATE
    copy=$PREFIX/drive_c/copy
    mkdir -p "$copy"
    cp "$instdir_unix/uninstall.exe" "$copy/"
    echo theirs >"$copy/LICENSE.txt"
    echo theirs >"$copy/README.txt"
    run_cmdline '"C:\copy\uninstall.exe" /S _?=C:\copy'
    check_eq "$CMD_STATUS" 1605 "exit code of an uninstaller copy elsewhere"
    check_eq "$(cd "$copy" && ls | tr '\n' ' ')$(cat "$copy/LICENSE.txt" "$copy/README.txt" | tr '\n' ' ')" \
        "LICENSE.txt README.txt uninstall.exe theirs theirs " "files beside that copy"
    check_installed "$SCR"
    uninstall
    check_removed
    rm "$copy/uninstall.exe"
    setup "$setup_full" '/D=C:\copy'
    check_eq "$SETUP_STATUS" 145 "exit code of a setup into a folder with other files"
    check_eq "$(cd "$copy" && ls | tr '\n' ' ')" "LICENSE.txt README.txt " "files in that folder"
    check_true "nothing installed" test ! -e "$installed"
    check_true "no uninstall entry" entry_missing
}

# The 32-bit setup and the 64-bit one over each other, both ways: each replaces the
# other's install, and the screen saver choice follows the file that stays.
switch_cases() {
    local from to
    for from in x86 x64; do
        to=x64
        [[ $from == x64 ]] && to=x86
        log "switch: $from then $to"
        use_kind "$from"
        setup "$(setup_of "$from")"
        check_eq "$SETUP_STATUS" 0 "$from setup exit status"
        check_installed "$(scr_of "$from")"
        check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$saver_path" "SCRNSAVE.EXE after the $from setup"
        # Kept by the next setup only because it names the file that goes away.
        use_kind "$to"
        setup "$(setup_of "$to-reduced")" /NOACTIVATE
        check_eq "$SETUP_STATUS" 0 "$to setup exit status over $from"
        check_installed "$(scr_of "$to-reduced")"
        check_kind_only "$to"
        check_eq "$(reg_value "$DESKTOP_KEY" SCRNSAVE.EXE)" "$saver_path" "SCRNSAVE.EXE moved to the $to saver"
        uninstall
        check_removed
        check_kind_only "$to"
    done
}

reg_reset
if [[ $case == switch ]]; then
    switch_cases
else
    kind_cases
    safety_cases
fi
e2e_finish
