#!/usr/bin/env bash
# Signs a Windows executable in place with Authenticode (SHA-256, osslsigncode) and verifies the signature.
#
# usage: scripts/sign.sh EXE CERT [KEY] [PASSWORD_FILE] [TIMESTAMP_URL] [CA_FILE] [PROGRAM] [URL]
#   CERT          a PEM certificate (with its chain) whose private key is KEY (PEM), or a
#                 PKCS#12 file (.p12, .pfx) holding both, with KEY empty
#   PASSWORD_FILE the key's password, when it has one
#   TIMESTAMP_URL an RFC 3161 time-stamping service, so the signature outlives the certificate
#   CA_FILE       the root to verify against (default: the system's roots)
#   PROGRAM, URL  the program's name and web page that the signature carries (default: the
#                 file's name without .exe, and no page)
set -euo pipefail
[ $# -ge 2 ] || { echo "usage: $0 EXE CERT [KEY] [PASSWORD_FILE] [TIMESTAMP_URL] [CA_FILE] [PROGRAM] [URL]" >&2; exit 2; }
exe=$1 cert=$2 key=${3:-} password=${4:-} timestamp=${5:-} ca=${6:-} program=${7:-} url=${8:-}
command -v osslsigncode >/dev/null || { echo "osslsigncode is needed to sign (scripts/install-deps.sh)" >&2; exit 2; }

args=(sign -h sha256 -n "${program:-$(basename "$exe" .exe)}")
[ -z "$url" ] || args+=(-i "$url")
case "$cert" in
    *.p12 | *.pfx) args+=(-pkcs12 "$cert") ;;
    *) [ -n "$key" ] || { echo "$0: a PEM certificate needs its key" >&2; exit 2; }
       args+=(-certs "$cert" -key "$key") ;;
esac
[ -z "$password" ] || args+=(-readpass "$password")
[ -z "$timestamp" ] || args+=(-ts "$timestamp")
unsigned="$exe.unsigned"
mv -f "$exe" "$unsigned"
if ! osslsigncode "${args[@]}" -in "$unsigned" -out "$exe" >/dev/null; then
    mv -f "$unsigned" "$exe"
    echo "$0: signing $exe failed" >&2
    exit 1
fi
rm -f "$unsigned"
verify=(verify -in "$exe")
[ -z "$ca" ] || verify+=(-CAfile "$ca")
osslsigncode "${verify[@]}" >/dev/null || { echo "$0: the signature of $exe does not verify" >&2; exit 1; }
echo "signed and verified: $exe"
