#!/usr/bin/env bash
# collect_seeds.sh NAME CORPUS REGRESSIONS OUT: links the corpus files of one format into OUT.
set -euo pipefail
name=$1 corpus=$(realpath -m "$2") regressions=$(realpath -m "$3") out=$4
mkdir -p "$out"
case "$name" in
  bmp) pattern='*.bmp' ;;
  pcx) pattern='*.pcx' ;;
  gif) pattern='*.gif' ;;
  tif) pattern='*.tif*' ;;
  *) pattern='*' ;;
esac
if [ -d "$corpus" ]; then
  find "$corpus" -type f -iname "$pattern" -size -1024k -exec ln -sf {} "$out/" \; 2>/dev/null || true
fi
if [ -d "$regressions/$name" ]; then
  find "$regressions/$name" -type f ! -name '.*' -exec ln -sf {} "$out/" \;
fi
