#!/usr/bin/env bash
# Builds the fuzz targets (clang, libFuzzer, address and undefined-behaviour
# sanitizers) and runs each for a bounded time.
#
#   scripts/fuzz.sh [SECONDS [TARGET...]]          # SECONDS for each target
#   scripts/fuzz.sh --total SECONDS [TARGET...]    # SECONDS shared by them all
#
# SECONDS default to 60 for each target; targets: message_decoder,
# byte_bank_decoder, text_parser, text_round_trip, check_text, utf8_text,
# insert_round_trip, bps_round_trip, bps_apply, font_sheet, widths_file,
# table_file, table_text, table_encoding, po_reader, csv_reader, bank_entries,
# project_file (default all). Inputs that
# find new paths collect in build/PRESET/corpus/TARGET; a crash, a hang or a
# broken property stops the run with a failing status, the input saved as
# build/PRESET/artifacts/TARGET-*. Worth keeping? Copy it to fuzz/corpus/TARGET.
# PRESET is fuzz, or TALVO_FUZZ_PRESET (develop, whose build has them too).
set -euo pipefail
cd "$(dirname "$0")/.."
total=""
if [ "${1:-}" = "--total" ]; then
  total=${2:?--total needs SECONDS}
  shift 2
fi
seconds=60
if [ -z "$total" ] && [ $# -gt 0 ]; then
  seconds=$1
  shift
fi
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(message_decoder byte_bank_decoder text_parser text_round_trip check_text utf8_text
                                     insert_round_trip bps_round_trip bps_apply font_sheet widths_file table_file
                                     table_text table_encoding po_reader csv_reader bank_entries project_file)
[ -z "$total" ] || seconds=$((total / ${#targets[@]}))

scripts/deps.sh
scripts/deps.sh libclang-rt-14-dev  # libFuzzer and clang 14's sanitizer runtimes

# The fuzz preset, or another whose build carries the fuzz targets (the test
# command fuzzes those of its sanitizer build, develop, built already).
preset=${TALVO_FUZZ_PRESET:-fuzz}
cmake --preset "$preset" >/dev/null
# The fuzz targets alone, not the programs and tools the preset could build.
cmake --build --preset "$preset" --target "${targets[@]/#/fuzz_}"
bin=build/$preset/fuzz
# A broken tree can send every message group to the end of the image: such
# an input takes seconds and hundreds of megabytes, which is no fault; a
# minute per input is.
mkdir -p "build/$preset/artifacts"
for target in "${targets[@]}"; do
  mkdir -p "build/$preset/corpus/$target"
  echo "== fuzzing $target for ${seconds}s"
  # The kept inputs and the generated seeds, where the target has them.
  kept=()
  for folder in "fuzz/corpus/$target" "$bin/seeds/$target"; do
    [ -d "$folder" ] && kept+=("$folder")
  done
  "$bin/fuzz_$target" "build/$preset/corpus/$target" "${kept[@]}" \
    -max_total_time="$seconds" -timeout=60 -rss_limit_mb=4096 -print_final_stats=1 \
    -artifact_prefix="build/$preset/artifacts/$target-" 2>&1 | grep -v -E "^#[0-9]+\s+(NEW|REDUCE)" || exit 1
done
