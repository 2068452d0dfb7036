#!/bin/sh
# Installs the Debian packages given as arguments when any of them is missing:
# as root directly, otherwise through sudo; if neither is possible it names the
# packages to install and stops.
missing=""
for p in "$@"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  SUDO=""
elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
  SUDO="sudo"
else
  echo "Missing packages. Please install them and run make again:" >&2
  echo "  apt-get install -y --no-install-recommends$missing" >&2
  exit 1
fi

echo "Installing:$missing"
$SUDO apt-get update || exit 1
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends $missing
