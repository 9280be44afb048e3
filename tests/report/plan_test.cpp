// The purchase plan over the open requisitions: one row per supplier and material, net of
// the stock on hand, as read in one snapshot, as "marlith plan" lists it (text, CSV, JSON)
// and as "marlith print --plan" prints it (read back with pdftotext, page by page). The
// values expected are worked out by hand from the fixture below.

#include <gtest/gtest.h>

#include <QDate>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "mrp/Fixture.h"
#include "mrp/MarlithProcess.h"
#include "report/Plan.h"

namespace {

// Six requisitions of two projects written over two months, as purchasing finds them:
//   202610200001 2026/10/20 P1 open     M1 2 (V01), M4 3 (V03, cost 9)
//   202611010001 2026/11/01 P1 open     M1 5 (V01, cost 28), M4 6 (V01, cost 8), M5 4 (V01), M3 3
//   202611030001 2026/11/03 P2 closed   M1 100
//   202611040001 2026/11/04 P2 open     M1 1000: voided by the test
//   202611059999 2026/11/05 P2 open     "M1  " 4, M2 3, M2 50 (line closed), M5 5 (V02), M6 7
//   2026110510000 2026/11/05 P2 open    M2 2, M3 1   (the day's 10000th: newer than 9999)
// Products now: M1 V01 cost 30 stock 3; M2 V02 cost 100 stock -4; M3 no supplier, cost
// 12.5, stock null; M4 gone (written with V03, then with V01); M5 moved to V02, cost 7,
// stock 10; "M6  " (code with trailing blanks) V02 cost 2.5 stock 2.5.
class PlanTest : public ::testing::Test {
protected:
    PlanTest() {
        const auto master = [](const char* number, const char* date, const char* project, const char* closed) {
            return QString("INSERT INTO PETITION_MASTER (MASTERBILLID, BILL_DATE, PROJ_ID, CLOSED) VALUES "
                           "('%1', '%2', '%3', '%4');\n")
                .arg(number, date, project, closed);
        };
        const auto line = [](const char* number, const char* code, int qty, const char* cost, const char* provider,
                             const char* providerName, const char* closed = "N") {
            return QString("INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID, PROD_NAME, UNITNAME, QTY, STD_COST, "
                           "PROVIDER_ID, PROVIDER_NAME, CLOSED) VALUES ('%1', '%2', '%3', 'u', %4, %5, %6, %7, '%8');\n")
                .arg(number, code, QString(code).trimmed() + "舊名")
                .arg(qty)
                .arg(cost, provider, providerName, closed);
        };
        database.Run(
            "INSERT INTO PRODUCT VALUES ('M1', '螺絲', '包', '', 30, 45, 3, 'V01', '五金行', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M2', '鋼板', '片', '', 100, 0, -4, 'V02', '鋼鐵廠', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M3', '膠帶', '卷', '', 12.5, 0, NULL, NULL, NULL, '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M5', '墊片', '個', '', 7, 0, 10, 'V02', '鋼鐵廠', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M6  ', '鉚釘', '支', '', 2.5, 0, 2.5, 'V02', '鋼鐵廠', '', '');\n" +
            master("202610200001", "2026/10/20", "P1", "N") + line("202610200001", "M1", 2, "30", "'V01'", "'五金行'") +
            line("202610200001", "M4", 3, "9", "'V03'", "'舊供應商'") +
            master("202611010001", "2026/11/01", "P1", "N") + line("202611010001", "M1", 5, "28", "'V01'", "'五金行'") +
            line("202611010001", "M4", 6, "8", "'V01'", "'五金行'") +
            line("202611010001", "M5", 4, "6", "'V01'", "'五金行'") +
            line("202611010001", "M3", 3, "12.5", "NULL", "NULL") +
            master("202611030001", "2026/11/03", "P2", "Y") + line("202611030001", "M1", 100, "30", "'V01'", "'五金行'") +
            master("202611040001", "2026/11/04", "P2", "N") + line("202611040001", "M1", 1000, "30", "'V01'", "'五金行'") +
            master("202611059999", "2026/11/05", "P2", "N") + line("202611059999", "M1  ", 4, "30", "'V01'", "'五金行'") +
            line("202611059999", "M2", 3, "100", "'V02'", "'鋼鐵廠'") +
            line("202611059999", "M2", 50, "100", "'V02'", "'鋼鐵廠'", "Y") +
            line("202611059999", "M5", 5, "7", "'V02'", "'鋼鐵廠'") + line("202611059999", "M6", 7, "2", "''", "''") +
            master("2026110510000", "2026/11/05", "P2", "N") + line("2026110510000", "M2", 2, "100", "'V02'", "'鋼鐵廠'") +
            line("2026110510000", "M3", 1, "12.5", "''", "''"));
    }

    // The requisition voided meanwhile: taken back as a clerk does, through the program.
    void VoidTheDuplicate() {
        const mrptest::ProcessRun v = marlith({"void", "202611040001", "--reason", "重複"});
        ASSERT_EQ(v.exitCode, 0) << v.err.toStdString();
    }

