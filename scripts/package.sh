#!/usr/bin/env bash
# Builds the release files of both variants into build/dist/:
#   fluttsaver-<version>-setup.exe           setup program carrying the full build
#   fluttsaver-<version>-reduced-setup.exe   the same carrying the reduced build
#   fluttsaver-<version>-win32.zip           both .scr files, README.txt, LICENSE.txt
#   SHA256SUMS                               over those three
# <version> is the project version of CMakeLists.txt. The same sources give the same
# files: every packed file carries the time of the last commit (or SOURCE_DATE_EPOCH).
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

bash scripts/deps.sh
for preset in win32 win32-reduced; do
    cmake --preset "$preset" >/dev/null
    cmake --build --preset "$preset" -j2 --target fluttsaver >/dev/null
done

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
# The web page of the settings dialog's About tab.
url=$(sed -n 's/.*kHomepageUrl = "\(.*\)";.*/\1/p' dialog/OptDlgForm.h)
[[ -n $version && -n $url ]] || { echo "package.sh: project version or web page not found" >&2; exit 1; }
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1735689600)}

dist=$PWD/build/dist
stage=$dist/stage
rm -rf "$dist"
mkdir -p "$stage/docs" "$stage/full" "$stage/reduced"

# Texts for Windows: CRLF line ends.
crlf() { sed 's/$/\r/' "$1"; }
crlf LICENSE >"$stage/docs/LICENSE.txt"
crlf installer/README-windows.txt | sed -e "s|@VERSION@|$version|g" -e "s|@URL@|$url|g" >"$stage/docs/README.txt"
cp build/win32/fluttsaver.scr "$stage/full/"
cp build/win32-reduced/fluttsaver.scr "$stage/reduced/"

zipdir=$stage/zip/fluttsaver-$version-win32
mkdir -p "$zipdir/reduced"
cp "$stage/full/fluttsaver.scr" "$stage/docs/README.txt" "$stage/docs/LICENSE.txt" "$zipdir/"
cp "$stage/reduced/fluttsaver.scr" "$zipdir/reduced/"

find "$stage" -type f -exec chmod 644 {} + -exec touch -d "@$epoch" {} +

for variant in full reduced; do
    out=fluttsaver-$version-setup.exe
    [[ $variant == reduced ]] && out=fluttsaver-$version-reduced-setup.exe
    makensis -V2 -INPUTCHARSET UTF8 \
        -DVERSION="$version" -DURL="$url" \
        -DSCR="$stage/$variant/fluttsaver.scr" -DDOCS="$stage/docs" \
        -DICON="$PWD"/build/win32/assets/art/MainIcon.ico \
        -DOUTFILE="$dist/$out" installer/fluttsaver.nsi >/dev/null
done

(cd "$stage/zip" && find . -type f | LC_ALL=C sort | sed 's|^\./||' |
    TZ=UTC zip -9 -X -D -q "../../fluttsaver-$version-win32.zip" -@)
rm -rf "$stage"

(cd "$dist" && sha256sum fluttsaver-* >SHA256SUMS)
ls -l "$dist" | sed 1d
