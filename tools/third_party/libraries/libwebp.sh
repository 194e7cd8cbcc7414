# libwebp (Debian's libwebp), for the WebP plug-in: the decoder with its SIMD code (SSE2 and
# SSE4.1, chosen at run time) and the demuxer with its animation decoder, which gives the
# first frame of an animated file; no encoder, no programs. Sourced by
# tools/third_party/prepare.sh libwebp BUILD_DIR.

# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=2
TITLE=libwebp
SOURCES=(libwebp 'libwebp-*')

# libwebp writes bottom-up rows through a negative stride (its own flip option, and the plug-in's
# rows), adding each row's offset to the pointer as an unsigned number that wraps: sound on
# every target, but the sanitized flavour's pointer-overflow check would report each row, so
# that one check is left out there.
build_library() {
  local prefix=$1 work=$2 src=${SRC[libwebp]} arg args=()
  shift 2
  for arg in "$@"; do
    [[ $arg == -DCMAKE_C_FLAGS=*-fsanitize=* ]] && arg+=" -fno-sanitize=pointer-overflow"
    args+=("$arg")
  done
  set -- "${args[@]}"
  cmake -G Ninja -S "$src" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_INSTALL_LIBDIR=lib \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
    -DWEBP_ENABLE_SIMD=ON -DWEBP_USE_THREAD=ON -DWEBP_BUILD_ANIM_UTILS=OFF -DWEBP_BUILD_CWEBP=OFF \
    -DWEBP_BUILD_DWEBP=OFF -DWEBP_BUILD_GIF2WEBP=OFF -DWEBP_BUILD_IMG2WEBP=OFF -DWEBP_BUILD_VWEBP=OFF \
    -DWEBP_BUILD_WEBPINFO=OFF -DWEBP_BUILD_LIBWEBPMUX=OFF -DWEBP_BUILD_WEBPMUX=OFF -DWEBP_BUILD_EXTRAS=OFF \
    -DWEBP_BUILD_WEBP_JS=OFF \
    "$@" &&
    cmake --build "$work" --target webpdecoder webpdemux &&
    mkdir -p "$prefix/lib" "$prefix/include/webp" &&
    cp "$work/libwebpdecoder.a" "$work/libwebpdemux.a" "$prefix/lib/" &&
    cp "$src/src/webp/decode.h" "$src/src/webp/demux.h" "$src/src/webp/mux_types.h" \
      "$src/src/webp/types.h" "$prefix/include/webp/"
}
