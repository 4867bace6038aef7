# Sourced by every test script: a temporary directory $work, removed at the
# end unless keep_work=1, and the ways a test ends: 0 passed, 1 failed (some
# check said "FAIL"), 2 the setup broke ("SETUP"), 77 skipped.
set -u

setup_broken() {
    echo "SETUP: $*" >&2
    exit 2
}

work=$(mktemp -d "${TMPDIR:-/tmp}/dalv-test.XXXXXX") || setup_broken "no temporary directory"
keep_work=0
trap '[ "$keep_work" = 1 ] || rm -rf "$work"' EXIT
failures=0 name=

# fail TEXT...: one failed check, named after the case in $name.
fail() {
    echo "FAIL${name:+ [$name]} $*"
    failures=$((failures + 1))
}

# need_program PATH...: each must be an executable, or the setup is broken.
need_program() {
    local p
    for p in "$@"; do [ -x "$p" ] || setup_broken "no program $p"; done
}

# skip TEXT...: nothing more to check here (status 77), unless a check
# failed.
skip() {
    echo "SKIP: $*"
    [ "$failures" = 0 ] && exit 77
    finish
}

# optional TOOL WHAT PACKAGE: whether TOOL is installed. When it is not, the
# checks of WHAT are left out (the caller's part), and finish skips with 77
# naming TOOL once every other check passed.
missing=()
optional() {
    command -v "$1" >/dev/null && return 0
    if [[ " ${missing[*]} " != *" $1 "* ]]; then
        missing+=("$1")
        echo "SKIP: no $1 (Debian: $3): $2 not checked"
    fi
    return 1
}

finish() {
    if [ "$failures" != 0 ]; then
        echo "$failures check(s) failed"
        exit 1
    fi
    [ ${#missing[@]} = 0 ] || exit 77
    exit 0
}

# A cross build's programs run under the emulator that DALV_EMULATOR names
# (such as "qemu-aarch64 -L /usr/aarch64-linux-gnu"), kept in $emulator.
read -ra emulator <<<"${DALV_EMULATOR:-}"

# programs DIR: prints a folder whose programs are those of DIR: DIR itself,
# or, in a cross build, stand-ins of the same names that start them under
# the emulator.
programs() {
    if [ ${#emulator[@]} = 0 ]; then
        echo "$1"
        return
    fi
    local p run=("${emulator[@]}")
    run[0]=$(command -v "${run[0]}") ||
        skip "no emulator ${emulator[0]} (Debian: qemu-user): the cross build not run"
    mkdir -p "$work/emulated"
    for p in "$1"/*; do
        [ -f "$p" ] && [ -x "$p" ] || continue
        printf '#!/bin/sh\nexec %s %q "$@"\n' "${run[*]}" "$p" >"$work/emulated/${p##*/}"
        chmod +x "$work/emulated/${p##*/}"
    done
    echo "$work/emulated"
}

# widest FILE...: the length of the longest line (a CR at its end not
# counted). is_png FILE: whether FILE begins with the PNG signature.
widest() { awk '{ sub(/\r$/, "") } length($0) > m { m = length($0) } END { print m + 0 }' "$@"; }
is_png() { [ "$(head -c 8 "$1" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]; }

# on_terminal COLUMNS COMMAND...: runs COMMAND with standard output on a
# pseudo-terminal that many columns wide (standard input and error stay as
# they are) and prints what the terminal showed, line ends as CR LF.
on_terminal() {
    local cols=$1
    shift
    script -qec "stty cols $cols; exec $(printf '%q ' "$@") <&3 2>&4" /dev/null 3<&0 4>&2 </dev/null
}

# tool_info PROGRAM NAME VERSION: -h and --help print the same usage, the
# exit statuses last; --version prints "NAME VERSION"; all on standard
# output, with status 0.
tool_info() {
    name="$2 --help"
    "$1" --help >"$work/help" 2>&1 || fail "status $?"
    grep -q "^Aufruf: $2 " "$work/help" || fail "no usage"
    awk '/^Exit-Status:/ { s = 1 } s && /^  [0-9]/ { n++ } END { exit n < 4 }' "$work/help" ||
        fail "no exit statuses"
    "$1" -h 2>&1 | cmp -s - "$work/help" || fail "-h differs from --help"
    name="$2 --version"
    [ "$("$1" --version 2>&1)" = "$2 $3" ] || fail "says '$("$1" --version 2>&1)'"
}

# random_circuits SEED COUNT: COUNT circuits as three answer lines each, U,
# R and I_S over many decades and both signs, with zeros among them, as
# %.17g so that every bit reaches the programs.
random_circuits() {
    awk -v seed="$1" -v count="$2" 'BEGIN { srand(seed)
        for (k = 0; k < count; k++) {
            for (q = 0; q < 3; q++) {
                e = int(rand() * 40) - 20; s = rand() < 0.15 ? -1 : 1
                v[q] = rand() < 0.05 ? 0 : s * rand() * 10 ^ e
            }
            printf "%.17g\n%.17g\n%.17g\n", v[0], (v[1] < 0 ? -v[1] : v[1]) * 1e3, (v[2] < 0 ? -v[2] : v[2]) * 1e-9
        } }'
}

# method_letters BIN-DIR: the letters of all the methods, in the table's
# order, as diodemap's usage lists them (it reads the table of methods).
method_letters() {
    "$1/diodemap" --help | sed -n 's/.*alle: \([A-Z]*\),.*/\1/p'
}

# need_web SRC [page]: node, and SRC's WebAssembly modules brought up to
# date (the wasm preset), or with "page" the whole page (make web); skips
# (77) naming what is missing.
need_web() {
    command -v node >/dev/null || skip "no node (Debian: nodejs): WebAssembly not checked"
    printf 'int main(){return 0;}\n' >"$work/probe.c"
    clang --target=wasm32-wasi "$work/probe.c" -o "$work/probe.wasm" 2>/dev/null ||
        skip "clang cannot build for wasm32-wasi (Debian: clang lld wasi-libc" \
            "libclang-rt-14-dev-wasm32 libc++-14-dev-wasm32 libc++abi-14-dev-wasm32)"
    if [ "${2:-}" = page ]; then
        [ -d "$1/web/node_modules" ] || command -v npm >/dev/null ||
            skip "no npm (Debian: npm) for the page's pinned tools"
        make -C "$1" web >"$work/build.log" 2>&1
    else
        (cd "$1" && { [ -f build/wasm/CMakeCache.txt ] || cmake --preset wasm; } &&
            cmake --build --preset wasm) >"$work/build.log" 2>&1
    fi || { cat "$work/build.log"; setup_broken "the WebAssembly build failed"; }
}
