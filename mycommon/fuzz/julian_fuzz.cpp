// ut and jd on arbitrary doubles and ints.
// Input: a double (8 bytes), three ints (12 bytes), a double (8 bytes).
#include "mycommon.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <cmath>

namespace {

void check(bool condition)
{
    if (!condition)
        abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 28)
        return 0;
    double x, hours;
    int fields[3];
    memcpy(&x, data, 8);
    memcpy(fields, data + 8, 12);
    memcpy(&hours, data + 20, 8);

    int year, month, day, hour, minute;
    double second;
    ut(x, &year, &month, &day, &hour, &minute, &second);
    if (std::isfinite(x) && x >= 524287.5 && x <= 1e11) {
        check(month >= 1 && month <= 12 && day >= 1 && day <= 31);
        check(hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59);
        check(second >= 0.0 && second < 60.0);
        double back = jd(year, month, day, hour + minute / 60.0 + second / 3600.0);
        // a few units in the last place of x, plus the seconds' own rounding
        check(std::fabs(back - x) <= 1e-14 * std::fabs(x) + 1e-9);
    } else if (!std::isfinite(x) || std::fabs(x) > 1e11) {
        check(std::isnan(second));
    }

    double value = jd(fields[0], fields[1], fields[2], hours);
    if (std::isfinite(hours))
        check(std::isfinite(value));
    return 0;
}
