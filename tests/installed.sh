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
finish
