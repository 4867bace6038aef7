#!/usr/bin/env bash
# Installs a build into a temporary prefix and builds a small C program
# against it, as a stranger would: with find_package(dalv), with pkg-config,
# and through a shared object linked with the static library. Each must read
# a number through dalv_read_int.
# Usage: installed.sh BUILD-DIR C-COMPILER [CMAKE-TOOLCHAIN-FILE]
. "$(dirname "$0")/lib.sh"
build_dir=$1 cc=$2 toolchain=${3:-}
consumer=$(cd "$(dirname "$0")/consumer" && pwd)
prefix=$work/prefix

cmake --install "$build_dir" --prefix "$prefix" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; setup_broken "install failed"; }

check() { # check HOW APP: the app must echo the number it read
    local out
    name=$1
    out=$(printf '  42 \n' | "${emulator[@]}" "$2" 2>&1)
    if [ "$out" = "Anzahl: gelesen: 42" ]; then
        echo "$1: passed"
    else
        fail "got '$out'"
    fi
}

cross=() # a cross build looks for packages in its sysroot and in the prefix
[ -n "$toolchain" ] && cross=(-DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_STAGING_PREFIX="$prefix")
cmake -S "$consumer" -B "$work/cmake-build" -DCMAKE_C_COMPILER="$cc" "${cross[@]}" \
    -DCMAKE_PREFIX_PATH="$prefix" >"$work/cmake.log" 2>&1 &&
    cmake --build "$work/cmake-build" >>"$work/cmake.log" 2>&1 ||
    { cat "$work/cmake.log"; name=find_package fail "build failed"; }
[ -x "$work/cmake-build/app" ] && check find_package "$work/cmake-build/app"

# The shared object takes pkg-config's flags, or without pkg-config the
# installed layout's own.
lib=$(find "$prefix" -name libdalv.a)
flags="-I$prefix/include -L${lib%/*} -ldalv"
if optional pkg-config "the .pc file" pkg-config; then
    pc_dir=$(dirname "$(find "$prefix" -name dalv.pc)")
    flags=$(PKG_CONFIG_PATH=$pc_dir pkg-config --cflags --libs dalv) ||
        setup_broken "pkg-config does not know dalv"
    # shellcheck disable=SC2086 # the flags are words
    "$cc" "$consumer/app.c" $flags -o "$work/app-pc" || name=pkg-config fail "build failed"
    [ -x "$work/app-pc" ] && check pkg-config "$work/app-pc"
fi

# shellcheck disable=SC2086
"$cc" -shared -fPIC "$consumer/plugin.c" $flags -o "$work/libplugin.so" &&
    "$cc" "$consumer/host.c" -L"$work" -lplugin -Wl,-rpath,"$work" -o "$work/host" ||
    name="shared object" fail "build failed"
[ -x "$work/host" ] && check "shared object" "$work/host"

# The README's commands exactly as written, with HOME a folder of its own:
# its install (as cmake --install, which it names beside make install),
# then how another project finds the library there.
if [ -z "$toolchain" ] && optional pkg-config "the README's commands" pkg-config; then
    readme=$(dirname "$0")/../README.md
    mapfile -t commands < <(awk '/^## Install/ { s = 1; next } /^## / { s = 0 }
        s && /^    (export PKG_CONFIG_PATH|cc app\.c|cmake -S )/ { sub(/^    /, ""); print }' "$readme")
    [ ${#commands[@]} = 3 ] || setup_broken "the README's Install has not its three commands"
    mkdir -p "$work/home" "$work/readme" && cp "$consumer"/* "$work/readme/"
    export HOME=$work/home
    cmake --install "$build_dir" --prefix "$HOME/.local" >"$work/install.log" 2>&1 ||
        setup_broken "install into HOME failed"
    (cd "$work/readme" && for c in "${commands[@]}"; do eval "$c" || exit; done) >"$work/readme.log" 2>&1 ||
        { cat "$work/readme.log"; name="README" fail "its commands failed"; }
    [ -x "$work/readme/app" ] && check "README's pkg-config" "$work/readme/app"
    [ -x "$work/readme/build/app" ] && check "README's CMake" "$work/readme/build/app"
fi
finish
