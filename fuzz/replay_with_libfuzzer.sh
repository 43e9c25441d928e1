#!/bin/sh
# replay_with_libfuzzer.sh PROGRAM FOLDER...: a libFuzzer program runs every
# saved input of the folders given that exist, once each, and stops: the
# sanitizer build's replay of the corpora. Finding no folder is a failure,
# since a replay of nothing proves nothing.
program=$1
shift
folders=""
count=0
for folder in "$@"; do
  if [ -d "$folder" ]; then
    folders="$folders $folder"
    count=$((count + 1))
  fi
done
if [ "$count" -eq 0 ]; then
  echo "no saved inputs for $program" >&2
  exit 1
fi
# The folders are the build's and the source tree's, without spaces.
# shellcheck disable=SC2086
exec "$program" -runs=0 $folders
