// The printed requisition: its pages as plain arithmetic, its numbers, and the PDF that
// "marlith print" makes of a requisition the program wrote, read back with pdftotext.

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "mrp/Fixture.h"
#include "mrp/MarlithProcess.h"
#include "report/RequisitionPdf.h"

namespace {

using mrptest::Bom;
using mrptest::Line;
using mrptest::Order;
using mrptest::Product;

TEST(RequisitionPages, LinesThenTheTotalOverThePages) {
    struct Case {
        int lines, first, other;
        std::vector<std::tuple<int, int, bool>> pages;  // first, count, total
    } cases[] = {
        {0, 10, 20, {{0, 0, true}}},
        {9, 10, 20, {{0, 9, true}}},
        {10, 10, 20, {{0, 10, false}, {10, 0, true}}},  // a full page: the total on its own
        {35, 10, 20, {{0, 10, false}, {10, 20, false}, {30, 5, true}}},
        {30, 10, 20, {{0, 10, false}, {10, 20, false}, {30, 0, true}}},
    };
    for (const Case& c : cases) {
        const std::vector<report::PageSlice> got = report::PaginateLines(c.lines, c.first, c.other);
        ASSERT_EQ(got.size(), c.pages.size()) << c.lines;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].first, std::get<0>(c.pages[i])) << c.lines << " page " << i;
            EXPECT_EQ(got[i].count, std::get<1>(c.pages[i])) << c.lines << " page " << i;
            EXPECT_EQ(got[i].total, std::get<2>(c.pages[i])) << c.lines << " page " << i;
        }
    }
    EXPECT_EQ(report::WholeNumberText(1234567), "1,234,567");
    EXPECT_EQ(report::WholeNumberText(-5), "-5");
    EXPECT_EQ(report::CostText(12.5), "12.50");
    EXPECT_EQ(report::CostText(1234.567), "1,234.57");
}

QString PdfText(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(60000));
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(PrintCommand, APrintedRequisitionHoldsItsHeaderLinesTotalAndPages) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    testsupport::TestDatabase database;
    QString script = Product("A", "組合件") + Product("M1", "螺絲包", "包", "12.5") + Bom("A", "M1", "3", "1");
    // Enough materials for several pages, and more rows than one byte of a record number
    // holds (the lines' order must not depend on how record keys sort).
    for (int i = 2; i <= 300; ++i)
        script += Product(QString("M%1").arg(i), QString("封邊條%1號").arg(i), "捲", "2") +
                  Bom("A", QString("M%1").arg(i), "1", "1");
    script += Order("SO1", "P1") + Line("SO1", "A", "2") +
              "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '台北門市改裝');\n";
    database.Run(script);
    mrptest::MarlithProcess marlith(database.params(), "A001", "S01");
    const mrptest::ProcessRun written = marlith({"requisition", "P1"});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    const QString number = database.Scalar("SELECT MASTERBILLID FROM PETITION_MASTER");
    ASSERT_FALSE(number.isEmpty());

    QTemporaryDir dir;
    const QString pdf = dir.filePath("requisition.pdf");
    const mrptest::ProcessRun printed = marlith({"print", number, "-o", pdf});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(5) == "%PDF-");

    const QString text = PdfText(pdf);
    for (const QString& expected : {QString("請購單"), number, QString("P1"), QString("台北門市改裝"), QString("S01"),
                                    QString("螺絲包"), QString("M300"), QString("封邊條300號"), QString("合計"),
                                    QString("第 1 頁，共 "), QString("第 2 頁，共 ")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString() << "\n" << text.toStdString();
    // M1: 2 x 3 = 6 at 12.50 (a whole amount of 75); 299 others: 2 each at 2 = 4: 1,196.
    EXPECT_TRUE(text.contains(QRegularExpression("M1\\s+螺絲包\\s+包\\s+6\\s+12\\.50\\s+75"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QRegularExpression("合計\\s+1,271"))) << text.toStdString();
    // The lines in the order the requisition was written: M1, M2, ..., M300.
    std::vector<int> order;
    const QRegularExpression code("^\\s*M(\\d+)\\s", QRegularExpression::MultilineOption);
    for (auto it = code.globalMatch(text); it.hasNext();) order.push_back(it.next().captured(1).toInt());
    ASSERT_EQ(order.size(), 300u);
    for (size_t i = 0; i < order.size(); ++i) ASSERT_EQ(order[i], int(i) + 1) << "line " << i;

    // An unknown number is an error, and no file is written (an existing one stays).
    const QString missing = dir.filePath("missing.pdf");
    const mrptest::ProcessRun unknown = marlith({"print", "NOPE", "-o", missing});
    EXPECT_EQ(unknown.exitCode, 1);
    EXPECT_TRUE(unknown.err.contains("請購單 NOPE 不存在")) << unknown.err.toStdString();
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(marlith({"print", "NOPE", "-o", pdf}).exitCode, 1);
    EXPECT_TRUE(PdfText(pdf).contains(number));
    EXPECT_EQ(marlith({"print", number}).exitCode, 2);
}

}  // namespace
