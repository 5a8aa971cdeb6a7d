// The library's header after the C++ maths header: its fmin and fmax
// declarations must agree with the standard library's.
#include <cmath>
#include <math.h>

#include "mycommon.h"

#include <gtest/gtest.h>

namespace {

TEST(Header, FminFmaxNextToCmath)
{
    EXPECT_TRUE(std::isnan(fmin(1.0, NAN)));
    EXPECT_TRUE(std::isnan(::fmax(1.0, NAN)));
}

} // namespace
