#!/usr/bin/env bash
# Runs every benchmark program of a release build; each reports its own
# baseline from the same run and the ratio against it.
set -euo pipefail
bin=${1:-build/release/bin}
found=0
for b in "$bin"/bench_*; do
  [ -x "$b" ] || continue
  found=1
  echo "== $(basename "$b")"
  "$b"
done
[ "$found" = 1 ] || echo "no benchmark programs built yet"
