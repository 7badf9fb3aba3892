#!/usr/bin/env bash
# Installs everything the builds and the tests need, on Debian 12, as root.
# Idempotent: when every package is already there it only checks and returns.
set -euo pipefail

# Which Wine this machine can run: 32-bit Wine only where 32-bit x86 code runs.
# shellcheck source=scripts/wine-arch.sh
source "$(dirname "${BASH_SOURCE[0]}")/wine-arch.sh"

packages=(
    # native build and unit tests; clang's libFuzzer for the BMP decoder's fuzz run
    g++ make cmake libgtest-dev googletest clang libclang-rt-14-dev
    # the compiler cache the test suite's trees share
    ccache
    # cross builds of the 32-bit and the 64-bit screen saver
    g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix mingw-w64-tools
    # running it: Wine on a virtual X display, input and screenshots
    wine wine64 xvfb xdotool imagemagick
    # the screenshots of the tests and their comparisons (tests/linux/tools/xpixels.cpp)
    libpng-dev
    # Japanese glyphs for the program's texts
    fonts-ipafont-gothic
    # ps and pgrep, which the test scripts use to watch processes
    procps
    # fluttons, the Linux hack: X11 with MIT-SHM, Xft text, the heads from RandR
    # or Xinerama; XScreenSaver for its tests
    libx11-dev libxext-dev libxft-dev libfontconfig-dev libxrandr-dev libxinerama-dev xscreensaver xscreensaver-data
    # release files: setup programs and the zip; their signing, and for its test a
    # throw-away certificate and the unpacking of setup programs; the Debian
    # package of the hack, its checks and its manual page
    nsis zip unzip osslsigncode openssl python3 dpkg-dev lintian man-db
    # the pictures of the README: the font of the message (Times New Roman metrics)
    fonts-liberation
    # a nested X server of two monitors side by side, for the two-monitor test
    xserver-xephyr
)
need_i386=0
if [[ $FLUTT_WINE_ARCH == 32 ]]; then
    packages+=(wine32:i386)
    dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1
fi

# One query for them all (the scripts call this often, and everything is
# usually there); a query a package only to name what is missing.
installed=$(dpkg-query -W -f='${Status}\n' "${packages[@]}" 2>/dev/null | grep -cx 'install ok installed' || true)
missing=()
if ((installed != ${#packages[@]})); then
    for p in "${packages[@]}"; do
        status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
        [[ $status == "install ok installed" ]] || missing+=("$p")
    done
fi

if ((${#missing[@]} == 0 && need_i386 == 0)); then
    exit 0
fi

if [[ $(id -u) -ne 0 ]]; then
    echo "deps.sh: missing packages (${missing[*]}); run this script as root" >&2
    exit 1
fi

echo "deps.sh: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
if ((need_i386)); then
    dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq "${missing[@]}" >/dev/null
