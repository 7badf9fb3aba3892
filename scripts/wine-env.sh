# shellcheck shell=bash
# Source this file to get a private Wine session for running fluttsaver:
#   - an Xvfb display of its own (1920x1080x24, or FLUTT_SCREEN) on a free
#     display number;
#   - a fresh WINEPREFIX copied from a template prefix under build/wine/ (made
#     once with wineboot and reused while it is complete), of the kind that
#     scripts/wine-arch.sh chose: 32-bit where this machine runs 32-bit x86
#     code, else 64-bit, run through 64-bit Wine's own loader (scripts/wine64
#     comes first in PATH);
#   - a warm wineserver (wineserver -p) with Wine's services already started.
# Both templates report Windows 10.
# It exports DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, LANG/LC_ALL,
# FLUTT_WINE_ARCH (32 or 64, the kind of WINEPREFIX), FLUTT_WINE_ARCH_WHY and
# FLUTT_WINE_ENV=1, and on EXIT stops that wineserver and that Xvfb only, and
# removes the copied prefixes (kept when FLUTT_KEEP_PREFIX=1).
#
# flutt_wine_select 32|64 then points the calling shell at the session's prefix
# of that kind: the one above, or, for 64 on a machine that runs 32-bit code, a
# 64-bit prefix beside it, made on first use and stopped with the session. It
# returns 1 when the machine cannot run that kind. FLUTT_WINE_SELECTED tells
# the kind selected.
#
# Variables read: FLUTT_BUILD_DIR (default: <repo>/build), FLUTT_SCREEN
# (default: 1920x1080x24), FLUTT_WINE_ARCH (64 forces the 64-bit path).
# A script that sources this must not replace the EXIT trap; if it needs one of
# its own, let it call flutt_wine_cleanup.

_flutt_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=scripts/x-server.sh
source "$_flutt_repo/scripts/x-server.sh"
FLUTT_BUILD_DIR=${FLUTT_BUILD_DIR:-$_flutt_repo/build}
_flutt_wine_dir=$FLUTT_BUILD_DIR/wine
# Bump when the template's setup below changes, so old templates are rebuilt.
_flutt_template_stamp=.fluttsaver-template-v2

# Puts 64-bit Wine's own loader first in PATH (once).
_flutt_path_wine64() {
    [[ :$PATH: == *":$_flutt_repo/scripts/wine64:"* ]] || export PATH=$_flutt_repo/scripts/wine64:$PATH
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
        echo "wine-env.sh: creating the $arch-bit Wine template prefix (once, about 10 s)" >&2
        (
            export WINEPREFIX=$tmp
            [[ $arch == 64 ]] && _flutt_path_wine64
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
        ) </dev/null || { rm -rf "$tmp"; return 1; }
        touch "$tmp/$_flutt_template_stamp"
        rm -rf "$tpl"
        mv "$tmp" "$tpl"
    } 9>"$tpl.lock"
}

# Copies the template of a kind to PREFIX and starts its server warm: later
# starts are fast, and Wine's services get /dev/null as their output rather
# than a test's pipe.
_flutt_start_prefix() {
    local arch=$1 prefix=$2 tpl
    tpl=$(flutt_wine_template "$arch") || { echo "wine-env.sh: could not create the $arch-bit template prefix" >&2; return 1; }
    rm -rf "$prefix"
    cp -a "$tpl" "$prefix" || { echo "wine-env.sh: could not copy the template prefix" >&2; return 1; }
    WINEPREFIX=$prefix wineserver -p >/dev/null 2>&1 || { echo "wine-env.sh: wineserver did not start" >&2; return 1; }
    WINEPREFIX=$prefix wine cmd /c exit >/dev/null 2>&1 </dev/null ||
        { echo "wine-env.sh: wine does not run in $prefix" >&2; return 1; }
}

