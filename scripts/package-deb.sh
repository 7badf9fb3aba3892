#!/usr/bin/env bash
# Builds the Debian package of the Linux hack, fluttons_<version>_<arch>.deb, into
# build/dist/ (or the folder given):
#   /usr/libexec/xscreensaver/fluttons                the program, where XScreenSaver's own hacks are
#   /usr/share/xscreensaver/config/fluttons.xml       its settings description
#   /usr/share/man/man6/fluttons.6.gz                 its manual page
#   /usr/share/doc/fluttons/copyright, changelog.gz   licence and changes
# Its dependencies are computed from the program by dpkg-shlibdeps. Every file
# carries the time of the last commit (or SOURCE_DATE_EPOCH), so the same
# sources give the same package. scripts/package.sh calls this.
# Usage: package-deb.sh [OUTDIR]
set -euo pipefail
dist=$(realpath -m "${1:-$(dirname "${BASH_SOURCE[0]}")/../build/dist}")
cd "$(dirname "${BASH_SOURCE[0]}")/.."

cmake --preset native >/dev/null
cmake --build --preset native -j2 --target fluttons >/dev/null

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/native/CMakeCache.txt)
[[ -n $version ]] || { echo "package-deb.sh: project version not found" >&2; exit 1; }
arch=$(dpkg --print-architecture)
epoch=${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct 2>/dev/null || echo 1735689600)}
maintainer="Orrin Software <fluttons@orrin-software.example>"
url=$(sed -n 's/.*kHomepageUrl = "\(.*\)";.*/\1/p' dialog/OptDlgForm.h)

work=$(mktemp -d "$PWD/build/deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
root=$work/root
mkdir -p "$root/DEBIAN" "$dist"

DESTDIR=$root cmake --install build/native --prefix /usr --strip >/dev/null
# dh_strip's choice: no comment or note sections either.
strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/libexec/xscreensaver/fluttons"
gzip -9n "$root/usr/share/man/man6/fluttons.6"

doc=$root/usr/share/doc/fluttons
mkdir -p "$doc"
{
    cat <<COPYRIGHT
Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: fluttons
Upstream-Contact: $maintainer
Source: $url

Files: *
Copyright: 2025 Orrin Software
License: Expat

License: Expat
COPYRIGHT
    # The licence text without its title and copyright line, each line indented,
    # blank lines as " .".
    sed -n '/^Permission/,$p' LICENSE | sed -e 's/^$/./' -e 's/^/ /'
} >"$doc/copyright"
date=$(LC_ALL=C date -u -R -d "@$epoch")
cat <<CHANGELOG | gzip -9n >"$doc/changelog.gz"
fluttons ($version) unstable; urgency=low

  * Release $version of the hack: the Fluttons! Saver animation for XScreenSaver.

 -- $maintainer  $date
CHANGELOG

# dpkg-shlibdeps reads the package's name from a control file of a source package.
mkdir -p "$work/src/debian"
printf 'Source: fluttons\n\nPackage: fluttons\nArchitecture: any\n' >"$work/src/debian/control"
depends=$(cd "$work/src" && dpkg-shlibdeps -O "$root/usr/libexec/xscreensaver/fluttons" 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')
[[ -n $depends ]] || { echo "package-deb.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
cat >"$root/DEBIAN/control" <<CONTROL
Package: fluttons
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $size
Depends: $depends
Recommends: xscreensaver
Section: x11
Priority: optional
Homepage: $url
Description: little characters falling over the screen (XScreenSaver hack)
 Fluttons fills the screen with a crowd of little 32 x 32 characters - a red
 mouse, a penguin, a bouncy blob, a frog, a sixteen-ton weight and ten more -
 that fall, rise or drift sideways over a background picture or over the
 desktop, optionally with a one-line message in the middle.
 .
 It is the Linux form of the Fluttons! screen saver for Windows, drawing the
 same frames from the same core. XScreenSaver runs it by its name, fluttons;
 xscreensaver-settings shows its options.
CONTROL
(cd "$root" && find usr -type f -exec md5sum {} + | LC_ALL=C sort -k2) >"$root/DEBIAN/md5sums"

find "$root" -type d -exec chmod 755 {} +
find "$root" -type f -exec chmod 644 {} +
chmod 755 "$root/usr/libexec/xscreensaver/fluttons"
find "$root" -exec touch -h -d "@$epoch" {} +

deb=$dist/fluttons_${version}_$arch.deb
SOURCE_DATE_EPOCH=$epoch dpkg-deb --root-owner-group -Zxz --build "$root" "$deb" >/dev/null
echo "package-deb.sh: $(basename "$deb")"
