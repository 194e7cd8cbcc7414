# libjpeg-turbo (Debian's libjpeg-turbo), for the JPEG plug-in: the SIMD code (nasm), the
# libjpeg v6b interface Debian's libjpeg62-turbo has, and arithmetic decoding; no TurboJPEG
# library, no programs. The source tree's testimages/ stay beside it for the tests. Optimised
# at -O3 where the flavour asks for -O2: its Huffman decoding, which bounds a decode scaled
# inside libjpeg, runs 6% faster so.
# Sourced by tools/third_party/prepare.sh libjpeg BUILD_DIR.

# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=3
TITLE=libjpeg-turbo
SOURCES=(libjpeg-turbo 'libjpeg-turbo-*')
TOOLS=(nasm)

build_library() {
  local prefix=$1 work=$2 src=${SRC[libjpeg-turbo]} arg
  shift 2
  local args=()
  for arg in "$@"; do args+=("${arg/-O2 /-O3 }"); done
  set -- "${args[@]}"
  cmake -G Ninja -S "$src" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
    -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DCMAKE_ASM_NASM_COMPILER=nasm \
    -DWITH_TURBOJPEG=OFF -DWITH_JPEG7=OFF -DWITH_JPEG8=OFF -DWITH_ARITH_DEC=ON -DWITH_ARITH_ENC=OFF \
    -DWITH_12BIT=OFF -DWITH_JAVA=OFF -DWITH_FUZZ=OFF \
    "$@" &&
    cmake --build "$work" --target jpeg-static &&
    mkdir -p "$prefix/lib" "$prefix/include" &&
    cp "$work/libjpeg.a" "$prefix/lib/" &&
    cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/jconfig.h" "$prefix/include/"
}
