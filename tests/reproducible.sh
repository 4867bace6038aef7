#!/usr/bin/env bash
# The Debian package is reproducible: built from two clones at different
# paths with the same SOURCE_DATE_EPOCH (the last commit's time), the two
# .deb files are identical byte for byte. Run by CI, not by CTest: it
# builds the project twice.
# Usage: reproducible.sh SOURCE-DIR
. "$(dirname "$0")/lib.sh"
src=$1
export SOURCE_DATE_EPOCH
SOURCE_DATE_EPOCH=$(git -C "$src" log -1 --format=%ct) || setup_broken "$src is no git clone"
debs=()
for tree in "$work/a/diodesolve" "$work/quite/another/path"; do
    git clone -q "$src" "$tree" || setup_broken "cannot clone $src"
    (cd "$tree" && cmake --preset release -DBUILD_TESTING=OFF &&
        cmake --build --preset release --parallel --target package) >"$work/log" 2>&1 ||
        { cat "$work/log"; setup_broken "build in $tree failed"; }
    debs+=("$(ls "$tree"/build/release/*.deb)")
done
name=".deb from two paths"
if ! cmp "${debs[@]}"; then
    fail "the packages differ"
    for deb in "${debs[@]}"; do dpkg-deb -c "$deb" | md5sum; done
fi
[ "$failures" = 0 ] && echo "identical: $(sha256sum <"${debs[0]}")"
finish
