// Several copies of the program on one database through the Firebird server: the day's
// counter hands every number out once, and whole requisitions are written side by side.
// Needs the server that scripts/test starts on 127.0.0.1.

#include <QDate>
#include <QElapsedTimer>
#include <QSet>
#include <QThread>

#include "Fixture.h"
#include "MarlithProcess.h"

using namespace mrptest;

namespace {

// Holds today's counter row in an open transaction of its own, so that every copy of
// the program that comes to reserve a number waits there, its order list loaded and its
// materials expanded; Release lets them all go at once.
class CounterHold {
public:
    explicit CounterHold(const testsupport::TestDatabase& database) : database_(database) {
        const QString today = mrp::DateText(QDate::currentDate());
        database.Run("INSERT INTO TEMP_PETITIONID VALUES ('" + today + "', 1);");
        holder_.SetParams(database.params());
        holder_.StartTransaction();
        db::Query lock(holder_);
        lock.Add("UPDATE TEMP_PETITIONID SET LAST_ID = LAST_ID WHERE BILL_DATE = '" + today + "'");
        lock.Execute();
    }
    ~CounterHold() { Release(); }

    // Waits until `clients` statements of other attachments are running on the counter
    // (waiting for this hold); false if they have not come within a minute.
    bool WaitForWaiters(int clients) const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            const QString waiting = database_.Scalar(
                "SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$STATE = 1 AND MON$ATTACHMENT_ID <> "
                "CURRENT_CONNECTION AND MON$SQL_TEXT CONTAINING 'TEMP_PETITIONID'");
            if (waiting.toInt() >= clients) return true;
            QThread::msleep(50);
        }
        return false;
    }

    void Release() {
        if (holder_.InTransaction()) holder_.Rollback();
    }

private:
    const testsupport::TestDatabase& database_;
    db::Connection holder_;
};

}  // namespace

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

// Several clerks press "轉請購單" for the same project at the same moment: the project is
// written once; every other copy writes nothing, says the project is transferred under
// that number, and ends with a failure status.
TEST(ServerRequisitions, ClientsPressingTogetherWriteAProjectOnce) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run(Bom("X", "L1", "2") + Bom("X", "L2", "1") + Order("SO1", "P1") + Line("SO1", "X", "3") +
                  Order("SO2", "P1") + Line("SO2", "X", "1") + Order("SO-OFF", "P1", "'True'"));
    MarlithProcess marlith(database->params());
    constexpr int kClients = 4;
    CounterHold hold(*database);
    std::vector<std::unique_ptr<QProcess>> clients;
    for (int i = 0; i < kClients; ++i) clients.push_back(marlith.Start({"requisition", "P1"}));
    ASSERT_TRUE(hold.WaitForWaiters(kClients));
    hold.Release();

    QStringList written, refused;
    for (auto& client : clients) {
        const ProcessRun run = MarlithProcess::Finish(*client, 300000);
        if (run.exitCode == 0) {
            written << run.out.section('\n', 0, 0);
        } else {
            EXPECT_EQ(run.exitCode, 1);
            EXPECT_EQ(run.out, "");
            refused << run.err;
        }
    }
    ASSERT_EQ(written.size(), 1) << written.join(' ').toStdString();
    EXPECT_EQ(refused.size(), kClients - 1);
    for (const QString& err : refused)
        EXPECT_EQ(err, "專案 P1 已轉請購單 (單號 " + written[0] + "), 本次未寫入..!\n") << err.toStdString();

    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID) FROM PETITION_MASTER"), written[0]);
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "4");
    EXPECT_EQ(database->Scalar("SELECT list(DISTINCT MASTERBILLID) FROM PETITION_SUB"), written[0]);
    EXPECT_EQ(database->Scalar("SELECT list(DISTINCT TS) FROM ORDER_MASTER"), "Y");
    // Every copy reserved its number; the refused ones are gaps.
    EXPECT_EQ(database->Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), QString::number(1 + kClients));
}

// An order entered for the project while a write waits for its number is not in that
// requisition and stays open for the next one.
TEST(ServerRequisitions, AnOrderEnteredWhileAWriteWaitsStaysOpen) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run(Bom("X", "L1", "2") + Order("SO1", "P1") + Line("SO1", "X", "3"));
    MarlithProcess marlith(database->params());
    {
        CounterHold hold(*database);
        auto client = marlith.Start({"requisition", "P1"});
        ASSERT_TRUE(hold.WaitForWaiters(1));
        database->Run(Order("SO2", "P1") + Line("SO2", "X", "5"));
        hold.Release();
        const ProcessRun run = MarlithProcess::Finish(*client);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    }
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "SO1=Y,SO2=N");
    EXPECT_EQ(database->Scalar("SELECT list(ORDER_ID || ':' || QTY) FROM PETITION_SUB"), "SO1:6");

    // The next requisition takes it.
    const ProcessRun next = marlith({"requisition", "P1"});
    ASSERT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(database->Scalar("SELECT list(DISTINCT TS) FROM ORDER_MASTER"), "Y");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "2");
    EXPECT_EQ(database->Scalar("SELECT ORDER_ID || ':' || QTY FROM PETITION_SUB WHERE MASTERBILLID = '" +
                               next.out.section('\n', 0, 0) + "'"),
              "SO2:10");
}
