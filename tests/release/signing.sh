#!/bin/sh
# The release's signing step with a throwaway code-signing certificate: the signed program
# verifies against that certificate, and without its signature it is the unsigned program again,
# byte for byte. The same key also signs from a token (SoftHSM2 through PKCS#11) and from a PFX
# without a password. Leaves the signed program as WORK/Quimbro.exe for the end-to-end run on it.
#   signing.sh EXE WORK
set -eu
exe=$1
work=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
cd "$work"
verified() {
  osslsigncode verify -CAfile cert.pem -in "$1" >verify.txt 2>&1 || { cat verify.txt >&2; exit 1; }
  grep -q "Signature verification: ok" verify.txt || { cat verify.txt >&2; exit 1; }
}
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Quimbro Test Signing" -addext "keyUsage=critical,digitalSignature" \
  -addext "extendedKeyUsage=codeSigning" 2>/dev/null
password="throwaway-$$"
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signing.pfx -passout "pass:$password"
cp "$exe" unsigned.exe
cp "$exe" Quimbro.exe
QUIMBRO_SIGN_PASSWORD="$password" QUIMBRO_EXE="$work/Quimbro.exe" "$source/tools/sign.sh" signing.pfx
verified Quimbro.exe
osslsigncode remove-signature -in Quimbro.exe -out removed.exe >/dev/null
cmp unsigned.exe removed.exe
# A wrong password signs nothing and leaves the program as it was.
cp unsigned.exe wrong.exe
if QUIMBRO_SIGN_PASSWORD=wrong QUIMBRO_EXE="$work/wrong.exe" "$source/tools/sign.sh" signing.pfx \
  >/dev/null 2>&1; then
  echo "signed with a wrong password" >&2
  exit 1
fi
cmp unsigned.exe wrong.exe
[ ! -e wrong.exe.signed ] || { echo "a partly signed file was left" >&2; exit 1; }

openssl pkcs12 -export -inkey key.pem -in cert.pem -out empty.pfx -passout pass:
cp unsigned.exe empty.exe
QUIMBRO_SIGN_PASSWORD='' QUIMBRO_EXE="$work/empty.exe" "$source/tools/sign.sh" empty.pfx >/dev/null
verified empty.exe

# A token of its own, in this folder only.
mkdir tokens
printf 'directories.tokendir = %s\nobjectstore.backend = file\n' "$work/tokens" >softhsm2.conf
export SOFTHSM2_CONF="$work/softhsm2.conf"
softhsm2-util --init-token --free --label quimbro --pin 2468 --so-pin 13579 >/dev/null
softhsm2-util --import key.pem --token quimbro --label signing --id 01 --pin 2468 >/dev/null
cp unsigned.exe token.exe
QUIMBRO_SIGN_PIN=2468 QUIMBRO_EXE="$work/token.exe" "$source/tools/sign.sh" --pkcs11 \
  /usr/lib/softhsm/libsofthsm2.so "pkcs11:token=quimbro;object=signing;type=private" cert.pem \
  >/dev/null
verified token.exe
echo "signed from a PFX, one without a password and a token, verified, and the same program without its signature"
