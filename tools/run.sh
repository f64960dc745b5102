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
# Every wait has its limit, in seconds.
prefix_timeout=300
window_timeout=120
run_timeout=300
mkdir -p "$scratch"
wine_log=$scratch/wine.log
: >"$wine_log"

# Fails with what did not happen and where to look.
fail() {
  echo "tools/run.sh: $1 (Wine's messages: $wine_log)" >&2
  exit 1
}

cmake --preset windows -B "$build" -DQUIMBRO_BUILD_TESTS=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target Quimbro QuimbroProbe
quimbro=$build/src/platform/win32/window/Quimbro.exe
probe=$build/tests/e2e/QuimbroProbe.exe

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  timeout "$prefix_timeout" wineboot -i >>"$wine_log" 2>&1 ||
    fail "the Wine prefix $WINEPREFIX could not be made within $prefix_timeout s"
  # wineboot's server may still be shutting down; a program started meanwhile on another
  # display gets no window at all.
  timeout "$prefix_timeout" wineserver -w ||
    fail "Wine's server did not end after making the prefix within $prefix_timeout s"
  # A new prefix links its desktop to the Linux home; the output stays in the prefix instead.
  for link in "$WINEPREFIX"/drive_c/users/*/Desktop; do
    if [ -L "$link" ]; then rm "$link" && mkdir "$link"; fi
  done
fi

# The prefix's desktop folder, on the Linux side.
desktop_folder() {
  local windows_path
  windows_path=$(timeout 60 wine cmd /c 'echo %USERPROFILE%' 2>>"$wine_log" | tr -d '\r')
  readlink -f "$(timeout 60 winepath -u "$windows_path" 2>>"$wine_log")/Desktop"
}

if [ -n "${DISPLAY:-}" ]; then
  wine "$quimbro" 2>>"$wine_log"
  echo "Output folder (after a run): $(desktop_folder)/QuimbroOutput"
  exit 0
fi

# No display: a virtual one of our own.
display_number=90
while [ -e "/tmp/.X$display_number-lock" ] || [ -e "/tmp/.X11-unix/X$display_number" ]; do
  display_number=$((display_number + 1))
done
export DISPLAY=:$display_number
Xvfb "$DISPLAY" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
quimbro_pid=""
# Nothing of ours is left running: the program, the virtual display, the prefix's server.
cleanup() {
  [ -z "$quimbro_pid" ] || kill "$quimbro_pid" 2>/dev/null || true
  timeout 30 wineserver -w 2>/dev/null || wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
deadline=$((SECONDS + 20))
while [ ! -e "/tmp/.X11-unix/X$display_number" ]; do
  ((SECONDS < deadline)) || fail "the virtual display $DISPLAY did not start within 20 s"
  sleep 0.1
done

wine "$quimbro" 2>>"$wine_log" &
quimbro_pid=$!

# One reading of the window by the probe; empty while the window is not there.
read_window() { timeout 30 wine "$probe" 2>>"$wine_log" | tr -d '\r' || true; }
button() { awk -F'\t' -v name="$2" '$1 == "control" && $3 == "Button" && $10 == name' <<<"$1"; }
point() { awk -F'\t' -v name="$2" '$1 == "point" && $2 == name { print $3, $4 }' <<<"$1"; }

deadline=$((SECONDS + window_timeout))
until grep -q '^line' <<<"$(read_window)"; do
  kill -0 "$quimbro_pid" 2>/dev/null || fail "Quimbro.exe ended before its window appeared"
  ((SECONDS < deadline)) || fail "the window did not appear within $window_timeout s"
  sleep 0.5
done
state=$(read_window)
read -r x y <<<"$(point "$state" Start)"
xdotool mousemove --sync "$x" "$y" click 1

echo "Quimbro is running; waiting for it to finish..."
deadline=$((SECONDS + run_timeout))
until [ "$(button "$(read_window)" Exit | cut -f8)" = 1 ]; do
  ((SECONDS < deadline)) || fail "the run did not finish within $run_timeout s"
  sleep 1
done

screenshot=$scratch/quimbro-finished.png
import -window root "$screenshot"
echo "Screenshot: $screenshot"
echo "Output folder: $(desktop_folder)/QuimbroOutput"

# Leave as the user would: Exit.
read -r x y <<<"$(point "$(read_window)" Exit)"
xdotool mousemove --sync "$x" "$y" click 1
exit_deadline=$((SECONDS + 30))
while kill -0 "$quimbro_pid" 2>/dev/null; do
  ((SECONDS < exit_deadline)) || fail "Quimbro.exe did not end within 30 s of Exit"
  sleep 0.2
done
quimbro_pid=""
