#!/usr/bin/env bash
# Cross-builds the six programs for Windows with Debian's mingw-w64 (the
# mingw preset, build/mingw) and checks that each needs no DLL beyond
# Windows' own, the desktop programs windowed and talvo a console program.
# Zips them with the README and the licence (build/mingw/packages/). Then
# cross-builds the in-memory core tests (tests/windows) and runs them under
# Wine with a Western code page (1252), where only texts converted from code
# page 932 show right; and runs the zip's talvo.exe on the sample image under
# a path of Japanese and Greek letters (extract, init of a project, po and
# csv export and import, preview), when the default build has made it.
#
#   scripts/windows_build.sh [BUILD [DEFAULT_BUILD]]   # build/mingw, build/default
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build/mingw}
sample=$PWD/${2:-build/default}/sample

# zlib for mingw-w64, and the headers of CLI11, stb and toml++, which the
# cross-build copies; the stand-in font the zip carries.
scripts/deps.sh g++-mingw-w64-x86-64-posix googletest wine64 libz-mingw-w64-dev libcli11-dev libstb-dev unifont \
  libtomlplusplus-dev

cmake --preset mingw -B "$build"
cmake --build "$build" -j2

windows_dlls='^(kernel32|user32|comdlg32|shell32|msvcrt)\.dll$'
status=0
for program in programs/Talvo_decode programs/SJIStoTalvo_msg programs/SJIStoTalvo_str programs/SJIStoTalvo_btl \
               programs/Talvo_insert cli/talvo; do
  exe=$build/$program.exe
  headers=$(x86_64-w64-mingw32-objdump -p "$exe")
  subsystem="Windows GUI"
  [ "$program" = cli/talvo ] && subsystem="Windows CUI"
  if ! grep -q "Subsystem.*($subsystem)" <<<"$headers"; then
    echo "$exe: not a $subsystem program" >&2
    status=1
  fi
  foreign=$(sed -n 's/^\s*DLL Name: //p' <<<"$headers" | grep -viE "$windows_dlls" || true)
  if [ -n "$foreign" ]; then
    echo "$exe needs DLLs that Windows lacks: $foreign" >&2
    status=1
  fi
done
[ $status -eq 0 ] || exit $status

# The zip: the six programs, README.txt and LICENSE.txt, and the stand-in
# font of talvo preview with its copyright, nothing else.
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
zip=$build/packages/talvo-$version-windows-x86_64.zip
rm -f "$zip"
(cd "$build" && cpack >/dev/null)
contents=$(cmake -E tar tf "$zip" | sed 's|^[^/]*/||' | grep -v '^$' | sort | tr '\n' ' ')
expected="LICENSE.txt README.txt SJIStoTalvo_btl.exe SJIStoTalvo_msg.exe SJIStoTalvo_str.exe Talvo_decode.exe Talvo_insert.exe talvo.exe unifont-copyright.txt unifont_jp.hex "
if [ "$contents" != "$expected" ]; then
  echo "$zip holds: $contents" >&2
  exit 1
fi
echo "Windows zip: $zip ($contents)"

tests=$build/core-tests
cmake -S tests/windows -B "$tests" -G Ninja --toolchain "$PWD/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release
cmake --build "$tests" -j2
# A Wine prefix of its own, made afresh: nothing from an earlier run counts.
# The C.UTF-8 locale gives Wine the Western code page 1252 (and UTF-8 for
# the arguments it hands over); the tests check it got that.
prefix=$(mktemp -d "${TMPDIR:-/tmp}/talvo-wine-XXXXXX")
trap 'WINEPREFIX=$prefix timeout 30 /usr/lib/wine/wineserver -k 2>/dev/null; rm -rf "$prefix"' EXIT
export WINEPREFIX=$prefix WINEDEBUG=-all LC_ALL=C.UTF-8 TALVO_EXPECTED_CODE_PAGE=1252
wine() { timeout --kill-after=10 300 /usr/lib/wine/wine64 "$@"; }
wine "$tests/core_test.exe" --gtest_brief=1

# The zipped talvo.exe on the sample image, in a folder whose name no code
# page holds, when the default build has made the image.
if [ -f "$sample/talvo-sample.smc" ]; then
  mkdir -p "$prefix/zip"
  (cd "$prefix/zip" && cmake -E tar xf "$OLDPWD/$zip")
  folder="$prefix/日本語-ελληνικά"
  mkdir -p "$folder/out"
  cp "$sample/talvo-sample.smc" "$folder/サンプル.smc"
  (cd "$folder" && wine "$prefix/zip/talvo-$version-windows-x86_64/talvo.exe" extract サンプル.smc -o out)
  for file in MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt; do
    cmp "$folder/out/$file" "$sample/expected/$file"
  done
  echo "talvo.exe under Wine: the sample image's files, byte for byte"
  # A project made there: its folders, the image's path from it, and the
  # texts as extract writes them in UTF-8.
  mkdir -p "$folder/utf8"
  (cd "$folder" && wine "$prefix/zip/talvo-$version-windows-x86_64/talvo.exe" init サンプル.smc -o プロジェクト/訳 >/dev/null)
  (cd "$folder" && wine "$prefix/zip/talvo-$version-windows-x86_64/talvo.exe" extract サンプル.smc -o utf8 --encoding utf8)
  grep -q '^image = "../../サンプル.smc"' "$folder/プロジェクト/訳/talvo.toml"
  for file in MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt; do
    cmp "$folder/プロジェクト/訳/text/$file" "$folder/utf8/$file"
  done
  echo "talvo.exe init under Wine: the project's file and texts"
  # Through PO and CSV and back, into folders made on the way.
  exe="$prefix/zip/talvo-$version-windows-x86_64/talvo.exe"
  (cd "$folder" && wine "$exe" po export サンプル.smc -o 翻訳/po &&
    wine "$exe" po import 翻訳/po/msg.pot 翻訳/po/str.pot 翻訳/po/btl.pot -o 翻訳/から/po 2>/dev/null &&
    wine "$exe" csv export サンプル.smc -o 翻訳/表.csv && wine "$exe" csv import 翻訳/表.csv -o 翻訳/から/csv 2>/dev/null)
  for file in MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt; do
    cmp "$folder/翻訳/から/po/$file" "$sample/expected/$file"
    cmp "$folder/翻訳/から/csv/$file" "$sample/expected/$file"
  done
  echo "talvo.exe under Wine: the sample image's files through PO and CSV and back, byte for byte"
  # preview in the stand-in font the zip carries beside talvo.exe.
  (cd "$folder" && wine "$prefix/zip/talvo-$version-windows-x86_64/talvo.exe" preview out/MsgDataDecode.txt \
    --window 16x3 --page-code "[00AF]" --entries 0-3 -o ページ)
  test -s "$folder/ページ/index.html" -a -s "$folder/ページ/msg-0003-1.png"
  echo "talvo.exe under Wine: preview's pages and index in the stand-in font"
fi
