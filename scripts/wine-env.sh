# shellcheck shell=bash
# Source this file to get a private Wine session for running fluttsaver. The
# session is made whole before this returns, and nothing of it is made later:
#   - FLUTT_WINE_SLOTS slots (default 1), each a place where one test runs
#     beside the others: an Xvfb display of its own (1920x1080x24, or
#     FLUTT_SCREEN) on a free display number, and in it a Wine prefix of each
#     kind this machine runs (scripts/wine-arch.sh): a 64-bit one on every
#     machine, run through 64-bit Wine's own loader (scripts/wine64), and a
#     32-bit one beside it where 32-bit x86 code runs;
#   - each prefix a copy of a template prefix of its kind under build/wine/
#     (made once with wineboot and reused while it is complete; Windows 10,
#     Japanese fonts), with a warm wineserver (wineserver -p) and Wine's
#     services already started.
# The shell that made the session is on slot 0, in its 64-bit prefix. On EXIT
# it stops the session's wineservers and X servers and removes the copied
# prefixes (kept when FLUTT_KEEP_PREFIX=1).
#
# A shell that sources this inside a session (a test that ctest starts, a
# script that one starts) joins a slot of it and makes nothing: the slot ctest
# gave it as its resource "wine" (CTEST_RESOURCE_GROUP_<n>_WINE), else
# FLUTT_WINE_SLOT, else 0. It too starts on that slot's display, in the 64-bit
# prefix. With FLUTT_WINE_PRIVATE=1 it makes a session of one slot of its own
# instead, from the same templates: for a test that needs a screen of another
# size (FLUTT_SCREEN).
#
# flutt_wine_select 32|64 then points the calling shell at the slot's prefix of
# that kind and returns at once; it returns 1 when the machine runs no code of
# that kind. FLUTT_WINE_SELECTED tells the kind selected.
#
# Exported: DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, LANG/LC_ALL,
# FLUTT_WINE_ARCH and FLUTT_WINE_ARCH_WHY (what the machine runs: 32 means
# both kinds), FLUTT_WINE_SESSION (the session's folder), FLUTT_WINE_SLOTS and
# FLUTT_WINE_ENV=1.
# Variables read: FLUTT_BUILD_DIR (default: <repo>/build), FLUTT_SCREEN,
# FLUTT_WINE_SLOTS, FLUTT_WINE_PRIVATE, FLUTT_WINE_ARCH (64 forces the 64-bit
# path).
# A script that sources this must not replace the EXIT trap; if it needs one of
# its own, let it call flutt_wine_cleanup.

_flutt_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/x-server.sh
source "$_flutt_repo/scripts/x-server.sh"
FLUTT_BUILD_DIR=${FLUTT_BUILD_DIR:-$_flutt_repo/build}
_flutt_wine_dir=$FLUTT_BUILD_DIR/wine
# Bump when the template's setup below changes, so old templates are rebuilt.
_flutt_template_stamp=.fluttsaver-template-v2

