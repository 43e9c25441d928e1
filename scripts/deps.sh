#!/usr/bin/env bash
# Installs, with apt-get, the Debian packages the machine lacks: those named
# on the command line, or without any, what building and testing the toolkit
# needs. Goes through sudo when not run as root.
#
#   scripts/deps.sh [PACKAGE...]
set -euo pipefail
packages=("$@")
[ ${#packages[@]} -gt 0 ] || packages=(cmake ninja-build g++ clang libgtest-dev gzip zlib1g-dev libcli11-dev
                                      libtomlplusplus-dev libdivsufsort-dev help2man libstb-dev unifont gettext libclang-rt-14-dev)
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
