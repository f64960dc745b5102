#!/usr/bin/env bash
# Builds Quimbro.exe and starts it under Wine. With a display ($DISPLAY) it opens in a real
# window; without one it runs on a virtual display: presses Start, waits for the end, saves a
# screenshot and says where the output folder is.
#   QUIMBRO_BUILD_DIR  build folder (default: build/windows)
#   WINEPREFIX         Wine prefix to use (default: a prefix of its own in the scratch folder)
set -euo pipefail
cd "$(dirname "$0")/.."

build=${QUIMBRO_BUILD_DIR:-build/windows}
scratch=${TMPDIR:-/tmp}/quimbro-run
export WINEPREFIX=${WINEPREFIX:-$scratch/prefix}
export WINEDEBUG=${WINEDEBUG:--all}
run_timeout=300

cmake --preset windows -B "$build" -DQUIMBRO_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target Quimbro QuimbroProbe
quimbro=$build/src/platform/win32/window/Quimbro.exe
probe=$build/tests/e2e/QuimbroProbe.exe

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # A new prefix links its desktop to the Linux home; the output stays in the prefix instead.
  for link in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
fi

# The prefix's desktop folder, on the Linux side.
desktop_folder() {
  local windows_path
  windows_path=$(wine cmd /c 'echo %USERPROFILE%' 2>/dev/null | tr -d '\r')
  readlink -f "$(winepath -u "$windows_path" 2>/dev/null)/Desktop"
}

if [ -n "${DISPLAY:-}" ]; then
  wine "$quimbro"
  echo "Output folder (after a run): $(desktop_folder)/QuimbroOutput"
  exit 0
fi

# No display: a virtual one of our own.
mkdir -p "$scratch"
display_number=90
while [ -e "/tmp/.X$display_number-lock" ] || [ -e "/tmp/.X11-unix/X$display_number" ]; do
  display_number=$((display_number + 1))
done
export DISPLAY=:$display_number
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
quimbro_pid=""
cleanup() {
  [ -z "$quimbro_pid" ] || kill "$quimbro_pid" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
while [ ! -e "/tmp/.X11-unix/X$display_number" ]; do sleep 0.1; done

wine "$quimbro" &
quimbro_pid=$!

# One reading of the window by the probe; empty while the window is not there.
read_window() { wine "$probe" 2>/dev/null | tr -d '\r' || true; }
button() { awk -F'\t' -v name="$2" '$1 == "control" && $3 == "Button" && $10 == name' <<<"$1"; }
point() { awk -F'\t' -v name="$2" '$1 == "point" && $2 == name { print $3, $4 }' <<<"$1"; }

until grep -q '^line' <<<"$(read_window)"; do sleep 0.5; done
state=$(read_window)
read -r x y <<<"$(point "$state" Start)"
xdotool mousemove --sync "$x" "$y" click 1

echo "Quimbro is running; waiting for it to finish..."
deadline=$((SECONDS + run_timeout))
until [ "$(button "$(read_window)" Exit | cut -f8)" = 1 ]; do
  if ((SECONDS > deadline)); then
    echo "Quimbro did not finish within $run_timeout s" >&2
    exit 1
  fi
  sleep 1
done

screenshot=$scratch/quimbro-finished.png
import -window root "$screenshot"
echo "Screenshot: $screenshot"
echo "Output folder: $(desktop_folder)/QuimbroOutput"

# Leave as the user would: Exit.
read -r x y <<<"$(point "$(read_window)" Exit)"
xdotool mousemove --sync "$x" "$y" click 1
wait "$quimbro_pid" || true
quimbro_pid=""
