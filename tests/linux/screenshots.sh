#!/usr/bin/env bash
# The README's pictures can be checked against the program: scripts/screenshots.sh
# makes the full-screen picture docs/saver.png again, pixel for pixel.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

FLUTTONS=$FLUTTONS bash "$REPO/scripts/screenshots.sh" --out "$WORK" saver >"$WORK/screenshots.log" 2>&1 ||
    fail "screenshots.sh: $(cat "$WORK/screenshots.log")"
n=$(differing "$REPO/docs/saver.png" "$WORK/saver.png")
[[ $n == 0 ]] || fail "$n pixels of docs/saver.png differ from the picture made again, $WORK/saver.png"
echo "ok: docs/saver.png made again, pixel for pixel"
