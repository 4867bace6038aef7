#!/usr/bin/env bash
# The suite on a machine that has only what the README's Quick start names
# (CMake, g++, make): in a private mount namespace /usr/bin is overlaid and
# the optional tools are removed from the overlay, so that neither PATH nor
# CMake's find_program can find them; then make test in a fresh clone. Every
# test must pass or skip (77) naming what is missing.
# Usage: bare.sh SOURCE-DIR   (exit 77: not root, or no overlay mounts)
. "$(dirname "$0")/lib.sh"
src=$1
[ "$(id -u)" = 0 ] || skip "not root: no mount namespace without the optional tools"
command -v unshare >/dev/null || skip "no unshare (Debian: util-linux)"
git clone -q "$src" "$work/src" || setup_broken "cannot clone $src"

# The tools, and what else would bring them back (clang: the wasm target).
tools=(gnuplot gnuplot-nox gnuplot-qt gnuplot-x11 xmllint mandoc groff nroff troff
    pkg-config pkgconf x86_64-linux-gnu-pkg-config aarch64-linux-gnu-pkg-config lintian
    dpkg-shlibdeps dpkg-gencontrol dpkg-architecture valgrind valgrind.bin
    qemu-aarch64 node nodejs npm npx chromium clang clang++ clang-14 clang++-14)
unshare --mount --propagation private bash -euc '
    over=$1/over
    mkdir -p "$over"
    mount -t tmpfs tmpfs "$over"
    mkdir "$over/upper" "$over/work"
    mount -t overlay overlay -o "lowerdir=/usr/bin,upperdir=$over/upper,workdir=$over/work" /usr/bin
    shift
    for t in "$@"; do rm -f "/usr/bin/$t" "/usr/local/bin/$t" 2>/dev/null || true; done
    for t in "$@"; do ! command -v "$t" >/dev/null || { echo "still there: $t"; exit 2; }; done
    cd "$1/../src" 2>/dev/null || cd "$(dirname "$over")/src"
    make test
' bare "$work" "${tools[@]}" >"$work/log" 2>&1
status=$?
grep -E 'tests passed|FAIL' "$work/log" | tail -20
# Each skipped test must have said what it lacks ("SKIP: ..." in its output).
awk '/^[0-9]+\/[0-9]+ Test: / { name = $3 } /^SKIP: / { print name "\t" $0 }' \
    "$work/src/build/release/Testing/Temporary/LastTest.log" >"$work/said"
for t in $(sed -n 's/.* Test *#[0-9]*: \([^ ]*\) .*\*\*\*Skipped.*/\1/p' "$work/log"); do
    grep "^$t	" "$work/said" || name=$t fail "skipped without naming what is missing"
done
if grep -q 'still there\|overlay' "$work/log" && ! grep -q 'tests passed' "$work/log"; then
    tail -5 "$work/log"
    skip "the overlay could not hide the tools"
fi
[ $status = 0 ] || { tail -30 "$work/log"; fail "make test without the optional tools: status $status"; }
finish
