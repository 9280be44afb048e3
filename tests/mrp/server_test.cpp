// Several copies of the program on one database through the Firebird server: the day's
// counter hands every number out once, and whole requisitions are written side by side.
// Needs the server that scripts/test starts on 127.0.0.1.

#include <QSet>

#include "Fixture.h"
#include "MarlithProcess.h"

using namespace mrptest;

TEST(ServerRequisitionNumbers, EightClientsReserveTwoHundredDistinctNumbers) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    MarlithProcess marlith(database->params());

    std::vector<std::unique_ptr<QProcess>> clients;
    for (int i = 0; i < 8; ++i)
        clients.push_back(marlith.Start({"reserve-numbers", "--count", "25", "--date", "2026/11/02"}));
    QSet<QString> numbers;
    int reserved = 0;
    for (auto& client : clients) {
        const ProcessRun run = MarlithProcess::Finish(*client, 300000);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        for (const QString& n : run.out.split('\n', Qt::SkipEmptyParts)) {
            EXPECT_TRUE(n.startsWith("20261102")) << n.toStdString();
            numbers.insert(n);
            ++reserved;
        }
    }
    EXPECT_EQ(reserved, 200);
    EXPECT_EQ(numbers.size(), 200);
    for (int i = 1; i <= 200; ++i) EXPECT_TRUE(numbers.contains(mrp::RequisitionNumber("2026/11/02", i))) << i;
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "1");
    EXPECT_EQ(database->Scalar("SELECT LAST_ID FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/02'"), "201");
}

TEST(ServerRequisitions, FourClientsWriteWholeRequisitionsAtOnce) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    // Every project: three orders of two lines; each line of X gives three materials.
    QString script = "INSERT INTO EMPLOYEE VALUES ('A001', 'Clerk');\n" + Bom("X", "S", "2") + Bom("X", "L1", "1") +
                     Bom("S", "L2", "3") + Bom("S", "L3", "1", "2") + Product("L1", "Leaf 1", "pcs", "10") +
                     Product("L2", "Leaf 2", "pcs", "2.5") + Product("L3", "Leaf 3");
    for (int p = 1; p <= 4; ++p)
        for (int o = 1; o <= 3; ++o) {
            const QString bill = QString("SO%1-%2").arg(p).arg(o);
            script += Order(bill, QString("P%1").arg(p)) + Line(bill, "X", QString::number(o)) +
                      Line(bill, "X", QString::number(o + 1));
        }
    database->Run(script);

    MarlithProcess marlith(database->params());
    std::vector<std::unique_ptr<QProcess>> clients;
    for (int p = 1; p <= 4; ++p) clients.push_back(marlith.Start({"requisition", QString("P%1").arg(p)}));
    QSet<QString> numbers;
    for (auto& client : clients) {
        const ProcessRun run = MarlithProcess::Finish(*client, 300000);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString number = run.out.section('\n', 0, 0);
        EXPECT_EQ(number.size(), 12) << run.out.toStdString();
        numbers.insert(number);
    }
    EXPECT_EQ(numbers.size(), 4);

    // Each requisition whole: its header, eighteen lines, its orders marked.
    EXPECT_EQ(database->Scalar("SELECT COUNT(DISTINCT MASTERBILLID) FROM PETITION_MASTER"), "4");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "4");
    for (int p = 1; p <= 4; ++p) {
        const QString project = QString("P%1").arg(p);
        const QString number = database->Scalar("SELECT MASTERBILLID FROM PETITION_MASTER WHERE PROJ_ID = '" + project + "'");
        EXPECT_TRUE(numbers.contains(number)) << number.toStdString();
        EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE MASTERBILLID = '" + number + "'"), "18");
        // Order lines of 1..4 of X: L1 = q, L2 = 6q, L3 = 2q; the sums over the project.
        EXPECT_EQ(database->Scalar("SELECT SUM(QTY) FROM PETITION_SUB WHERE MASTERBILLID = '" + number + "'"),
                  "135");  // (1+2+2+3+3+4) x 9
        EXPECT_EQ(database->Scalar("SELECT list(DISTINCT ORDER_ID) FROM PETITION_SUB WHERE MASTERBILLID = '" + number +
                                   "'"),
                  QString("SO%1-1,SO%1-2,SO%1-3").arg(p));
        EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM ORDER_MASTER WHERE PROJ_ID = '" + project +
                                   "' AND TS = 'Y'"),
                  "3");
    }
    EXPECT_EQ(database->Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "5");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING 'TMP_BILLID'"),
              "0");
}
