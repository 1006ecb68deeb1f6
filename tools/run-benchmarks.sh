#!/usr/bin/env bash
# Runs every benchmark program of a release build; each reports its own
# baseline from the same run and the ratio against it (bench/ratios.h tells
# the two kinds of figure apart). A program whose growth breaks a limit exits
# non-zero; a ratio against another implementation that misses its target is
# printed as MISSED without failing its program. The others still run, and the
# script ends with every MISSED line and the names of the programs that failed.
set -uo pipefail
bin=${1:-build/release/bin}
found=0
failed=()
missed=()
log=$(mktemp)
trap 'rm -f "$log"' EXIT
for b in "$bin"/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" | tee "$log"
  [ "${PIPESTATUS[0]}" = 0 ] || failed+=("$(basename "$b")")
  while IFS= read -r line; do
    missed+=("$(basename "$b"): $line")
  done < <(grep -a 'MISSED' "$log")
done
[ "$found" = 1 ] || { echo "no benchmark programs built yet"; exit 1; }
echo
if [ ${#missed[@]} -gt 0 ]; then
  echo "missed targets:"
  printf '  %s\n' "${missed[@]}"
else
  echo "every target met"
fi
if [ ${#failed[@]} -gt 0 ]; then
  echo "failed: ${failed[*]}"
  exit 1
fi
