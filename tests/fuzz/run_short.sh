#!/usr/bin/env bash
# run_short.sh FUZZER NAME CORPUS WORK SECONDS [MORE...]: replays the corpus, the further seed
# folders MORE and the regression files once (sanitizers and leak checks on), then fuzzes for
# SECONDS.
set -euo pipefail
fuzzer=$1 name=$2 corpus=$3 work=$4 seconds=$5
shift 5
here=$(cd "$(dirname "$0")" && pwd)
seeds=$work/$name-seeds
mkdir -p "$work/$name" "$seeds"
"$here/collect_seeds.sh" "$name" "$corpus" "$here/regressions" "$seeds" "$@"
files=("$seeds"/*)
if [ -e "${files[0]}" ]; then
  "$fuzzer" -rss_limit_mb=2048 "${files[@]}" > "$work/$name-replay.log" 2>&1 ||
    { tail -n 40 "$work/$name-replay.log"; exit 1; }
  echo "replayed ${#files[@]} files"
fi
"$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=65536 -print_final_stats=1 \
  -artifact_prefix="$work/$name-" "$work/$name" "$seeds" > "$work/$name-fuzz.log" 2>&1 ||
  { tail -n 40 "$work/$name-fuzz.log"; exit 1; }
grep -E 'stat::number_of_executed_units' "$work/$name-fuzz.log" || true
