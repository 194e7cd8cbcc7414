#!/usr/bin/env bash
# prepare.sh BUILD_DIR: Debian's libpng1.6 and zlib sources, unpacked once under
# BUILD_DIR/third_party and built there in three flavours, both libraries of a flavour into
# one prefix:
#   libpng-win     static, cross-built for the Win32 plug-in (mingw-w64 x86_64)
#   libpng-native  clang with ASan, UBSan and fuzzer coverage, for the fuzzer
#   libpng-bench   gcc -O2 like the plug-in's (same compiler and flags), for the benchmark
# libpng keeps its SSE2 row filters; zlib is optimised as Debian builds it (-O3, unaligned
# reads on x86); no shared libraries, programs or tests. A stamp per flavour makes a second
# run cost nothing.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LIB=libpng
# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=2
. "$HERE/../third_party/prepare_start.sh"

# build_flavour NAME CMAKE-ARGS...: zlib, then libpng over it, into one prefix.
build_flavour() {
  local name=$1
  shift
  local prefix=$THIRD/libpng-$name work=$THIRD/libpng-$name-build
  flavour_built "$name" && return 0
  log "building zlib and libpng ($name)"
  rm -rf "$prefix" "$work"
  {
    cmake -G Ninja -S "$HERE/zlib" -B "$work/zlib" -DCMAKE_INSTALL_PREFIX="$prefix" -DZLIB_SOURCE="$ZLIB_SRC" \
      -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" &&
      cmake --build "$work/zlib" --target install &&
      cmake -G Ninja -S "$PNG_SRC" -B "$work/png" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
        -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -DPNG_HARDWARE_OPTIMIZATIONS=ON \
        -Dld-version-script=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
        -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" "$@" &&
      cmake --build "$work/png" --target install
  } >"$work.log" 2>&1 || { tail -n 30 "$work.log" >&2; return 1; }
  printf '%s\n' "$CONFIG_VERSION" >"$prefix/.stamp"
  rm -rf "$work"
}

fetch_debian_source zlib 'zlib-*'
fetch_debian_source libpng1.6 'libpng1.6-*'
ZLIB_SRC=$(debian_source_dir 'zlib-*')
PNG_SRC=$(debian_source_dir 'libpng1.6-*')

build_flavour win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
build_flavour native -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
build_flavour bench -DCMAKE_C_COMPILER=gcc -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
