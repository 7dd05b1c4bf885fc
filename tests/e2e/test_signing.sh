#!/usr/bin/env bash
# Authenticode: the launcher signed by scripts/sign.sh (what -DSPLAUNCH_SIGN_CERT runs) verifies against its root, carries the program's name and page, is the same bytes when signed again at the same stated time, and under Wine WinVerifyTrust accepts it; one changed byte in its package and it does not; against the system's roots it is refused with the way to name the test root.
source "$(dirname "$0")/lib.sh" || exit 1
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

# Signed twice at a stated time from before the certificate was made (a build's commit time may be),
# without a time-stamping service: the same bytes, and a warning that the signature ends with the certificate.
# sign_copy NAME [CA]: the launcher copied to C:\NAME and signed; sign.sh's messages in NAME.out.
stated=$(($(date +%s) - 86400))
sign_copy() {
    cp "$SPLAUNCH_EXE" "$WINEPREFIX/drive_c/$1"
    SOURCE_DATE_EPOCH=$stated bash "$SPLAUNCH_SOURCE_DIR/scripts/sign.sh" "$WINEPREFIX/drive_c/$1" \
        signer.pem signer.key "" "" "${2:-}" "Kelvarin 2004 Service Pack 1" https://tessaran.example/sp1 >"$1.out" 2>&1
}
sign_copy signed.exe ca.pem || e2e_fail "sign.sh failed: $(cat signed.exe.out)"
sign_copy again.exe ca.pem || e2e_fail "sign.sh failed again: $(cat again.exe.out)"
cmp "$WINEPREFIX/drive_c/signed.exe" "$WINEPREFIX/drive_c/again.exe" || e2e_fail "two signatures at one stated time differ"
grep -q "^warning: .*no time-stamping service: the signature ends with the certificate.*expires ($(openssl x509 -enddate -noout -in signer.pem | cut -d= -f2))" \
    signed.exe.out || e2e_fail "no warning about the missing time stamp: $(cat signed.exe.out)"
report=$(osslsigncode verify -CAfile ca.pem -in "$WINEPREFIX/drive_c/signed.exe") || e2e_fail "the signature does not verify"
e2e_expect_eq "$(grep -c -e 'Text description: Kelvarin 2004 Service Pack 1$' -e 'URL description: https://tessaran.example/sp1$' \
    -e "Signing time: $(LC_ALL=C date -u -d "@$stated" '+%b %e %H:%M:%S %Y') GMT$" <<<"$report")" 3 \
    "the program's name, its page and the stated signing time in: $report"
if sign_copy roots.exe; then e2e_fail "a test root's signature verified against the system's roots"; fi
grep -q "does not verify against the system's roots (.*-DSPLAUNCH_SIGN_CA=" roots.exe.out ||
    e2e_fail "the refusal does not name -DSPLAUNCH_SIGN_CA: $(cat roots.exe.out)"
# One byte of the embedded package changed.
python3 - "$WINEPREFIX/drive_c/signed.exe" "$WINEPREFIX/drive_c/tampered.exe" <<'PY'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
data[data.find(bytes.fromhex('D0CF11E0A1B11AE1')) + 600] ^= 1
open(sys.argv[2], 'wb').write(data)
PY

cp "$VERIFY_TRUST_EXE" "$WINEPREFIX/drive_c/verify_trust.exe"
e2e_expect_eq "$(wine 'C:\verify_trust.exe' 'C:\signed.exe' 'C:\ca.der' | tr -d '\r')" 00000000 "WinVerifyTrust, signed"
e2e_expect_eq "$(wine 'C:\verify_trust.exe' 'C:\tampered.exe' | tr -d '\r' || true)" 80096010 \
              "WinVerifyTrust, changed (TRUST_E_BAD_DIGEST)"
