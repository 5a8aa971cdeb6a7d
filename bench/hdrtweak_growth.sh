#!/bin/sh
# Times hdrtweak growing the full header of a large file (the copy through
# the temporary file) against cp of the same file, in the same run.
#   bench/hdrtweak_growth.sh [build-dir] [size-MiB] [rounds]
# Goal: growth takes at most 1.2 times as long as cp.  hdrtweak syncs its
# copy to disk before it replaces the file; plain cp leaves its copy in the
# page cache, so the run also times cp followed by a sync of the copy (the
# same durability), and cp, sync and mv over a copy of the file (what a safe
# copy-and-replace costs, freeing the old file's blocks included), and
# reports the three ratios.
set -eu
build=${1:-build}
mib=${2:-1024}
rounds=${3:-3}
hdrtweak="$(pwd)/$build/hdrtweak/hdrtweak"
work=$(mktemp -d "${BENCH_DIR:-/tmp}/hdrtweak_bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

# A header whose END is card 36, the last of its block, then the data.
{
    printf '%-80s' "SIMPLE  =                    T"
    i=2
    while [ "$i" -lt 36 ]; do printf '%-80s' "HISTORY card $i"; i=$((i + 1)); done
    printf '%-80s' "END"
    head -c $((mib * 1024 * 1024)) /dev/urandom
} > pristine.fits

now() { date +%s.%N; }
# Before each timed command: dirty pages written, and (as root) the page
# cache dropped, so that every command reads its file from disk alike.
cold=no
settle() {
    sync
    if echo 3 2>/dev/null > /proc/sys/vm/drop_caches; then cold=yes; fi
}
best_cp=""
best_cp_sync=""
best_replace=""
best_grow=""
min() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc -l)" = 1 ]; then echo "$2"; else echo "$1"; fi; }
r=0
while [ "$r" -lt "$rounds" ]; do
    cp pristine.fits work.fits
    rm -f copy.fits
    settle
    t0=$(now); cp pristine.fits copy.fits; t1=$(now)
    rm -f copy.fits; settle
    t2=$(now); cp pristine.fits copy.fits && sync copy.fits; t3=$(now)
    cp pristine.fits victim.fits
    settle
    t6=$(now); cp pristine.fits copy.fits && sync copy.fits && mv copy.fits victim.fits; t7=$(now)
    settle
    t4=$(now); "$hdrtweak" work.fits benchkey 1; t5=$(now)
    cp_time=$(echo "$t1 - $t0" | bc -l)
    cp_sync_time=$(echo "$t3 - $t2" | bc -l)
    replace_time=$(echo "$t7 - $t6" | bc -l)
    grow_time=$(echo "$t5 - $t4" | bc -l)
    printf 'round %d: cp %.3f s, cp+sync %.3f s, cp+sync+mv %.3f s, hdrtweak growth %.3f s\n' \
        "$r" "$cp_time" "$cp_sync_time" "$replace_time" "$grow_time"
    best_cp=$(min "$best_cp" "$cp_time")
    best_cp_sync=$(min "$best_cp_sync" "$cp_sync_time")
    best_replace=$(min "$best_replace" "$replace_time")
    best_grow=$(min "$best_grow" "$grow_time")
    r=$((r + 1))
done
echo "page cache dropped before each command: $cold"
size=$(stat -c %s work.fits)
expected=$(( $(stat -c %s pristine.fits) + 2880 ))
[ "$size" -eq "$expected" ] || { echo "grown file has $size bytes, expected $expected" >&2; exit 1; }
printf 'best of %d: cp %.3f s, cp+sync %.3f s, cp+sync+mv %.3f s, hdrtweak %.3f s\n' \
    "$rounds" "$best_cp" "$best_cp_sync" "$best_replace" "$best_grow"
printf 'ratios (goal <= 1.2): hdrtweak / cp = %.2f, / (cp+sync) = %.2f, / (cp+sync+mv) = %.2f\n' \
    "$(echo "$best_grow / $best_cp" | bc -l)" "$(echo "$best_grow / $best_cp_sync" | bc -l)" \
    "$(echo "$best_grow / $best_replace" | bc -l)"
