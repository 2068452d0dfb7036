#!/bin/sh
# Builds the Debian package as `make package` does and checks that it would
# install and that what it installs starts:
#   - its dependencies are the ones computed from the program (Qt's libraries);
#   - apt accepts it with the packages of this machine (a simulated install,
#     which changes nothing on the machine);
#   - the program unpacked from it starts on the offscreen platform and is
#     still running after a few seconds (it waits at its first question).
#   check_package.sh <build folder>
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/quillmere_*.deb)
[ -f "$deb" ] || fail "no package built"

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
for lib in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libc6 libstdc++6; do
  echo "$depends" | grep -q "$lib" || fail "the package does not depend on $lib"
done
dpkg-deb -c "$deb" | grep -q "./usr/bin/quillmere$" || fail "the package holds no /usr/bin/quillmere"
dpkg-deb -c "$deb" | grep -q "./usr/share/applications/net.harthollow.Quillmere.desktop$" || fail "no desktop entry"

apt-get install -s -q "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log" >&2; fail "apt refuses the package"; }
grep -q "^Inst quillmere" "$work/apt.log" || { cat "$work/apt.log" >&2; fail "apt would not install quillmere"; }

dpkg-deb -x "$deb" "$work/root"
mkdir -p "$work/home"
rc=0
(cd "$work/home" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  timeout 4 "$work/root/usr/bin/quillmere" >"$work/run.log" 2>&1) || rc=$?
[ "$rc" -eq 124 ] || { cat "$work/run.log" >&2; fail "the installed program ended with $rc instead of running"; }
echo "package $(basename "$deb"): installs and starts"
