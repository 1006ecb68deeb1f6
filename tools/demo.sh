#!/usr/bin/env bash
# A short tour of the reference host on the samples kept in the repository.
set -euo pipefail
bin=${1:-build/default/bin}
here=$(cd "$(dirname "$0")/.." && pwd)
host="$bin/kxhost"

step() { printf '\n$ kxhost'; printf ' %q' "$@"; printf '\n'; "$host" "$@"; }

step split --by ", " "$(cat "$here/samples/list.txt")"
step join --with " | " alpha beta gamma

# Files and paths, on a scratch copy of samples/tree.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
step copy-dir --recurse --exclude-dir cvs "$here/samples/tree" "$scratch/copy"
(cd "$scratch/copy" && find . -mindepth 1 | sort)
step delete "$scratch/copy" "*.tmp"
step lines --trim --skip-empty "$scratch/copy/readme.txt"
step relpath 'C:\data\in\list.txt' 'C:\data\out\result.csv'
