#!/usr/bin/env bash
# Runs the programs as a translator would on a desktop: real GTK windows on a
# virtual X server (Xvfb), driven by xdotool. Checks the outputs and the boxes
# by their window titles, and keeps a screenshot of every box.
#
#   run_gui_test.sh DECODE ENCODE_MSG BUILD_IMAGE SCREENSHOT_DIR [INSERT]
#
# Every wait has a deadline, so the test fails instead of hanging.
set -euo pipefail

if [ $# -ne 4 ] && [ $# -ne 5 ]; then
  echo "usage: $0 DECODE ENCODE_MSG BUILD_IMAGE SCREENSHOT_DIR [INSERT]" >&2
  exit 2
fi

if [ -z "${TALVO_GUI_TEST_SERVER:-}" ]; then
  # Start a server of our own, whatever display the caller has.
  export TALVO_GUI_TEST_SERVER=1
  exec timeout --kill-after=10 240 xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$0" "$@"
fi

decode=$1 encode_msg=$2 build_image=$3 screenshots=$4 insert=${5:-}
mkdir -p "$screenshots"
work=$(mktemp -d "${TMPDIR:-/tmp}/talvo-gui-XXXXXX")
program_pid=""
cleanup() {
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  chmod -R u+rwx "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

# A quiet desktop-less session: no settings daemon, no accessibility bus, and
# the programs must choose GTK by themselves.
export GSETTINGS_BACKEND=memory NO_AT_BRIDGE=1 GTK_A11Y=none
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
unset WAYLAND_DISPLAY TALVO_DIALOGS

failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

# Prints the id of the visible window titled exactly $1, waiting up to $2 s.
wait_for_window() {
  local title=$1 deadline=$((SECONDS + $2)) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null | head -n 1 || true)
    if [ -n "$id" ]; then
      sleep 0.5  # let it draw and take keys
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# Waits up to $2 s for the program $1 to end; its status lands in $1.status.
wait_for_exit() {
  local pid=$1 deadline=$((SECONDS + $2))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || return 1
    sleep 0.2
  done
  wait "$pid" || true
  program_pid=""
}

start_program() {  # start_program FOLDER PROGRAM
  (cd "$1" && timeout 120 "$2" </dev/null >"$1.out" 2>"$1.err"; echo $? >"$1.status") &
  program_pid=$!
}

press() {  # press WINDOW KEYS...
  local window=$1
  shift
  xdotool windowfocus --sync "$window" 2>/dev/null || true
  xdotool key --clearmodifiers "$@"
}

shoot() {  # shoot WINDOW NAME
  import -window "$1" "$screenshots/$2.png" 2>/dev/null || fail "no screenshot $2"
}

# Opens the file typed into the chooser; false when no chooser showed.
choose_in_dialog() {  # choose_in_dialog PATH SCREENSHOT_NAME
  local chooser
  chooser=$(wait_for_window "開く" 30) || return 1
  press "$chooser" ctrl+l
  sleep 1  # the location field appears
  xdotool type --delay 5 "$1"
  sleep 0.5
  [ -z "${2:-}" ] || shoot "$chooser" "$2"
  press "$chooser" Return
}

# Dismisses the box titled $1 with Return after a screenshot named $2.
dismiss_box() {
  local box
  box=$(wait_for_window "$1" 30) || return 1
  shoot "$box" "$2"
  press "$box" Return
}

exit_status_is_zero() {  # exit_status_is_zero FOLDER_NAME
  local status
  status=$(cat "$work/$1.status" 2>/dev/null || echo none)
  [ "$status" = 0 ] || fail "$1: exit status $status"
}

same_files() {  # same_files FOLDER EXPECTED_FOLDER NAMES...
  local folder=$1 expected=$2
  shift 2
  for name in "$@"; do
    cmp -s "$folder/$name" "$expected/$name" || fail "$name differs from the expected file"
  done
}

"$build_image" --content sample --out "$work/game.smc" --expected "$work/expected" >/dev/null

# 1. The extractor: choose the image, see "終了", dismiss it, the files are there.
mkdir "$work/decode"
start_program "$work/decode" "$decode"
choose_in_dialog "$work/game.smc" decode-file-chooser || fail "decode: no file chooser"
dismiss_box "終了" decode-finished || fail "decode: no box titled 終了"
wait_for_exit "$program_pid" 30 || fail "decode: still running after its box was dismissed"
exit_status_is_zero decode
same_files "$work/decode" "$work/expected" MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt

# 2. An encoder: the message text back into bank and index.
mkdir "$work/encode" "$work/texts"
cp "$work/expected/MsgDataDecode.txt" "$work/texts/"
start_program "$work/encode" "$encode_msg"
choose_in_dialog "$work/texts/MsgDataDecode.txt" encode-file-chooser || fail "encode: no file chooser"
dismiss_box "終了" encode-finished || fail "encode: no box titled 終了"
wait_for_exit "$program_pid" 30 || fail "encode: still running after its box was dismissed"
exit_status_is_zero encode
same_files "$work/encode" "$work/expected" MsgDataTalvo.bin MsgDataIDX.bin

# 3. A cancelled dialog: the error box, and nothing written.
mkdir "$work/cancel"
start_program "$work/cancel" "$decode"
if chooser=$(wait_for_window "開く" 30); then press "$chooser" Escape; else fail "cancel: no file chooser"; fi
dismiss_box "ファイルが指定されていません" cancel-no-file || fail "cancel: no box titled ファイルが指定されていません"
wait_for_exit "$program_pid" 30 || fail "cancel: still running after its box was dismissed"
exit_status_is_zero cancel
[ -z "$(ls -A "$work/cancel")" ] || fail "cancel: files were written: $(ls "$work/cancel")"

# 4. A path longer than the programs hold: told so, asked again; then cancel.
long="$work/long"
while [ ${#long} -lt 280 ]; do long="$long/a-folder-with-a-long-name"; done
mkdir -p "$long" "$work/toolong"
cp "$work/game.smc" "$long/game.smc"
start_program "$work/toolong" "$decode"
choose_in_dialog "$long/game.smc" || fail "long path: no file chooser"
dismiss_box "ファイル名が長すぎます" long-path || fail "long path: no box titled ファイル名が長すぎます"
if chooser=$(wait_for_window "開く" 30); then press "$chooser" Escape; else fail "long path: the chooser did not return"; fi
dismiss_box "ファイルが指定されていません" long-path-cancelled || fail "long path: no cancel box"
wait_for_exit "$program_pid" 30 || fail "long path: still running"
exit_status_is_zero toolong
[ -z "$(ls -A "$work/toolong")" ] || fail "long path: files were written"

# 5. The terminal serves when asked to, and when the display cannot be reached.
for setting in "TALVO_DIALOGS=terminal" "DISPLAY=:999"; do
  err=$(cd "$work" && env "$setting" timeout 30 "$decode" </dev/null 2>&1 >/dev/null) || true
  [[ $err == *"== ファイルが指定されていません =="* ]] || fail "$setting: no terminal box: $err"
done

# 6. Insertion: the three text files of the folder into a copy of the image,
# which extracts to the same text again.
if [ -n "$insert" ]; then
  mkdir "$work/insert"
  cp "$work/expected/MsgDataDecode.txt" "$work/expected/StrDataDecode.txt" "$work/expected/BtlDataDecode.txt" \
    "$work/insert/"
  start_program "$work/insert" "$insert"
  choose_in_dialog "$work/game.smc" insert-file-chooser || fail "insert: no file chooser"
  dismiss_box "終了" insert-finished || fail "insert: no box titled 終了"
  wait_for_exit "$program_pid" 30 || fail "insert: still running after its box was dismissed"
  exit_status_is_zero insert
  [ -f "$work/insert/TalvoInsert.bps" ] || fail "insert: no patch written"
  mkdir "$work/again"
  (cd "$work/again" && echo "$work/insert/TalvoInsert.smc" | TALVO_DIALOGS=terminal timeout 30 "$decode" >/dev/null 2>&1)
  same_files "$work/again" "$work/expected" MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt
fi

echo "screenshots: $screenshots"
if [ $failures -ne 0 ]; then
  echo "$failures failures" >&2
  exit 1
fi
echo "GUI test passed"
