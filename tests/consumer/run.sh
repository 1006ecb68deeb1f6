#!/usr/bin/env bash
# Installs a built tree into a scratch prefix, moves the prefix (nothing may
# hold the path it was installed to), and uses it as a host developer would:
# the installed kxhost, then the host of this folder built with CMake's
# find_package and once more with pkg-config's flags.
#
#   run.sh BUILD_DIR WORK_DIR CMAKE CXX SAMPLE_FILE
set -euo pipefail
build=$1 work=$2 cmake=$3 cxx=$4 sample=$5
here=$(cd "$(dirname "$0")" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }
# expect WHAT EXPECTED COMMAND...: what the command prints must be EXPECTED.
expect() {
    local what=$1 expected=$2 got
    shift 2
    got=$("$@") || fail "$what: exit $?: $got"
    [ "$got" = "$expected" ] || fail "$what: expected
$expected
got
$got"
    echo "ok: $what"
}

rm -rf "$work"
mkdir -p "$work"
"$cmake" --install "$build" --prefix "$work/installed" >/dev/null
mv "$work/installed" "$work/moved"
prefix=$work/moved

# The installed host finds its library in lib/ and the modules in lib/zuvuvur/.
expect "kxhost msg" "ERR0015001: Cannot open a.txt" "$prefix/bin/kxhost" msg 15001 --str a.txt
cp "$sample" "$work/report.txt"
setfattr -n user.dublincore.title -v "Quarterly" "$work/report.txt"
props=$("$prefix/bin/kxhost" props "$work/report.txt") || fail "kxhost props: $props"
grep -qx "  title: Quarterly" <<<"$props" || fail "kxhost props: no title in
$props"
echo "ok: kxhost props"

split="3: [a] [b] [c]"
message="ERR0015001: Cannot open a.txt"

"$cmake" -S "$here" -B "$work/cmake" -G Ninja -DCMAKE_CXX_COMPILER="$cxx" \
    -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
"$cmake" --build "$work/cmake" >/dev/null
expect "find_package host" "$split
$message" "$work/cmake/host"
expect "find_package layers" "$prefix/lib/zuvuvur/
Division by zero." "$work/cmake/layers"

export PKG_CONFIG_PATH=$prefix/lib/pkgconfig
mkdir -p "$work/pkgconfig"
# shellcheck disable=SC2046  # the flags are words
"$cxx" -std=c++17 $(pkg-config --cflags zuvuvur) "$here/host.cpp" -o "$work/pkgconfig/host" \
    $(pkg-config --libs zuvuvur) -Wl,-rpath,"$(pkg-config --variable=libdir zuvuvur)"
expect "pkg-config host" "$split
$message" "$work/pkgconfig/host"

# A host's own module comes before the library's, for the message lookup and
# for any bare name: one beside the host that holds no texts at all hides the
# installed one.
cp "$prefix/lib/zuvuvur/shell32.dll" "$work/pkgconfig/kxErrMsg_64.dll"
expect "host's own message module first" "$split
no message 15001" "$work/pkgconfig/host"
cp "$prefix/lib/zuvuvur/shell32.dll" "$work/cmake/KXSmsg9_64.dll"
expect "host's own module first by bare name" "$prefix/lib/zuvuvur/" "$work/cmake/layers"
