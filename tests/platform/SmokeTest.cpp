#include "platform/SysUtils.h"
#include <gtest/gtest.h>

TEST(Exceptions, CarryTheirMessageAndClass)
{
    try {
        throw EZeroDivide("Floating point division by zero");
    } catch (const EMathError& e) {
        EXPECT_EQ(e.Message(), "Floating point division by zero");
        EXPECT_STREQ(e.ClassName(), "EZeroDivide");
    }
}
