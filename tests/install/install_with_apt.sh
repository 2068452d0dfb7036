#!/bin/sh
# The full check of the Debian package on a machine of one's own (root, apt):
# builds it, installs it with apt, starts the installed program on the
# offscreen platform, and removes the package again. It changes the machine
# while it runs, so `make test` does not run it; check_package.sh is the
# part that `make test` runs.
#   install_with_apt.sh <build folder>
set -eu
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
[ "$(id -u)" -eq 0 ] || fail "run as root: it installs a package"
if dpkg-query -W -f='${Status}' quillmere 2>/dev/null | grep -q "install ok installed"; then
  fail "quillmere is installed already; remove it first"
fi

cpack --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log" >&2; fail "cpack"; }
deb=$(ls "$work"/out/quillmere_*.deb)
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"
trap 'DEBIAN_FRONTEND=noninteractive apt-get remove -y quillmere >/dev/null; rm -rf "$work"' EXIT

[ "$(command -v quillmere)" = /usr/bin/quillmere ] || fail "quillmere is not on the path"
[ -s /usr/share/doc/quillmere/quillmere.txt ] || fail "no read-me in /usr/share/doc/quillmere"
mkdir -p "$work/home"
rc=0
(cd "$work/home" && HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" QT_QPA_PLATFORM=offscreen \
  timeout 4 quillmere >"$work/run.log" 2>&1) || rc=$?
[ "$rc" -eq 124 ] || { cat "$work/run.log" >&2; fail "the installed program ended with $rc instead of running"; }
echo "installed with apt, started, and removed again"
