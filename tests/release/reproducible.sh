#!/bin/sh
# Builds Quimbro.exe a second time, in another folder and later, and compares it byte for byte
# with the build under test: a signed release must be rebuildable from its sources exactly.
#   reproducible.sh EXE WORK
set -eu
exe=$1
work=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
again="$work/elsewhere/build"
cmake -S "$source" -B "$again" --toolchain "$source/cmake/mingw-w64-x86_64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DQUIMBRO_BUILD_TESTS=OFF -DQUIMBRO_WARNINGS_AS_ERRORS=ON >/dev/null
cmake --build "$again" -j "$(nproc)" --target Quimbro >/dev/null
rebuilt="$again/src/platform/win32/window/Quimbro.exe"
if ! cmp "$exe" "$rebuilt"; then
  echo "Quimbro.exe differs when built again in $again:" >&2
  cmp -l "$exe" "$rebuilt" | head -n 20 >&2
  exit 1
fi
echo "Quimbro.exe built again elsewhere is the same, byte for byte"
rm -rf "$work"
