#!/usr/bin/env bash
# Installs, as root on Debian 12, what the builds, the tests and the demo need;
# does nothing when everything is already there.
set -euo pipefail

# Both MinGW-w64 cross compilers and both Wine loaders: the shipped launcher is i686, and
# Wine runs 64-bit builds wherever the kernel runs no 32-bit programs (scripts/wine-env.sh).
packages=(cmake make g++ libgtest-dev libbenchmark-dev g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64-win32
          wine wine32:i386 wine64 libwine xvfb xauth xdotool x11-apps imagemagick wixl msitools python3
          clang-14 libclang-rt-14-dev pkg-config libmsi-dev libgsf-1-dev libtomlplusplus-dev libglib2.0-dev osslsigncode openssl)

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "missing packages: ${missing[*]} (run as root to install them)" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
apt-get update -q
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
