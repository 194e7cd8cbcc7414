# libpng (Debian's libpng1.6) over zlib (Debian's zlib), for the PNG plug-in, both libraries of
# a flavour in one prefix. libpng keeps its SSE2 row filters; zlib is optimised as Debian
# builds it (-O3, unaligned reads on x86, tools/third_party/zlib); no shared libraries,
# programs or tests. Sourced by tools/third_party/prepare.sh libpng BUILD_DIR.

# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=3
TITLE="zlib and libpng"
SOURCES=(zlib 'zlib-*' libpng1.6 'libpng1.6-*')

# zlib, then libpng over it.
build_library() {
  local prefix=$1 work=$2
  shift 2
  cmake -G Ninja -S "$HERE/zlib" -B "$work/zlib" -DCMAKE_INSTALL_PREFIX="$prefix" -DZLIB_SOURCE="${SRC[zlib]}" \
    -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" &&
    cmake --build "$work/zlib" --target install &&
    cmake -G Ninja -S "${SRC[libpng1.6]}" -B "$work/png" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
      -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF -DPNG_HARDWARE_OPTIMIZATIONS=ON \
      -Dld-version-script=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
      -DZLIB_LIBRARY="$prefix/lib/libz.a" -DZLIB_INCLUDE_DIR="$prefix/include" "$@" &&
    cmake --build "$work/png" --target install
}
