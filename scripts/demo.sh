#!/bin/sh
# Builds a small batch of FITS images in ./demo, runs obsfix on it and shows
# what changed.
set -eu
build=${1:-build}
top=$(pwd)
obsfix="$top/$build/obsfix/obsfix"
fitsgen="$top/$build/tools/fitsgen"
demo="$top/demo"

rm -rf "$demo"
mkdir -p "$demo"
cd "$demo"

# One image per date rule, and a reference frame that obsfix passes over.
"$fitsgen" new_2016.fits -s DATE 2016-03-01T21:14:05 -s DATE-BEG 2016-03-01T21:13:35.250 \
    -n EXPOSURE 30 -s FRAME 2016-03-01T21:14:05
"$fitsgen" mid_2015.fits -s DATE 2015-01-10T00:10:00 -n EXPOSURE 30 -n READTIME 1.0E-05 \
    -s FRAME 2015-01-10T00:10:00
"$fitsgen" old_2013.fits -s DATE 2013-11-20T03:30:00 -n EXPOSURE 120
"$fitsgen" m31_thref_01.fits -s DATE 2015-01-10T00:00:00
printf 'new_2016.fits\nmid_2015.fits\nold_2013.fits\nm31_thref_01.fits\n' > list_all.dat

echo "== demo batch in $demo"
echo "\$ cat list_all.dat"
cat list_all.dat
echo
echo "\$ obsfix"
"$obsfix"
echo
for f in new_2016.fits mid_2015.fits old_2013.fits m31_thref_01.fits; do
    date=$(head -c 28800 "$f" | fold -w 80 | grep -a -m1 '^DATE    =' || true)
    date_obs=$(head -c 28800 "$f" | fold -w 80 | grep -a -m1 '^DATE-OBS=' || echo "(no DATE-OBS)")
    echo "$f:"
    echo "  $date"
    echo "  $date_obs"
done
