#!/usr/bin/env bash
# Installs what the GTK dialogs and their real-window test need on Debian:
# GTK's development files, a virtual X server, xdotool to drive it,
# ImageMagick for screenshots and a Japanese font for the boxes' texts.
set -euo pipefail
exec "$(dirname "$0")/deps.sh" pkg-config libgtk-3-dev xvfb xauth xdotool imagemagick fonts-ipafont-gothic
