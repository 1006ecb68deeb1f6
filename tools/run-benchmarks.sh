#!/usr/bin/env bash
# Runs every benchmark program of a release build; each reports its own
# baseline from the same run and the ratio against it. A program that misses
# its target says so and exits non-zero; the others still run, and the script
# ends with the names of those that missed.
set -uo pipefail
bin=${1:-build/release/bin}
found=0
missed=()
for b in "$bin"/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b" || missed+=("$(basename "$b")")
done
[ "$found" = 1 ] || { echo "no benchmark programs built yet"; exit 1; }
if [ ${#missed[@]} -gt 0 ]; then
  echo "missed a target: ${missed[*]}"
  exit 1
fi
