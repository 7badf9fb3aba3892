#!/usr/bin/env bash
# fluttons -root draws, pixel for pixel, the frame the Windows saver draws at
# the same tick with the same settings on a screen of the same size: the same
# characters from the same generator, the same motion, wraps and masked
# paste, the same tiled and stretched backgrounds (enlarged and reduced).
# The Windows side is the saver's own drawing code under Wine (frame_dump of
# the win32 tree); the message is left out, as the fonts differ.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

DUMP=${FLUTT_FRAME_DUMP:-$REPO/build/win32/tests/linux/frame_dump.exe}
if [[ ! -f $DUMP ]]; then
    echo "SKIP: $DUMP is not built (build the win32 preset)"
    exit 77
fi
# shellcheck source=scripts/wine-env.sh
source "$REPO/scripts/wine-env.sh"
trap linux_cleanup EXIT  # which ends the Wine session too

# size ticks options: tiles and stretches at two screen sizes.
cases=(
    "1920x1080|20|-back2 3 -num 300"
    "1920x1080|20|-back2 2 -num 300 -updown 2 -lr 1 -characters 111110000011111"
    "1920x1080|12|-back2 1 -num 100 -downspeed 70 -lrspeed 0"
    "1920x1080|12|-back2 6 -num 100 -updown 1 -lr 0"
    "1000x700|37|-back2 6 -num 200 -updown 2 -lr 0 -downspeed 55"
    "1000x700|37|-back2 7 -num 100 -updown 1 -characters 000001111000000"
)
declare -A displays
wine_display=$DISPLAY
for entry in "${cases[@]}"; do
    IFS='|' read -r size ticks options <<<"$entry"
    # shellcheck disable=SC2086
    DISPLAY=$wine_display wine "$DUMP" "$(winepath -w "$WORK/windows.ppm")" "${size%x*}" "${size#*x}" "$ticks" $options \
        >"$WORK/dump.log" 2>&1 </dev/null || fail "frame_dump $options: $(cat "$WORK/dump.log")"
    if [[ -z ${displays[$size]:-} ]]; then
        start_xvfb "$size"
        displays[$size]=$DISPLAY
    fi
    # shellcheck disable=SC2086
    DISPLAY=${displays[$size]} root_frame "$ticks" "$WORK/linux.png" $options
    n=$(differing "$WORK/windows.ppm" "$WORK/linux.png")
    [[ $n == 0 ]] || {
        cp "$WORK/windows.ppm" "$WORK/failed-windows.ppm"
        cp "$WORK/linux.png" "$WORK/failed-linux.png"
        fail "$size tick $ticks $options: $n pixels differ from the Windows saver's frame (see $WORK)"
    }
    echo "ok: $size tick $ticks $options"
done
cp "$WORK/linux.png" "$WORK/last-case.png"

# Without MIT-SHM (plain XPutImage) the picture is the same.
DISPLAY=${displays[1920x1080]} root_frame 20 "$WORK/shm.png" -back2 3 -num 300
FLUTTONS_NO_SHM=1 DISPLAY=${displays[1920x1080]} root_frame 20 "$WORK/noshm.png" -back2 3 -num 300
[[ $(differing "$WORK/shm.png" "$WORK/noshm.png") == 0 ]] || fail "XPutImage presents another picture than MIT-SHM"
echo "ok: XPutImage fallback"