    report::PurchasePlan Load(const report::PlanFilter& filter) {
        db::Connection c;
        c.SetParams(database.params());
        return report::LoadPlan(c, filter);
    }

    testsupport::TestDatabase database;
    mrptest::MarlithProcess marlith{database.params()};
};

// A supplier's line ("id name = subtotal"), then one per material: code name unit need
// stock buy cost amount | requisitions.
QStringList Lines(const report::PurchasePlan& plan) {
    QStringList out;
    for (const report::PlanSupplier& s : plan.suppliers) {
        out << QString("%1 %2 = %3").arg(s.id, s.name).arg(s.Subtotal());
        for (const report::PlanRow& r : s.rows)
            out << QString("  %1 %2 %3 %4 %5 %6 %7 %8 | %9")
                       .arg(r.code, r.name, r.unit)
                       .arg(r.quantity)
                       .arg(r.stock)
                       .arg(r.suggested)
                       .arg(r.cost)
                       .arg(r.amount)
                       .arg(r.requisitions.join(' '));
    }
    return out;
}

}  // namespace

TEST_F(PlanTest, AddsUpTheOpenLinesPerSupplierAndMaterialNetOfStock) {
    VoidTheDuplicate();
    struct Case {
        const char* name;
        report::PlanFilter filter;
        QStringList rows;
        long long total;
    };
    const Case cases[] = {
        // Everything open. M1: 2 + 5 + "M1  " 4 = 11 less 3 on hand = 8 x 30 (the cost now,
        // not the 28 written). M4 is gone: all 9 go to the supplier of its newest line, V01,
        // at that line's cost. M2: the closed line's 50 is left out, the stock
        // of -4 counts as none. M5 moved to V02: all of it goes there, and its 10 on hand
        // cover the 9. "M6  ": 7 less 2.5 is 4.5, bought as 5, x 2.5 = 12.5, to even 12.
        // M3 has no supplier and no stock. The 10000th of the day is newer than the 9999th.
        {"all open",
         {},
         {"V01 五金行 = 312", "  M1 螺絲 包 11 3 8 30 240 | 202610200001 202611010001 202611059999",
          "  M4 M4舊名 u 9 0 9 8 72 | 202610200001 202611010001", "V02 鋼鐵廠 = 512",
          "  M2 鋼板 片 5 -4 5 100 500 | 202611059999 2026110510000", "  M5 墊片 個 9 10 0 7 0 | 202611010001 202611059999",
          "  M6 鉚釘 支 7 2.5 5 2.5 12 | 202611059999", " 未指定供應商 = 50",
          "  M3 膠帶 卷 4 0 4 12.5 50 | 202611010001 2026110510000"},
         874},
        // November only: October's requisition drops out.
        {"one month",
         {"2026/11/01", "2026/11/30", {}, {}},
         {"V01 五金行 = 228", "  M1 螺絲 包 9 3 6 30 180 | 202611010001 202611059999",
          "  M4 M4舊名 u 6 0 6 8 48 | 202611010001", "V02 鋼鐵廠 = 512",
          "  M2 鋼板 片 5 -4 5 100 500 | 202611059999 2026110510000", "  M5 墊片 個 9 10 0 7 0 | 202611010001 202611059999",
          "  M6 鉚釘 支 7 2.5 5 2.5 12 | 202611059999", " 未指定供應商 = 50",
          "  M3 膠帶 卷 4 0 4 12.5 50 | 202611010001 2026110510000"},
         790},
        // One project: M3's 3 x 12.5 = 37.5 rounds to even, 38.
        {"one project",
         {{}, {}, " P1 ", {}},
         {"V01 五金行 = 192", "  M1 螺絲 包 7 3 4 30 120 | 202610200001 202611010001",
          "  M4 M4舊名 u 9 0 9 8 72 | 202610200001 202611010001", "V02 鋼鐵廠 = 0",
          "  M5 墊片 個 4 10 0 7 0 | 202611010001", " 未指定供應商 = 38", "  M3 膠帶 卷 3 0 3 12.5 38 | 202611010001"},
         230},
        // October only: M4's newest line there was written with V03.
        {"one supplier",
         {{}, "2026/10/31", {}, " V03 "},
         {"V03 舊供應商 = 27", "  M4 M4舊名 u 3 0 3 9 27 | 202610200001"},
         27},
        {"nothing open in the range", {"2026/12/01", {}, {}, {}}, {}, 0},
    };
    for (const Case& c : cases) {
        const report::PurchasePlan plan = Load(c.filter);
        EXPECT_EQ(Lines(plan), c.rows) << c.name << ":\n" << Lines(plan).join('\n').toStdString();
        EXPECT_EQ(plan.Total(), c.total) << c.name;
    }
    // A suggestion: nothing was written, nothing was closed.
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER WHERE CLOSED = 'N'"), "4");
}

