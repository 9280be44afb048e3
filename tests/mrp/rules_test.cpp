// The workflow's small rules, exactly.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "mrp/Identifiers.h"
#include "mrp/OddLines.h"
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

// The lines nobody would buy from, as the clerk is told of them: one text per odd line,
// a material missing from PRODUCT once, an ordered product without a bill once per order.
TEST(RequisitionRules, OddLinesNameTheMaterialTheOrderAndWhy) {
    const auto row = [](const char* prod, std::optional<double> qty, double rQty, double divC = 1,
                        const char* order = "SO1") {
        MaterialRow r;
        r.prodId = prod;
        r.qty = qty;
        r.rQty = rQty;
        r.divC = divC;
        r.masterBillId = order;
        return r;
    };
    struct Case {
        const char* name;
        MaterialRow row;
        bool known;
        QStringList expected;
    };
    const Case cases[] = {
        {"an ordinary line", row("M", 12, 12), true, {}},
        {"a zero quantity", row("M", 0, 0), true, {}},
        {"half rounds to the even 0", row("M", 1, 0.5, 2), true,
         {"物料 M（訂單 SO1）：請購量取整後為 0（數量 1，除數 2）"}},
        {"an edited R_QTY below one half", row("M", 3, 0.4, 8), true,
         {"物料 M（訂單 SO1）：請購量取整後為 0（數量 3，除數 8）"}},
        {"one and a half rounds to 2", row("M", 3, 1.5, 2), true, {}},
        {"an empty quantity", row("M", std::nullopt, 0), true, {"物料 M（訂單 SO1）：數量空白"}},
        {"a negative quantity", row("M", -2.5, -2), true, {"物料 M（訂單 SO1）：數量為負數 (-2.5)"}},
        {"no PRODUCT row", row("GHOST", 6, 6), false, {"物料 GHOST：商品資料沒有此編號（沒有名稱、單位、成本）"}},
        {"a row added by hand without an order", row("M", std::nullopt, 0, 1, ""), true, {"物料 M：數量空白"}},
        {"two faults of one line", row("GHOST", -1, -1), false,
         {"物料 GHOST（訂單 SO1）：數量為負數 (-1)", "物料 GHOST：商品資料沒有此編號（沒有名稱、單位、成本）"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(OddLines({c.row}, [&c](size_t) { return c.known; }, {}), c.expected);
    }

    // Several lines: in the list's order; a missing material named once; each ordered
    // product without a bill once per order, after the lines.
    const std::vector<MaterialRow> rows = {row("GHOST", 6, 6), row("M", std::nullopt, 0), row("GHOST", 2, 2, 1, "SO2")};
    const std::vector<OrderedProduct> withoutBill = {{"SO1", "NOBILL"}, {"SO1", "NOBILL"}, {"SO2", "NOBILL"}};
    EXPECT_EQ(OddLines(rows, [&rows](size_t line) { return rows[line].prodId != "GHOST"; }, withoutBill),
              (QStringList{"物料 GHOST：商品資料沒有此編號（沒有名稱、單位、成本）", "物料 M（訂單 SO1）：數量空白",
                           "訂單 SO1 的商品 NOBILL 沒有物料清單，不會請購任何物料，訂單仍會結案",
                           "訂單 SO2 的商品 NOBILL 沒有物料清單，不會請購任何物料，訂單仍會結案"}));
}

// An identifier fits its column in code page 950 bytes (a Chinese character takes two);
// otherwise the refusal names the limit, or the character the page cannot hold.
TEST(RequisitionRules, IdentifiersMustFitTheirColumnsInCodePage950) {
    const db::CodePage page;
    struct Case {
        QString text;
        int bytes;
        QString expected;
    };
    const Case cases[] = {
        {"P2026-001", 20, ""},
        {"12345678901234567890", 20, ""},
        {"123456789012345678901", 20, "專案代號最多 20 個字元（一個中文字佔 2 個），「123456789012345678901」有 21 個"},
        {"專案一二三四五六七八", 20, ""},
        {"專案一二三四五六七八九", 20, "專案代號最多 20 個字元（一個中文字佔 2 個），「專案一二三四五六七八九」有 22 個"},
        {"P\U0001F600", 20, "專案代號「P\U0001F600」含有無法以 Big5 (代碼頁 950) 儲存的字「\U0001F600」"},
        {"P한", 20, "專案代號「P한」含有無法以 Big5 (代碼頁 950) 儲存的字「한」"},
        {"", 20, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IdentifierProblem(kProjectCodeLabel, c.text, c.bytes, page), c.expected) << c.text.toStdString();
    EXPECT_EQ(IdentifierProblem(kUserIdLabel, "A0012345678", kUserIdBytes, page),
              "使用者代號最多 10 個字元（一個中文字佔 2 個），「A0012345678」有 11 個");
}
