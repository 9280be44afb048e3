// The workflow's small rules, exactly.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mrp/Rules.h"

using namespace mrp;

TEST(RequisitionRules, DateKeyInTimeAndNumberText) {
    EXPECT_EQ(DateText(QDate(2026, 1, 5)), "2026/01/05");
    EXPECT_EQ(KeyInTime(QTime(9, 5, 7, 5)), "09:05:07 05");
    EXPECT_EQ(KeyInTime(QTime(23, 59, 59, 123)), "23:59:59 123");
    EXPECT_EQ(KeyInTime(QTime(0, 0, 0, 0)), "00:00:00 00");

    EXPECT_EQ(RequisitionNumber("2026/11/02", 1), "202611020001");
    EXPECT_EQ(RequisitionNumber("2026/11/02", 7), "202611020007");
    EXPECT_EQ(RequisitionNumber("2026/11/02", 9999), "202611029999");
    EXPECT_EQ(RequisitionNumber("2026/11/02", 10000), "2026110210000");
    EXPECT_EQ(RequisitionNumber("2026/11/02", 10000).size(), 13);
    // Whatever the separators: the eight digits of the date.
    EXPECT_EQ(RequisitionNumber("2026-11-02", 12), "202611020012");
    EXPECT_THROW(RequisitionNumber("2026/11/2", 1), RuleError);
    EXPECT_THROW(RequisitionNumber("2026/11/02", -1), RuleError);
}

TEST(RequisitionRules, RequisitionQuantityRoundsTheQuotientHalfToEven) {
    struct Case {
        double qty, divC, rQty;
    };
    const Case cases[] = {{7, 2, 4}, {5, 2, 2}, {3, 2, 2}, {10, 4, 2}, {9, 1, 9}, {0.4, 1, 0},
                          {2.1, 1, 2},  // rounded, never rounded up
                          {-5, 2, -2}, {60, 4, 15}};
    for (const Case& c : cases)
        EXPECT_EQ(RequisitionQuantity(c.qty, c.divC, "A", "B"), c.rQty) << c.qty << " / " << c.divC;
}

TEST(RequisitionRules, DivisorZeroAndOverflowNameAssemblyAndComponent) {
    for (double qty : {5.0, 0.0}) {
        try {
            RequisitionQuantity(qty, 0, "ASSY-1", "PART-9");
            ADD_FAILURE() << "no error for DIV_C 0";
        } catch (const RuleError& e) {
            EXPECT_NE(std::string(e.what()).find("ASSY-1"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("PART-9"), std::string::npos) << e.what();
            EXPECT_NE(std::string(e.what()).find("DIV_C 0"), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(RequisitionQuantity(1e308, 1e-10, "A", "B"), RuleError);
}

TEST(RequisitionRules, WholeNumbersForTheRequisitionLine) {
    struct Case {
        double value;
        int whole;
    };
    const Case cases[] = {{12, 12},   {2.5, 2},   {3.5, 4}, {2.4, 2}, {-2.5, -2}, {0.5, 0},
                          {2147483647, 2147483647}, {-2147483648.0, -2147483647 - 1}};
    for (const Case& c : cases) EXPECT_EQ(WholeNumber(c.value, "QTY"), c.whole) << c.value;

    // Outside the 32-bit range: an error, never a wrap-around.
    for (double bad : {2147483647.5 + 1, 2147483648.0, -2147483649.0, 1e10,
                       std::numeric_limits<double>::infinity(), std::nan("")}) {
        EXPECT_THROW(WholeNumber(bad, "QTY of M1"), RuleError) << bad;
    }
    try {
        WholeNumber(3e9, "the quantity (QTY) of M1");
    } catch (const RuleError& e) {
        EXPECT_NE(std::string(e.what()).find("the quantity (QTY) of M1 is 3000000000"), std::string::npos) << e.what();
    }

    EXPECT_EQ(Amount(12, 30, "M1"), 360);
    EXPECT_EQ(Amount(3, 2.5, "M1"), 8);   // 7.5 to the even neighbour
    EXPECT_EQ(Amount(1, 2.5, "M1"), 2);
    EXPECT_EQ(Amount(0, 99.9, "M1"), 0);
    EXPECT_THROW(Amount(100000, 30000, "M1"), RuleError);  // 3e9
}

TEST(RequisitionRules, ValuesThroughTextAndLiterals) {
    EXPECT_EQ(ThroughText(0.1 + 0.2), 0.3);  // 15 significant digits
    EXPECT_EQ(FloatOr(std::nullopt, 1), 1);
    EXPECT_EQ(FloatOr(2.5, 1), 2.5);
    EXPECT_EQ(SqlLiteral("P2026-001"), "'P2026-001'");
    EXPECT_EQ(SqlLiteral("O'Neil's"), "'O''Neil''s'");
    EXPECT_EQ(SqlLiteral(""), "''");
}
