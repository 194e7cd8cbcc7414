#!/usr/bin/env bash
# collect_seeds.sh NAME CORPUS REGRESSIONS OUT [MORE...]: links the files of one format in the
# corpus, and in the further folders MORE, into OUT.
set -euo pipefail
name=$1 corpus=$(realpath -m "$2") regressions=$(realpath -m "$3") out=$4
shift 4
mkdir -p "$out"
case "$name" in
  bmp) pattern='*.bmp' ;;
  pcx) pattern='*.pcx' ;;
  gif) pattern='*.gif' ;;
  tif) pattern='*.tif*' ;;
  jpg) pattern='*.jp*g' ;;
  png) pattern='*.png' ;;
  webp) pattern='*.webp' ;;
  *) pattern='*' ;;
esac
for dir in "$corpus" "$@"; do
  [ -d "$dir" ] || continue
  find "$(realpath -m "$dir")" -type f -iname "$pattern" -size -1024k -exec ln -sf {} "$out/" \; 2>/dev/null || true
done
if [ -d "$regressions/$name" ]; then
  find "$regressions/$name" -type f ! -name '.*' -exec ln -sf {} "$out/" \;
fi
