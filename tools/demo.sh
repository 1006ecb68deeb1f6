#!/usr/bin/env bash
# A short tour of the reference host on the samples kept in the repository.
set -euo pipefail
bin=${1:-build/default/bin}
here=$(cd "$(dirname "$0")/.." && pwd)
host="$bin/kxhost"

step() { printf '\n$ kxhost'; printf ' %q' "$@"; printf '\n'; "$host" "$@"; }

step split --by ", " "$(cat "$here/samples/list.txt")"
step join --with " | " alpha beta gamma
