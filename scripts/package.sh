#!/usr/bin/env bash
# Builds the release files of both variants for both kinds of Windows into build/dist/:
#   fluttsaver-<version>-x86-setup.exe           32-bit setup, the full 32-bit saver
#   fluttsaver-<version>-x86-reduced-setup.exe   the same with the reduced build
#   fluttsaver-<version>-x64-setup.exe           64-bit setup, the full 64-bit saver
#   fluttsaver-<version>-x64-reduced-setup.exe   the same with the reduced build
#   fluttsaver-<version>-windows.zip             README.txt, LICENSE.txt and the four
#                                                .scr files in x86/ and x64/ (the
#                                                reduced ones in their reduced/)
#   fluttons_<version>_amd64.deb                 the Linux hack (scripts/package-deb.sh)
#   SHA256SUMS                                   over all of them
# Usage: package.sh [--windows] [DIR]
#   DIR        where the files go instead of build/dist/ (emptied first)
#   --windows  the Windows files alone, without the Debian package
# <version> is the project version of CMakeLists.txt. The same sources give the same
# files: every packed file carries the time of the last commit (or SOURCE_DATE_EPOCH).
# The Windows programs are signed when FLUTT_SIGN_CERT and FLUTT_SIGN_KEY name a
# certificate and its key (scripts/sign.sh).
set -euo pipefail
windows_only=0
if [[ ${1:-} == --windows ]]; then
    windows_only=1
    shift
fi
dist=$(realpath -m "${1:-$(dirname "${BASH_SOURCE[0]}")/../build/dist}")
cd "$(dirname "${BASH_SOURCE[0]}")/.."

# The build tree of each kind and variant.
declare -A tree=([x86]=win32 [x86-reduced]=win32-reduced [x64]=win64 [x64-reduced]=win64-reduced)

build_savers() {
    local preset
    for preset in "${tree[@]}"; do
        cmake --preset "$preset" >/dev/null
        cmake --build --preset "$preset" -j2 --target fluttsaver >/dev/null
    done
}

# Texts for Windows: CRLF line ends.
crlf() { sed 's/$/\r/' "$1"; }

# stage DIR: the texts in DIR/docs, each build's saver in DIR/<kind>[-reduced]/.
stage_files() {
    local stage=$1 build
    mkdir -p "$stage/docs"
    crlf LICENSE >"$stage/docs/LICENSE.txt"
    crlf installer/README-windows.txt | sed -e "s|@VERSION@|$version|g" -e "s|@URL@|$url|g" >"$stage/docs/README.txt"
    for build in "${!tree[@]}"; do
        mkdir -p "$stage/$build"
        cp "build/${tree[$build]}/fluttsaver.scr" "$stage/$build/"
    done
    find "$stage" -name '*.scr' -exec bash scripts/sign.sh {} +  # before they are packed
    find "$stage" -type f -exec chmod 644 {} + -exec touch -d "@$epoch" {} +
}

# setup_program STAGE BUILD OUT: the setup program carrying one build; what
# makensis says goes to OUT.log, and is shown when it fails.
setup_program() {
    local stage=$1 build=$2 out=$3
    if ! makensis -V2 -INPUTCHARSET UTF8 \
        -DARCH="${build%-reduced}" -DVERSION="$version" -DURL="$url" \
        -DSCR="$stage/$build/fluttsaver.scr" -DDOCS="$stage/docs" \
        -DICON="$PWD"/build/win32/assets/art/MainIcon.ico \
        -DOUTFILE="$out" installer/fluttsaver.nsi >"$out.log" 2>&1; then
        echo "package.sh: makensis failed for the $build setup program:" >&2
        cat "$out.log" >&2
        return 1
    fi
    rm -f "$out.log"
}

# windows_zip STAGE OUT: the zip, with its files in a folder of the zip's own name.
windows_zip() {
    local stage=$1 out=$2 name kind dir
    name=$(basename "$out" .zip)
    dir=$stage/zip/$name
    mkdir -p "$dir"
    cp -p "$stage/docs/README.txt" "$stage/docs/LICENSE.txt" "$dir/"
    for kind in x86 x64; do
        mkdir -p "$dir/$kind/reduced"
        cp -p "$stage/$kind/fluttsaver.scr" "$dir/$kind/"
        cp -p "$stage/$kind-reduced/fluttsaver.scr" "$dir/$kind/reduced/"
    done
    find "$stage/zip" -type d -exec touch -d "@$epoch" {} +
    (cd "$stage/zip" && find . -type f | LC_ALL=C sort | sed 's|^\./||' |
        TZ=UTC zip -9 -X -D -q "$out" -@)
}

# setup_programs STAGE: the four setup programs, packed side by side (each
# makensis compresses on one core), and the zip beside them.
setup_programs() {
    local stage=$1 build pids=() pid failed=0
    for build in x86 x86-reduced x64 x64-reduced; do
        setup_program "$stage" "$build" "$dist/fluttsaver-$version-$build-setup.exe" &
        pids+=($!)
    done
    windows_zip "$stage" "$dist/fluttsaver-$version-windows.zip" &
    pids+=($!)
    for pid in "${pids[@]}"; do wait "$pid" || failed=1; done
    ((!failed))
}

bash scripts/deps.sh
build_savers

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
# The web page of the settings dialog's About tab.
url=$(sed -n 's/.*kHomepageUrl = "\(.*\)";.*/\1/p' dialog/OptDlgForm.h)
[[ -n $version && -n $url ]] || { echo "package.sh: project version or web page not found" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1735689600)}

stage=$dist/stage
rm -rf "$dist"
mkdir -p "$dist"
stage_files "$stage"
setup_programs "$stage"
bash scripts/sign.sh --quiet "$dist"/*-setup.exe
rm -rf "$stage"
files='fluttsaver-*'
if ((!windows_only)); then
    bash scripts/package-deb.sh "$dist"
    files+=' fluttons_*.deb'
fi

# shellcheck disable=SC2086 # the patterns are expanded in $dist
(cd "$dist" && sha256sum $files >SHA256SUMS)
ls -l "$dist" | sed 1d
