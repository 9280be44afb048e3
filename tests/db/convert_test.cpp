#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>

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
        {0.0001, "0.0001"}, {-12.75, "-12.75"}, {60, "60"}, {-7, "-7"},
        // The largest whole numbers written as digits, and the first written with an exponent.
        {999999999999999.0, "999999999999999"}, {-999999999999999.0, "-999999999999999"},
        {9007199254740993.0, "9.00719925474099E15"}, {-1e15, "-1E15"},
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

// The text form is printf's "%.15g" in the C locale, exponent rewritten, whatever the
// process's locale; a value handed over as text is the value that text reads back as.
// Checked against printf itself over random doubles of every magnitude.
TEST(FloatToText, IsPrintfsFormAndThroughFifteenDigitsIsItsReadBack) {
    std::mt19937_64 random(20261210);
    auto printfForm = [](double v) {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.15g", v);
        std::string s(buf);
        const size_t e = s.find('e');
        if (e == std::string::npos) return s;
        std::string exponent = s.substr(e + 1);
        const bool negative = exponent[0] == '-';
        exponent.erase(0, 1);
        while (exponent.size() > 1 && exponent[0] == '0') exponent.erase(0, 1);
        return s.substr(0, e) + "E" + (negative ? "-" : "") + exponent;
    };
    std::setlocale(LC_NUMERIC, "C");
    for (int i = 0; i < 20000; ++i) {
        double v;
        const std::uint64_t bits = random();
        std::memcpy(&v, &bits, sizeof v);
        if (!std::isfinite(v) || v == 0) continue;
        if (i % 2) v = std::ldexp(double(bits >> 11) / double(1ull << 53), int(bits % 80) - 40) * ((bits & 1) ? -1 : 1);
        // Whole numbers of every size, on both sides of the fifteen digits.
        if (i % 4 == 2) v = double(static_cast<std::int64_t>(bits) >> (bits % 63));
        if (v == 0) continue;
        ASSERT_EQ(FloatToText(v).toStdString(), printfForm(v)) << v;
        ASSERT_EQ(ThroughFifteenDigits(v), StrToFloatDef(FloatToText(v), v)) << v;
    }
    for (double v : {0.0, -0.0, 1e308, 1.7976931348623157e308, 4.9e-324, 0.1 + 0.2})
        EXPECT_EQ(ThroughFifteenDigits(v), StrToFloatDef(FloatToText(v), v)) << v;
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
    struct Case { double in, out; };
    const Case cases[] = {{3.5, 4}, {2.5, 2}, {1.5, 2}, {0.5, 0}, {-2.5, -2}, {-3.5, -4},
                          {2.1, 2}, {2.6, 3}, {0.4, 0}, {9, 9}, {-0.6, -1}};
    for (const Case& c : cases) EXPECT_EQ(RoundHalfEven(c.in), c.out) << c.in;
}
