# Sourced first by each tools/LIB/prepare.sh BUILD_DIR, with LIB (the name of its prefixes,
# lock and log lines) and CONFIG_VERSION set: sets BUILD, ROOT and THIRD, defines log and
# flavour_built, ends the script at once when the three flavours (win, native, bench) are
# built, and otherwise takes the library's lock and brings in Debian's source fetching.

BUILD=$(realpath -m "${1:?usage: prepare.sh BUILD_DIR}")
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
THIRD=$BUILD/third_party

log() { printf '%s: %s\n' "$LIB" "$*" >&2; }

# True when flavour NAME is built with the current configuration.
flavour_built() { [ "$(cat "$THIRD/$LIB-$1/.stamp" 2>/dev/null)" = "$CONFIG_VERSION" ]; }

all_built() { flavour_built win && flavour_built native && flavour_built bench; }
all_built && exit 0

mkdir -p "$THIRD"
# Several builds may start at once (the Win32 and native ones, or other build dirs).
exec 9>"$THIRD/.$LIB.lock"
flock 9
all_built && exit 0

. "$ROOT/tools/third_party/debian_source.sh"
