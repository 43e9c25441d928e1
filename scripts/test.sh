#!/usr/bin/env bash
# Every test, as CI runs them: installs what the machine lacks, then builds
# with warnings as errors and runs the tests with g++ (default) and in the
# sanitizer build with clang (develop: address and undefined-behaviour
# sanitizers and the C++ library's assertions, the programs included, the
# fuzz targets replaying their corpora); the GTK dialogs come with each, and
# their real-window test runs in the first; preview's index page is loaded
# in headless Chromium. Then makes the Debian packages from the default build,
# installs them into this machine, runs the installed programs and removes
# them again; fuzzes the targets of the sanitizer build, 120 seconds among
# them all; and cross-builds the Windows programs and their zip, running
# their core tests under Wine.
# About a quarter of an hour on two cores; `cmake --workflow --preset default` alone
# is the quick loop.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/desktop_deps.sh
scripts/browser_deps.sh

# Each step's minutes at the end, to keep an eye on CI's time.
timings=()
timed() {  # timed LABEL COMMAND...
  local label=$1 start=$SECONDS
  shift
  "$@"
  timings+=("$(printf '%4ds  %s' $((SECONDS - start)) "$label")")
}

passed=0
for preset in default develop; do
  log=$(mktemp)
  timed "$preset build and tests" bash -o pipefail -c 'cmake --workflow --preset "$0" | tee "$1"' "$preset" "$log"
  count=$(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$log" | tail -n 1)
  rm -f "$log"
  passed=$((passed + ${count:-0}))
done
timed "Debian packages" scripts/package.sh
timed "packages installed and run" scripts/package_test.sh
timed "fuzzing" env TALVO_FUZZ_PRESET=develop scripts/fuzz.sh --total 120
timed "Windows build and Wine tests" scripts/windows_build.sh
printf '%s\n' "${timings[@]}"
echo "ctest: $passed passed, 0 failed"
