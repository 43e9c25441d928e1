#!/usr/bin/env bash
# Benchmark of the four programs against the I/O floor (not part of the tests).
#
# Builds the `bench` preset, makes a full-size 6 MB image with the test-image
# builder, and times whole processes with hyperfine: Talvo_decode on the
# image and each encoder on the file extracted for it, beside the floor of
# each, `cat` copying the same input into a file of the working directory.
# Then prints every median as a ratio to its floor, the peak memory of each
# program, and runs the in-process kernel benchmarks.
#
#   scripts/bench.sh            # 30 timed runs of each command
#   TALVO_BENCH_RUNS=100 scripts/bench.sh
#   TALVO_BENCH_KERNELS=0 scripts/bench.sh   # whole processes only
set -euo pipefail
cd "$(dirname "$0")/.."
runs=${TALVO_BENCH_RUNS:-30}

scripts/deps.sh
missing=()
for p in hyperfine time libbenchmark-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

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
commands=()
for i in "${!names[@]}"; do
  commands+=(-n "floor-${names[$i]}" "cat ${inputs[$i]} >floor-copy-${names[$i]}")
  commands+=(-n "${names[$i]}" "${programs[$i]} <answer-${names[$i]/decode/image} >/dev/null")
done
hyperfine --warmup 3 --runs "$runs" --export-csv times.csv "${commands[@]}"

echo
echo "Wall time against the I/O floor, ${runs} runs each: median [min-max], and the ratio of the"
echo "medians; CPU is user + system time, mean, which other load on the machine disturbs less."
awk -F, 'NR > 1 { median[$1] = $4 * 1000; cpu[$1] = ($5 + $6) * 1000; low[$1] = $7 * 1000; high[$1] = $8 * 1000 }
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
