#!/usr/bin/env bash
# Builds the Debian package of a build into a temporary folder (nothing is
# installed) and checks its file list, its control fields and, where lintian
# is installed, that lintian --pedantic finds no error and no warning. Then
# that the maintainer is set at configure time.
# Usage: package.sh BUILD-DIR EXPECTED-FILE-LIST VERSION SOURCE-DIR
. "$(dirname "$0")/lib.sh"
build_dir=$1 expected=$2 version=$3 src=$4
if ! optional dpkg-shlibdeps "the package" dpkg-dev; then
    # Without it, no package: cpack refuses, naming dpkg-dev.
    name="no dpkg-dev"
    cpack -G DEB -B "$work" --config "$build_dir/CPackConfig.cmake" >"$work/log" 2>&1 &&
        fail "cpack succeeded"
    grep -q 'install dpkg-dev' "$work/log" || fail "dpkg-dev not named: $(tail -5 "$work/log")"
    ls "$work"/*.deb >/dev/null 2>&1 && fail "a package was written"
    finish
fi
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

name=licence
dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/diodesolve/copyright >"$work/copyright" ||
    fail "no copyright file"
grep -qx 'License: Expat' "$work/copyright" || fail "the copyright file names no Expat licence"
grep -q 'all rights reserved' "$work/copyright" && fail "the copyright file still reserves all rights"

name=lintian
if optional lintian "the package's policy" lintian; then
    lintian --pedantic --display-info "$deb" >"$work/lintian" 2>/dev/null
    grep -E '^[EW]: ' "$work/lintian" && fail "errors or warnings"
    cat "$work/lintian"
fi

name="maintainer at configure time"
who="Erika Muster <erika@example.org>"
cmake -S "$src" -B "$work/configured" -DBUILD_TESTING=OFF -DDALV_PACKAGE_MAINTAINER="$who" \
    >"$work/configure.log" 2>&1 || { cat "$work/configure.log"; setup_broken "configure failed"; }
grep -qF "set(CPACK_DEBIAN_PACKAGE_MAINTAINER \"$who\")" "$work/configured/CPackConfig.cmake" ||
    fail "not the package's maintainer"
grep -qF -- " -- $who  " "$work/configured/doc/changelog" || fail "not in the changelog"
finish
