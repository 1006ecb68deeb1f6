#!/usr/bin/env bash
# A short tour of the reference host on the samples kept in the repository.
set -euo pipefail
bin=${1:-build/default/bin}
here=$(cd "$(dirname "$0")/.." && pwd)
host="$bin/kxhost"

step() { printf '\n$ kxhost'; printf ' %q' "$@"; printf '\n'; "$host" "$@"; }

step split --by ", " "$(cat "$here/samples/list.txt")"
step join --with " | " alpha beta gamma

# Numbered messages from the message modules beside the host.
step heading 15001
while read -r file; do step msg 15001 --str "$file"; done < "$here/samples/unopened-files.txt"
step msg 10003 --str B --int 7
step runtime 1
step msgbox 15004 --type "MB_OKCANCEL|MB_ICONSTOP" --str "$(head -n 1 "$here/samples/unopened-files.txt")" --str2 backup/

# Document properties live in extended attributes; a copy of the sample gets some.
props_dir=$(mktemp -d)
trap 'rm -rf "$props_dir"' EXIT
cp "$here/samples/report.txt" "$props_dir/report.txt"
if command -v setfattr >/dev/null; then
  setfattr -n user.dublincore.title -v "Quarterly report" "$props_dir/report.txt" || true
  setfattr -n user.xdg.comment -v "figures still unaudited" "$props_dir/report.txt" || true
  setfattr -n user.baloo.rating -v 8 "$props_dir/report.txt" || true
fi
step props "$props_dir/report.txt"

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
# Files and paths, on a scratch copy of samples/tree.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
step copy-dir --recurse --exclude-dir cvs "$here/samples/tree" "$scratch/copy"
(cd "$scratch/copy" && find . -mindepth 1 | sort)
step delete "$scratch/copy" "*.tmp"
step lines --trim --skip-empty "$scratch/copy/readme.txt"
step relpath 'C:\data\in\list.txt' 'C:\data\out\result.csv'
step csv --file "$here/samples/people.csv"
step tokens --sep ws --quote-mode 40 "(a b) [c] d"
step kv --sep ";" "a = 1; b=2; flag"
step kv --make --sep ";" a 1 b 2
step labels lup1d2
