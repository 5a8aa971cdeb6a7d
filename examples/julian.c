/* Prints the Julian date of a calendar date and converts it back:
 *   cc julian.c $(pkg-config --cflags --libs mycommon) -o julian */
#include <stdio.h>
#include "mycommon.h"

int main(void)
{
    int year, month, day, hour, minute;
    double second;
    double date = jd(2015, 7, 2, 12.0);
    ut(date, &year, &month, &day, &hour, &minute, &second);
    printf("JD %.1f = %04d-%02d-%02dT%02d:%02d:%02.0f\n", date, year, month, day, hour, minute,
           second);
    return !(year == 2015 && month == 7 && day == 2 && hour == 12);
}
