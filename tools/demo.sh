#!/usr/bin/env bash
# A short tour of the reference host on the samples kept in the repository.
set -euo pipefail
bin=${1:-build/default/bin}
here=$(cd "$(dirname "$0")/.." && pwd)
host="$bin/kxhost"

step() { printf '\n$ kxhost'; printf ' %q' "$@"; printf '\n'; "$host" "$@"; }

step split --by ", " "$(cat "$here/samples/list.txt")"
step join --with " | " alpha beta gamma
step replace and "&&" "band and brand"
step expr "a=1 and b<>2 or not c"
printf '\n$ kxhost wrap --width 40 --indent 2 < samples/paragraph.txt\n'
"$host" wrap --width 40 --indent 2 <"$here/samples/paragraph.txt"
step pad --width 9 --align centre --fill "*" abc
printf '\n$ kxhost strip-comments < samples/snippet.c\n'
"$host" strip-comments <"$here/samples/snippet.c"
step c-string "$(printf 'say "hi"\tnow')"
step c-name "2nd value!"
step html "a<b & c-d"
step html --unescape "&amp;lt;p&gt;"
step reorder --order 2,0 a b c
