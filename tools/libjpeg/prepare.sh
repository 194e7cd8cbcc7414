#!/usr/bin/env bash
# prepare.sh BUILD_DIR: Debian's libjpeg-turbo source, unpacked once under
# BUILD_DIR/third_party and built there in three flavours, each into its own prefix:
#   libjpeg-win     static, cross-built for the Win32 plug-in (mingw-w64 x86_64)
#   libjpeg-native  clang with ASan, UBSan and fuzzer coverage, for the fuzzer
#   libjpeg-bench   gcc -O2 like the plug-in's (same compiler and flags), for the benchmark
# Each has the SIMD code (nasm), the libjpeg v6b interface Debian's libjpeg62-turbo has, and
# arithmetic decoding; no TurboJPEG library, no programs. The source tree's testimages/ stay
# beside it for the tests. A stamp per flavour makes a second run cost nothing.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LIB=libjpeg
# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=1
. "$HERE/../third_party/prepare_start.sh"

command -v nasm >/dev/null || { log "nasm is missing (./lumivex installs it)"; exit 1; }

# build_flavour NAME CMAKE-ARGS...: configures, builds and installs one flavour.
build_flavour() {
  local name=$1
  shift
  local prefix=$THIRD/libjpeg-$name work=$THIRD/libjpeg-$name-build
  flavour_built "$name" && return 0
  log "building libjpeg-turbo ($name)"
  rm -rf "$prefix" "$work"
  cmake -G Ninja -S "$SRC" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=OFF \
    -DWITH_12BIT=OFF -DWITH_JAVA=OFF -DWITH_FUZZ=OFF \
    "$@" >"$work.log" 2>&1 || { tail -n 30 "$work.log" >&2; return 1; }
  cmake --build "$work" --target jpeg-static >>"$work.log" 2>&1 || { tail -n 30 "$work.log" >&2; return 1; }
  mkdir -p "$prefix/lib" "$prefix/include"
  cp "$work/libjpeg.a" "$prefix/lib/"
  cp "$SRC/jpeglib.h" "$SRC/jmorecfg.h" "$SRC/jerror.h" "$work/jconfig.h" "$prefix/include/"
  printf '%s\n' "$CONFIG_VERSION" >"$prefix/.stamp"
  rm -rf "$work"
}

fetch_debian_source libjpeg-turbo 'libjpeg-turbo-*'
SRC=$(debian_source_dir 'libjpeg-turbo-*')

build_flavour win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
build_flavour native -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
build_flavour bench -DCMAKE_C_COMPILER=gcc -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