# _flutt_path_for 32|64: the Wine of that kind first in PATH: for 64, 64-bit
# Wine through its own loader (scripts/wine64); for 32, the plain one.
_flutt_path_for() {
    if [[ $1 == 64 ]]; then
        [[ :$PATH: == *":$_flutt_repo/scripts/wine64:"* ]] || export PATH=$_flutt_repo/scripts/wine64:$PATH
    else
        export PATH=${PATH//"$_flutt_repo/scripts/wine64:"/}
    fi
}

# The kinds of prefix a session has on this machine.
_flutt_kinds() {
    if [[ $FLUTT_WINE_ARCH == 32 ]]; then echo "64 32"; else echo 64; fi
}

# flutt_wine_template 32|64: prints the path of the template prefix of that
# kind, which it makes once: no window manager waits, Japanese fonts, Windows
# 10. Copy it (cp -a) for each use. One process at a time makes it; the others
# wait for it.
flutt_wine_template() {
    local arch=$1 tpl=$_flutt_wine_dir/template
    [[ $arch == 64 ]] && tpl+=64
    _flutt_make_template "$arch" "$tpl" && echo "$tpl"
}

_flutt_make_template() {
    local arch=$1 tpl=$2
    mkdir -p "$_flutt_wine_dir"
    {
        flock 9
        [[ -f $tpl/$_flutt_template_stamp && -f $tpl/system.reg && -f $tpl/user.reg ]] && return 0
        local tmp=$tpl.tmp.$$
        rm -rf "$tmp"
        echo "wine-env.sh: creating the $arch-bit Wine template prefix (once, about 20 s)" >&2
        # Wine's processes must not inherit the lock: a wineserver that
        # lingers would hold it for every later caller.
        (
            export WINEPREFIX=$tmp
            _flutt_path_for "$arch"
            WINEARCH=win$arch wineboot -i >/dev/null 2>&1
            r() { wine reg add "$@" /f >/dev/null 2>&1; }
            # Without a window manager Wine waits 2 s in every DestroyWindow
            # unless its windows are unmanaged.
            r 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N
            local face
            for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic'; do
                r 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAPGothic
            done
            for face in 'ＭＳ ゴシック' 'MS Gothic'; do
                r 'HKCU\Software\Wine\Fonts\Replacements' /v "$face" /t REG_SZ /d IPAGothic
            done
            r 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
                /v Tahoma /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic'
            winecfg -v win10 >/dev/null 2>&1
            # Writes the registry files.
            wineserver -k >/dev/null 2>&1 || true
            timeout 20 wineserver -w >/dev/null 2>&1 || true
            grep -q '"Managed"="N"' "$tmp/user.reg" && grep -q 'IPAPGothic' "$tmp/system.reg" &&
                grep -q '"CurrentMajorVersionNumber"=dword:0000000a' "$tmp/system.reg" &&
                { [[ $arch == 32 ]] || [[ -d $tmp/drive_c/windows/syswow64 ]]; }
        ) </dev/null 9>&- || { rm -rf "$tmp"; return 1; }
        touch "$tmp/$_flutt_template_stamp"
        rm -rf "$tpl"
        mv "$tmp" "$tpl"
    } 9>"$tpl.lock"
}

# flutt_wine_templates: makes the template of each kind this machine runs, side
# by side: making one mostly waits on Wine's own start-up.
flutt_wine_templates() {
    local arch pid pids=() failed=0
    for arch in $(_flutt_kinds); do
        flutt_wine_template "$arch" >/dev/null &
        pids+=($!)
    done
    for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
    return $failed
}

# _flutt_start_prefix 32|64 PREFIX: copies the template of that kind to PREFIX
# and starts its server warm: later starts are fast, and Wine's services get
# /dev/null as their output rather than a test's pipe.
_flutt_start_prefix() {
    local arch=$1 prefix=$2 tpl
    tpl=$(flutt_wine_template "$arch") || { echo "wine-env.sh: could not create the $arch-bit template prefix" >&2; return 1; }
    rm -rf "$prefix"
    cp -a "$tpl" "$prefix" || { echo "wine-env.sh: could not copy the template prefix" >&2; return 1; }
    (
        export WINEPREFIX=$prefix
        _flutt_path_for "$arch"
        wineserver -p >/dev/null 2>&1 || { echo "wine-env.sh: wineserver did not start" >&2; exit 1; }
        wine cmd /c exit >/dev/null 2>&1 </dev/null || { echo "wine-env.sh: wine does not run in $prefix" >&2; exit 1; }
    )
}

# Stops a prefix's server and waits for it, briefly.
_flutt_stop_prefix() {
    (
        export WINEPREFIX=$2
        _flutt_path_for "$1"
        wineserver -k >/dev/null 2>&1 || true
        timeout 10 wineserver -w >/dev/null 2>&1 || true
    )
}

# _flutt_stop_rigs SLOT: what a two-monitor rig of a test that was killed
# left in the slot (scripts/monitor-rig.sh): its prefix's Wine, its X servers.
_flutt_stop_rigs() {
    local rig arch
    for rig in "$1"/monitors-*.pids; do
        [[ -f $rig ]] || continue
        rig=${rig%.pids}
        arch=${rig##*/monitors-}
        _flutt_stop_prefix "${arch%%.*}" "$rig"
        # shellcheck disable=SC2046 # the X servers' process ids
        kill $(<"$rig.pids") >/dev/null 2>&1 || true
    done
}

flutt_wine_select() {
    local arch=$1
    [[ -n ${FLUTT_WINE_SLOT_DIR:-} && -f $FLUTT_WINE_SLOT_DIR/$arch/system.reg ]] || return 1
    _flutt_path_for "$arch"
    export WINEPREFIX=$FLUTT_WINE_SLOT_DIR/$arch FLUTT_WINE_SELECTED=$arch
}

# _flutt_join_slot N: this shell on slot N's display, in its 64-bit prefix.
_flutt_join_slot() {
    FLUTT_WINE_SLOT_DIR=$FLUTT_WINE_SESSION/slot$1
    [[ -f $FLUTT_WINE_SLOT_DIR/display ]] || { echo "wine-env.sh: the session has no slot $1" >&2; return 1; }
    export FLUTT_WINE_SLOT=$1 FLUTT_WINE_SLOT_DIR
    DISPLAY=$(<"$FLUTT_WINE_SLOT_DIR/display")
    export DISPLAY
    flutt_wine_select 64
}

# The slot ctest gave this test ("id:N,slots:1" in the variable of the group
# whose resource is "wine"), else FLUTT_WINE_SLOT, else 0.
_flutt_given_slot() {
    local i group
    for ((i = 0; i < ${CTEST_RESOURCE_GROUP_COUNT:-0}; i++)); do
        group=CTEST_RESOURCE_GROUP_${i}_WINE
        if [[ -n ${!group:-} ]]; then
            group=${!group#id:}
            echo "${group%%,*}"
            return
        fi
    done
    echo "${FLUTT_WINE_SLOT:-0}"
}

flutt_wine_cleanup() {
    local dir arch
    if [[ -n ${_FLUTT_OWN_SESSION:-} && -d $_FLUTT_OWN_SESSION ]]; then
        for dir in "$_FLUTT_OWN_SESSION"/slot*; do
            for arch in 64 32; do
                [[ -d $dir/$arch ]] && _flutt_stop_prefix "$arch" "$dir/$arch"
            done
            _flutt_stop_rigs "$dir"
            if [[ -f $dir/xvfb.pid ]]; then
                kill "$(<"$dir/xvfb.pid")" >/dev/null 2>&1 || true
            fi
        done
        [[ ${FLUTT_KEEP_PREFIX:-0} == 1 ]] || rm -rf "$_FLUTT_OWN_SESSION"
    fi
    _FLUTT_OWN_SESSION=
}

# What this machine runs, and the environment every Wine program here gets.
_flutt_environment() {
    # shellcheck source=scripts/wine-arch.sh
    source "$_flutt_repo/scripts/wine-arch.sh" || return 1
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    export LANG=C.UTF-8
    export LC_ALL=C.UTF-8
    unset WINEARCH
}

# Run as a command (bash scripts/wine-env.sh templates): only the templates,
# e.g. while something else keeps the processors busy.
if [[ ${BASH_SOURCE[0]} == "$0" ]]; then
    [[ ${1:-} == templates ]] || { echo "usage: bash scripts/wine-env.sh templates (or source it)" >&2; exit 2; }
    _flutt_environment && flutt_wine_templates
    exit
fi

if [[ ${FLUTT_WINE_ENV:-} == 1 && ${FLUTT_WINE_OWNER_PID:-} != "$$" && -d ${FLUTT_WINE_SESSION:-/nonexistent} &&
    ${FLUTT_WINE_PRIVATE:-} != 1 ]]; then
    # Inside a session that a parent script set up: join it as it is.
    _flutt_join_slot "$(_flutt_given_slot)" || return 1
    return 0
fi

_flutt_environment || return 1

_FLUTT_OWN_SESSION=

_flutt_fail() {
    echo "wine-env.sh: $*" >&2
    flutt_wine_cleanup
    return 1
}

# _flutt_make_slot DIR N: slot N's display and prefixes in DIR.
_flutt_make_slot() {
    local dir=$1 n=$2 arch
    mkdir -p "$dir"
    flutt_start_x_server $((100 + ($$ * 4 + n * 37) % 300)) \
        Xvfb :%d -screen 0 "${FLUTT_SCREEN:-1920x1080x24}" -nolisten tcp -noreset || return 1
    echo "$FLUTT_X_PID" >"$dir/xvfb.pid"
    for arch in $(_flutt_kinds); do
        DISPLAY=$FLUTT_X_DISPLAY _flutt_start_prefix "$arch" "$dir/$arch" || return 1
    done
    # Last: a slot is complete once it names its display.
    echo "$FLUTT_X_DISPLAY" >"$dir/display"
}

_flutt_setup() {
    local n slots=${FLUTT_WINE_SLOTS:-1}
    [[ ${FLUTT_WINE_PRIVATE:-} == 1 ]] && slots=1
    for n in Xvfb wine wineserver; do
        command -v "$n" >/dev/null || { echo "wine-env.sh: $n not found (run scripts/deps.sh)" >&2; return 1; }
    done
    [[ $slots =~ ^[1-9][0-9]*$ ]] || { echo "wine-env.sh: FLUTT_WINE_SLOTS must be a positive number, not '$slots'" >&2; return 1; }
    mkdir -p "$_flutt_wine_dir"
    trap flutt_wine_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP

    # The templates first (made once), then the slots side by side.
    flutt_wine_templates || { _flutt_fail "no template prefixes"; return 1; }
    _FLUTT_OWN_SESSION=$_flutt_wine_dir/session.$$
    rm -rf "$_FLUTT_OWN_SESSION"
    local pids=() failed=0
    for ((n = 0; n < slots; n++)); do
        _flutt_make_slot "$_FLUTT_OWN_SESSION/slot$n" "$n" &
        pids+=($!)
    done
    for n in "${pids[@]}"; do wait "$n" || failed=1; done
    ((failed == 0)) || { _flutt_fail "could not make the session's slots"; return 1; }

    export FLUTT_WINE_SESSION=$_FLUTT_OWN_SESSION FLUTT_WINE_SLOTS=$slots
    export FLUTT_WINE_ENV=1 FLUTT_WINE_OWNER_PID=$$
    _flutt_join_slot 0
}

_flutt_setup || return 1
