# Sourced by the benchmarks that run a Windows build: picks the build folder from
# SETUP_BUILD_DIR (default build/win64; build/windows is the shipped 32-bit build), configures
# it when it has never been, and sets BENCH_ARCH to the Wine size its programs need.
#   bench_build TARGET...   builds the targets and says which build runs
build=${SETUP_BUILD_DIR:-build/win64}
bench_build() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    case $(basename "$build") in
      windows|win64) cmake --preset "$(basename "$build")" -DSETUP_WERROR=ON >/dev/null ;;
      *) cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake \
               -DSETUP_BUILD_TESTS=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ;;
    esac
  fi
  BENCH_ARCH=x86_64
  if grep -q '^CMAKE_TOOLCHAIN_FILE.*i686' "$build/CMakeCache.txt"; then BENCH_ARCH=i686; fi
  cmake --build "$build" -j2 --target "$@" >/dev/null
  echo "build: $build ($BENCH_ARCH, $(grep '^CMAKE_BUILD_TYPE' "$build/CMakeCache.txt" | cut -d= -f2))"
}
