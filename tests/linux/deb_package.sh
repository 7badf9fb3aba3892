#!/usr/bin/env bash
# The Debian package of scripts/package-deb.sh on this machine: lintian finds
# no error in it; dpkg -i puts the program, its settings description, its
# manual page and its copyright where Debian's XScreenSaver packages put
# theirs; man finds the page; XScreenSaver runs the installed hack by its plain
# name from a ~/.xscreensaver that lists it (xscreensaver.sh); dpkg -r leaves
# nothing of it behind. Installing needs root: skipped otherwise.
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

if [[ $(id -u) != 0 ]]; then
    echo "SKIP: installing a package needs root"
    exit 77
fi
if [[ $(dpkg-query -W -f='${db:Status-Status}' fluttons 2>/dev/null) == installed ]]; then
    echo "SKIP: fluttons is installed on this machine already; this test would remove it"
    exit 77
fi

bash "$REPO/scripts/package-deb.sh" "$WORK/dist" >"$WORK/package.log" 2>&1 || fail "package-deb.sh: $(cat "$WORK/package.log")"
deb=$(echo "$WORK"/dist/fluttons_*.deb)
[[ -f $deb ]] || fail "no package in $WORK/dist"

lintian --fail-on error "$deb" >"$WORK/lintian.log" 2>&1 || fail "lintian: $(cat "$WORK/lintian.log")"
echo "ok: lintian, no errors$(grep -c '^[WI]:' "$WORK/lintian.log" | sed 's/^0$//; s/.\+/ (& warnings or notes)/')"

# Which of the package's paths the machine has before: what dpkg -r must leave.
mapfile -t paths < <(dpkg-deb -c "$deb" | awk '{print substr($6, 2)}' | sed 's|/$||' | grep -v '^$')
existing=()
for path in "${paths[@]}"; do [[ -e $path ]] && existing+=("$path"); done

installed=0
remove() { ((installed)) && dpkg -r fluttons >/dev/null 2>&1; installed=0; }
cleanup_package() { remove; linux_cleanup; }
trap cleanup_package EXIT
dpkg -i "$deb" >"$WORK/dpkg.log" 2>&1 || fail "dpkg -i: $(cat "$WORK/dpkg.log")"
installed=1
expected="/usr/libexec/xscreensaver/fluttons
/usr/share/doc/fluttons/changelog.gz
/usr/share/doc/fluttons/copyright
/usr/share/man/man6/fluttons.6.gz
/usr/share/xscreensaver/config/fluttons.xml"
files=$(dpkg -L fluttons | while read -r f; do [[ -f $f ]] && echo "$f"; done | LC_ALL=C sort)
[[ $files == "$expected" ]] || fail "installed files: $files"
# Beside Debian's own hacks and their settings descriptions.
for place in /usr/libexec/xscreensaver /usr/share/xscreensaver/config; do
    dpkg -S "$place" | grep -q xscreensaver-data || fail "$place is not where xscreensaver-data puts its files"
done
echo "ok: dpkg -i installed $(echo "$files" | wc -l) files"

page=$(man -w 6 fluttons) || fail "man -w 6 fluttons found no page"
[[ $page == /usr/share/man/man6/fluttons.6.gz ]] || fail "man -w 6 fluttons: $page"
man 6 fluttons 2>/dev/null | grep -q 'programs:.*fluttons' || fail "the manual page has no ~/.xscreensaver line"
echo "ok: man -w 6 fluttons: $page"

FLUTTONS_HACK=fluttons LINUX_WORK=$WORK/xscreensaver bash "$REPO/tests/linux/xscreensaver.sh" /usr/libexec/xscreensaver/fluttons ||
    fail "XScreenSaver with the installed hack"
echo "ok: XScreenSaver ran the installed fluttons by its name"

remove
# With no configuration files dpkg forgets the package altogether.
status=$(dpkg-query -W -f='${db:Status-Status}' fluttons 2>/dev/null || true)
[[ -z $status || $status == not-installed ]] || fail "dpkg -r: the package is still $status"
left=()
for path in "${paths[@]}"; do
    [[ -e $path && " ${existing[*]} " != *" $path "* ]] && left+=("$path")
done
((${#left[@]} == 0)) || fail "dpkg -r left ${left[*]}"
echo "ok: dpkg -r left nothing behind"
