#!/usr/bin/env bash
# Installs everything the builds and the tests need, on Debian 12, as root.
# Idempotent: when every package is already there it only checks and returns.
set -euo pipefail

packages=(
    # native build and unit tests; clang's libFuzzer for the BMP decoder's fuzz run
    g++ make cmake libgtest-dev googletest clang libclang-rt-14-dev
    # cross build of the 32-bit screen saver
    g++-mingw-w64-i686 mingw-w64-tools
    # running it: 32-bit Wine on a virtual X display, input and screenshots
    wine wine32:i386 xvfb xdotool imagemagick
    # Japanese glyphs for the program's texts
    fonts-ipafont-gothic
    # ps and pgrep, which the test scripts use to watch processes
    procps
    # fluttons, the Linux hack: X11 with MIT-SHM, Xft text; XScreenSaver for its tests
    libx11-dev libxext-dev libxft-dev libfontconfig-dev xscreensaver xscreensaver-data
    # release files: setup programs, the zip, and 64-bit Wine prefixes to test them in
    nsis zip unzip wine64
    # a nested X server of two monitors side by side, for the two-monitor test
    xserver-xephyr
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ $status == "install ok installed" ]] || missing+=("$p")
done
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    need_i386=1
else
    need_i386=0
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
