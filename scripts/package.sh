#!/usr/bin/env bash
# Makes the Debian packages with CPack: talvo (the programs, the README,
# the licence, talvo's manual page) and talvo-gtk (the GTK dialogs module,
# which talvo recommends), with Depends computed from the binaries by
# dpkg-shlibdeps. They land in BUILD/packages/.
#
#   scripts/package.sh [BUILD]   # BUILD defaults to build/default (the default preset)
#
# The Windows zip comes from scripts/windows_build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/default}

scripts/deps.sh
scripts/deps.sh dpkg-dev file  # dpkg-shlibdeps, and what CPack finds the binaries with

if [ "$build" = build/default ]; then
  cmake --preset default >/dev/null
  cmake --build --preset default
else
  cmake --build "$build" -j2
fi
rm -f "$build"/packages/*.deb
(cd "$build" && cpack -G DEB)
ls -l "$build"/packages/*.deb
