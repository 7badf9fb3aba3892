#!/usr/bin/env bash
# The setup programs of scripts/package.sh in a fresh Wine prefix of one kind:
#   win32  32-bit Windows: the saver in System32, its folder in Program Files;
#   win64  64-bit Windows: the saver in SysWOW64 (a 32-bit setup writing to System32
#          lands there), its folder in Program Files (x86), its entry in the 32-bit
#          registry view; 64-bit programs (wine64) read the entry and the saver path.
# Each setup runs silently (/S) as a real client would start it; the uninstaller
# runs from the entry's QuietUninstallString.
# Usage: installer.sh win32|win64 DIST VERSION FLUTTSAVER.SCR REDUCED.SCR E2E_PROBE.EXE E2E_PREVIEW_HOST.EXE
arch=$1 dist=$2 version=$3 reduced_scr=$5
shift 3
source "$(dirname "$0")/lib.sh" "$1" "$3" "$4"

repo=$(cd "$(dirname "$0")/../.." && pwd)
url=$(sed -n 's/.*kHomepageUrl = "\(.*\)";.*/\1/p' "$repo/dialog/OptDlgForm.h")
setup_full=$dist/fluttsaver-$version-setup.exe
setup_reduced=$dist/fluttsaver-$version-reduced-setup.exe
for f in "$setup_full" "$setup_reduced" "$reduced_scr"; do
    [[ -f $f ]] || { echo "missing: $f" >&2; exit 2; }
done

# A prefix of our own, copied from the session's 32-bit template or the 64-bit one.
case $arch in
win32)
    template=$(flutt_wine_template 32) || exit 2
    native_wine=wine
    sysdir=windows/system32
    saver_path='C:\windows\system32\fluttsaver.scr'
    instdir='Program Files/Fluttons Saver'
    ;;
win64)
    template=$(flutt_wine_template 64) || exit 2
    native_wine=/usr/lib/wine/wine64
    sysdir=windows/syswow64
    # What the 64-bit screen-saver host must be told: System32 would name no file there.
    saver_path='C:\windows\SysWOW64\fluttsaver.scr'
    instdir='Program Files (x86)/Fluttons Saver'
    ;;
*)
    echo "unknown prefix kind: $arch" >&2
    exit 2
    ;;
esac
PREFIX=$E2E_WORK/prefix
cp -a "$template" "$PREFIX" || exit 2
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

installed=$PREFIX/drive_c/$sysdir/fluttsaver.scr
instdir_unix=$PREFIX/drive_c/$instdir
instdir_win="C:\\${instdir//\//\\}"
readonly UNINST_KEY='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\fluttsaver'
readonly DESKTOP_KEY='HKCU\Control Panel\Desktop'

# out LOADER PROGRAM ARGS...: a Windows program's output, through a file.
out() {
    E2E_SEQ=$((E2E_SEQ + 1))
    local file=$E2E_WORK/out.$E2E_SEQ
    timeout 60 "$@" >"$file" 2>/dev/null </dev/null
    tr -d '\r' <"$file"
}

# reg_value KEY NAME: the data of one value as reg query prints it, or <missing>.
reg_value() {
    local line
    line=$(out wine reg query "$1" /v "$2" | grep -m1 "^    $2    ") || { echo '<missing>'; return; }
    echo "$line" | sed "s/^    $2    REG_[A-Z_]*    //"
}

# setup FILE ARGS...: runs a setup program silently; sets SETUP_STATUS.
setup() {
    local file=$1
    shift
    log "setup $(basename "$file") /S $*"
    E2E_SEQ=$((E2E_SEQ + 1))
    timeout 120 wine "$file" /S "$@" >"$E2E_WORK/setup.$E2E_SEQ.log" 2>&1 </dev/null
    SETUP_STATUS=$?
}

# How Wine's list of installed programs (a 64-bit client in a 64-bit prefix) shows ours.
listed() { out "$native_wine" uninstaller --list | grep -c 'Fluttons'; }

# uninstall: runs the entry's QuietUninstallString as a command line, as a client does,
# and waits for the uninstaller's copy in the temp folder (it starts one and returns),
# which removes the folder last.
uninstall() {
    local quiet bat=$E2E_WORK/uninstall.bat
    quiet=$(reg_value "$UNINST_KEY" QuietUninstallString)
    check_eq "$quiet" "\"$instdir_win\\uninstall.exe\" /S" "QuietUninstallString"
    printf '@%s\r\n' "$quiet" >"$bat"
    log "uninstall: $quiet"
    E2E_SEQ=$((E2E_SEQ + 1))
    timeout 60 wine cmd /c "$(winpath "$bat")" >"$E2E_WORK/uninstall.$E2E_SEQ.log" 2>&1 </dev/null
    local deadline=$(($(now_ms) + 30000))
    while [[ -e $instdir_unix || -n $(uninstaller_pids) ]] && (($(now_ms) < deadline)); do
        sleep 0.1
    done
    check_true "the uninstaller ended and removed its folder" test ! -e "$instdir_unix" -a -z "$(uninstaller_pids)"
}

# The uninstaller's running copy: a program in a ~nsu*.tmp folder of this prefix.
uninstaller_pids() {
    local pid
    for pid in $(pgrep -f '~nsu'); do
        tr '\0' '\n' 2>/dev/null <"/proc/$pid/environ" | grep -qxF "WINEPREFIX=$WINEPREFIX" && echo "$pid"
    done
}

check_installed() {
    local scr=$1
    check_true "$sysdir/fluttsaver.scr equals $(basename "$(dirname "$scr")")/fluttsaver.scr" cmp -s "$scr" "$installed"
    check_eq "$(cd "$instdir_unix" 2>/dev/null && ls | tr '\n' ' ')" "LICENSE.txt README.txt uninstall.exe " "files in $instdir"
    check_eq "$(listed)" 1 "programs listed as Fluttons! Saver"
}

entry_missing() { ! timeout 60 wine reg query "$UNINST_KEY" >/dev/null 2>&1 </dev/null; }

check_removed() {
    check_true "$sysdir/fluttsaver.scr removed" test ! -e "$installed"
    check_true "$instdir removed" test ! -e "$instdir_unix"
    check_true "uninstall entry removed" entry_missing
    check_eq "$(listed)" 0 "programs listed as Fluttons! Saver"
}

reg_reset

log "case 1: /NOACTIVATE keeps another saver; uninstalling leaves it too"
other='C:\windows\system32\other.scr'
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
resolved=$(out "$native_wine" winepath -u "$saver_path")
check_eq "$(realpath -m "$resolved")" "$(realpath "$installed")" "SCRNSAVE.EXE as the system's own programs resolve it"

log "the installed saver, started as SCRNSAVE.EXE names it"
rest_cursor
E2E_SEQ=$((E2E_SEQ + 1))
wine "$saver_path" /s >"$E2E_WORK/saver.$E2E_SEQ.log" 2>&1 </dev/null &
SAVER_PID=$!
if find_window TMainForm; then
    log "while it runs its file is in use: a setup over it fails and changes nothing"
    setup "$setup_reduced"
    check_eq "$SETUP_STATUS" 2 "setup exit status with the saver running"
    check_true "$sysdir/fluttsaver.scr still the full build" cmp -s "$SCR" "$installed"
    screenshot installed-saver
    sleep_until $((FOUND_MS + 2300))
    xdotool mousemove $((REST_X + 200)) $((REST_Y + 100))
    wait_exit "$SAVER_PID" 10
    check_eq "$EXIT_STATUS" 0 "installed saver's exit status after a mouse move"
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

e2e_finish
