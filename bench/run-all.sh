#!/bin/sh
# Runs every benchmark against the build in $1 (default: build).
set -eu
build=${1:-build}
here=$(dirname "$0")
"$here/obsfix_throughput.sh" "$build"
"$here/hdrtweak_growth.sh" "$build"
"$build/bench/mycommon_bench"
