#!/usr/bin/env bash
# Benchmark of the programs against the I/O floor (not part of the tests).
#
# Builds the `bench` preset, makes a full-size 6 MB image with the test-image
# builder, and times whole processes with hyperfine: Talvo_decode on the
# image and each encoder on the file extracted for it; talvo extract, encode,
# check and room, (also against the game's window, and re-wrapping to it);
# insertion of all three files by talvo insert and Talvo_insert; talvo patch
# create and apply between the image and the inserted one; talvo table
# export and show; talvo po and csv export of the image and import of what
# they wrote. Each beside its floor, `cat` copying what it reads into what
# it writes, in the working directory. Then talvo table suggest planning 256
# pairs over a whole English script (our own, from talvo_english_script),
# timed apart in fewer runs since it takes a second.
# Every timed command runs its process 10 times in a row from one shell, so
# that hyperfine's correction for starting that shell (noisy on a busy
# machine) is small beside what is measured; figures are per process.
# Then prints every median as a ratio to its floor, the peak memory of each
# program, and runs the in-process kernel benchmarks, with the patch writer's
# sizes and times against the writer as it was.
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
"$bin/programs/Talvo_decode" <answer-image >/dev/null
ls -l full.smc MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt

# Our English script, its tables of letters and of pairs, for the table
# commands.
"$bin/tools/talvo_english_script" english

# What insertion and the patches work on: the image with all three texts
# put back, and the patch from the image to it.
"$bin/cli/talvo" insert full.smc --msg MsgDataDecode.txt --str StrDataDecode.txt --btl BtlDataDecode.txt \
  -o inserted.smc --bps inserted.bps >/dev/null
echo full.smc >answer-insert
# What the exchange imports read: the templates and the CSV of the image.
"$bin/cli/talvo" po export full.smc -o po
"$bin/cli/talvo" csv export full.smc -o full.csv --force

# Each timed command, its name, and the floor it is held to: cat copying what
# it reads into what it writes, in this working directory.
talvo=$bin/cli/talvo
window="--window 16x3 --page-code '[00AF]'"
names=(decode msg str btl talvo-extract talvo-encode talvo-check check-window talvo-wrap talvo-room talvo-insert
       Talvo_insert patch-create patch-apply table-export table-show po-export po-import csv-export csv-import)
programs=("$bin/programs/Talvo_decode <answer-image"
          "$bin/programs/SJIStoTalvo_msg <answer-msg"
          "$bin/programs/SJIStoTalvo_str <answer-str"
          "$bin/programs/SJIStoTalvo_btl <answer-btl"
          "$talvo extract full.smc -o extracted"
          "$talvo encode msg MsgDataDecode.txt -o encoded"
          "$talvo check MsgDataDecode.txt 2>/dev/null"
          "$talvo check MsgDataDecode.txt $window 2>/dev/null"
          "$talvo wrap MsgDataDecode.txt $window --force -o wrapped.txt 2>/dev/null"
          "$talvo room full.smc"
          "$talvo insert full.smc --msg MsgDataDecode.txt --str StrDataDecode.txt --btl BtlDataDecode.txt -o again.smc"
          "$bin/programs/Talvo_insert <answer-insert"
          "$talvo patch create full.smc inserted.smc -o made.bps"
          "$talvo patch apply inserted.bps full.smc -o applied.smc"
          "$talvo table export msg -o exported.tbl"
          "$talvo table show msg english/msg-pairs.tbl"
          "$talvo po export full.smc -o po-again"
          "$talvo po import po/msg.pot po/str.pot po/btl.pot -o po-imported --force 2>/dev/null"
          "$talvo csv export full.smc -o again.csv --force"
          "$talvo csv import full.csv -o csv-imported --force 2>/dev/null")
floors=(image msg str btl image msg msg msg msg image insert insert create apply table table image po image csv)
declare -A floor_commands=(
  [image]="cat full.smc >floor-image"
  [msg]="cat MsgDataDecode.txt >floor-msg"
  [str]="cat StrDataDecode.txt >floor-str"
  [btl]="cat BtlDataDecode.txt >floor-btl"
  [insert]="cat MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt >/dev/null; cat full.smc >floor-insert"
  [create]="cat full.smc inserted.smc >/dev/null; cat inserted.bps >floor-create"
  [apply]="cat inserted.bps >/dev/null; cat full.smc >floor-apply"
  [table]="cat english/msg-pairs.tbl >floor-table"
  [po]="cat po/msg.pot po/str.pot po/btl.pot >floor-po"
  [csv]="cat full.csv >floor-csv"
)
mkdir -p extracted encoded
# A loop of shell builtins around one command: no process of its own.
repeated() { echo "i=0; while [ \$i -lt $batch ]; do $1; i=\$((i + 1)); done"; }
commands=()
for floor in image msg str btl insert create apply table po csv; do
  commands+=(-n "floor-$floor" "$(repeated "${floor_commands[$floor]}")")
