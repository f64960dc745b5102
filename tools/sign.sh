#!/usr/bin/env bash
# Signs Quimbro.exe with Authenticode (SHA-256), as a release is signed before it is handed to
# customers: Windows (SmartScreen, Defender, a software policy) trusts a downloaded program by
# its publisher's signature.
#   tools/sign.sh PFX [TIMESTAMP-URL]
# PFX is the code-signing certificate with its key (PKCS#12). Its password comes from the
# environment, QUIMBRO_SIGN_PASSWORD, never from the command line, where other users of the
# machine could read it. With TIMESTAMP-URL an RFC 3161 time stamp is added, so the signature
# stays valid after the certificate expires. QUIMBRO_EXE names the program to sign (default:
# the Windows build's); it is replaced by its signed form only once signing has succeeded.
set -euo pipefail
(($# >= 1 && $# <= 2)) || { echo "usage: tools/sign.sh PFX [TIMESTAMP-URL]" >&2; exit 2; }
pfx=$1
timestamp=${2:-}
exe=${QUIMBRO_EXE:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/src/platform/win32/window/Quimbro.exe}
[ -f "$pfx" ] || { echo "no certificate file: $pfx" >&2; exit 2; }
[ -f "$exe" ] || { echo "no program to sign: $exe" >&2; exit 2; }
: "${QUIMBRO_SIGN_PASSWORD?QUIMBRO_SIGN_PASSWORD must hold the password of the certificate}"
command -v osslsigncode >/dev/null || { echo "osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 2; }

stamp=()
[ -z "$timestamp" ] || stamp=(-ts "$timestamp")
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
signed="$scratch/$(basename "$exe")"
# The password reaches osslsigncode through a pipe, not its arguments.
printf '%s' "$QUIMBRO_SIGN_PASSWORD" |
  osslsigncode sign -pkcs12 "$pfx" -readpass /dev/stdin -h sha256 \
    -n "Vantorel Quimbro" "${stamp[@]}" -in "$exe" -out "$signed" >/dev/null
chmod --reference="$exe" "$signed"
# Copied beside the program first, then renamed over it: never a half-signed program.
cp -p "$signed" "$exe.signed"
mv -f "$exe.signed" "$exe"
echo "Signed: $exe"
