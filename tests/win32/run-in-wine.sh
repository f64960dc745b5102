#!/bin/sh
# Runs a Windows test program in a fresh, private Wine prefix: run-in-wine.sh SCRATCH PROGRAM [ARGS]
# The prefix and its home folder live in SCRATCH, so the user's own home is never touched.
set -eu
scratch=$1
shift

rm -rf "$scratch"
mkdir -p "$scratch/home" "$scratch/prefix"
export WINEPREFIX="$scratch/prefix"
export HOME="$scratch/home"
unset XDG_CONFIG_HOME XDG_DATA_HOME XDG_CACHE_HOME
export WINEDEBUG=-all
# US English, for the date and time formats and the ANSI code page 1252.
export LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8
# No desktop menu entries, no Mono or Gecko installers.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
unset DISPLAY

# One server for the whole run, ended with it.
wineserver -p
trap 'wineserver -k || true' EXIT

wineboot -i
# A crash ends the program instead of waiting in the debugger.
wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Auto /t REG_SZ /d 0 /f
wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f || true
# The desktop a real folder, as on Windows, not Wine's link to the home folder.
for desktop in "$WINEPREFIX"/drive_c/users/*/Desktop; do
  if [ -L "$desktop" ]; then rm "$desktop" && mkdir "$desktop"; fi
done
# Windows without a display: Wine's null graphics driver, taken by the desktop from its next
# start on.
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /t REG_SZ /d null /f
wineserver -k || true
wineserver -w || true
wineserver -p

# A folder holding links, which Wine cannot make itself: tree\link -> target and
# tree\keep.txt -> target\keep.txt.
links="$scratch/links"
mkdir -p "$links/tree" "$links/target"
echo keep > "$links/target/keep.txt"
echo file > "$links/tree/file.txt"
ln -s ../target "$links/tree/link"
ln -s ../target/keep.txt "$links/tree/keep.txt"
# A folder, and a folder holding a link of that name: swap/a/conf, swap/b/conf -> target.
mkdir -p "$links/swap/a/conf" "$links/swap/b"
ln -s ../../target "$links/swap/b/conf"
# A tree to delete, del/a/sub, and del/b/sub -> target, which holds files of the same names.
mkdir -p "$links/del/a/sub" "$links/del/b"
for name in f1.txt f2.txt; do echo del > "$links/del/a/sub/$name"; echo keep > "$links/target/$name"; done
ln -s ../../target "$links/del/b/sub"
export QUIMBRO_LINK_FIXTURE="$links"

status=0
wine "$@" || status=$?
# A passing run's prefix is of no more use, and takes about 700 MB; a failing one is kept.
if [ "$status" -eq 0 ]; then
  wineserver -k || true
  wineserver -w || true
  rm -rf "$scratch"
fi
exit "$status"
