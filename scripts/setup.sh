#!/usr/bin/env bash
# Installs every Debian package the build, the tests and the demo need.
# Safe to run again: it installs only what is missing.
# The system setting it changes, and only when packages are missing: deb-src entries in the
# apt sources (Crypto++ for MinGW is built from Debian's source package). Where the kernel
# starts 32-bit programs, 32-bit Wine (for the suite of the shipped 32-bit Setup.exe) goes into
# an i386 Debian root inside the clone, build/root32 (scripts/root32.sh): the host gets no i386
# architecture and no 32-bit package.
#   SETUP_I686_TESTS=off   no 32-bit Wine, no suite of the shipped build
#   SETUP_I686_PROBE=refuse   the probe is refused as on a kernel without 32-bit support
# The decision is left in build/i686-suite.txt for scripts/test.sh: "on", or why not.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

PACKAGES=(
  build-essential cmake make git dpkg-dev python3 python3-cryptography curl file pkg-config
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 mingw-w64-tools
  wine wine64 xvfb x11-apps x11-utils imagemagick debootstrap
  libcrypto++-dev googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev
  nginx-light
  libcurl4-openssl-dev osslsigncode openssl
)

# A mirror caught mid-sync fails one index and apt-get update then fails as a whole; the
# install that follows says whether what it needs is there.
refresh_indexes() {
  apt-get update -qq || echo "setup: apt-get update failed for some indexes; installing from those it has"
}

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
  refresh_indexes
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
# A 32-bit static program of a few bytes that exits with 42 at once: no i386 package needed.
# Where the kernel has no 32-bit support, it cannot start; 32-bit Wine would then run through
# an emulator, if at all, and slow down or break 64-bit Wine: it is never installed there.
write_i686_probe() {
  local machine='\x03'  # EM_386; SETUP_I686_PROBE=refuse writes a machine no kernel runs
  [ "${SETUP_I686_PROBE:-}" = refuse ] && machine='\xff'
  local header='\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'
  header+="\\x02\\x00${machine}\\x00\\x01\\x00\\x00\\x00\\x54\\x80\\x04\\x08\\x34\\x00\\x00\\x00"
  header+='\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00'
  # One loadable segment: the whole file at 0x08048000, readable and executable.
  local segment='\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08'
  segment+='\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00'
  # mov ebx, 42; mov eax, 1 (exit); int 0x80
  local code='\xbb\x2a\x00\x00\x00\xb8\x01\x00\x00\x00\xcd\x80'
  printf "$header$segment$code" >"$1"
  chmod +x "$1"
}

# Prints "on" when the suite of the 32-bit build can run here, otherwise why not.
i686_suite_decision() {
  if [ "${SETUP_I686_TESTS:-on}" = off ]; then
    echo "skipped by choice (SETUP_I686_TESTS=off)"
    return
  fi
  local probe=$repo/build/i686-probe rc=0
  write_i686_probe "$probe"
  timeout 10 "$probe" >/dev/null 2>&1 || rc=$?
  rm -f "$probe"
  if [ "$rc" -eq 42 ]; then
    echo on
  else
    echo "skipped, kernel refuses 32-bit programs (a 32-bit test program of 96 bytes ended with status $rc, not 42)"
  fi
}

mkdir -p "$repo/build"
decision=$(i686_suite_decision)
if [ "$decision" = on ]; then
  # The reason of a failure is its last line; the summary line of scripts/test.sh shows it.
  why=$(bash "$repo/scripts/root32.sh" make) || decision="skipped, $(tail -n 1 <<<"${why:-no 32-bit Wine in build/root32}")"
fi
if [ "$decision" != on ]; then
  echo "setup: the i686 suite (the shipped 32-bit Setup.exe under 32-bit Wine) is $decision"
fi
echo "$decision" >"$repo/build/i686-suite.txt"

# The nginx package may start a system service on port 80: it is the machine's, and left as it
# is. The tests run nginx instances of their own on free loopback ports.
exit 0
