#!/usr/bin/env bash
# scripts/package.sh and what it writes into build/dist: the four setup programs, the
# zip with the four builds and the texts for Windows users, the Debian package of the
# hack (tested on its own by the hack's tests), and SHA256SUMS over them.
# Usage: release_package.sh VERSION
set -uo pipefail
version=$1
repo=$(cd "$(dirname "$0")/../.." && pwd)
dist=$repo/build/dist
work=${E2E_WORK:-$repo/build/dist.test}
rm -rf "$work"
mkdir -p "$work"
failures=0
ok() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect() { if [[ $1 == "$2" ]]; then ok "$3"; else fail "$3: got '$1', expected '$2'"; fi; }

env -u FLUTT_SIGN_CERT -u FLUTT_SIGN_KEY bash "$repo/scripts/package.sh" | tee "$work/package.log"
((PIPESTATUS[0] == 0)) || { echo "FAIL: package.sh"; exit 1; }
expect "$(grep -c unsigned "$work/package.log")" 1 "without a certificate one line says the files are unsigned"

base=fluttsaver-$version
setups="$base-x64-reduced-setup.exe $base-x64-setup.exe $base-x86-reduced-setup.exe $base-x86-setup.exe"
deb=fluttons_${version}_$(dpkg --print-architecture).deb
expect "$(cd "$dist" && LC_ALL=C ls | tr '\n' ' ')" "SHA256SUMS $deb $base-windows.zip $setups " "files in build/dist"
expect "$(cd "$dist" && sha256sum -c SHA256SUMS 2>&1 | grep -c ': OK$')" 6 "sha256sum -c SHA256SUMS: all six OK"

# Each setup program says its kind in its PE header: 0x14c i386, 0x8664 x86-64.
machine() { od -An -tx2 -j $(($(od -An -tu4 -j 60 -N4 "$1") + 4)) -N2 "$1" | tr -d ' '; }
for setup in $setups; do
    want=014c
    [[ $setup == *-x64-* ]] && want=8664
    expect "$(machine "$dist/$setup")" "$want" "$setup is a program of its kind"
done

zip=$dist/$base-windows.zip
in=$base-windows
expect "$(unzip -Z1 "$zip" | grep -v '/$' | tr '\n' ' ')" \
    "$in/LICENSE.txt $in/README.txt $in/x64/fluttsaver.scr $in/x64/reduced/fluttsaver.scr $in/x86/fluttsaver.scr $in/x86/reduced/fluttsaver.scr " "zip entries"
unzip -q "$zip" -d "$work" || fail "unzip"
declare -A built=([x86]=win32 [x86/reduced]=win32-reduced [x64]=win64 [x64/reduced]=win64-reduced)
for entry in "${!built[@]}"; do
    cmp -s "$repo/build/${built[$entry]}/fluttsaver.scr" "$work/$in/$entry/fluttsaver.scr" &&
        ok "zip: $entry/fluttsaver.scr is the ${built[$entry]} build" ||
        fail "zip: $entry/fluttsaver.scr differs from build/${built[$entry]}/fluttsaver.scr"
done
# Texts for Windows: CRLF line ends, the licence unchanged otherwise.
expect "$(tr -d '\r' <"$work/$in/LICENSE.txt" | cmp - "$repo/LICENSE" && echo same)" same "zip: LICENSE.txt is LICENSE"
expect "$(grep -c $'\r$' "$work/$in/README.txt")" "$(wc -l <"$work/$in/README.txt")" "zip: README.txt has CRLF line ends"
expect "$(head -n1 "$work/$in/README.txt" | tr -d '\r')" "Fluttons! Saver $version" "zip: README.txt title"
expect "$(grep -c @ "$work/$in/README.txt")" 0 "zip: README.txt placeholders left"

echo "---- release_package: $failures failed"
((failures == 0))
