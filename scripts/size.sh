#!/usr/bin/env bash
# Prints the launcher's own weight: the executable's size minus the embedded package's.
set -euo pipefail
build=${1:-build/target}
exe_size=$(stat -c %s "$build/splaunch.exe")
package_size=$(stat -c %s "$build/package/splaunch.msp")
echo "executable: $exe_size bytes, package: $package_size bytes"
echo "overhead: $((exe_size - package_size)) bytes"