done
for i in "${!names[@]}"; do
  commands+=(-n "${names[$i]}" "$(repeated "${programs[$i]} >/dev/null")")
done
hyperfine --warmup 3 --runs "$runs" --export-csv times.csv "${commands[@]}"

echo
echo "Wall time per process against the I/O floor, ${runs} batches of ${batch}: median [min-max], and"
echo "the ratio of the medians; CPU is user + system time, mean, which other load disturbs less."
awk -F, -v batch="$batch" -v names="${names[*]}" -v floors="${floors[*]}" 'NR > 1 {
    k = 1000 / batch
    median[$1] = $4 * k; cpu[$1] = ($5 + $6) * k; low[$1] = $7 * k; high[$1] = $8 * k
  }
  END {
    count = split(names, name, " "); split(floors, floor, " ")
    for (i = 1; i <= count; ++i) {
      n = name[i]; f = "floor-" floor[i]
      printf "  %-13s %7.2f ms [%.2f-%.2f]  floor %6.2f ms  ratio %4.2f   CPU %5.2f / %5.2f ms, ratio %4.2f\n",
             n, median[n], low[n], high[n], median[f], median[n] / median[f], cpu[n], cpu[f], cpu[n] / cpu[f]
    }
    printf "  talvo check against talvo encode on the message file: wall %4.2f, CPU %4.2f (at most 2)\n",
           median["talvo-check"] / median["talvo-encode"], cpu["talvo-check"] / cpu["talvo-encode"]
    printf "  check --window against check on the message file: wall %4.2f, CPU %4.2f (at most 1.5)\n",
           median["check-window"] / median["talvo-check"], cpu["check-window"] / cpu["talvo-check"]
  }' times.csv

# Pictures of every page of all 4047 messages, in the stand-in font: a few
# runs, each seconds long (target: under 10 seconds).
echo
hyperfine --warmup 1 --runs 3 --export-csv preview.csv -n preview \
  "rm -rf pages && $talvo preview MsgDataDecode.txt $window -o pages 2>/dev/null"
awk -F, 'NR > 1 { printf "  talvo preview of all 4047 messages: %.2f s [%.2f-%.2f] (under 10)\n", $4, $7, $8 }' preview.csv

echo
echo "talvo table suggest: 256 pairs over the English message script (415 KB), and over both byte banks:"
suggest_msg="$talvo table suggest --bank msg --table english/msg-letters.tbl --free 0x300-0x3FF --encoding utf8"
suggest_msg+=" english/MsgEnglish.txt -o suggested-msg.tbl"
suggest_byte="$talvo table suggest --bank byte --table english/byte-letters.tbl --free 0x00-0xAB,0xAF-0xFF"
suggest_byte+=" --encoding utf8 english/StrEnglish.txt english/BtlEnglish.txt -o suggested-byte.tbl"
hyperfine --warmup 1 --runs "${TALVO_BENCH_SUGGEST_RUNS:-5}" -n table-suggest-msg "$suggest_msg >/dev/null" \
  -n table-suggest-byte "$suggest_byte >/dev/null"
$suggest_msg
names+=(table-suggest-msg)
programs+=("$suggest_msg")

echo
echo "Peak memory (maximum resident set size):"
for i in "${!names[@]}"; do
  /usr/bin/time -v sh -c "exec ${programs[$i]} >/dev/null" 2>time.log || true
  printf "  %-13s %6d KiB\n" "${names[$i]}" "$(awk -F': ' '/Maximum resident set size/ { print $2 }' time.log)"
done

if [ "${TALVO_BENCH_KERNELS:-1}" != 0 ]; then
  echo
  "$bin/bench/talvo_kernel_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
  if [ -x "$bin/bench/talvo_bps_bench" ]; then
    "$bin/bench/talvo_bps_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
      --benchmark_out=bps.csv --benchmark_out_format=csv
    # The patch writer beside the writer as it was (the baseline): the size
    # of each pair's patch, and the median CPU time of writing it.
    echo
    echo "Patches between 6 MB images, the writer against the baseline (the writer as it was):"
    awk -F, '/_median"/ && /Create/ {
        name = $1; gsub(/"/, "", name); sub(/\/process_time_median/, "", name)
        writer = name ~ /^BM_Baseline/ ? "baseline" : "writer"
        sub(/^BM_(Bps|Baseline)Create/, "", name)
        cpu[name, writer] = $4; bytes[name, writer] = $NF; names[name] = 1
      }
      END {
        for (n in names) {
          printf "  %-18s %9d bytes (baseline %9d, %+6.2f%%)  %6.2f ms CPU (baseline %6.2f ms)\n", n,
                 bytes[n, "writer"], bytes[n, "baseline"], 100 * bytes[n, "writer"] / bytes[n, "baseline"] - 100,
                 cpu[n, "writer"], cpu[n, "baseline"]
        }
      }' bps.csv
  fi
  # The shortest encoding against greedy longest match (target: at most 3
  # times its time), the table-mode reader and the planner.
  "$bin/bench/talvo_tables_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
fi
