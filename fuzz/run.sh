#!/usr/bin/env bash
# Runs every fuzz target: run.sh <bin folder> [seconds each] [runs each] [targets...]
# A runs budget of 0 means "until the time is up"; otherwise a target stops at
# whichever comes first. Inputs are capped at 64 KB for the splitting targets,
# where a long line with brackets or quotes that never close is what would
# show a search that is not linear, and at 4 KB for the rest; FUZZ_MAX_LEN
# sets one cap for all. An input that runs longer than FUZZ_TIMEOUT seconds
# (default 25) is a finding: every entry must cost time linear in its input.
# New inputs go to the build tree; the seeds in fuzz/corpus/ are only read.
# Prints the executions each target reached; stops at the first finding.
set -euo pipefail
bin=$1
seconds=${2:-60}
runs=${3:-0}
shift $(($# < 3 ? $# : 3))
here=$(cd "$(dirname "$0")" && pwd)
work=$bin/../fuzz-corpus
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$bin"/fuzz_*; do targets+=("${t##*/fuzz_}"); done
fi
limit=()
[ "$seconds" -gt 0 ] && limit+=(-max_total_time="$seconds")
[ "$runs" -gt 0 ] && limit+=(-runs="$runs")
if [ ${#limit[@]} -eq 0 ]; then echo "fuzz: give a time or a runs budget" >&2; exit 2; fi
for name in "${targets[@]}"; do
  mkdir -p "$work/$name"
  log=$work/$name.log
  case $name in
    tokens|separators|csv_line|key_values|separate) cap=65536 ;;
    *) cap=4096 ;;
  esac
  if ! "$bin/fuzz_$name" "${limit[@]}" -max_len="${FUZZ_MAX_LEN:-$cap}" \
      -timeout="${FUZZ_TIMEOUT:-25}" -print_final_stats=1 \
      -artifact_prefix="$work/$name-" "$work/$name" "$here/corpus/$name" >"$log" 2>&1; then
    tail -n 30 "$log"
    echo "fuzz: $name found a fault (input saved as $work/$name-*)" >&2
    exit 1
  fi
  echo "fuzz: $name $(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') executions" \
       "in $(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | grep -o '[0-9]* second' || echo '?')s"
done
