#!/bin/sh
# Installs the build in $1 into a scratch prefix and builds the examples
# against it, once through pkg-config and once through CMake's find_package.
set -eu
build=$(cd "$1" && pwd)
source_dir=$(cd "$2" && pwd)
prefix=$(mktemp -d /tmp/fitstools_install.XXXXXX)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/obsfix bin/hdrtweak include/mycommon.h lib/libmycommon.a \
         lib/pkgconfig/mycommon.pc lib/cmake/mycommon/mycommonConfig.cmake \
         share/man/man1/obsfix.1 share/man/man1/hdrtweak.1 share/man/man3/mycommon.3; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done

version=$(sed -n 's/^project(fitstools VERSION \([0-9.]*\).*/\1/p' "$source_dir/CMakeLists.txt")
for tool in obsfix hdrtweak; do
    "$prefix/bin/$tool" --version | grep -qx "$tool $version" || {
        echo "$tool --version does not say $version" >&2; exit 1; }
done

export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
[ "$(pkg-config --modversion mycommon)" = "$version" ] || { echo "pkg-config version" >&2; exit 1; }
mkdir "$prefix/pc"
cc -std=c99 -Wall -Wextra -Werror "$source_dir/examples/night.c" \
    $(pkg-config --cflags --libs mycommon) -o "$prefix/pc/night"
c++ -std=c++17 -Wall -Wextra -Werror "$source_dir/examples/median.cpp" \
    $(pkg-config --cflags --libs mycommon) -o "$prefix/pc/median"
"$prefix/pc/night" > /dev/null
"$prefix/pc/median" > /dev/null

cmake -S "$source_dir/examples/cmake" -B "$prefix/cmake-build" \
    -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$prefix/cmake-build" > /dev/null
"$prefix/cmake-build/night" > /dev/null
"$prefix/cmake-build/median" > /dev/null
echo "installed package $version builds the examples through pkg-config and CMake"
