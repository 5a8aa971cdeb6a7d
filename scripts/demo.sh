#!/bin/sh
# Builds a small batch of FITS images in ./demo, runs obsfix on it and shows
# what changed.
set -eu
build=${1:-build}
top=$(pwd)
obsfix="$top/$build/obsfix/obsfix"
hdrtweak="$top/$build/hdrtweak/hdrtweak"
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
echo "== DATE and the new DATE-OBS of each image, shown with hdrtweak"
# Prints a command as it would be typed, then runs it.
show() {
    line="\$ hdrtweak"
    for arg in "$@"; do
        case $arg in
            *[\ \']*|"") line="$line \"$arg\"" ;;
            *) line="$line $arg" ;;
        esac
    done
    echo "$line"
    "$hdrtweak" "$@"
}
echo "# DATE from 2015-07-02 12h: DATE-OBS is copied from DATE-BEG"
show new_2016.fits date
show new_2016.fits date-obs
echo "# DATE from 2014-09-26: DATE - EXPOSURE - READTIME x 4194304 s, to the second"
show mid_2015.fits date
show mid_2015.fits date-obs
echo "# DATE before 2014-09-26: DATE itself"
show old_2013.fits date
show old_2013.fits date-obs
echo "# a reference frame is skipped: it has no DATE-OBS, and nothing is shown"
show m31_thref_01.fits date-obs
echo

echo "== the header of old_2013.fits"
echo "\$ hdrtweak old_2013.fits"
"$hdrtweak" old_2013.fits
echo

echo "== editing a value in place, and appending a keyword"
show old_2013.fits exposure 125
show old_2013.fits exposure
show old_2013.fits observer "'Hubble'"
show old_2013.fits observer
echo

# A header whose block is full: appending grows it by one 2880-byte block.
"$fitsgen" full.fits -s DATE 2013-11-20T03:30:00 --pad 35
before=$(stat -c %s full.fits)
echo "== appending to a full header (full.fits, $before bytes)"
show full.fits filter "'V'"
show full.fits filter
echo "full.fits now has $(stat -c %s full.fits) bytes"
