#!/bin/sh
# The release's signing step with a throwaway code-signing certificate: the signed program
# verifies against that certificate, and without its signature it is the unsigned program again,
# byte for byte. Leaves the signed program as WORK/Quimbro.exe for the end-to-end run on it.
#   signing.sh EXE WORK
set -eu
exe=$1
work=$2
source=$(cd "$(dirname "$0")/../.." && pwd)
rm -rf "$work"
mkdir -p "$work"
cd "$work"
openssl req -x509 -newkey rsa:2048 -nodes -keyout key.pem -out cert.pem -days 2 \
  -subj "/CN=Quimbro Test Signing" -addext "keyUsage=critical,digitalSignature" \
  -addext "extendedKeyUsage=codeSigning" 2>/dev/null
password="throwaway-$$"
openssl pkcs12 -export -inkey key.pem -in cert.pem -out signing.pfx -passout "pass:$password"
cp "$exe" unsigned.exe
cp "$exe" Quimbro.exe
QUIMBRO_SIGN_PASSWORD="$password" QUIMBRO_EXE="$work/Quimbro.exe" "$source/tools/sign.sh" signing.pfx
osslsigncode verify -CAfile cert.pem -in Quimbro.exe >verify.txt 2>&1 || { cat verify.txt >&2; exit 1; }
grep -q "Signature verification: ok" verify.txt || { cat verify.txt >&2; exit 1; }
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
echo "signed, verified, and the same program without its signature"
