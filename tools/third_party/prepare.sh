#!/usr/bin/env bash
# prepare.sh LIB BUILD_DIR: the third-party library LIB of a plug-in, from Debian's source
# packages unpacked once under BUILD_DIR/third_party and built there in three flavours, each
# into its own prefix:
#   LIB-win     static, cross-built for the Win32 plug-in (mingw-w64 x86_64)
#   LIB-native  clang with ASan, UBSan and fuzzer coverage, for the fuzzer
#   LIB-bench   gcc -O2 like the plug-in's (same compiler and flags), for the benchmark
# tools/third_party/libraries/LIB.sh holds what is the library's own (its packages, its build
# and options); everything else is here. A stamp per flavour, holding the library's
# CONFIG_VERSION, makes a second run cost nothing: a change to a flavour's settings below
# bumps every library's CONFIG_VERSION.
set -euo pipefail

usage="usage: prepare.sh LIB BUILD_DIR"
LIB=${1:?$usage}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=$(realpath -m "${2:?$usage}")
THIRD=$BUILD/third_party

log() { printf '%s: %s\n' "$LIB" "$*" >&2; }

[ -f "$HERE/libraries/$LIB.sh" ] || { log "no such library (tools/third_party/libraries/$LIB.sh)"; exit 2; }
# Sets CONFIG_VERSION, TITLE (what the log lines call it), SOURCES (pairs of a Debian source
# package and the glob of its unpacked tree, fetched in order), TOOLS (programs its build needs),
# NEEDS (libraries it builds on, prepared first; their prefix of the same flavour is
# $THIRD/NAME-$FLAVOUR) and build_library PREFIX WORK CMAKE-ARGS..., which builds the library
# with the flavour's CMake arguments in WORK and installs it into PREFIX (lib/ and include/).
TOOLS=()
NEEDS=()
. "$HERE/libraries/$LIB.sh"

# True when flavour NAME is built with the current configuration.
flavour_built() { [ "$(cat "$THIRD/$LIB-$1/.stamp" 2>/dev/null)" = "$CONFIG_VERSION" ]; }

all_built() { flavour_built win && flavour_built native && flavour_built bench; }
all_built && exit 0

for need in "${NEEDS[@]}"; do "$HERE/prepare.sh" "$need" "$BUILD"; done

mkdir -p "$THIRD"
# Several builds may start at once (the Win32 and native ones, or other build dirs).
exec 9>"$THIRD/.$LIB.lock"
flock 9
all_built && exit 0

. "$HERE/debian_source.sh"

for tool in "${TOOLS[@]}"; do
  command -v "$tool" >/dev/null || { log "$tool is missing (./lumivex installs it)"; exit 1; }
done

# The unpacked tree of each source package, by package name.
declare -A SRC=()
for ((i = 0; i < ${#SOURCES[@]}; i += 2)); do
  fetch_debian_source "${SOURCES[i]}" "${SOURCES[i + 1]}"
  SRC[${SOURCES[i]}]=$(debian_source_dir "${SOURCES[i + 1]}")
done

# build_flavour NAME CMAKE-ARGS...: builds and installs one flavour, its output in a log;
# build_library sees the flavour's name as FLAVOUR.
build_flavour() {
  local name=$1 FLAVOUR=$1
  shift
  local prefix=$THIRD/$LIB-$name work=$THIRD/$LIB-$name-build
  flavour_built "$name" && return 0
  log "building $TITLE ($name)"
  rm -rf "$prefix" "$work"
  build_library "$prefix" "$work" "$@" >"$work.log" 2>&1 || { tail -n 30 "$work.log" >&2; return 1; }
  printf '%s\n' "$CONFIG_VERSION" >"$prefix/.stamp"
  rm -rf "$work"
}

# The Win32 flavour's string operations of unknown length inline as the CPU's fast string
# instructions rather than calls into the C runtime, which is Wine's msvcrt: its memcpy and
# memset cost several times glibc's on the short copies and fills codecs make (cmake/Lumivex.cmake).
build_flavour win -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG -minline-all-stringops -mstringop-strategy=rep_byte"
build_flavour native -DCMAKE_C_COMPILER=clang -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_FLAGS="-fsanitize=address,undefined -fsanitize=fuzzer-no-link -fno-omit-frame-pointer"
build_flavour bench -DCMAKE_C_COMPILER=gcc -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG"
