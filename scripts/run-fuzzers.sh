#!/usr/bin/env bash
# Runs every fuzz harness in a folder for a number of seconds each, on the seed corpus in fuzz/corpus/<name>.
set -euo pipefail
dir=$1
seconds=${2:-20}
root=$(cd "$(dirname "$0")/.." && pwd)
# Harnesses whose every input reads many files run shorter, so that the fuzzing job stays brief.
declare -A cap=([fuzz_sfz_full]=15)
shopt -s nullglob
for harness in "$dir"/fuzz_*; do
  [ -x "$harness" ] || continue
  name=$(basename "$harness")
  limit=$seconds
  [ -n "${cap[$name]:-}" ] && [ "${cap[$name]}" -lt "$limit" ] && limit=${cap[$name]}
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  echo "== $name for ${limit}s"
  "$harness" -max_total_time="$limit" -rss_limit_mb=2048 "$work" "${seeds[@]}" 2>&1 | tail -n 3
  rm -rf "$work"
done
