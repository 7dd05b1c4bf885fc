#!/usr/bin/env bash
# Prints the launcher's own weight: the executable's size minus the embedded package's and minus its signature.
set -euo pipefail
build=${1:-build/target}
exe="$build/splaunch.exe"
exe_size=$(stat -c %s "$exe")
package_size=$(stat -c %s "$build/package/splaunch.msp")
# The certificate table (a signature) is the PE optional header's fifth data directory:
# its size sits 24 + 128 + 4 bytes after the PE signature of a 32-bit image.
pe=$(od -An -tu4 -j60 -N4 "$exe" | tr -d ' ')
signature_size=$(od -An -tu4 -j$((pe + 156)) -N4 "$exe" | tr -d ' ')
echo "executable: $exe_size bytes, package: $package_size bytes, signature: $signature_size bytes"
echo "overhead: $((exe_size - package_size - signature_size)) bytes"
