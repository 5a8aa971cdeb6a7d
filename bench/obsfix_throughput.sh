#!/bin/sh
# Times obsfix over a batch of generated images and reports files per second
# and the peak memory of the run, for a short and a long list (memory must not
# grow with the list).
#   bench/obsfix_throughput.sh [build-dir] [images]
set -eu
build=${1:-build}
count=${2:-1000}
top=$(pwd)
obsfix="$top/$build/obsfix/obsfix"
fitsgen="$top/$build/tools/fitsgen"
work=$(mktemp -d /tmp/obsfix_bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
cd "$work"

i=0
while [ "$i" -lt "$count" ]; do
    case $((i % 3)) in
        0) "$fitsgen" "img$i.fits" --size 64 64 -s DATE 2016-03-01T21:14:05 -s DATE-BEG 2016-03-01T21:13:35 -s FRAME x ;;
        1) "$fitsgen" "img$i.fits" --size 64 64 -s DATE 2015-01-10T00:10:00 -n EXPOSURE 30 -n READTIME 1.0E-05 -s FRAME x ;;
        2) "$fitsgen" "img$i.fits" --size 64 64 -s DATE 2013-11-20T03:30:00 -s FRAME x ;;
    esac
    echo "img$i.fits" >> list_all.dat
    i=$((i + 1))
done

peak_kib() { awk '/Maximum resident/ {print $NF}' "$1"; }
run() { # run LIST-COPIES: the list repeated, timed
    : > list_run.dat
    n=0
    while [ "$n" -lt "$1" ]; do cat list_all.dat >> list_run.dat; n=$((n + 1)); done
    cp list_all.dat list_one.dat
    mv list_run.dat list_all.dat
    start=$(date +%s.%N)
    /usr/bin/time -v "$obsfix" > out.txt 2> time.txt
    end=$(date +%s.%N)
    mv list_one.dat list_all.dat
    files=$(wc -l < out.txt)
    echo "$files $(echo "$end - $start" | bc -l) $(peak_kib time.txt)"
}

set -- $(run 1)
printf 'obsfix: %d files in %.3f s = %.0f files/s, peak RSS %s KiB\n' "$1" "$2" "$(echo "$1 / $2" | bc -l)" "$3"
short_rss=$3
set -- $(run 10)
printf 'obsfix: %d files in %.3f s = %.0f files/s, peak RSS %s KiB (list 10x longer)\n' "$1" "$2" "$(echo "$1 / $2" | bc -l)" "$3"
echo "peak RSS ratio long/short list: $(echo "$3 / $short_rss" | bc -l | cut -c1-5)"
