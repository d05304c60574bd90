#!/usr/bin/env bash
# Installs the Debian 12 packages that building and running the programs
# need, and with no argument also those of the tests and the packaging; only
# those that are missing.
# Usage: scripts/install-deps.sh [--programs]
set -euo pipefail

PACKAGES=(
  cmake g++ ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev qt6-translations-l10n libsqlite3-dev
  libicu-dev libsodium-dev libxcb1-dev qtkeychain-qt6-dev libsecret-1-0 libmosquitto-dev
  dbus dbus-x11 fonts-liberation fonts-liberation2 fonts-dejavu-core
  libcap2-bin desktop-file-utils
)
if [ "${1:-}" != --programs ]; then
  PACKAGES+=(
    xvfb xauth trayer openbox x11-utils xdotool
    cups cups-client mupdf-tools xclip
    iproute2 sqlite3 python3 gnome-keyring mosquitto mosquitto-clients openssl
    clang libclang-rt-14-dev
    dpkg-dev binutils file lintian appstream
  )
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "Installing: ${missing[*]}"
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
