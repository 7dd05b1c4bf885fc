#!/usr/bin/env bash
# Signs a Windows executable in place with Authenticode (SHA-256, osslsigncode) and verifies the signature.
#
# usage: scripts/sign.sh EXE CERT [KEY] [PASSWORD_FILE] [TIMESTAMP_URL] [CA_FILE] [PROGRAM] [URL]
#   CERT          a PEM certificate (with its chain) whose private key is KEY (PEM), or a
#                 PKCS#12 file (.p12, .pfx) holding both, with KEY empty
#   PASSWORD_FILE the key's password, when it has one
#   TIMESTAMP_URL an RFC 3161 time-stamping service, so the signature outlives the certificate;
#                 without one a warning says when the signature stops verifying
#   CA_FILE       the root to verify against (default: the system's roots)
#   PROGRAM, URL  the program's name and web page that the signature carries (default: the
#                 file's name without .exe, and no page)
# Without a time-stamping service the signature states SOURCE_DATE_EPOCH as its signing time when
# that is set (the build sets the launcher's own time), and is then the same bytes for the same
# file and key; a time-stamped signature holds the service's time and is never the same twice.
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
if [ -n "$timestamp" ]; then
    args+=(-ts "$timestamp")
elif [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    args+=(-time "$SOURCE_DATE_EPOCH")
fi
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
if ! report=$(osslsigncode "${verify[@]}" 2>&1); then
    reason=$(sed -n 's/^[[:space:]]*Error: //p' <<<"$report" | head -n 1)
    if [ -n "$ca" ]; then
        echo "$0: the signature of $exe does not verify against the root $ca (${reason:-osslsigncode verify failed})" >&2
    else
        echo "$0: the signature of $exe does not verify against the system's roots (${reason:-osslsigncode verify failed}): a certificate" \
             "issued by a test root verifies only against that root, given as CA_FILE (in the build:" \
             "-DSPLAUNCH_SIGN_CA=/path/to/root.pem)" >&2
    fi
    exit 1
fi
echo "signed and verified: $exe"
if [ -z "$timestamp" ]; then
    expires=$(sed -n 's/^[[:space:]]*notAfter : //p' <<<"$report" | head -n 1)
    echo "warning: $exe: no time-stamping service: the signature ends with the certificate, and stops" \
         "verifying once it expires (${expires:-its notAfter date}); name the authority's service with" \
         "TIMESTAMP_URL (in the build: -DSPLAUNCH_SIGN_TIMESTAMP_URL=...)" >&2
fi
