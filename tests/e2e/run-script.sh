#!/bin/sh
# The README's run command as a newcomer meets it: a new, empty prefix and no display. It must
# finish its first run with a screenshot and the output folder.  run-script.sh WORK BUILD
set -eu
work=$1
build=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work/home"
out=$(env -u DISPLAY -u WINEPREFIX HOME="$work/home" TMPDIR="$work" QUIMBRO_BUILD_DIR="$build" \
  "$source/tools/run.sh")
echo "$out"
screenshot=$(echo "$out" | sed -n 's/^Screenshot: //p')
folder=$(echo "$out" | sed -n 's/^Output folder: //p')
[ -s "$screenshot" ] || { echo "no screenshot" >&2; exit 1; }
ls "$folder"/Quimbro_*.log >/dev/null || { echo "no report in $folder" >&2; exit 1; }
if pgrep -f "$work/" >/dev/null; then
  echo "processes of the run are left: $(pgrep -af "$work/")" >&2
  exit 1
fi
# Passed: the prefix is of no more use, and takes about 700 MB.
rm -rf "$work"
