#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest: wine-run.sh 32|64 PROGRAM ARGS...
# Inside the session of scripts/wine-env.sh it runs in the prefix of its kind
# of the slot ctest gave it; outside one, a 64-bit program runs through 64-bit
# Wine's own loader.
# Wine's helper processes (explorer.exe and the like) inherit the program's
# output and outlive it for a while; sending the output through a file keeps
# ctest from waiting on them.
bits=$1
shift
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
if [[ ${FLUTT_WINE_ENV:-} == 1 ]]; then
    # shellcheck source=../scripts/wine-env.sh
    source "$repo/scripts/wine-env.sh" || exit 1
    flutt_wine_select "$bits" || { echo "skipped: this machine runs no $bits-bit x86 code"; exit 77; }
elif [[ $bits == 64 ]]; then
    PATH=$repo/scripts/wine64:$PATH
fi
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit "$rc"
