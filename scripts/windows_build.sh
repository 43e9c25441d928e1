#!/usr/bin/env bash
# Cross-builds the four programs for Windows with Debian's mingw-w64 (the
# mingw preset, build/mingw) and checks that each is a windowed program that
# needs no DLL beyond Windows' own.
set -euo pipefail
cd "$(dirname "$0")/.."
compiler=g++-mingw-w64-x86-64-posix
if ! dpkg-query -W -f='${Status}' "$compiler" 2>/dev/null | grep -q "install ok installed"; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$compiler"
fi
cmake --workflow --preset mingw

windows_dlls='^(kernel32|user32|comdlg32|msvcrt)\.dll$'
status=0
for program in decode/Talvo_decode encode/SJIStoTalvo_msg encode/SJIStoTalvo_str encode/SJIStoTalvo_btl; do
  exe=build/mingw/$program.exe
  headers=$(x86_64-w64-mingw32-objdump -p "$exe")
  if ! grep -q "Subsystem.*(Windows GUI)" <<<"$headers"; then
    echo "$exe: not a windowed program" >&2
    status=1
  fi
  foreign=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | grep -viE "$windows_dlls" || true)
  if [ -n "$foreign" ]; then
    echo "$exe needs DLLs that Windows lacks: $foreign" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "Windows programs: $(ls build/mingw/decode/*.exe build/mingw/encode/*.exe | tr '\n' ' ')"
exit $status
