#include <gtest/gtest.h>

#include <cmath>

#include "db/Convert.h"

using namespace db;

TEST(StrToFloatDef, AcceptsOnlyWholeDecimalNumbers) {
    struct Case { const char* text; double expected; };
    const double fb = -99;
    const Case cases[] = {
        {"12", 12}, {"  12.5  ", 12.5}, {"-3", -3}, {"+4", 4}, {"1e3", 1000}, {"1.5E-2", 0.015},
        {".5", 0.5}, {"5.", 5}, {"0", 0},
        {"", fb}, {"   ", fb}, {"abc", fb}, {"1,5", fb}, {"12x", fb}, {"0x10", fb}, {"$10", fb},
        {"1e", fb}, {"e5", fb}, {"inf", fb}, {"nan", fb}, {"1e400", fb}, {"- 1", fb}, {".", fb},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToFloatDef(c.text, fb), c.expected) << c.text;
}

TEST(StrToIntDef, DecimalAndHexWithin32Bits) {
    struct Case { const char* text; int expected; };
    const int fb = -7;
    const Case cases[] = {
        {"42", 42}, {"  42", 42}, {"-42", -42}, {"+42", 42}, {"$1F", 31}, {"x1f", 31}, {"X10", 16},
        {"0x10", 16}, {"0X10", 16}, {"-$10", -16}, {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1}, {"007", 7},
        {"", fb}, {"2.5", fb}, {"42 ", fb}, {"2147483648", fb}, {"-2147483649", fb}, {"$80000000", fb},
        {"0x", fb}, {"$", fb}, {"12a", fb}, {"1e3", fb}, {"-", fb},
    };
    for (const Case& c : cases) EXPECT_EQ(StrToIntDef(c.text, fb), c.expected) << c.text;
}

TEST(FloatToText, ShortestGeneralFormWithFifteenDigits) {
    struct Case { double value; const char* text; };
    const Case cases[] = {
        {3.0, "3"}, {2.5, "2.5"}, {-0.0, "0"}, {0.1 + 0.2, "0.3"}, {1.0 / 3, "0.333333333333333"},
        {123456789012345.0, "123456789012345"}, {1e15, "1E15"}, {1e20, "1E20"}, {1.5e-6, "1.5E-6"},
        {0.0001, "0.0001"}, {-12.75, "-12.75"}, {60, "60"},
    };
    for (const Case& c : cases) EXPECT_EQ(FloatToText(c.value).toStdString(), c.text) << c.value;
}

TEST(FloatToText, TextReadBackKeepsFifteenDigits) {
    for (double v : {1.0 / 3, 2.0 / 7, 123.456789012345678, 9.87654321e-3}) {
        const double back = StrToFloatDef(FloatToText(v), 0);
        EXPECT_NEAR(back, v, std::fabs(v) * 1e-14);
        EXPECT_EQ(FloatToText(back), FloatToText(v));
    }
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    struct Case { double in, out; };
    const Case cases[] = {{3.5, 4}, {2.5, 2}, {1.5, 2}, {0.5, 0}, {-2.5, -2}, {-3.5, -4},
                          {2.1, 2}, {2.6, 3}, {0.4, 0}, {9, 9}, {-0.6, -1}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}
