#!/usr/bin/env bash
# fluttons -root draws, pixel for pixel, the frame the Windows saver draws at
# the same tick with the same settings on a screen of the same size: the same
# characters from the same generator, the same motion, wraps and masked
# paste, the same tiled and stretched backgrounds (enlarged and reduced).
# The Windows side is the saver's own drawing code under Wine (frame_dump of
# the win64 tree, and of the win32 tree where this machine runs 32-bit code:
# the two builds draw the same frames); the message is left out, as the fonts
# differ.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

declare -A dumps=([64]=${FLUTT_FRAME_DUMP64:-$REPO/build/win64/tests/linux/frame_dump.exe}
    [32]=${FLUTT_FRAME_DUMP32:-$REPO/build/win32/tests/linux/frame_dump.exe})
if [[ ! -f ${dumps[64]} ]]; then
    echo "SKIP: ${dumps[64]} is not built (build the win64 preset)"
    exit 77
fi
# shellcheck source=scripts/wine-env.sh
source "$REPO/scripts/wine-env.sh"
trap linux_cleanup EXIT  # which ends the Wine session too
kinds=(64)
if flutt_wine_select 32; then
    [[ -f ${dumps[32]} ]] || fail "${dumps[32]} is not built (build the win32 preset)"
    kinds+=(32)
else
    echo "note: no 32-bit x86 code runs here: compared with the 64-bit saver only"
fi

# size ticks options: tiles and stretches at two screen sizes.
cases=(
    "1920x1080|20|-back2 3 -num 300"
    "1920x1080|20|-back2 2 -num 300 -updown 2 -lr 1 -characters 111110000011111"
    "1920x1080|12|-back2 1 -num 100 -downspeed 70 -lrspeed 0"
    "1920x1080|12|-back2 6 -num 100 -updown 1 -lr 0"
    "1000x700|37|-back2 6 -num 200 -updown 2 -lr 0 -downspeed 55"
    "1000x700|37|-back2 7 -num 100 -updown 1 -characters 000001111000000"
)
# windows_frame KIND SIZE TICKS OPTIONS...: the frame of that kind's saver, as
# $WORK/windowsKIND.ppm. frame_dump writes it or says why not; a run that did
# neither never started (Wine, on a loaded machine, now and then): that one is
# tried once more, with a note.
windows_frame() {
    local kind=$1 size=$2 ticks=$3 frame=$WORK/windows$1.ppm try status
    shift 3
    flutt_wine_select "$kind"
    for try in 1 2; do
        rm -f "$frame"
        # Drive Z: is the Unix root; Wine's own error messages tell why a start failed.
        WINEDEBUG=fixme-all DISPLAY=$wine_display wine "${dumps[$kind]}" "Z:${frame//\//\\}" "${size%x*}" "${size#*x}" \
            "$ticks" "$@" >"$WORK/dump.log" 2>&1 </dev/null
        status=$?
        ((status == 0)) || fail "$kind-bit frame_dump $* exited $status: $(cat "$WORK/dump.log")"
        [[ -s $frame ]] && return 0
        echo "note: $kind-bit frame_dump $* exited 0 and wrote no frame (try $try); Wine said: $(tail -n 5 "$WORK/dump.log")" >&2
    done
    fail "$kind-bit frame_dump $* wrote no frame twice"
}

declare -A displays
wine_display=$DISPLAY
for entry in "${cases[@]}"; do
    IFS='|' read -r size ticks options <<<"$entry"
    for kind in "${kinds[@]}"; do
        # shellcheck disable=SC2086
        windows_frame "$kind" "$size" "$ticks" $options
    done
    if [[ -z ${displays[$size]:-} ]]; then
        start_xvfb "$size"
        displays[$size]=$DISPLAY
    fi
    # shellcheck disable=SC2086
    DISPLAY=${displays[$size]} root_frame "$ticks" "$WORK/linux.png" $options
    for kind in "${kinds[@]}"; do
        n=$(differing "$WORK/windows$kind.ppm" "$WORK/linux.png")
        [[ $n == 0 ]] || {
            cp "$WORK/windows$kind.ppm" "$WORK/failed-windows$kind.ppm"
            cp "$WORK/linux.png" "$WORK/failed-linux.png"
            fail "$size tick $ticks $options: $n pixels differ from the $kind-bit Windows saver's frame (see $WORK)"
        }
    done
    if ((${#kinds[@]} == 2)) && ! cmp -s "$WORK/windows64.ppm" "$WORK/windows32.ppm"; then
        fail "$size tick $ticks $options: the 32-bit and the 64-bit saver draw different frames"
    fi
    echo "ok: $size tick $ticks $options (${kinds[*]}-bit)"
done
cp "$WORK/linux.png" "$WORK/last-case.png"

# Without MIT-SHM (plain XPutImage) the picture is the same.
DISPLAY=${displays[1920x1080]} root_frame 20 "$WORK/shm.png" -back2 3 -num 300
FLUTTONS_NO_SHM=1 DISPLAY=${displays[1920x1080]} root_frame 20 "$WORK/noshm.png" -back2 3 -num 300
[[ $(differing "$WORK/shm.png" "$WORK/noshm.png") == 0 ]] || fail "XPutImage presents another picture than MIT-SHM"
echo "ok: XPutImage fallback"
