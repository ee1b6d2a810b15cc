#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Safe to run again: it installs only what is missing.
# The one system setting it changes, and only when packages are missing: deb-src entries in
# the apt sources (Crypto++ for MinGW is built from Debian's source package).
set -euo pipefail

PACKAGES=(
  build-essential cmake make git dpkg-dev python3 python3-cryptography curl file pkg-config
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb x11-apps x11-utils imagemagick
  libcrypto++-dev googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  nginx-light
  libcurl4-openssl-dev osslsigncode openssl
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive

  # Crypto++ for MinGW is built from Debian's source package, which needs deb-src.
  src=/etc/apt/sources.list.d/debian.sources
  if [ -f "$src" ] && ! grep -q '^Types:.*deb-src' "$src"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$src"
  fi
  if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list && ! grep -q '^deb-src ' /etc/apt/sources.list; then
    sed -n 's/^deb /deb-src /p' /etc/apt/sources.list >> /etc/apt/sources.list
  fi
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# The nginx package may start a system service on port 80: it is the machine's, and left as it
# is. The tests run nginx instances of their own on free loopback ports.
exit 0
