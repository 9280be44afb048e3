// The purchase summary of a written requisition: its lines consolidated per material and
// grouped by supplier, as read back, as "marlith summary" lists it and as "marlith print
// --summary" prints it (read back with pdftotext, page by page).

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "mrp/Fixture.h"
#include "mrp/MarlithProcess.h"
#include "mrp/Audit.h"
#include "mrp/RequisitionWriter.h"
#include "mrp/VoidRequisition.h"
#include "report/Summary.h"

namespace {

using mrptest::Order;
using mrptest::Row;

// Four materials of two suppliers and two without one, on seven lines of three orders.
class SummaryTest : public ::testing::Test {
protected:
    SummaryTest() {
        database.Run(
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '一號工程');\n"
            "INSERT INTO PRODUCT VALUES ('M1', '螺絲', '包', '', 30, 45, 7, 'V01', '五金行', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M2', '鋼板', '片', '', 100, 0, 2.5, 'V02', '鋼鐵廠', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M3', '膠帶', '卷', '', 12.5, 0, 0, NULL, NULL, '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M4', '墊片', '個', '', 0.5, 0, 150, '', '', '', '');\n" +
            Order("O1", "P1") + Order("O2", "P1") + Order("O3", "P1"));
        reading.SetParams(database.params());
        writing.SetParams(database.params());
        Write("202611020001");
        // Stock on hand is read when the summary is made, not as written.
        database.Run("UPDATE PRODUCT SET NOW_QTY = 9 WHERE PROD_ID = 'M1';");
    }
    void Write(const QString& number) {
        mrptest::WriteThroughWriter(reading, writing, {number, "2026/11/02", "A001", "S01", "P1"},
                                    {Row("M2", 2, "O1"), Row("M1", 3, "O1"), Row("M3", 1, "O1"), Row("M1", 4, "O2"),
                                     Row("M3", 3, "O2"), Row("M4", 5, "O2"), Row("M4", 5, "O3")},
                                    {"O1", "O2", "O3"});
    }
    testsupport::TestDatabase database;
    db::Connection reading, writing;
};

}  // namespace

TEST_F(SummaryTest, ConsolidatesPerSupplierAndAddsUpToTheRequisition) {
    db::Connection c;
    c.SetParams(database.params());
    const report::PurchaseSummary s = report::LoadSummary(c, "202611020001");
    QStringList got;
    for (const auto& b : s.suppliers) {
        QStringList rows;
        for (const auto& r : b.rows)
            rows << QString("%1 %2x%3=%4 (%5)").arg(r.code).arg(r.quantity).arg(r.cost).arg(r.amount).arg(r.stock);
        got << b.id + " " + b.name + ": " + rows.join(", ") + " = " + QString::number(b.Subtotal());
    }
    // AMT is rounded per line, half to even: M3's 12.5 and 37.5 give 12 and 38, M4's two
    // 2.5 give 2 each.
    EXPECT_EQ(got, (QStringList{"V01 五金行: M1 7x30=210 (9) = 210", "V02 鋼鐵廠: M2 2x100=200 (2.5) = 200",
                                " 未指定供應商: M3 4x12.5=50 (0), M4 10x0.5=4 (150) = 54"}))
        << got.join('\n').toStdString();
    EXPECT_EQ(s.Total(), s.requisition.Total());
    EXPECT_EQ(s.Total(), 464);
    EXPECT_THROW(report::LoadSummary(c, "NOPE"), report::RequisitionNotFound);
}

