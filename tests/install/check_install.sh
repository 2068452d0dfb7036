#!/bin/sh
# Installs the build into a temporary DESTDIR, as `make install` does, and
# checks what a desktop needs: the program, the desktop entry, the icons of
# the hicolor theme (each PNG of its own size), the AppStream description and
# the read-me, with both validators accepting the entry and the description.
#   check_install.sh <build folder>
set -eu
build=$1
id=net.harthollow.Quillmere
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT

DESTDIR="$stage" cmake --install "$build" --prefix /usr >/dev/null
root="$stage/usr"

fail() { echo "FAIL: $*" >&2; exit 1; }

[ -x "$root/bin/quillmere" ] || fail "no program in bin/"
[ -s "$root/share/doc/quillmere/quillmere.txt" ] || fail "no read-me in share/doc/quillmere/"
grep -q "Where settings live" "$root/share/doc/quillmere/quillmere.txt" || fail "the read-me is not the program's"
svg="$root/share/icons/hicolor/scalable/apps/$id.svg"
[ -s "$svg" ] && grep -q "<svg" "$svg" || fail "no scalable icon"
for size in 16 22 24 32 48 64 128 256; do
  png="$root/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -s "$png" ] || fail "no ${size}x${size} icon"
  # The PNG header holds the width and height as 32-bit big-endian numbers.
  set -- $(od -An -tu1 -j16 -N8 "$png")
  width=$(( ($1 << 24) | ($2 << 16) | ($3 << 8) | $4 ))
  height=$(( ($5 << 24) | ($6 << 16) | ($7 << 8) | $8 ))
  [ "$width" -eq "$size" ] && [ "$height" -eq "$size" ] || fail "$png is ${width}x${height}, not ${size}x${size}"
done

desktop="$root/share/applications/$id.desktop"
metainfo="$root/share/metainfo/$id.metainfo.xml"
desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
appstreamcli validate --no-net "$metainfo" || fail "appstreamcli rejects $metainfo"
# The entry starts the installed program and names the installed icon.
grep -qx "Exec=quillmere" "$desktop" || fail "the entry does not start quillmere"
grep -qx "Icon=$id" "$desktop" || fail "the entry names another icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "the description names another entry"
echo "installed files: all present and valid"
