// Several copies of the program on one database through the Firebird server: the day's
// counter hands every number out once, and whole requisitions are written side by side.
// Needs the server that scripts/test starts on 127.0.0.1.

#include <QDeadlineTimer>
#include <QSet>
#include <QThread>

#include <csignal>

#include "Fixture.h"
#include "MarlithProcess.h"
#include "db/WorkTable.h"

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

namespace {

// Another client holds the project's orders: a requisition for the project waits, with its
// header and lines written but not committed, at marking the orders as transferred.
class OrdersHeld {
public:
    OrdersHeld(const db::ConnectionParams& params, const QString& project) {
        holder_.SetParams(params);
        holder_.StartTransaction();
        db::Query hold(holder_);
        hold.SetSQL({"UPDATE ORDER_MASTER SET CUST_NAME = CUST_NAME WHERE PROJ_ID = :PROJ_ID"});
        hold.SetParam("PROJ_ID", project);
        hold.Execute();
    }
    void Release() { holder_.Rollback(); }

private:
    db::Connection holder_;
};

QString Count(const testsupport::TestDatabase& database, const QString& from) {
    return database.Scalar("SELECT COUNT(*) FROM " + from);
}

const char* const kWorkTables = "RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING WITH 'TMP_BILLID'";

// Starts "marlith requisition PROJECT" and returns once it waits for the held orders.
std::unique_ptr<QProcess> StartWaitingRequisition(const MarlithProcess& marlith,
                                                  const testsupport::TestDatabase& database, const QString& project) {
    auto run = marlith.Start({"requisition", project});
    const QDeadlineTimer patience(60000);
    while (!patience.hasExpired()) {
        if (Count(database, "MON$STATEMENTS s JOIN MON$ATTACHMENTS a ON a.MON$ATTACHMENT_ID = s.MON$ATTACHMENT_ID "
                            "WHERE s.MON$STATE = 1 AND a.MON$REMOTE_PROCESS CONTAINING 'marlith' "
                            "AND s.MON$SQL_TEXT CONTAINING 'UPDATE ORDER_MASTER'") == "1")
            return run;
        if (run->waitForFinished(50)) break;
    }
    ADD_FAILURE() << "the requisition never waited for the held orders: "
                  << run->readAllStandardError().toStdString();
    return nullptr;
}

}  // namespace

// A command-line run told to end while its write waits for another client's lock: the
// waiting statement is cancelled, nothing of the requisition is committed, the orders stay
// unmarked, the work table is dropped, and the program ends with 128 + the signal.
TEST(ServerInterruption, ASignalEndsARequisitionWaitingForALockAndKeepsNothing) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run("INSERT INTO EMPLOYEE VALUES ('A001', 'Clerk');\n" + Bom("X", "L1", "2") + Bom("X", "L2", "1") +
                  Order("SO1", "P1") + Order("SO2", "P1") + Line("SO1", "X", "3") + Line("SO2", "X", "1"));
    MarlithProcess marlith(database->params());
    int reserved = 0;
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        OrdersHeld held(database->params(), "P1");
        auto run = StartWaitingRequisition(marlith, *database, "P1");
        ASSERT_TRUE(run);
        ++reserved;
        EXPECT_EQ(Count(*database, kWorkTables), "1");
        ASSERT_EQ(::kill(static_cast<pid_t>(run->processId()), signal), 0);
        const ProcessRun ended = MarlithProcess::Finish(*run);
        held.Release();
        EXPECT_EQ(ended.exitCode, 128 + signal) << ended.err.toStdString();
        EXPECT_EQ(ended.out, "");
        EXPECT_EQ(Count(*database, "PETITION_MASTER"), "0");
        EXPECT_EQ(Count(*database, "PETITION_SUB"), "0");
        EXPECT_EQ(Count(*database, "ORDER_MASTER WHERE TS = 'Y'"), "0");
        EXPECT_EQ(Count(*database, kWorkTables), "0");
    }
    // Each run had reserved its number (in a transaction of its own, as always).
    EXPECT_EQ(database->Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), QString::number(reserved + 1));
}

// A new run drops the work tables of runs that have ended and keeps those of runs still
// attached. A table of an earlier version of the program (no owner in its name) stays
// while another copy of the program is attached, and goes once none is.
TEST(ServerWorkTables, ANewRunRemovesTheTablesOfEndedRunsOnly) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run("INSERT INTO EMPLOYEE VALUES ('A001', 'Clerk');\n" + Bom("X", "L1", "2") + Order("SO1", "P1") +
                  Line("SO1", "X", "3"));
    MarlithProcess marlith(database->params());
    OrdersHeld held(database->params(), "P1");
    auto live = StartWaitingRequisition(marlith, *database, "P1");
    ASSERT_TRUE(live);
    const QString liveTable = database->Scalar(QString("SELECT TRIM(RDB$RELATION_NAME) FROM %1").arg(kWorkTables));
    ASSERT_EQ(db::WorkTableOwnerOf(liveTable).kind, db::WorkTableOwner::Kind::Attachment) << liveTable.toStdString();

    // Left behind by a run that was killed, and by an earlier version of the program.
    db::Connection endedRun;
    endedRun.SetParams(database->params());
    const QString endedTable = db::MakeWorkTableName(QTime(7, 0, 0), endedRun.AttachmentId());
    endedRun.Close();
    const QString earlierVersion = "TMP_BILLID070000_0A1B2C3D";
    for (const QString& name : {endedTable, earlierVersion})
        database->Run("create table " + name + " (masterbillid varchar(20), proj_id varchar(20));");

    const auto newRun = [&] {
        db::Connection catalogue, reading, writing;
        for (db::Connection* c : {&catalogue, &reading, &writing}) c->SetParams(database->params());
        mrp::RequisitionEngine engine(catalogue, reading, writing);
        engine.CreateWorkTable();
        const QString own = engine.workTableName();
        QStringList tables =
            database->Scalar(QString("SELECT LIST(TRIM(RDB$RELATION_NAME)) FROM %1 AND RDB$RELATION_NAME <> '%2'")
                                 .arg(kWorkTables, own))
                .split(',', Qt::SkipEmptyParts);
        tables.sort();
        engine.DropWorkTable();
        return tables;
    };
    // The other copy's run is attached: its table and the earlier version's stay.
    QStringList expected{earlierVersion, liveTable};
    expected.sort();
    EXPECT_EQ(newRun(), expected);

    ASSERT_EQ(::kill(static_cast<pid_t>(live->processId()), SIGTERM), 0);
    const ProcessRun ended = MarlithProcess::Finish(*live);
    held.Release();
    EXPECT_EQ(ended.exitCode, 128 + SIGTERM) << ended.err.toStdString();
    EXPECT_EQ(newRun(), QStringList());
    EXPECT_EQ(Count(*database, kWorkTables), "0");
}
