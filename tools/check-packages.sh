#!/usr/bin/env bash
# The packages of `make package`, checked as a user receives them: the .deb
# judged by lintian (errors fail), listed, unpacked with dpkg-deb -x and its
# kxhost run from there; the zip unpacked and its kxhost.exe run under wine.
#
#   check-packages.sh RELEASE_BUILD WINDOWS_BUILD SAMPLE_FILE
set -euo pipefail
release=$1 windows=$2 sample=$3

fail() { echo "FAIL: $*" >&2; exit 1; }
# expect WHAT EXPECTED COMMAND...: what the command prints, carriage returns
# dropped, must be EXPECTED (its standard error is shown only on failure: a
# fresh wine prefix announces itself there).
expect() {
    local what=$1 expected=$2 got
    shift 2
    got=$("$@" 2>"$work/stderr" | tr -d '\r') || fail "$what: $got $(cat "$work/stderr")"
    [ "$got" = "$expected" ] || fail "$what: expected
$expected
got
$got
$(cat "$work/stderr")"
    echo "ok: $what"
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

deb=$(ls "$release"/package/*.deb)
echo "== $deb"
dpkg-deb --field "$deb" Package Version Architecture Depends
dpkg-deb --contents "$deb" | awk '{print $6}'
echo "== lintian"
lintian --fail-on error "$deb" || fail "lintian found errors"
dpkg-deb -x "$deb" "$work/deb"
expect "deb: kxhost msg" "ERR0015001: Cannot open a.txt" \
    "$work/deb/usr/bin/kxhost" msg 15001 --str a.txt
cp "$sample" "$work/report.txt"
setfattr -n user.dublincore.title -v "Quarterly" "$work/report.txt"
"$work/deb/usr/bin/kxhost" props "$work/report.txt" | grep -qx "  title: Quarterly" ||
    fail "deb: kxhost props read no title"
echo "ok: deb: kxhost props"

zip=$(realpath "$(ls "$windows"/package/*.zip)")
echo "== $zip"
(cd "$work" && cmake -E tar xf "$zip")
top=$work/$(basename "$zip" .zip)
(cd "$top" && find . -type f | sort)
# The build's wine prefix, but no path into the build: only the zip's files.
wine=$(grep '^KX_WINE:' "$windows/CMakeCache.txt" | cut -d= -f2)
expect "zip: kxhost.exe msg" "ERR0015001: Cannot open a.txt" \
    env WINEPREFIX="$(realpath "$windows")/wineprefix" WINEDEBUG=-all \
    "WINEDLLOVERRIDES=mscoree,mshtml=" "$wine" "$top/bin/kxhost.exe" msg 15001 --str a.txt
