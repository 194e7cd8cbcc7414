# libdeflate (Debian's libdeflate), for the PNG and TIFF plug-ins: its zlib-format
# decompressor, which inflates a PNG's image data whole where the file is mapped and a Deflate
# TIFF's strips read whole (through libtiff), with its runtime choice of the CPU's faster
# routines (tools/third_party/libdeflate: the zlib and raw formats, static).
# Sourced by tools/third_party/prepare.sh libdeflate BUILD_DIR.

# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=3
TITLE=libdeflate
SOURCES=(libdeflate 'libdeflate-*')

build_library() {
  local prefix=$1 work=$2
  shift 2
  cmake -G Ninja -S "$HERE/libdeflate" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DLIBDEFLATE_SOURCE="${SRC[libdeflate]}" -DCMAKE_POSITION_INDEPENDENT_CODE=ON "$@" &&
    cmake --build "$work" --target install
}
