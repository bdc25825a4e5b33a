#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Tagwacht need, and nothing that is
# already there. Uses sudo when not run as root.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    libgtest-dev libgmock-dev
    libcurl4-openssl-dev ca-certificates
    python3 python3-aiosmtpd openssl faketime
    libarchive-dev unzip zip
    qt6-base-dev libgl-dev libx11-dev libqt6svg6
    qt6-multimedia-dev qt6-speech-dev qt6-speech-flite-plugin qt6-declarative-dev
    dbus-daemon pulseaudio
    poppler-utils xvfb xauth x11-utils imagemagick fonts-dejavu-core
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
