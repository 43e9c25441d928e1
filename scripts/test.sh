#!/usr/bin/env bash
# Every test, as CI runs them: installs what the machine lacks, then builds
# with warnings as errors and runs the tests with g++, with clang and in the
# sanitizer build (develop: debug, address and undefined-behaviour
# sanitizers, the programs included); the GTK dialogs and their real-window
# test come with each. Then fuzzes each target for 50 seconds and
# cross-builds the Windows programs, running their core tests under Wine.
# About ten minutes on two cores; `cmake --workflow --preset default` alone
# is the quick loop.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/desktop_deps.sh
cmake --workflow --preset default
cmake --workflow --preset clang
cmake --workflow --preset develop
scripts/fuzz.sh 50
scripts/windows_build.sh
