#!/bin/bash
# The emulated device as one shared session, on a device and a test device of this test's own:
#  - four ./lumivex decode commands at once give exactly what they give one at a time;
#  - one batch decode (--out) gives the same pictures and lines as single decodes;
#  - a viewer started with ./lumivex view on a display standing in for the user's survives a
#    decode and a test run beside it.
#   session_test.sh LUMIVEX CORPUS
set -u
LUMIVEX=$1
CORPUS=$2
work=$(mktemp -d)
export LUMIVEX_PREFIX=$work/device/wineprefix LUMIVEX_TEST_PREFIX=$work/test-device/wineprefix
export LUMIVEX_IDLE_SECONDS=120
unset DISPLAY WINEPREFIX
user_xvfb=
failures=0

cleanup() {
  "$LUMIVEX" stop >/dev/null 2>&1
  LUMIVEX_PREFIX=$LUMIVEX_TEST_PREFIX "$LUMIVEX" stop >/dev/null 2>&1
  [ -n "$user_xvfb" ] && kill "$user_xvfb" 2>/dev/null
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAILED: $*"
  failures=$((failures + 1))
}

# Real files of every format: pictures, a multi-page file, refusals with their messages.
files=()
for f in bmpsuite/g/pal1.bmp bmpsuite/g/pal8.bmp bmpsuite/g/rgb24.bmp bmpsuite/b/badbitssize.bmp \
         bmpsuite/b/shortfile.bmp pillow/01r_00.pcx pillow/chi.gif pillow/dispose_bgnd.gif \
         pillow/12bit.cropped.tif pillow/16bit.MM.deflate.tif pillow/multipage.tiff pillow/hopper.tif; do
  [ -f "$CORPUS/$f" ] && files+=("$CORPUS/$f")
done
[ ${#files[@]} -ge 8 ] || { echo "too few corpus files in $CORPUS"; exit 1; }

# decode_all OUT_DIR FILE...: each file through its own ./lumivex decode; its lines and status
# go to OUT_DIR/NAME.txt.
decode_all() {
  local out=$1 f name rc
  shift
  for f in "$@"; do
    name=${f##*/}
    rc=0
    "$LUMIVEX" decode "$f" "$out/$name.bmp" >"$out/$name.txt" 2>"$out/$name.err" || rc=$?
    grep -v '^lumivex:' "$out/$name.err" >>"$out/$name.txt"
    echo "exit $rc" >>"$out/$name.txt"
  done
}

mkdir -p "$work/alone" "$work/together" "$work/batch"
decode_all "$work/alone" "${files[@]}"

# Four commands at a time, the first of them starting the device.
"$LUMIVEX" stop >/dev/null 2>&1
pids=()
for lane in 0 1 2 3; do
  lane_files=()
  for i in "${!files[@]}"; do [ $((i % 4)) = $lane ] && lane_files+=("${files[$i]}"); done
  decode_all "$work/together" "${lane_files[@]}" &
  pids+=($!)
done
wait "${pids[@]}"
for f in "${files[@]}"; do
  name=${f##*/}
  diff -u "$work/alone/$name.txt" "$work/together/$name.txt" || fail "$name decoded at once with others differs"
  if [ -f "$work/alone/$name.bmp" ] || [ -f "$work/together/$name.bmp" ]; then
    cmp -s "$work/alone/$name.bmp" "$work/together/$name.bmp" || fail "$name: pictures differ"
  fi
done

# One batch: the same pictures, a line each, the worst status.
batch_rc=0
"$LUMIVEX" decode --out "$work/batch" "${files[@]}" >"$work/batch.txt" 2>/dev/null || batch_rc=$?
worst=0
for f in "${files[@]}"; do
  name=${f##*/}
  stem=${name%.*}
  rc=$(sed -n 's/^exit //p' "$work/alone/$name.txt")
  case "$rc:$worst" in
    2:*|1:0|1:3|3:0) worst=$rc ;;
  esac
  line=$(grep -F "$f: " "$work/batch.txt" | head -n 1)
  if [ "$rc" = 0 ] || [ "$rc" = 3 ]; then
    [ "$line" = "$f: $(head -n 1 "$work/alone/$name.txt" | tr -d '\r')" ] || fail "$name: batch line [$line]"
    cmp -s "$work/alone/$name.bmp" "$work/batch/$stem.bmp" || fail "$name: batch picture differs"
  else
    [ "$line" = "$f: refused" ] || [ "$line" = "$f: no plug-in" ] || fail "$name: batch line [$line]"
  fi
done
[ "$(wc -l <"$work/batch.txt")" = ${#files[@]} ] || fail "batch printed $(wc -l <"$work/batch.txt") lines"
[ $batch_rc = $worst ] || fail "batch exit $batch_rc, want $worst"

# The user's display, with the viewer on it.
"$LUMIVEX" stop >/dev/null 2>&1
for n in $(seq 170 199); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
  user_xvfb=$!
  for _ in $(seq 100); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
  break
done
viewer_runs() {
  local f
  for f in $(grep -lzxF "WINEPREFIX=$LUMIVEX_PREFIX" /proc/[0-9]*/environ 2>/dev/null); do
    tr '\0' ' ' 2>/dev/null <"${f%/environ}/cmdline" | grep -qi 'lumivex\.exe' && return 0
  done
  return 1
}
DISPLAY=:$n "$LUMIVEX" view "${files[0]}" >"$work/view.txt" 2>&1 &
view_pid=$!
for _ in $(seq 120); do viewer_runs && break; sleep 0.5; done
viewer_runs || fail "the viewer did not start: $(cat "$work/view.txt")"
sleep 4

rc=0
DISPLAY=:$n "$LUMIVEX" decode "${files[1]}" "$work/beside.bmp" >/dev/null 2>&1 || rc=$?
[ $rc = 0 ] || fail "decode beside the viewer: exit $rc"
rc=0
DISPLAY=:$n "$LUMIVEX" test -R '^lang_' >"$work/inner-test.txt" 2>&1 || rc=$?
[ $rc = 0 ] || { cat "$work/inner-test.txt"; fail "test run beside the viewer: exit $rc"; }
viewer_runs || fail "the viewer ended while a decode and a test run went on beside it"
kill -0 $view_pid 2>/dev/null || fail "./lumivex view returned while its viewer should run"

echo "$failures failures"
[ $failures = 0 ]
