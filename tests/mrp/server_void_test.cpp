// Voids on the Firebird server while other clients work on the same requisition: two
// clerks voiding it at once, the back office closing it meanwhile, and a clerk writing the
// same project. A holder's open transaction keeps the requisition's header locked until
// every competitor is waiting on it, then lets them go. Needs the server that scripts/test
// starts on 127.0.0.1.

#include <QElapsedTimer>
#include <QThread>

#include <future>

#include "Fixture.h"
#include "MarlithProcess.h"
#include "mrp/Audit.h"
#include "mrp/RequisitionWriter.h"
#include "mrp/VoidRequisition.h"

using namespace mrptest;

namespace {

// A requisition 202611020001 of P1 over orders O1 and O2, and the audit table.
std::unique_ptr<testsupport::TestDatabase> Written() {
    auto database = testsupport::TestDatabase::OnServer();
    if (!database) return database;
    database->Run("INSERT INTO PRODUCT VALUES ('M1', '螺絲', '包', '', 30, 45, 7, 'V01', '五金行', '', '');\n" +
                  Order("O1", "P1") + Order("O2", "P1") + Order("O3", "P1"));
    db::Connection reading, writing;
    reading.SetParams(database->params());
    writing.SetParams(database->params());
    EXPECT_FALSE(mrp::EnsureAuditTable(writing).has_value());
    WriteThroughWriter(reading, writing, {"202611020001", "2026/11/02", "A001", "S01", "P1"},
                       {Row("M1", 3, "O1"), Row("M1", 2, "O2")}, {"O1", "O2"});
    return database;
}

// Holds statement (an update of the requisition's rows) in an open transaction.
class Hold {
public:
    Hold(const testsupport::TestDatabase& database, const QString& statement) : database_(database) {
        holder_.SetParams(database.params());
        holder_.StartTransaction();
        db::Query q(holder_);
        q.Add(statement);
        q.Execute();
    }
    ~Hold() {
        if (holder_.InTransaction()) holder_.Rollback();
    }
    // Waits until `clients` statements of other attachments wait on the requisition's
    // `table`.
    bool WaitForWaiters(int clients, const QString& table = "PETITION_MASTER") const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 60000) {
            const QString waiting = database_.Scalar(
                "SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$STATE = 1 AND MON$ATTACHMENT_ID <> CURRENT_CONNECTION "
                "AND MON$SQL_TEXT CONTAINING '" + table + "'");
            if (waiting.toInt() >= clients) return true;
            QThread::msleep(50);
        }
        return false;
    }
    void Commit() { holder_.Commit(); }
    void Rollback() { holder_.Rollback(); }

private:
    const testsupport::TestDatabase& database_;
    db::Connection holder_;
};

// A clerk's void on a connection of its own; the refusal's text, or "" when voided.
QString VoidAs(const db::ConnectionParams& params, const QString& user) {
    db::Connection writing;
    writing.SetParams(params);
    try {
        mrp::VoidRequisition(writing, "202611020001", "寫錯 " + user, user, "S01");
        return {};
    } catch (const mrp::VoidRefused& e) {
        return QString::fromUtf8(e.what());
    }
}

}  // namespace

TEST(ServerVoid, TwoClerksVoidingAtOnceOneWinsAndTheOtherIsTold) {
    auto database = Written();
    ASSERT_TRUE(database);
    Hold hold(*database, "UPDATE PETITION_MASTER SET CLOSED = CLOSED WHERE MASTERBILLID = '202611020001'");
    auto a = std::async(std::launch::async, VoidAs, database->params(), QString("A001"));
    auto b = std::async(std::launch::async, VoidAs, database->params(), QString("B002"));
    ASSERT_TRUE(hold.WaitForWaiters(2));
    hold.Rollback();
    const QStringList outcomes = {a.get(), b.get()};
    EXPECT_EQ(outcomes.count(QString()), 1) << outcomes.join(" | ").toStdString();
    EXPECT_EQ(outcomes.count("請購單 202611020001 已作廢"), 1) << outcomes.join(" | ").toStdString();
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"), "1");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "O1=N,O2=N,O3=N");
}

TEST(ServerVoid, TheBackOfficeClosingItMeanwhileWins) {
    auto database = Written();
    ASSERT_TRUE(database);
    // Purchasing takes the requisition up in its own transaction while the clerk voids it.
    Hold close(*database, "UPDATE PETITION_MASTER SET CLOSED = 'Y' WHERE MASTERBILLID = '202611020001'");
    auto v = std::async(std::launch::async, VoidAs, database->params(), QString("A001"));
    ASSERT_TRUE(close.WaitForWaiters(1));
    close.Commit();
    EXPECT_EQ(v.get(), "請購單 202611020001 已結案，不能作廢");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE MASTERBILLID = '202611020001'"), "2");
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "O1=Y,O2=Y,O3=N");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"), "0");
}

TEST(ServerVoid, AClerkWritingTheProjectMeanwhileKeepsOnlyItsOwnOrders) {
    auto database = Written();
    ASSERT_TRUE(database);
    database->Run("INSERT INTO PD_BOM VALUES ('M1', 'M9', 1, 1);\n" + Line("O3", "M1", "1"));
    // The void waits on the header while a second clerk writes the project's open order O3.
    Hold hold(*database, "UPDATE PETITION_MASTER SET CLOSED = CLOSED WHERE MASTERBILLID = '202611020001'");
    auto v = std::async(std::launch::async, VoidAs, database->params(), QString("A001"));
    ASSERT_TRUE(hold.WaitForWaiters(1));
    MarlithProcess marlith(database->params(), "B002", "S02");
    const ProcessRun written = marlith({"requisition", "P1"});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    hold.Rollback();
    EXPECT_EQ(v.get(), QString());
    // O1 and O2 were the voided requisition's and are open again; O3 is the new one's.
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "O1=N,O2=N,O3=Y");
    EXPECT_EQ(database->Scalar("SELECT list(DISTINCT ORDER_ID) FROM PETITION_SUB"), "O3");
    EXPECT_EQ(database->Scalar("SELECT list(ACTION, ' ') FROM (SELECT ACTION FROM MARLITH_AUDIT ORDER BY AUDIT_TIME)"),
              "WRITE WRITE VOID");
}

// The back office adds a line under the number while the void runs: the void waits for
// that insert and voids the line with the rest, copy included; no line is left without
// its header.
TEST(ServerVoid, ALineAddedWhileTheVoidRunsIsVoidedWithTheRest) {
    auto database = Written();
    ASSERT_TRUE(database);
    Hold insert(*database,
                "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID, QTY, AMT, CLOSED, ORDER_ID) "
                "VALUES ('202611020001', 'M1', 4, 120, 'N', 'O1')");
    auto v = std::async(std::launch::async, VoidAs, database->params(), QString("A001"));
    ASSERT_TRUE(insert.WaitForWaiters(1, "PETITION_SUB"));
    insert.Commit();
    EXPECT_EQ(v.get(), QString());
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(database->Scalar("SELECT LINE_COUNT || ' ' || TOTAL_AMT FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"),
              "3 270");
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "O1=N,O2=N,O3=N");
}
