# shellcheck shell=bash
# Source this file to get a private Wine session for running fluttsaver:
#   - an Xvfb display of its own (1920x1080x24, or FLUTT_SCREEN) on a free
#     display number;
#   - a fresh 32-bit WINEPREFIX, copied from a template prefix under build/wine/
#     (the template is made once with wineboot and reused while it is complete);
#   - a warm wineserver (wineserver -p) with Wine's services already started.
# It exports DISPLAY, WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES, LANG/LC_ALL and
# FLUTT_WINE_ENV=1, and on EXIT stops that wineserver and that Xvfb only, and
# removes the copied prefix (kept when FLUTT_KEEP_PREFIX=1).
#
# Variables read: FLUTT_BUILD_DIR (default: <repo>/build), FLUTT_SCREEN
# (default: 1920x1080x24).
# A script that sources this must not replace the EXIT trap; if it needs one of
# its own, let it call flutt_wine_cleanup.

if [[ ${FLUTT_WINE_ENV:-} == 1 && ${FLUTT_WINE_OWNER_PID:-} != "$$" && -d ${WINEPREFIX:-/nonexistent} ]] &&
    kill -0 "${FLUTT_XVFB_PID:-0}" 2>/dev/null; then
    # Already inside a session that a parent script set up: use it as it is.
    return 0
fi

_flutt_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FLUTT_BUILD_DIR=${FLUTT_BUILD_DIR:-$_flutt_repo/build}
_flutt_wine_dir=$FLUTT_BUILD_DIR/wine
# Bump when the template's setup below changes, so old templates are rebuilt.
_flutt_template_stamp=.fluttsaver-template-v1

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
export LC_ALL=C.UTF-8
unset WINEARCH

FLUTT_XVFB_PID=
FLUTT_RUN_PREFIX=

flutt_wine_cleanup() {
    if [[ -n $FLUTT_RUN_PREFIX && -d $FLUTT_RUN_PREFIX ]]; then
        WINEPREFIX=$FLUTT_RUN_PREFIX wineserver -k >/dev/null 2>&1 || true
        # -k returns before the server has gone; wait for it, briefly.
        WINEPREFIX=$FLUTT_RUN_PREFIX timeout 10 wineserver -w >/dev/null 2>&1 || true
        if [[ ${FLUTT_KEEP_PREFIX:-0} != 1 ]]; then
            rm -rf "$FLUTT_RUN_PREFIX"
        fi
    fi
    FLUTT_RUN_PREFIX=
    if [[ -n $FLUTT_XVFB_PID ]]; then
        kill "$FLUTT_XVFB_PID" >/dev/null 2>&1 || true
        wait "$FLUTT_XVFB_PID" 2>/dev/null || true
    fi
    FLUTT_XVFB_PID=
}

_flutt_fail() {
    echo "wine-env.sh: $*" >&2
    flutt_wine_cleanup
    return 1
}

# Starts Xvfb on the first free display number from a per-process starting
# point; sets DISPLAY and FLUTT_XVFB_PID.
_flutt_start_xvfb() {
    local first=$((100 + $$ % 300)) n i pid
    for ((n = first; n < first + 200; n++)); do
        [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
        Xvfb ":$n" -screen 0 "${FLUTT_SCREEN:-1920x1080x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
        pid=$!
        for ((i = 0; i < 200; i++)); do
            kill -0 "$pid" 2>/dev/null || break
            if [[ -S /tmp/.X11-unix/X$n ]] && [[ $(tr -d ' ' <"/tmp/.X$n-lock" 2>/dev/null) == "$pid" ]]; then
                FLUTT_XVFB_PID=$pid
                export DISPLAY=":$n"
                return 0
            fi
            sleep 0.05
        done
        # Lost the display to someone else, or it did not come up: next one.
        kill "$pid" >/dev/null 2>&1 || true
        wait "$pid" 2>/dev/null || true
    done
    return 1
}

# Makes the template prefix once: 32-bit, no window manager waits, Japanese fonts.
_flutt_make_template() {
    local tpl=$_flutt_wine_dir/template
    [[ -f $tpl/$_flutt_template_stamp && -f $tpl/system.reg && -f $tpl/user.reg ]] && return 0
    local tmp=$_flutt_wine_dir/template.tmp.$$
    rm -rf "$tmp"
    echo "wine-env.sh: creating the Wine template prefix (once, about 10 s)" >&2
    (
        export WINEPREFIX=$tmp
        WINEARCH=win32 wineboot -i >/dev/null 2>&1
        r() { wine reg add "$@" /f >/dev/null 2>&1; }
        # Without a window manager Wine waits 2 s in every DestroyWindow unless
        # its windows are unmanaged.
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
        # Writes the registry files.
        wineserver -k >/dev/null 2>&1 || true
        timeout 20 wineserver -w >/dev/null 2>&1 || true
        grep -q '"Managed"="N"' "$tmp/user.reg" && grep -q 'IPAPGothic' "$tmp/system.reg"
    ) || { rm -rf "$tmp"; return 1; }
    touch "$tmp/$_flutt_template_stamp"
    rm -rf "$tpl"
    mv "$tmp" "$tpl"
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

    # One process at a time makes the template; the others wait for it.
    {
        flock 9
        _flutt_make_template
    } 9>"$_flutt_wine_dir/template.lock" || { _flutt_fail "could not create the template prefix"; return 1; }

    FLUTT_RUN_PREFIX=$_flutt_wine_dir/prefix.$$
    rm -rf "$FLUTT_RUN_PREFIX"
    cp -a "$_flutt_wine_dir/template" "$FLUTT_RUN_PREFIX" || { _flutt_fail "could not copy the template prefix"; return 1; }
    export WINEPREFIX=$FLUTT_RUN_PREFIX

    # A warm server and running services make every later start fast, and the
    # services get /dev/null as their output rather than a test's pipe.
    wineserver -p >/dev/null 2>&1 || { _flutt_fail "wineserver did not start"; return 1; }
    wine cmd /c exit >/dev/null 2>&1 </dev/null || { _flutt_fail "wine does not run in $WINEPREFIX"; return 1; }

    export FLUTT_WINE_ENV=1
    export FLUTT_WINE_OWNER_PID=$$
    export FLUTT_XVFB_PID
}

_flutt_setup || return 1
