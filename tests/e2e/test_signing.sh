#!/usr/bin/env bash
# Authenticode: the launcher signed by scripts/sign.sh (what -DSPLAUNCH_SIGN_CERT runs) verifies against its root, and under Wine WinVerifyTrust accepts it; one changed byte in its package and neither does.
set -euo pipefail
source "$(dirname "$0")/lib.sh"
e2e_new_prefix signing
cd "$WORK"

# A throwaway root and a code-signing certificate it issued.
openssl req -x509 -newkey rsa:2048 -nodes -keyout ca.key -out ca.pem -days 2 -subj "/CN=splaunch test root" \
    -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
openssl req -newkey rsa:2048 -nodes -keyout signer.key -out signer.csr -subj "/CN=splaunch test signer" 2>/dev/null
printf 'basicConstraints=CA:FALSE\nkeyUsage=critical,digitalSignature\nextendedKeyUsage=codeSigning\n' > signer.ext
openssl x509 -req -in signer.csr -CA ca.pem -CAkey ca.key -CAcreateserial -out signer.pem -days 2 \
    -extfile signer.ext 2>/dev/null
openssl x509 -in ca.pem -outform der -out "$WINEPREFIX/drive_c/ca.der"

cp "$SPLAUNCH_EXE" "$WINEPREFIX/drive_c/signed.exe"
bash "$SPLAUNCH_SOURCE_DIR/scripts/sign.sh" "$WINEPREFIX/drive_c/signed.exe" signer.pem signer.key "" "" ca.pem >/dev/null
osslsigncode verify -CAfile ca.pem -in "$WINEPREFIX/drive_c/signed.exe" >/dev/null || e2e_fail "the signature does not verify"
# One byte of the embedded package changed.
python3 - "$WINEPREFIX/drive_c/signed.exe" "$WINEPREFIX/drive_c/tampered.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[data.find(bytes.fromhex('D0CF11E0A1B11AE1')) + 600] ^= 1
open(sys.argv[2], 'wb').write(data)
PY
if osslsigncode verify -CAfile ca.pem -in "$WINEPREFIX/drive_c/tampered.exe" >/dev/null 2>&1; then
    e2e_fail "a changed launcher still verifies"
fi

cp "$VERIFY_TRUST_EXE" "$WINEPREFIX/drive_c/verify_trust.exe"
e2e_expect_eq "$(wine 'C:\verify_trust.exe' 'C:\signed.exe' 'C:\ca.der' | tr -d '\r')" 00000000 "WinVerifyTrust, signed"
e2e_expect_eq "$(wine 'C:\verify_trust.exe' 'C:\tampered.exe' | tr -d '\r' || true)" 80096010 \
              "WinVerifyTrust, changed (TRUST_E_BAD_DIGEST)"
echo "PASS"
