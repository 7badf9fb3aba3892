#!/usr/bin/env bash
# scripts/package.sh and what it writes into build/dist: the two setup programs, the
# zip with both builds and the texts for Windows users, the Debian package of the
# hack (tested on its own by the hack's tests), and SHA256SUMS over them.
# Usage: release_package.sh VERSION FLUTTSAVER.SCR REDUCED.SCR
set -uo pipefail
version=$1 scr=$2 reduced_scr=$3
repo=$(cd "$(dirname "$0")/../.." && pwd)
dist=$repo/build/dist
work=${E2E_WORK:-$repo/build/win32/tests/e2e/work/release_package}
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
deb=fluttons_${version}_$(dpkg --print-architecture).deb
expect "$(cd "$dist" && LC_ALL=C ls | tr '\n' ' ')" \
    "SHA256SUMS $deb $base-reduced-setup.exe $base-setup.exe $base-win32.zip " "files in build/dist"
expect "$(cd "$dist" && sha256sum -c SHA256SUMS 2>&1 | tr '\n' ' ')" \
    "$base-reduced-setup.exe: OK $base-setup.exe: OK $base-win32.zip: OK $deb: OK " "sha256sum -c SHA256SUMS"

zip=$dist/$base-win32.zip
expect "$(unzip -Z1 "$zip" | tr '\n' ' ')" \
    "$base-win32/LICENSE.txt $base-win32/README.txt $base-win32/fluttsaver.scr $base-win32/reduced/fluttsaver.scr " "zip entries"
unzip -q "$zip" -d "$work" || fail "unzip"
cmp -s "$scr" "$work/$base-win32/fluttsaver.scr" && ok "zip: fluttsaver.scr is the full build" || fail "zip: fluttsaver.scr differs from $scr"
cmp -s "$reduced_scr" "$work/$base-win32/reduced/fluttsaver.scr" && ok "zip: reduced/fluttsaver.scr is the reduced build" ||
    fail "zip: reduced/fluttsaver.scr differs from $reduced_scr"
# Texts for Windows: CRLF line ends, the licence unchanged otherwise.
expect "$(tr -d '\r' <"$work/$base-win32/LICENSE.txt" | cmp - "$repo/LICENSE" && echo same)" same "zip: LICENSE.txt is LICENSE"
expect "$(grep -c $'\r$' "$work/$base-win32/README.txt")" "$(wc -l <"$work/$base-win32/README.txt")" "zip: README.txt has CRLF line ends"
expect "$(head -n1 "$work/$base-win32/README.txt" | tr -d '\r')" "Fluttons! Saver $version" "zip: README.txt title"
expect "$(grep -c @ "$work/$base-win32/README.txt")" 0 "zip: README.txt placeholders left"

echo "---- release_package: $failures failed"
((failures == 0))
