#!/usr/bin/env bash
# Benchmark of the four programs against the I/O floor (not part of the tests).
#
# Builds the `bench` preset, makes a full-size 6 MB image with the test-image
# builder, and times whole processes with hyperfine: Talvo_decode on the
# image and each encoder on the file extracted for it, beside the floor of
# each, `cat` copying the same input into a file of the working directory.
# Every timed command runs its process 10 times in a row from one shell, so
# that hyperfine's correction for starting that shell (noisy on a busy
# machine) is small beside what is measured; figures are per process.
# Then prints every median as a ratio to its floor, the peak memory of each
# program, and runs the in-process kernel benchmarks.
#
#   scripts/bench.sh            # 30 timed batches of each command
#   TALVO_BENCH_RUNS=100 TALVO_BENCH_BATCH=20 scripts/bench.sh
#   TALVO_BENCH_KERNELS=0 scripts/bench.sh   # whole processes only
set -euo pipefail
# The dialogs are answered on standard input, even on a desktop.
export TALVO_DIALOGS=terminal
cd "$(dirname "$0")/.."
runs=${TALVO_BENCH_RUNS:-30}
batch=${TALVO_BENCH_BATCH:-10}

scripts/deps.sh
scripts/deps.sh hyperfine time libbenchmark-dev

cmake --preset bench >/dev/null
cmake --build --preset bench
bin=$PWD/build/bench
work=$bin/run
rm -rf "$work"
mkdir -p "$work"
cd "$work"

"$bin/tools/talvo_build_image" --content full --size 6m --out full.smc
# The dialog's answer, then the end of input for the completion box.
echo full.smc >answer-image
echo MsgDataDecode.txt >answer-msg
echo StrDataDecode.txt >answer-str
echo BtlDataDecode.txt >answer-btl
"$bin/decode/Talvo_decode" <answer-image >/dev/null
ls -l full.smc MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt

names=(decode msg str btl)
inputs=(full.smc MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt)
programs=("$bin/decode/Talvo_decode" "$bin/encode/SJIStoTalvo_msg" "$bin/encode/SJIStoTalvo_str"
          "$bin/encode/SJIStoTalvo_btl")
# A loop of shell builtins around one command: no process of its own.
repeated() { echo "i=0; while [ \$i -lt $batch ]; do $1; i=\$((i + 1)); done"; }
commands=()
for i in "${!names[@]}"; do
  commands+=(-n "floor-${names[$i]}" "$(repeated "cat ${inputs[$i]} >floor-copy-${names[$i]}")")
  commands+=(-n "${names[$i]}" "$(repeated "${programs[$i]} <answer-${names[$i]/decode/image} >/dev/null")")
done
hyperfine --warmup 3 --runs "$runs" --export-csv times.csv "${commands[@]}"

echo
echo "Wall time per process against the I/O floor, ${runs} batches of ${batch}: median [min-max], and"
echo "the ratio of the medians; CPU is user + system time, mean, which other load disturbs less."
awk -F, -v batch="$batch" 'NR > 1 {
    k = 1000 / batch
    median[$1] = $4 * k; cpu[$1] = ($5 + $6) * k; low[$1] = $7 * k; high[$1] = $8 * k
  }
  END {
    split("decode msg str btl", names, " ")
    for (i = 1; i <= 4; ++i) {
      n = names[i]; f = "floor-" n
      printf "  %-7s %7.2f ms [%.2f-%.2f]  floor %6.2f ms [%.2f-%.2f]  ratio %4.2f   CPU %5.2f / %5.2f ms, ratio %4.2f\n",
             n, median[n], low[n], high[n], median[f], low[f], high[f], median[n] / median[f],
             cpu[n], cpu[f], cpu[n] / cpu[f]
    }
  }' times.csv

echo
echo "Peak memory (maximum resident set size):"
for i in "${!names[@]}"; do
  /usr/bin/time -v "${programs[$i]}" <"answer-${names[$i]/decode/image}" >/dev/null 2>time.log || true
  printf "  %-7s %6d KiB\n" "${names[$i]}" "$(awk -F': ' '/Maximum resident set size/ { print $2 }' time.log)"
done

if [ "${TALVO_BENCH_KERNELS:-1}" != 0 ]; then
  echo
  "$bin/bench/talvo_kernel_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi
