#!/usr/bin/env bash
# Cross-builds the four programs for Windows with Debian's mingw-w64 (the
# mingw preset, build/mingw) and checks that each is a windowed program that
# needs no DLL beyond Windows' own. Then cross-builds the in-memory core tests
# (tests/windows) and runs them under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh g++-mingw-w64-x86-64-posix googletest wine64

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
[ $status -eq 0 ] || exit $status
echo "Windows programs: $(ls build/mingw/decode/*.exe build/mingw/encode/*.exe | tr '\n' ' ')"

tests=build/mingw/core-tests
cmake -S tests/windows -B "$tests" -G Ninja --toolchain "$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$tests" -j2
# A Wine prefix of its own, made afresh: nothing from an earlier run counts.
prefix=$(mktemp -d "${TMPDIR:-/tmp}/talvo-wine-XXXXXX")
trap 'rm -rf "$prefix"' EXIT
WINEPREFIX=$prefix WINEDEBUG=-all timeout --kill-after=10 300 /usr/lib/wine/wine64 "$tests/core_test.exe" --gtest_brief=1
WINEPREFIX=$prefix timeout 30 /usr/lib/wine/wineserver -k || true
