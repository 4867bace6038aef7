#!/usr/bin/env bash
# Builds the Debian package of a build into a temporary folder (nothing is
# installed) and checks its file list and its control fields.
# Usage: package.sh BUILD-DIR EXPECTED-FILE-LIST VERSION
set -u
build_dir=$1 expected=$2 version=$3
work=$(mktemp -d) || exit 2
trap 'rm -rf "$work"' EXIT
cpack -G DEB -B "$work" --config "$build_dir/CPackConfig.cmake" >"$work/log" 2>&1 ||
    { cat "$work/log"; echo "SETUP: cpack failed" >&2; exit 2; }
deb=$(ls "$work"/*.deb) || { echo "SETUP: no package" >&2; exit 2; }

failed=0
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' >"$work/files"
diff -u --label expected --label package "$expected" "$work/files" || failed=1
field() { # field NAME PATTERN: the control field must match the pattern
    local value
    value=$(dpkg-deb -f "$deb" "$1")
    [[ $value =~ $2 ]] || { echo "FAIL field $1: '$value'"; failed=1; }
}
field Package '^diodesolve$'
field Version "^${version//./\\.}$"
field Architecture '^amd64$'
field Depends '^libc6 \(>= [0-9.]+\)' # found by dpkg-shlibdeps
field Recommends '^gnuplot-nox \| gnuplot$'
field Description '^diode circuit solver'
field Maintainer '<.+@.+>'
exit "$failed"
