/* The library's header used from plain C, next to the C maths header. */
#include <math.h>
#include <stdio.h>
#include "mycommon.h"

int main(void)
{
    int year, month, day, hour, minute;
    double second;
    ut(jd(2015, 7, 2, 12.0), &year, &month, &day, &hour, &minute, &second);
    if (year != 2015 || month != 7 || day != 2 || hour != 12 || minute != 0) {
        fprintf(stderr, "ut(jd()) from C: %d-%d-%d %d:%d\n", year, month, day, hour, minute);
        return 1;
    }
    /* the library's fmin: a NaN second argument is the result */
    if (!isnan(fmin(1.0, NAN)) || fmax(NAN, 2.0) != 2.0) {
        fprintf(stderr, "fmin/fmax from C do not have the library's semantics\n");
        return 1;
    }
    return 0;
}
