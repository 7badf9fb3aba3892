#!/usr/bin/env bash
# Signs Windows programs in place with Authenticode (osslsigncode, SHA-256),
# when the environment names a certificate and its private key:
#   FLUTT_SIGN_CERT       the certificate, PEM or DER (with its chain, if any)
#   FLUTT_SIGN_KEY        its private key, PEM or DER
#   FLUTT_SIGN_PASS_FILE  optional: a file holding the key's password
#   FLUTT_SIGN_TIMESTAMP  optional: an RFC 3161 time-stamping address
# Without a certificate the files stay unsigned and one line says so
# (--quiet: nothing is said, for a second call in the same run).
# The signing time is the time of the last commit (or SOURCE_DATE_EPOCH), so
# the same sources and key give the same signed files unless they are
# time-stamped.
# Usage: sign.sh [--quiet] FILE...
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

quiet=0
if [[ ${1:-} == --quiet ]]; then
    quiet=1
    shift
fi
(($# > 0)) || { echo "usage: sign.sh [--quiet] FILE..." >&2; exit 2; }

if [[ -z ${FLUTT_SIGN_CERT:-} && -z ${FLUTT_SIGN_KEY:-} ]]; then
    ((quiet)) || echo "sign.sh: no certificate given (FLUTT_SIGN_CERT, FLUTT_SIGN_KEY): the Windows programs are unsigned"
    exit 0
fi
for var in FLUTT_SIGN_CERT FLUTT_SIGN_KEY ${FLUTT_SIGN_PASS_FILE:+FLUTT_SIGN_PASS_FILE}; do
    [[ -r ${!var:-} ]] || { echo "sign.sh: $var names no readable file: '${!var:-}'" >&2; exit 1; }
done
command -v osslsigncode >/dev/null || { echo "sign.sh: osslsigncode not found (run scripts/deps.sh)" >&2; exit 1; }

epoch=${SOURCE_DATE_EPOCH:-$(git -C "$repo" log -1 --format=%ct 2>/dev/null || echo 1735689600)}
url=$(sed -n 's/.*kHomepageUrl = "\(.*\)";.*/\1/p' "$repo/dialog/OptDlgForm.h")
options=(-certs "$FLUTT_SIGN_CERT" -key "$FLUTT_SIGN_KEY" -h sha256 -n "Fluttons! Saver" -time "$epoch")
[[ -n $url ]] && options+=(-i "$url")
[[ -n ${FLUTT_SIGN_PASS_FILE:-} ]] && options+=(-readpass "$FLUTT_SIGN_PASS_FILE")
[[ -n ${FLUTT_SIGN_TIMESTAMP:-} ]] && options+=(-ts "$FLUTT_SIGN_TIMESTAMP")

for file in "$@"; do
    signed=$file.signed
    rm -f "$signed"
    if ! osslsigncode sign "${options[@]}" -in "$file" -out "$signed" >"$signed.log" 2>&1; then
        echo "sign.sh: signing $file failed:" >&2
        cat "$signed.log" >&2
        rm -f "$signed" "$signed.log"
        exit 1
    fi
    rm -f "$signed.log"
    mv "$signed" "$file"
    echo "sign.sh: signed $(basename "$file")${FLUTT_SIGN_TIMESTAMP:+, time-stamped}"
done
