#!/usr/bin/env bash
# Runs every fuzz harness in a folder for a number of seconds each, on the seed corpus in fuzz/corpus/<name>,
# as many at once as there are cores (FUZZ_JOBS to choose). Each harness's last lines are printed when
# it ends, all of its output when it found something.
#   scripts/run-fuzzers.sh <folder> [seconds]
set -euo pipefail
dir=$1
seconds=${2:-20}
parallel=${FUZZ_JOBS:-$(nproc)}
root=$(cd "$(dirname "$0")/.." && pwd)
# Harnesses whose every input reads many files run shorter, so that the fuzzing job stays brief.
declare -A cap=([fuzz_sfz_full]=15)
shopt -s nullglob
names=()
pids=()
works=()
for harness in "$dir"/fuzz_*; do
  [ -x "$harness" ] || continue
  name=$(basename "$harness")
  limit=$seconds
  [ -n "${cap[$name]:-}" ] && [ "${cap[$name]}" -lt "$limit" ] && limit=${cap[$name]}
  work=$(mktemp -d)
  seeds=()
  [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
  echo "== $name for ${limit}s"
  mkdir "$work/corpus"
  "$harness" -max_total_time="$limit" -rss_limit_mb=2048 "$work/corpus" "${seeds[@]}" >"$work/log" 2>&1 &
  names+=("$name")
  pids+=($!)
  works+=("$work")
  while [ "$(jobs -rp | wc -l)" -ge "$parallel" ]; do wait -n || true; done
done
status=0
for k in "${!pids[@]}"; do
  # bash keeps the status of a job that `wait -n` collected, for this wait to report.
  if wait "${pids[$k]}"; then
    echo "== ${names[$k]}: no finding"
    tail -n 3 "${works[$k]}/log"
  else
    echo "== ${names[$k]}: FAILED"
    cat "${works[$k]}/log"
    status=1
  fi
  rm -rf "${works[$k]}"
done
exit $status
