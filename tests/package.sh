#!/usr/bin/env bash
# Builds the Debian package of a build into a temporary folder (nothing is
# installed) and checks its file list and its control fields.
# Usage: package.sh BUILD-DIR EXPECTED-FILE-LIST VERSION
. "$(dirname "$0")/lib.sh"
build_dir=$1 expected=$2 version=$3
cpack -G DEB -B "$work" --config "$build_dir/CPackConfig.cmake" >"$work/log" 2>&1 ||
    { cat "$work/log"; setup_broken "cpack failed"; }
deb=$(ls "$work"/*.deb) || setup_broken "no package"

dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { print $6 }' >"$work/files"
diff -u --label expected --label package "$expected" "$work/files" || fail "file list"
field() { # field NAME PATTERN: the control field must match the pattern
    local value
    value=$(dpkg-deb -f "$deb" "$1")
    [[ $value =~ $2 ]] || fail "field $1: '$value'"
}
field Package '^diodesolve$'
field Version "^${version//./\\.}$"
field Architecture '^amd64$'
field Depends '^libc6 \(>= [0-9.]+\)' # found by dpkg-shlibdeps
field Recommends '^gnuplot-nox \| gnuplot$'
field Description '^diode circuit solver'
field Maintainer '<.+@.+>'
finish
