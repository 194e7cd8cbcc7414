#!/usr/bin/env bash
# prepare.sh BUILD_DIR: Debian's libtiff source, unpacked once under BUILD_DIR/third_party and
# built there in three flavours, each into its own prefix:
#   libtiff-win     static, cross-built for the Win32 plug-in (mingw-w64 x86_64)
#   libtiff-native  clang with ASan, UBSan and fuzzer coverage, for the fuzzer
#   libtiff-bench   gcc -O2 like the plug-in's (same compiler and flags), for the benchmark
# Only the codecs the plug-in reads are built in: none, PackBits, LZW (with the predictor),
# CCITT RLE, RLE/W, Group 3 and 4, NeXT and ThunderScan. A stamp per flavour makes a second
# run cost nothing.
set -euo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
LIB=libtiff
# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=2
. "$HERE/../third_party/prepare_start.sh"

# build_flavour NAME CMAKE-ARGS...: configures, builds and installs one flavour.
build_flavour() {
  local name=$1
  shift
  local prefix=$THIRD/libtiff-$name work=$THIRD/libtiff-$name-build
  flavour_built "$name" && return 0
  log "building libtiff ($name)"
  rm -rf "$prefix" "$work"
  cmake -G Ninja -S "$SRC" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dtiff-deprecated=OFF \
    -Dcxx=OFF \
    -Dccitt=ON -Dpackbits=ON -Dlzw=ON -Dthunder=ON -Dnext=ON \
    -Dlogluv=OFF -Dmdi=OFF \
    -Dzlib=OFF -Dlibdeflate=OFF -Dpixarlog=OFF -Djpeg=OFF -Dold-jpeg=OFF -Djpeg12=OFF \
    -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_ZLIB=ON -DCMAKE_DISABLE_FIND_PACKAGE_JPEG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_Deflate=ON -DCMAKE_DISABLE_FIND_PACKAGE_JBIG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_LERC=ON -DCMAKE_DISABLE_FIND_PACKAGE_LibLZMA=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_ZSTD=ON -DCMAKE_DISABLE_FIND_PACKAGE_WebP=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON -DCMAKE_DISABLE_FIND_PACKAGE_GLUT=ON \
    "$@" >"$work.log" 2>&1 || { tail -n 30 "$work.log" >&2; return 1; }
  cmake --build "$work" --target install >>"$work.log" 2>&1 || { tail -n 30 "$work.log" >&2; return 1; }
  printf '%s\n' "$CONFIG_VERSION" >"$prefix/.stamp"
  rm -rf "$work"
}

fetch_debian_source tiff 'tiff-*'
SRC=$(debian_source_dir 'tiff-*')

build_flavour win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
build_flavour native -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
build_flavour bench -DCMAKE_C_COMPILER=gcc -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
