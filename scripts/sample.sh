#!/usr/bin/env bash
# The main job: builds the four programs and the bundled sample image, then
# extracts the image and encodes each extracted file again, answering the
# file dialogs on the terminal. Results land in build/default/sample/.
set -euo pipefail
# The dialogs are answered on standard input, even on a desktop.
export TALVO_DIALOGS=terminal
cd "$(dirname "$0")/.."
scripts/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default
bin=build/default
cd "$bin/sample"
echo "talvo-sample.smc" | ../programs/Talvo_decode
echo "MsgDataDecode.txt" | ../programs/SJIStoTalvo_msg
echo "StrDataDecode.txt" | ../programs/SJIStoTalvo_str
echo "BtlDataDecode.txt" | ../programs/SJIStoTalvo_btl
echo
ls -l "$PWD"
