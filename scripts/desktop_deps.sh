#!/usr/bin/env bash
# Installs what the GTK dialogs and their real-window test need on Debian:
# GTK's development files, a virtual X server, xdotool to drive it,
# ImageMagick for screenshots and a Japanese font for the boxes' texts.
set -euo pipefail
packages=(pkg-config libgtk-3-dev xvfb xauth xdotool imagemagick fonts-ipafont-gothic)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
echo "Installing: ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
