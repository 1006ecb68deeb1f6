#!/usr/bin/env bash
# Runs every fuzz target for a set time: run.sh <bin folder> [seconds each].
# New inputs go to the build tree; the seeds in fuzz/corpus/ are only read.
# Prints the executions each target reached; stops at the first finding.
set -euo pipefail
bin=$1
seconds=${2:-60}
here=$(cd "$(dirname "$0")" && pwd)
work=$bin/../fuzz-corpus
for target in "$bin"/fuzz_*; do
  name=${target##*/fuzz_}
  mkdir -p "$work/$name"
  log=$work/$name.log
  if ! "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$work/$name-" \
      "$work/$name" "$here/corpus/$name" >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "fuzz: $name found a fault (input saved as $work/$name-*)" >&2
    exit 1
  fi
  echo "fuzz: $name $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') executions"
done
