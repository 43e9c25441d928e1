#!/usr/bin/env bash
# Every test, as CI runs them: installs what the machine lacks, then builds
# with warnings as errors and runs the tests with g++, with clang and in the
# sanitizer build (develop: debug, address and undefined-behaviour
# sanitizers, the programs included); the GTK dialogs and their real-window
# test come with each. Then makes the Debian packages from the default build,
# installs them into this machine, runs the installed programs and removes
# them again; fuzzes the targets, 200 seconds among them all; and
# cross-builds the Windows programs and their zip, running their core tests
# under Wine.
# About ten minutes on two cores; `cmake --workflow --preset default` alone
# is the quick loop.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/desktop_deps.sh

passed=0
for preset in default clang develop; do
  log=$(mktemp)
  cmake --workflow --preset "$preset" | tee "$log"
  count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  rm -f "$log"
  passed=$((passed + ${count:-0}))
done
scripts/package.sh
scripts/package_test.sh
scripts/fuzz.sh --total 200
scripts/windows_build.sh
echo "ctest: $passed passed, 0 failed"
