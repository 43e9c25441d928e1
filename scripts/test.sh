#!/usr/bin/env bash
# Builds everything with warnings as errors and runs every test, with g++
# and then with clang, and once more in the sanitizer build (develop: debug,
# address and undefined-behaviour sanitizers, the programs included).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --workflow --preset default
cmake --workflow --preset clang
cmake --workflow --preset develop