flutt_wine_select() {
    local arch=$1
    if [[ $arch == "$FLUTT_WINE_ARCH" ]]; then
        [[ $arch == 32 ]] && export PATH=${PATH//"$_flutt_repo/scripts/wine64:"/}
        export WINEPREFIX=$FLUTT_WINE_PREFIX FLUTT_WINE_SELECTED=$arch
        return 0
    fi
    [[ $arch == 64 ]] || return 1
    # A machine that runs 32-bit code: the 64-bit prefix beside the session's.
    _flutt_path_wine64
    local prefix=$FLUTT_WINE_PREFIX.64
    {
        flock 8
        [[ -f $prefix/system.reg ]] || _flutt_start_prefix 64 "$prefix"
    } 8>"$FLUTT_WINE_PREFIX.64.lock" || return 1
    export WINEPREFIX=$prefix FLUTT_WINE_SELECTED=64
}

# Stops a prefix's server and waits for it, briefly.
_flutt_stop_prefix() {
    WINEPREFIX=$1 wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$1 timeout 10 wineserver -w >/dev/null 2>&1 || true
}

flutt_wine_cleanup() {
    if [[ -n ${FLUTT_RUN_PREFIX:-} && -d $FLUTT_RUN_PREFIX ]]; then
        _flutt_stop_prefix "$FLUTT_RUN_PREFIX"
        if [[ -d $FLUTT_RUN_PREFIX.64 ]]; then
            (_flutt_path_wine64 && _flutt_stop_prefix "$FLUTT_RUN_PREFIX.64")
        fi
        if [[ ${FLUTT_KEEP_PREFIX:-0} != 1 ]]; then
            rm -rf "$FLUTT_RUN_PREFIX" "$FLUTT_RUN_PREFIX.64" "$FLUTT_RUN_PREFIX.64.lock"
        fi
    fi
    FLUTT_RUN_PREFIX=
    if [[ -n ${FLUTT_XVFB_PID:-} ]]; then
        kill "$FLUTT_XVFB_PID" >/dev/null 2>&1 || true
        wait "$FLUTT_XVFB_PID" 2>/dev/null || true
    fi
    FLUTT_XVFB_PID=
}

if [[ ${FLUTT_WINE_ENV:-} == 1 && ${FLUTT_WINE_OWNER_PID:-} != "$$" && -d ${FLUTT_WINE_PREFIX:-/nonexistent} ]] &&
    kill -0 "${FLUTT_XVFB_PID:-0}" 2>/dev/null; then
    # Already inside a session that a parent script set up: use it as it is.
    [[ $FLUTT_WINE_ARCH == 64 ]] && _flutt_path_wine64
    return 0
fi

# shellcheck source=scripts/wine-arch.sh
source "$_flutt_repo/scripts/wine-arch.sh" || return 1
[[ $FLUTT_WINE_ARCH == 64 ]] && _flutt_path_wine64

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
unset WINEARCH

FLUTT_XVFB_PID=
FLUTT_RUN_PREFIX=

_flutt_fail() {
    echo "wine-env.sh: $*" >&2
    flutt_wine_cleanup
    return 1
}

# Starts Xvfb on a free display; sets DISPLAY and FLUTT_XVFB_PID.
_flutt_start_xvfb() {
    flutt_start_x_server $((100 + $$ % 300)) Xvfb :%d -screen 0 "${FLUTT_SCREEN:-1920x1080x24}" -nolisten tcp -noreset ||
        return 1
    FLUTT_XVFB_PID=$FLUTT_X_PID
    export DISPLAY=$FLUTT_X_DISPLAY
}

_flutt_setup() {
    local n
    for n in Xvfb wine wineserver; do
        command -v "$n" >/dev/null || { echo "wine-env.sh: $n not found (run scripts/deps.sh)" >&2; return 1; }
    done
    mkdir -p "$_flutt_wine_dir"
    trap flutt_wine_cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP

    _flutt_start_xvfb || { _flutt_fail "no free X display"; return 1; }

    FLUTT_RUN_PREFIX=$_flutt_wine_dir/prefix.$$
    _flutt_start_prefix "$FLUTT_WINE_ARCH" "$FLUTT_RUN_PREFIX" || { _flutt_fail "no $FLUTT_WINE_ARCH-bit Wine prefix"; return 1; }
    export WINEPREFIX=$FLUTT_RUN_PREFIX
    export FLUTT_WINE_PREFIX=$FLUTT_RUN_PREFIX FLUTT_WINE_SELECTED=$FLUTT_WINE_ARCH

    export FLUTT_WINE_ENV=1
    export FLUTT_WINE_OWNER_PID=$$
    export FLUTT_XVFB_PID
}

_flutt_setup || return 1
