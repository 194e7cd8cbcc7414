#!/bin/bash
# The device's command costs, each measured beside its yardstick in the same run:
#  - a warm ./lumivex decode of a small file against Pillow's whole process on the same file,
#    in turns (ROUNDS pairs, medians);
#  - 100 small files in one batch decode against one warm single decode;
#  - a warm ./lumivex view IMAGE --screenshot, whose viewer shows its splash for 3 s first.
#   device_bench.sh LUMIVEX CORPUS [ROUNDS]
set -eu
LUMIVEX=$1
CORPUS=$2
ROUNDS=${3:-9}
small=$CORPUS/bmpsuite/g/pal8.bmp
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

seconds() {
  local start end
  start=$EPOCHREALTIME
  "$@" >/dev/null 2>&1 || true
  end=$EPOCHREALTIME
  calc "$end - $start"
}

calc() { awk "BEGIN { printf \"%.4f\", $1 }"; }

median() { sort -g | awk '{v[NR]=$1} END {printf "%.3f", (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

echo "file: $small ($(stat -c %s "$small") bytes)"
"$LUMIVEX" decode "$small" "$work/warm.bmp" >/dev/null
ours=() pillow=()
for _ in $(seq "$ROUNDS"); do
  pillow+=("$(seconds /usr/bin/python3 -c "from PIL import Image; Image.open('$small').load()")")
  ours+=("$(seconds "$LUMIVEX" decode "$small" "$work/one.bmp")")
done
o=$(printf '%s\n' "${ours[@]}" | median)
p=$(printf '%s\n' "${pillow[@]}" | median)
printf 'warm decode:    %s s  Pillow process: %s s  ratio %.2f  (median of %d pairs)\n' "$o" "$p" \
  "$(calc "$o / $p")" "$ROUNDS"

mkdir -p "$work/many" "$work/out"
i=0
for f in "$CORPUS"/bmpsuite/g/*.bmp; do
  [ $i -lt 100 ] || break
  cp "$f" "$work/many/$(printf '%03d' $i).bmp"
  i=$((i + 1))
done
while [ $i -lt 100 ]; do cp "$small" "$work/many/$(printf '%03d' $i).bmp"; i=$((i + 1)); done
single=$(seconds "$LUMIVEX" decode "$small" "$work/one.bmp")
batch=$(seconds "$LUMIVEX" decode --out "$work/out" "$work"/many/*.bmp)
printf 'batch of 100:   %.3f s  one warm decode: %.3f s  difference %.3f s\n' "$batch" "$single" \
  "$(calc "$batch - $single")"

"$LUMIVEX" view "$small" --screenshot "$work/shot.png" >/dev/null 2>&1 || true
shot=$(seconds "$LUMIVEX" view "$small" --screenshot "$work/shot.png")
printf 'warm screenshot: %.3f s  without the splash'"'"'s 3 s: %.3f s\n' "$shot" "$(calc "$shot - 3")"
