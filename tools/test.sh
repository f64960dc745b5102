#!/usr/bin/env bash
# Every test of Quimbro: installs what it needs on Debian 12, then builds and runs the
# portable core's tests natively (also under AddressSanitizer and UndefinedBehaviorSanitizer,
# and the file system's and whole-run tests under ThreadSanitizer), the Windows layer's tests
# and the end-to-end tests of Quimbro.exe under Wine on a virtual display, and the release's
# checks (the same bytes when built again elsewhere, the signing step).
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake make g++ libgtest-dev libgmock-dev googletest
          g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
          wine wine64 xvfb xdotool imagemagick python3 locales openssl osslsigncode
          softhsm2 libengine-pkcs11-openssl)
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" || missing+=("$package")
done
sudo=""
[ "$(id -u)" -eq 0 ] || sudo=sudo
if ((${#missing[@]})); then
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
fi
# Wine takes its locale from the host's: US English, for the date formats and code page 1252.
if ! locale -a 2>/dev/null | grep -qi '^en_US\.utf-\?8$'; then
  $sudo sed -i 's/^# *\(en_US.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  $sudo locale-gen >/dev/null
fi

jobs=$(nproc)
for preset in linux linux-asan linux-tsan; do
  cmake --preset "$preset"
  cmake --build --preset "$preset" -j "$jobs"
  ctest --preset "$preset" -j "$jobs"
done

cmake --preset windows
cmake --build --preset windows -j "$jobs"
ctest --preset windows
