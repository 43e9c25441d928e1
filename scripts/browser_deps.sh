#!/usr/bin/env bash
# Installs the browser that loads preview's index page in the tests:
# Debian's chromium, run headless (no display needed).
set -euo pipefail
exec "$(dirname "$0")/deps.sh" chromium
