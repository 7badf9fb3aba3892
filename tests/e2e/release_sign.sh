#!/usr/bin/env bash
# scripts/package.sh with a certificate, the Windows files alone, into a folder
# of its own: a throw-away self-signed certificate whose key has a password in
# a file. Every .scr of the zip and every setup program
# carries a signature that osslsigncode verifies against that certificate, and
# each setup program packs one of those signed .scr files, byte for byte (read
# from its LZMA-compressed data).
# Usage: release_sign.sh
set -uo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
work=${E2E_WORK:-$repo/build/dist.sign-test}
dist=$work/dist
rm -rf "$work"
mkdir -p "$work"
failures=0
ok() { echo "ok: $*"; }
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

subject="/CN=Fluttons test signer"
echo "throw-away password" >"$work/pass.txt"
openssl req -x509 -newkey rsa:2048 -days 2 -subj "$subject" -passout "file:$work/pass.txt" \
    -keyout "$work/key.pem" -out "$work/cert.pem" >/dev/null 2>&1 || { echo "FAIL: openssl req"; exit 1; }

FLUTT_SIGN_CERT=$work/cert.pem FLUTT_SIGN_KEY=$work/key.pem FLUTT_SIGN_PASS_FILE=$work/pass.txt \
    bash "$repo/scripts/package.sh" --windows "$dist" >"$work/package.log" 2>&1 || { echo "FAIL: package.sh: $(cat "$work/package.log")"; exit 1; }
grep -q 'unsigned' "$work/package.log" && fail "package.sh says the files are unsigned: $(grep unsigned "$work/package.log")"

verified() {
    osslsigncode verify -CAfile "$work/cert.pem" -in "$1" >"$work/verify.log" 2>&1 &&
        grep -q "Subject: $subject" "$work/verify.log" && grep -qx 'Signature verification: ok' "$work/verify.log"
}

if (cd "$dist" && sha256sum -c SHA256SUMS >/dev/null 2>&1) && (($(wc -l <"$dist/SHA256SUMS") == 5)) &&
    ! compgen -G "$dist/*.deb" >/dev/null; then
    ok "the Windows files alone, each in SHA256SUMS"
else
    fail "the Windows files alone, each in SHA256SUMS: $(ls "$dist")"
fi
unzip -q "$dist"/fluttsaver-*.zip -d "$work/zip" || fail "unzip"
mapfile -t scrs < <(find "$work/zip" -name '*.scr' | LC_ALL=C sort)
mapfile -t setups < <(find "$dist" -name '*-setup.exe' | LC_ALL=C sort)
((${#scrs[@]} >= 2)) || fail "only ${#scrs[@]} .scr files in the zip"
((${#setups[@]} >= 2)) || fail "only ${#setups[@]} setup programs"
for file in "${scrs[@]}" "${setups[@]}"; do
    name=${file#"$work/zip/"}
    name=${name#"$dist/"}
    if verified "$file"; then ok "$name: signature verified"; else fail "$name: $(cat "$work/verify.log")"; fi
done

# Which of the zip's signed .scr files each setup program packs (NSIS: the
# first header on a 512-byte boundary, then one solid LZMA stream).
packed() {
    python3 - "$@" <<'PYTHON'
import lzma, struct, sys
setup, *candidates = sys.argv[1:]
data = open(setup, 'rb').read()
magic = b'\xef\xbe\xad\xdeNullsoftInst'
start = next(p for p in range(0, len(data), 512) if data[p + 4:p + 20] == magic)
length = struct.unpack_from('<I', data, start + 24)[0]
stream = data[start + 28:start + length]
props = stream[0]
lzma1 = {'id': lzma.FILTER_LZMA1, 'lc': props % 9, 'lp': props // 9 % 5, 'pb': props // 45,
         'dict_size': struct.unpack_from('<I', stream, 1)[0]}
unpacked = lzma.LZMADecompressor(lzma.FORMAT_RAW, filters=[lzma1]).decompress(stream[5:])
for candidate in candidates:
    if open(candidate, 'rb').read() in unpacked:
        print(candidate)
PYTHON
}
declare -A packed_by
for setup in "${setups[@]}"; do
    name=$(basename "$setup")
    mapfile -t found < <(packed "$setup" "${scrs[@]}")
    if ((${#found[@]} == 1)); then
        ok "$name packs the signed ${found[0]#"$work/zip/"}"
        [[ -z ${packed_by[${found[0]}]:-} ]] || fail "$name and ${packed_by[${found[0]}]} pack the same .scr"
        packed_by[${found[0]}]=$name
    else
        fail "$name packs ${#found[@]} of the signed .scr files (${found[*]})"
    fi
done

echo "---- release_sign: $failures failed"
((failures == 0))