TEST_F(SummaryTest, TheCommandListsItAndPrintsEachSupplierOnItsOwnPage) {
    mrptest::MarlithProcess marlith(database.params());
    const mrptest::ProcessRun json = marlith({"summary", "202611020001", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(json.out.toUtf8()).object();
    EXPECT_EQ(o.value("TOTAL").toInt(), 464);
    QStringList subtotals;
    for (const QJsonValue& b : o.value("SUPPLIERS").toArray())
        subtotals << b.toObject().value("PROVIDER_NAME").toString() + "=" +
                         QString::number(b.toObject().value("SUBTOTAL").toInt());
    EXPECT_EQ(subtotals, (QStringList{"五金行=210", "鋼鐵廠=200", "未指定供應商=54"}));
    const mrptest::ProcessRun csv = marlith({"summary", "202611020001", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_TRUE(csv.out.contains(",未指定供應商,M4,M4,u,10,0.5,4,150\n")) << csv.out.toStdString();
    EXPECT_EQ(marlith({"summary", "NOPE"}).exitCode, 1);

    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("summary.pdf");
    const mrptest::ProcessRun printed = marlith({"print", "202611020001", "--summary", "-o", pdf});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 3) << pages.join("\n----\n").toStdString();
    const char* suppliers[] = {"V01 五金行", "V02 鋼鐵廠", "未指定供應商"};
    const char* subtotals2[] = {"小計\\s+210", "小計\\s+200", "小計\\s+54"};
    for (int i = 0; i < 3; ++i) {
        const QString& page = pages[i];
        for (const QString& expected : {QString("請購彙總"), QString("202611020001"), QString("2026/11/02"),
                                        QString("P1 一號工程"), QString::fromUtf8(suppliers[i]),
                                        QString("第 %1 頁，共 3 頁").arg(i + 1)})
            EXPECT_TRUE(page.contains(expected)) << expected.toStdString() << "\n" << page.toStdString();
        EXPECT_TRUE(page.contains(QRegularExpression(QString::fromUtf8(subtotals2[i])))) << page.toStdString();
    }
    EXPECT_TRUE(pages[0].contains(QRegularExpression("M1\\s+M1\\s+u\\s+7\\s+30\\.00\\s+210\\s+9"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[2].contains(QRegularExpression("總計\\s+464"))) << pages[2].toStdString();
    EXPECT_FALSE(pages[1].contains("總計"));
}

// A clerk voids the requisition while it is printed or summarized: the void commits right
// after the reader has read the header. The reader still sees the whole requisition as it
// was when it began (never "0 lines, total 0"); asked again, it says the number is voided.
TEST_F(SummaryTest, AVoidBetweenTheReadersStatementsLeavesItWholeOrVoided) {
    ASSERT_FALSE(mrp::EnsureAuditTable(writing).has_value());
    db::Connection voiding;
    voiding.SetParams(database.params());
    const auto voidAfterTheHeader = [&](const QString& number) {
        mrptest::BetweenStatements(reading, "PETITION_MASTER",
                                   [&voiding, number] { mrp::VoidRequisition(voiding, number, "寫錯專案", "A001", "S01"); });
    };

    voidAfterTheHeader("202611020001");
    const report::Requisition printed = report::LoadRequisition(reading, "202611020001");
    EXPECT_EQ(printed.lines.size(), 7u);
    EXPECT_EQ(printed.Total(), 464);
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE MASTERBILLID = '202611020001'"), "0");
    EXPECT_FALSE(reading.InTransaction());

    // The void reopened the orders: the project is written again, and summarized.
    Write("202611020002");
    voidAfterTheHeader("202611020002");
    const report::PurchaseSummary summary = report::LoadSummary(reading, "202611020002");
    EXPECT_EQ(summary.Total(), 464);
    ASSERT_EQ(summary.suppliers.size(), 3u);
    EXPECT_EQ(summary.suppliers[0].rows[0].stock, 9);
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");

    for (const char* number : {"202611020001", "202611020002"}) {
        EXPECT_THROW(report::LoadRequisition(reading, number), report::RequisitionVoided);
        EXPECT_THROW(report::LoadSummary(reading, number), report::RequisitionVoided);
    }
}

// The commands say a voided number is voided, not unknown, and write no file.
TEST_F(SummaryTest, TheCommandsSayAVoidedNumberIsVoided) {
    ASSERT_FALSE(mrp::EnsureAuditTable(writing).has_value());
    mrp::VoidRequisition(writing, "202611020001", "寫錯專案", "A001", "S01");
    mrptest::MarlithProcess marlith(database.params());
    QTemporaryDir dir;
    const QString pdf = dir.filePath("out.pdf");
    const QStringList commands[] = {{"print", "202611020001", "-o", pdf},
                                    {"print", "202611020001", "--summary", "-o", pdf},
                                    {"summary", "202611020001"}};
    for (const QStringList& args : commands) {
        const mrptest::ProcessRun run = marlith(args);
        EXPECT_EQ(run.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("請購單 202611020001 已作廢")) << args.join(' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
        EXPECT_FALSE(QFile::exists(pdf));
    }
}

// Codes are keyed as the database compares them: trailing blanks do not count, leading
// ones do. Each case is a requisition of its own, written by the back office, over
// products of its own.
TEST(SummaryCodes, OneRowPerCodeWithoutTrailingBlanksAndItsStock) {
    const struct {
        const char* name;
        std::vector<std::pair<QString, double>> products;  // code, stock
        QStringList lines;                                 // codes, 1 of each
        QStringList rows;                                  // "code quantity (stock)"
    } cases[] = {
        {"two spellings of one code", {{"M001", 5}}, {"M001", "M001  ", "M001 "}, {"M001 3 (5)"}},
        {"the product's code with blanks", {{"U003  ", 7}}, {"U003"}, {"U003 1 (7)"}},
        {"the line's code with blanks", {{"V1", 4}}, {"V1 ", "V1"}, {"V1 2 (4)"}},
        {"a leading blank is another code", {{"W1", 6}}, {" W1", "W1"}, {" W1 1 (0)", "W1 1 (6)"}},
        {"a product gone", {}, {"X9  "}, {"X9 1 (0)"}},
    };
    testsupport::TestDatabase database;
    db::Connection c;
    c.SetParams(database.params());
    int n = 0;
    for (const auto& k : cases) {
        const QString number = QString("20261102%1").arg(++n, 4, 10, QChar('0'));
        QString script = "INSERT INTO PETITION_MASTER (MASTERBILLID, BILL_DATE, PROJ_ID, CLOSED) VALUES ('" + number +
                         "', '2026/11/02', 'P1', 'N');\n";
        for (const auto& [code, stock] : k.products)
            script += QString("INSERT INTO PRODUCT (PROD_ID, PROD_NAME, NOW_QTY) VALUES ('%1', 'p', %2);\n").arg(code).arg(stock);
        for (const QString& code : k.lines)
            script += "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID, PROD_NAME, QTY, STD_COST, AMT) VALUES ('" + number +
                      "', '" + code + "', 'p', 1, 1, 1);\n";
        database.Run(script);
        const report::PurchaseSummary s = report::LoadSummary(c, number);
        QStringList rows;
        for (const auto& b : s.suppliers)
            for (const auto& r : b.rows) rows << QString("%1 %2 (%3)").arg(r.code).arg(r.quantity).arg(r.stock);
        EXPECT_EQ(rows, k.rows) << k.name;
        EXPECT_EQ(s.Total(), k.lines.size()) << k.name;
    }
}
