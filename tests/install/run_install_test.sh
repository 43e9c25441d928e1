#!/usr/bin/env bash
# CTest install_relocated: installs this build under a fresh prefix with
# `cmake --install`, moves the whole install elsewhere, and checks what a
# user gets there: the programs in bin/, the documents and talvo's manual
# page; the programs load their GTK module from lib/talvo/ beside their own
# folder (on a display that does not answer, so the terminal then serves);
# the installed Talvo_decode extracts the sample image byte for byte.
#
#   run_install_test.sh CMAKE BUILD gtk|terminal   # whether the build has the GTK module
set -euo pipefail
cmake=$1
build=$2
dialogs=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$cmake" --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
prefix=$work/moved
status=0
fail() {
  echo "FAILED: $*" >&2
  status=1
}

for program in Talvo_decode SJIStoTalvo_msg SJIStoTalvo_str SJIStoTalvo_btl; do
  [ -x "$prefix/bin/$program" ] || fail "no bin/$program"
done
for file in share/doc/talvo/README.md share/doc/talvo/LICENSE; do
  [ -s "$prefix/$file" ] || fail "no $file"
done
if [ -x "$prefix/bin/talvo" ] && command -v help2man >/dev/null; then
  [ -s "$prefix/share/man/man1/talvo.1.gz" ] || fail "no manual page for talvo"
fi

if [ "$dialogs" = gtk ]; then
  # Display 79 has no X server: GTK cannot start there once the module is in.
  (cd "$work" && echo | env -u WAYLAND_DISPLAY -u TALVO_DIALOGS DISPLAY=:79 LD_DEBUG=files \
    "$prefix/bin/SJIStoTalvo_msg" >module.log 2>&1) || fail "SJIStoTalvo_msg failed without a display"
  grep -q "calling init: $prefix/lib/talvo/talvo_gtk_dialogs.so" "$work/module.log" ||
    fail "the moved install's programs do not load lib/talvo/talvo_gtk_dialogs.so"
fi

if [ -f "$build/sample/talvo-sample.smc" ]; then
  cp "$build/sample/talvo-sample.smc" "$work/"
  (cd "$work" && echo talvo-sample.smc | TALVO_DIALOGS=terminal "$prefix/bin/Talvo_decode" >decode.log 2>&1) ||
    fail "Talvo_decode failed"
  for file in MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt; do
    cmp "$work/$file" "$build/sample/expected/$file" || fail "$file differs"
  done
fi
exit $status
