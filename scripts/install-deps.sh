#!/bin/sh
# Installs the Debian packages the build and the tests need, when they are missing.
# As root it runs apt-get; otherwise it prints the exact command to run.
set -eu

packages="cmake g++ make pkg-config libcfitsio-dev libgtest-dev libbenchmark-dev clang libclang-rt-14-dev groff-base time bc valgrind"
[ "$#" -gt 0 ] && packages="$*"

missing=""
for p in $packages; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
        *"ok installed"*) ;;
        *) missing="$missing $p" ;;
    esac
done

[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing packages:$missing"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || { echo "apt-get update failed" >&2; exit 1; }
    # shellcheck disable=SC2086
    apt-get install -y -qq --no-install-recommends $missing >/dev/null || {
        echo "apt-get install failed for:$missing" >&2; exit 1; }
else
    echo "Missing packages:$missing" >&2
    echo "Install them with: sudo apt-get install$missing" >&2
    exit 1
fi
