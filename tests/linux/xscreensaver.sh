#!/usr/bin/env bash
# The hack under the real XScreenSaver: a user's ~/.xscreensaver that lists
# it, the daemon on a private display, -activate shows the characters over
# the desktop as it was before XScreenSaver blanked it (the picture of the
# screen it keeps for its hacks), -deactivate ends the hack. XScreenSaver
# launches no hacks for root, so as root the daemon runs as nobody.
# FLUTTONS_HACK=fluttons lists the hack by its plain name, for an installed
# program that XScreenSaver finds in its hacks' folder.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

start_xvfb 1920x1080
hack=$FLUTTONS
home=$WORK/home
as_user=()
if [[ -n ${FLUTTONS_HACK:-} ]]; then
    hack=$FLUTTONS_HACK
    home=$(mktemp -d /tmp/fluttons-xscreensaver.XXXXXX)
    cleanup_home() { rm -rf "$home"; linux_cleanup; }
    trap cleanup_home EXIT
    chmod 755 "$home"
    [[ $(id -u) == 0 ]] && as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env "HOME=$home" "DISPLAY=$DISPLAY")
elif [[ $(id -u) == 0 ]]; then
    # nobody runs it from a folder of its own: the build tree may lie where
    # only root can go. The program carries its pictures, so a copy runs alike.
    shared=$(mktemp -d /tmp/fluttons-xscreensaver.XXXXXX)
    cleanup_shared() { rm -rf "$shared"; linux_cleanup; }
    trap cleanup_shared EXIT
    chmod 755 "$shared"
    cp "$FLUTTONS" "$shared/fluttons"
    hack=$shared/fluttons
    home=$shared/home
    as_user=(setpriv --reuid=nobody --regid=nogroup --clear-groups env "HOME=$home" "DISPLAY=$DISPLAY")
fi
export HOME=$home
mkdir -p "$HOME"
cat >"$HOME/.xscreensaver" <<CONFIG
timeout:	0:30:00
cycle:	0:00:00
lock:	False
splash:	False
fade:	False
unfade:	False
dpmsEnabled:	False
mode:	one
selected:	0
programs:	"Fluttons" $hack -root -back2 0 -num 300 \n
CONFIG
[[ ${#as_user[@]} == 0 ]] || chown -R nobody: "$HOME"

# The desktop: bricks drawn into the root window, left there.
root_frame 1 "$WORK/background.png" -back2 5 -num 0

"${as_user[@]}" xscreensaver -no-splash >"$WORK/xscreensaver.log" 2>&1 &
STARTED+=("$!")
flutt_wait_for 20 xscreensaver-command -time >/dev/null 2>&1 || fail "xscreensaver did not come up: $(cat "$WORK/xscreensaver.log")"

hack_pid() { pgrep -f -x "$hack -root -back2 0 -num 300" | head -1; }
xscreensaver-command -activate >/dev/null
flutt_wait_for 20 hack_pid >/dev/null || fail "the hack did not start: $(cat "$WORK/xscreensaver.log")"
pid=$(hack_pid)
grep -qx "XSCREENSAVER_WINDOW=0x[0-9a-f]*" <(tr '\0' '\n' <"/proc/$pid/environ") || fail "no XSCREENSAVER_WINDOW for the hack"
expected=$hack
[[ -n ${FLUTTONS_HACK:-} ]] && expected=$FLUTTONS
program=$(readlink "/proc/$pid/exe")
[[ $program == "$(realpath "$expected")" ]] || fail "XScreenSaver ran $program for $hack, not $expected"

# Some frames later the screen is the desktop with the characters over it.
shown() {
    import -window root "$WORK/xscreensaver.png"
    local n
    n=$(differing "$WORK/background.png" "$WORK/xscreensaver.png")
    [[ $n =~ ^[0-9]+$ ]] && ((n > 20000 && n < 1000000))
}
flutt_wait_for 20 shown || fail "no characters over the background: $(differing "$WORK/background.png" "$WORK/xscreensaver.png") pixels differ"
echo "ok: characters shown under XScreenSaver ($(differing "$WORK/background.png" "$WORK/xscreensaver.png") pixels over the background), $WORK/xscreensaver.png"

xscreensaver-command -deactivate >/dev/null
flutt_wait_for 10 eval '! running "$pid"' || fail "the hack still runs after -deactivate"
echo "ok: -deactivate ended the hack"
