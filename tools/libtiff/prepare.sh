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

BUILD=$(realpath -m "${1:?usage: prepare.sh BUILD_DIR}")
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
THIRD=$BUILD/third_party
# Bump when the configuration below changes, so that every flavour is built again.
CONFIG_VERSION=2

log() { printf 'libtiff: %s\n' "$*" >&2; }

all_built() {
  local f
  for f in win native bench; do
    [ "$(cat "$THIRD/libtiff-$f/.stamp" 2>/dev/null)" = "$CONFIG_VERSION" ] || return 1
  done
}
all_built && exit 0

mkdir -p "$THIRD"
# Several builds may start at once (the Win32 and native ones, or other build dirs).
exec 9>"$THIRD/.libtiff.lock"
flock 9
all_built && exit 0

as_root() {
  if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi
}

# True when some apt source list already offers source packages.
have_deb_src() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && grep -Eq '^[[:space:]]*deb-src[[:space:]]' "$f" && return 0
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -Eiq '^Types:.*deb-src' "$f" && return 0
  done
  return 1
}

# A deb-src twin of every Debian stanza of the machine's deb822 list, security suites left
# out (their source files are not always there), and likewise for one-line lists.
write_deb_src() {
  local out=/etc/apt/sources.list.d/lumivex-deb-src.sources tmp
  tmp=$(mktemp)
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk '
      function flush() {
        if (types ~ /(^|[ \t])deb([ \t]|$)/ && uris != "" && suites != "" && uris !~ /security/) {
          n = split(suites, s, /[ \t]+/); kept = ""
          for (i = 1; i <= n; i++) if (s[i] != "" && s[i] !~ /security/) kept = kept " " s[i]
          if (kept != "") {
            printf "Types: deb-src\nURIs: %s\nSuites:%s\nComponents: %s\n", uris, kept, comps
            if (signed != "") printf "Signed-By: %s\n", signed
            printf "\n"
          }
        }
        types = uris = suites = comps = signed = ""
      }
      /^[ \t]*#/ { next }
      /^[ \t]*$/ { flush(); next }
      /^Types:/ { sub(/^Types:[ \t]*/, ""); types = $0; next }
      /^URIs:/ { sub(/^URIs:[ \t]*/, ""); uris = $0; next }
      /^Suites:/ { sub(/^Suites:[ \t]*/, ""); suites = $0; next }
      /^Components:/ { sub(/^Components:[ \t]*/, ""); comps = $0; next }
      /^Signed-By:/ { sub(/^Signed-By:[ \t]*/, ""); signed = $0; next }
      END { flush() }
    ' "$f" >>"$tmp"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    grep -E '^[[:space:]]*deb[[:space:]]' "$f" | grep -v security |
      sed -E 's/^[[:space:]]*deb[[:space:]]/deb-src /' >>"$tmp.list" || true
  done
  if [ -s "$tmp" ]; then
    as_root install -m 0644 "$tmp" "$out"
  elif [ -s "$tmp.list" ]; then
    as_root install -m 0644 "$tmp.list" /etc/apt/sources.list.d/lumivex-deb-src.list
  else
    rm -f "$tmp" "$tmp.list"
    log "no Debian source list to derive a deb-src entry from"
    return 1
  fi
  rm -f "$tmp" "$tmp.list"
}

source_dir() {
  local d
  for d in "$THIRD"/tiff-*/; do
    [ -f "$d/.unpacked" ] && { printf '%s' "${d%/}"; return 0; }
  done
  return 1
}

fetch_source() {
  source_dir >/dev/null && return 0
  if ! have_deb_src; then
    log "adding a deb-src entry for the machine's Debian suites"
    write_deb_src
  fi
  log "fetching Debian's tiff source package"
  # apt-get source needs the source index; refresh it when it is not there yet.
  if ! apt-get source --print-uris tiff >/dev/null 2>&1; then
    as_root apt-get update -qq
  fi
  local dl
  dl=$(mktemp -d "$THIRD/.fetch.XXXXXX")
  (cd "$dl" && apt-get source -qq tiff >/dev/null)
  local d
  d=$(find "$dl" -mindepth 1 -maxdepth 1 -type d -name 'tiff-*' | head -n 1)
  [ -n "$d" ] || { log "apt-get source tiff gave no source tree"; return 1; }
  touch "$d/.unpacked"
  rm -rf "${THIRD:?}/$(basename "$d")"
  mv "$d" "$THIRD/"
  rm -rf "$dl"
}

# build_flavour NAME CMAKE-ARGS...: configures, builds and installs one flavour.
build_flavour() {
  local name=$1
  shift
  local prefix=$THIRD/libtiff-$name work=$THIRD/libtiff-$name-build
  [ "$(cat "$prefix/.stamp" 2>/dev/null)" = "$CONFIG_VERSION" ] && return 0
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

fetch_source
SRC=$(source_dir)

build_flavour win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
build_flavour native -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
build_flavour bench -DCMAKE_C_COMPILER=gcc -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
