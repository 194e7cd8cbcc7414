# libtiff (Debian's tiff), for the TIFF plug-in, with only the codecs the plug-in reads: none,
# PackBits, LZW (with the predictor), Deflate (over the zlib the PNG plug-in's libpng prefix
# holds, of the same flavour, and libdeflate, which libtiff takes for a strip read whole),
# CCITT RLE, RLE/W, Group 3 and 4, NeXT and ThunderScan.
# Sourced by tools/third_party/prepare.sh libtiff BUILD_DIR.

# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=5
TITLE=libtiff
SOURCES=(tiff 'tiff-*')
NEEDS=(libpng libdeflate)

build_library() {
  local prefix=$1 work=$2 zlib=$THIRD/libpng-$FLAVOUR deflate=$THIRD/libdeflate-$FLAVOUR
  shift 2
  [ -f "$zlib/lib/libz.a" ] || { echo "zlib is missing under $zlib"; return 1; }
  [ -f "$deflate/lib/libdeflate.a" ] || { echo "libdeflate is missing under $deflate"; return 1; }
  cmake -G Ninja -S "${SRC[tiff]}" -B "$work" -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DBUILD_SHARED_LIBS=OFF -DCMAKE_POSITION_INDEPENDENT_CODE=ON \
    -Dtiff-tools=OFF -Dtiff-tests=OFF -Dtiff-contrib=OFF -Dtiff-docs=OFF -Dtiff-deprecated=OFF \
    -Dcxx=OFF \
    -Dccitt=ON -Dpackbits=ON -Dlzw=ON -Dthunder=ON -Dnext=ON \
    -Dlogluv=OFF -Dmdi=OFF \
    -Dzlib=ON -DZLIB_LIBRARY="$zlib/lib/libz.a" -DZLIB_INCLUDE_DIR="$zlib/include" \
    -Dlibdeflate=ON -DDeflate_INCLUDE_DIR="$deflate/include" -DDeflate_LIBRARY="$deflate/lib/libdeflate.a" \
    -DDeflate_LIBRARY_RELEASE="$deflate/lib/libdeflate.a" \
    -Dpixarlog=OFF -Djpeg=OFF -Dold-jpeg=OFF -Djpeg12=OFF \
    -Djbig=OFF -Dlerc=OFF -Dlzma=OFF -Dzstd=OFF -Dwebp=OFF \
    -DCMAKE_DISABLE_FIND_PACKAGE_JPEG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_JBIG=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_LERC=ON -DCMAKE_DISABLE_FIND_PACKAGE_LibLZMA=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_ZSTD=ON -DCMAKE_DISABLE_FIND_PACKAGE_WebP=ON \
    -DCMAKE_DISABLE_FIND_PACKAGE_OpenGL=ON -DCMAKE_DISABLE_FIND_PACKAGE_GLUT=ON \
    "$@" &&
    cmake --build "$work" --target install
}
