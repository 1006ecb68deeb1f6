#!/usr/bin/env bash
# A short tour of the reference host on the samples kept in the repository.
set -euo pipefail
bin=${1:-build/default/bin}
here=$(cd "$(dirname "$0")/.." && pwd)
host="$bin/kxhost"

step() { printf '\n$ kxhost'; printf ' %q' "$@"; printf '\n'; "$host" "$@"; }

step split --by ", " "$(cat "$here/samples/list.txt")"
step join --with " | " alpha beta gamma
step csv --file "$here/samples/people.csv"
step tokens --sep ws --quote-mode 40 "(a b) [c] d"
step kv --sep ";" "a = 1; b=2; flag"
step kv --make --sep ";" a 1 b 2
step labels lup1d2
