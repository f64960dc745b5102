#!/usr/bin/env bash
# Signs Quimbro.exe with Authenticode (SHA-256), as a release is signed before it is handed to
# customers: Windows (SmartScreen, Defender, a software policy) trusts a downloaded program by
# its publisher's signature.
#   tools/sign.sh PFX [TIMESTAMP-URL]
#   tools/sign.sh --pkcs11 MODULE KEY-URI CERT [TIMESTAMP-URL]
# PFX is the code-signing certificate with its key (PKCS#12), its password (which may be empty)
# in QUIMBRO_SIGN_PASSWORD. With --pkcs11 the key never leaves its token (a USB token or a cloud
# HSM): MODULE is the token's PKCS#11 library, KEY-URI the key's "pkcs11:" URI, CERT the
# certificate chain (PEM), and the token's PIN is in QUIMBRO_SIGN_PIN. A password or PIN comes
# from the environment only, never from the command line, where other users of the machine
# could read it. With TIMESTAMP-URL an RFC 3161 time stamp is added, so the signature stays
# valid after the certificate expires. QUIMBRO_EXE names the program to sign (default: the
# Windows build's); it is replaced by its signed form only once signing has succeeded.
set -euo pipefail
usage() {
  echo "usage: tools/sign.sh PFX [TIMESTAMP-URL]" >&2
  echo "       tools/sign.sh --pkcs11 MODULE KEY-URI CERT [TIMESTAMP-URL]" >&2
  exit 2
}
exe=${QUIMBRO_EXE:-$(cd "$(dirname "$0")/.." && pwd)/build/windows/src/platform/win32/window/Quimbro.exe}
if [ "${1:-}" = --pkcs11 ]; then
  (($# >= 4 && $# <= 5)) || usage
  module=$2
  certs=$4
  timestamp=${5:-}
  [ -f "$module" ] || { echo "no PKCS#11 module: $module" >&2; exit 2; }
  [ -f "$certs" ] || { echo "no certificate file: $certs" >&2; exit 2; }
  # osslsigncode finds OpenSSL's PKCS#11 engine by its name, in OpenSSL's engines folder (given
  # by its path, with -pkcs11engine, Debian 12's osslsigncode 2.5 cannot load it).
  engines=$(openssl version -e | sed -n 's/^ENGINESDIR: "\(.*\)"$/\1/p')
  [ -f "$engines/pkcs11.so" ] || { echo "the PKCS#11 engine is missing (apt-get install libengine-pkcs11-openssl)" >&2; exit 2; }
  : "${QUIMBRO_SIGN_PIN?QUIMBRO_SIGN_PIN must hold the PIN of the token}"
  secret=$QUIMBRO_SIGN_PIN
  signer=(-pkcs11module "$module" -certs "$certs" -key "$3")
else
  (($# >= 1 && $# <= 2)) || usage
  timestamp=${2:-}
  [ -f "$1" ] || { echo "no certificate file: $1" >&2; exit 2; }
  : "${QUIMBRO_SIGN_PASSWORD?QUIMBRO_SIGN_PASSWORD must hold the password of the certificate}"
  secret=$QUIMBRO_SIGN_PASSWORD
  signer=(-pkcs12 "$1")
fi
[ -f "$exe" ] || { echo "no program to sign: $exe" >&2; exit 2; }
command -v osslsigncode >/dev/null || { echo "osslsigncode is missing (apt-get install osslsigncode)" >&2; exit 2; }

stamp=()
[ -z "$timestamp" ] || stamp=(-ts "$timestamp")
# The password or PIN reaches osslsigncode through a pipe, not its arguments. osslsigncode
# cannot read an empty one, so an empty one is not given at all.
readpass=()
[ -z "$secret" ] || readpass=(-readpass /dev/stdin)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
signed="$scratch/$(basename "$exe")"
printf '%s' "$secret" |
  osslsigncode sign "${signer[@]}" "${readpass[@]}" -h sha256 \
    -n "Vantorel Quimbro" "${stamp[@]}" -in "$exe" -out "$signed" >/dev/null
chmod --reference="$exe" "$signed"
# Copied beside the program first, then renamed over it: never a half-signed program.
cp -p "$signed" "$exe.signed"
mv -f "$exe.signed" "$exe"
echo "Signed: $exe"
