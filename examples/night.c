/* Altitude and airmass of a star through a night at an observatory.
 *
 *   cc night.c $(pkg-config --cflags --libs mycommon) -o night
 *   ./night
 *
 * The Crab nebula (RA 83.633 deg, Dec +22.014 deg) from the Roque de los
 * Muchachos, La Palma (17.88 deg W, 28.76 deg N), 1-2 December 2024, hourly.
 */
#include <stdio.h>

#include <mycommon.h>

int main(void)
{
    const double ra = 83.633, dec = 22.014;            /* degrees */
    const double longitude = -17.88, latitude = 28.76; /* degrees, east and north */
    double highest = -90.0;

    printf("UT     LST (h)  altitude  azimuth  airmass\n");
    for (int hour = 20; hour <= 30; ++hour) {
        double date = jd(2024, 12, 1, hour);           /* hour 24 and on run into 2 Dec */
        double lst = st(date, longitude);
        double az = ra, alt = dec;
        eq_to_hor(&az, &alt, latitude, lst);
        if (alt > 0)
            printf("%02d:00  %7.3f  %8.2f  %7.2f  %7.3f\n", hour % 24, lst, alt, az,
                   airmass(90.0 - alt));
        else
            printf("%02d:00  %7.3f  %8.2f  %7.2f  (below the horizon)\n", hour % 24, lst, alt,
                   az);
        if (alt > highest)
            highest = alt;
    }
    /* upper culmination of a star at dec 22 from latitude 28.76: 83.25 deg */
    return highest > 80.0 && highest <= 83.26 ? 0 : 1;
}
