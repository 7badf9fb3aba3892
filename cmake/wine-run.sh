#!/usr/bin/env bash
# Runs a Windows test program under Wine for ctest. Wine's helper processes
# (explorer.exe and the like) inherit the program's output and outlive it for
# a while; sending the output through a file keeps ctest from waiting on them.
out=$(mktemp)
wine "$@" >"$out" 2>&1 </dev/null
rc=$?
cat "$out"
rm -f "$out"
exit "$rc"
