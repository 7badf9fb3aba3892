#!/usr/bin/env bash
# Makes a 64-bit Wine template prefix (WINEARCH=win64) once, under build/wine/template64,
# and prints its path; copy it (cp -a) for each use. In such a prefix 32-bit programs see
# C:\windows\syswow64 as their System32 and write the 32-bit registry view, as on 64-bit
# Windows, and /usr/lib/wine/wine64 runs 64-bit programs. Needs Debian's wine64 package.
set -euo pipefail
wine_dir=${FLUTT_BUILD_DIR:-$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)/build}/wine
tpl=$wine_dir/template64
stamp=.fluttsaver-template64-v1
mkdir -p "$wine_dir"
{
    flock 9
    if [[ ! -f $tpl/$stamp ]]; then
        echo "wine64-template.sh: creating the 64-bit Wine template prefix (once)" >&2
        tmp=$wine_dir/template64.tmp.$$
        rm -rf "$tmp"
        (
            export WINEPREFIX=$tmp WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
            WINEARCH=win64 wineboot -i >/dev/null 2>&1
            # Without a window manager Wine waits 2 s in every DestroyWindow of a managed window.
            wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
            wineserver -k >/dev/null 2>&1 || true
            timeout 20 wineserver -w >/dev/null 2>&1 || true
            grep -q '"Managed"="N"' "$tmp/user.reg" && [[ -d $tmp/drive_c/windows/syswow64 ]]
        ) </dev/null || { rm -rf "$tmp"; echo "wine64-template.sh: could not make a 64-bit prefix" >&2; exit 1; }
        touch "$tmp/$stamp"
        rm -rf "$tpl"
        mv "$tmp" "$tpl"
    fi
} 9>"$wine_dir/template64.lock"
echo "$tpl"
