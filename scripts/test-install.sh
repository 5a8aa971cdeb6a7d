#!/bin/sh
# Installs the build in $1 into a scratch prefix and builds the examples
# against it, once through pkg-config and once through CMake's find_package.
set -eu
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
prefix=$(mktemp -d /tmp/fitstools_install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/obsfix bin/hdrtweak include/mycommon.h lib/libmycommon.a lib/pkgconfig/mycommon.pc \
         lib/cmake/mycommon/mycommonConfig.cmake; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
cc -std=c99 -Wall -Wextra -Werror "$source_dir/examples/julian.c" \
    $(pkg-config --cflags --libs mycommon) -o "$prefix/julian_pc"
"$prefix/julian_pc"

cmake -S "$source_dir/examples/cmake" -B "$prefix/example-build" \
    -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$prefix/example-build" > /dev/null
"$prefix/example-build/julian_c"
echo "installed package builds downstream programs"
