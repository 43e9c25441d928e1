#!/usr/bin/env bash
# Installs the Debian packages that scripts/package.sh made into this
# machine with apt-get, as a user would, checks the installed programs, then
# removes them again (so talvo packages installed before are gone too):
# talvo --version, the manual page and the documents; Talvo_decode and
# `talvo extract` on the sample image through the terminal backend, their
# files compared byte for byte with the expected ones; on a display that does
# not answer, the programs load the GTK module from /usr/lib/talvo/ and go on
# on the terminal. Needs root or sudo.
#
#   scripts/package_test.sh [BUILD]   # BUILD defaults to build/default
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build/default}")
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
packages=("$build/packages/talvo_${version}_amd64.deb")
names=(talvo)
if [ -f "$build/packages/talvo-gtk_${version}_amd64.deb" ]; then
  packages+=("$build/packages/talvo-gtk_${version}_amd64.deb")
  names+=(talvo-gtk)
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
work=$(mktemp -d)
cleanup() {
  rm -rf "$work"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq "${names[@]}" >/dev/null || true
}
trap cleanup EXIT

DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${packages[@]}"
failures=0
check() {
  if "$@"; then echo "ok: $description"; else echo "FAILED: $description" >&2; failures=$((failures + 1)); fi
}

description="talvo --version says talvo $version"
check test "$(/usr/bin/talvo --version)" = "talvo $version"
description="manual page, README and licence installed"
check test -s /usr/share/man/man1/talvo.1.gz -a -s /usr/share/doc/talvo/README.md -a -s /usr/share/doc/talvo/LICENSE

cp "$build/sample/talvo-sample.smc" "$work/"
files=(MsgDataDecode.txt StrDataDecode.txt BtlDataDecode.txt)
same_as_expected() {
  for f in "${files[@]}"; do cmp "$1/$f" "$build/sample/expected/$f" || return 1; done
}
(cd "$work" && echo talvo-sample.smc | TALVO_DIALOGS=terminal /usr/bin/Talvo_decode >decode.log 2>&1)
description="installed Talvo_decode extracts the sample image byte for byte"
check same_as_expected "$work"
mkdir "$work/cli"
/usr/bin/talvo extract "$work/talvo-sample.smc" -o "$work/cli"
description="installed talvo extract writes the same files"
check same_as_expected "$work/cli"

if [ ${#names[@]} -eq 2 ]; then
  # No X server answers on display 79: the module loads, GTK cannot start,
  # the terminal serves (the empty line cancels the dialog).
  (cd "$work" && echo | DISPLAY=:79 LD_DEBUG=files /usr/bin/SJIStoTalvo_msg >module.log 2>&1 || true)
  description="installed programs load the GTK module from /usr/lib/talvo/"
  check grep -q "calling init: /usr/lib/talvo/talvo_gtk_dialogs.so" "$work/module.log"
fi
[ $failures -eq 0 ] || exit 1
echo "Installed packages: ${names[*]} $version, every check passed"