TEST_F(PlanTest, TheCommandListsItAsTextCsvAndJson) {
    VoidTheDuplicate();
    const mrptest::ProcessRun text = marlith({"plan", "--supplier", "V02"});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_EQ(text.out, "採購計畫  請購期間 全部未結案\n"
                        "\n"
                        "供應商 V02 鋼鐵廠\n"
                        "品號  品名  單位  需求量  庫存  建議量    成本  金額  請購單\n"
                        "M2    鋼板  片         5    -4       5  100.00   500  202611059999 2026110510000\n"
                        "M5    墊片  個         9    10       0    7.00     0  202611010001 202611059999\n"
                        "M6    鉚釘  支         7   2.5       5    2.50    12  202611059999\n"
                        "小計                                             512\n"
                        "\n"
                        "總計 512\n");

    const mrptest::ProcessRun csv = marlith({"plan", "--from", "2026/11/01", "--format", "csv", "--bom"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    ASSERT_TRUE(csv.outBytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(csv.outBytes.mid(3)).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 7) << csv.out.toStdString();
    EXPECT_EQ(lines[0], "PROVIDER_ID,PROVIDER_NAME,PROD_ID,PROD_NAME,UNITNAME,QTY,NOW_QTY,SUGGEST_QTY,STD_COST,AMT,REQUISITIONS");
    EXPECT_EQ(lines[1], "V01,五金行,M1,螺絲,包,9,3,6,30,180,202611010001 202611059999");
    EXPECT_EQ(lines[6], ",未指定供應商,M3,膠帶,卷,4,0,4,12.5,50,202611010001 2026110510000");

    const mrptest::ProcessRun json = marlith({"plan", "--project", "P1", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 4) << json.out.toStdString();
    const QJsonObject m3 = rows[3].toObject();
    EXPECT_EQ(m3.keys().size(), 11);
    EXPECT_EQ(m3.value("PROVIDER_NAME").toString(), "未指定供應商");
    EXPECT_TRUE(m3.value("AMT").isDouble());
    EXPECT_EQ(m3.value("AMT").toDouble(), 38);
    EXPECT_EQ(m3.value("STD_COST").toDouble(), 12.5);
    EXPECT_EQ(m3.value("REQUISITIONS").toString(), "202611010001");

    // A command line that is not one writes nothing and says why.
    for (const QStringList& bad : {QStringList{"plan", "--from", "2026/11/31"}, QStringList{"plan", "--bom"},
                                   QStringList{"plan", "202611010001"}, QStringList{"print", "--plan", "--summary", "-o", "x.pdf"}}) {
        const mrptest::ProcessRun r = marlith(bad);
        EXPECT_EQ(r.exitCode, 2) << bad.join(' ').toStdString() << "\n" << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << bad.join(' ').toStdString();
    }
}

TEST_F(PlanTest, PrintsEachSupplierOnItsOwnPageAsARequestForQuotation) {
    VoidTheDuplicate();
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "pdftotext (poppler-utils) is not installed";
    QTemporaryDir dir;
    const QString pdf = dir.filePath("plan.pdf");
    const mrptest::ProcessRun printed = marlith({"print", "--plan", "--to", "2026/11/30", "-o", pdf});
    ASSERT_EQ(printed.exitCode, 0) << printed.err.toStdString();
    EXPECT_TRUE(printed.out.contains("3 suppliers, total 874")) << printed.out.toStdString();
    QProcess p;
    p.start("pdftotext", {"-layout", pdf, "-"});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QStringList pages = QString::fromUtf8(p.readAllStandardOutput()).split('\f', Qt::SkipEmptyParts);
    ASSERT_EQ(pages.size(), 3) << pages.join("\n----\n").toStdString();
    const QString today = QDate::currentDate().toString("yyyy/MM/dd");
    const char* suppliers[] = {"V01 五金行", "V02 鋼鐵廠", "未指定供應商"};
    const char* subtotals[] = {"小計\\s+312", "小計\\s+512", "小計\\s+50"};
    for (int i = 0; i < 3; ++i) {
        const QString& page = pages[i];
        for (const QString& expected : {QString("採購計畫"), QString::fromUtf8(suppliers[i]), QString("至 2026/11/30"),
                                        today, QString("第 %1 頁，共 3 頁").arg(i + 1)})
            EXPECT_TRUE(page.contains(expected)) << expected.toStdString() << "\n" << page.toStdString();
        EXPECT_TRUE(page.contains(QRegularExpression(QString::fromUtf8(subtotals[i])))) << page.toStdString();
    }
    // Need, stock, to buy, cost, amount; the amount under its title.
    EXPECT_TRUE(pages[0].contains(QRegularExpression("M1\\s+螺絲\\s+包\\s+11\\s+3\\s+8\\s+30\\.00\\s+240"))) << pages[0].toStdString();
    EXPECT_TRUE(pages[1].contains(QRegularExpression("M6\\s+鉚釘\\s+支\\s+7\\s+2\\.5\\s+5\\s+2\\.50\\s+12"))) << pages[1].toStdString();
    EXPECT_TRUE(pages[2].contains(QRegularExpression("總計\\s+874"))) << pages[2].toStdString();
    EXPECT_FALSE(pages[1].contains("總計"));
}
