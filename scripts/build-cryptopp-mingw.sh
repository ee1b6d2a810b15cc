#!/usr/bin/env bash
# Builds Crypto++ for a MinGW target from Debian's source package, once.
# Usage: build-cryptopp-mingw.sh TRIPLE PREFIX
#   TRIPLE: i686-w64-mingw32 or x86_64-w64-mingw32
#   result: PREFIX/include/cryptopp/*.h and PREFIX/lib/libcryptopp.a
set -euo pipefail
triple=$1
prefix=$(realpath -m "$2")
[ -f "$prefix/lib/libcryptopp.a" ] && exit 0
work="$prefix.src"
rm -rf "$work" && mkdir -p "$work"
cd "$work"
apt-get source -qq libcrypto++-dev >/dev/null 2>&1 || apt-get source -qq libcrypto++ >/dev/null
srcdir=$(find . -maxdepth 1 -type d -name 'libcrypto++-*' | head -n 1)
cd "$srcdir"
export CXX=$triple-g++-posix AR=$triple-ar RANLIB=$triple-ranlib
# Portable C++ code paths only: the user's processor is unknown at build time.
export CXXFLAGS="-DNDEBUG -O2 -DCRYPTOPP_DISABLE_ASM"
make -s -f GNUmakefile -j"$(nproc)" static >/dev/null 2>"$work/make.err" || { tail -n 30 "$work/make.err"; exit 1; }
mkdir -p "$prefix/include/cryptopp" "$prefix/lib"
cp ./*.h "$prefix/include/cryptopp/"
cp libcrypto++.a "$prefix/lib/libcryptopp.a"
cd / && rm -rf "$work"
echo "crypto++ for $triple: $prefix/lib/libcryptopp.a"
