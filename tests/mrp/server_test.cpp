// Several copies of the program on one database through the Firebird server: the day's
// counter hands every number out once, and whole requisitions are written side by side.
// Needs the server that scripts/test starts on 127.0.0.1.

#include <QDate>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSet>
#include <QThread>

#include <csignal>

#include "Fixture.h"
#include "MarlithProcess.h"
#include "db/WorkTable.h"
#include "mrp/Audit.h"

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
    // Materials that PRODUCT holds: stderr carries the refusal alone.
    database->Run(Product("L1", "Leaf 1") + Product("L2", "Leaf 2") + Bom("X", "L1", "2") + Bom("X", "L2", "1") +
                  Order("SO1", "P1") + Line("SO1", "X", "3") + Order("SO2", "P1") + Line("SO2", "X", "1") +
                  Order("SO-OFF", "P1", "'True'"));
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

namespace {

// Another client holds the project's orders: a requisition for the project waits at
// marking them as transferred, inside its write transaction, with nothing committed.
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

// A line is added to a listed order while the command line's write waits for its number,
// its materials expanded: the write writes and closes nothing, names the order on stderr
// and ends with status 1; its number is used up. The next run takes the line in.
TEST(ServerRequisitions, ALineAddedWhileAWriteWaitsStopsTheWrite) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run(Product("L1", "Leaf") + Bom("X", "L1", "2") + Order("SO1", "P1") + Line("SO1", "X", "3") +
                  Order("SO-OFF", "P1", "'True'"));
    MarlithProcess marlith(database->params());
    const QString digits = QDate::currentDate().toString("yyyyMMdd");
    {
        CounterHold hold(*database);
        auto client = marlith.Start({"requisition", "P1"});
        ASSERT_TRUE(hold.WaitForWaiters(1));
        database->Run(Line("SO1", "X", "5"));
        hold.Release();
        const ProcessRun run = MarlithProcess::Finish(*client);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, "訂單 SO1 已變更，請重新展開\n");
    }
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "SO-OFF=N,SO1=N");

    const ProcessRun next = marlith({"requisition", "P1"});
    ASSERT_EQ(next.exitCode, 0) << next.err.toStdString();
    EXPECT_EQ(next.out.section('\n', 0, 0), digits + "0002");
    EXPECT_EQ(database->Scalar("SELECT list(ORDER_ID || ':' || QTY) FROM PETITION_SUB"), "SO1:6,SO1:10");
    EXPECT_EQ(database->Scalar("SELECT list(DISTINCT TS) FROM ORDER_MASTER"), "Y");
}

// Two projects and one number: a write that has its number waits for an order another
// client holds; meanwhile the day's counter is set back (a restore, a hand fix) and a
// second write takes the same number and commits. Released, the first finds the number's
// record taken and writes under the next number: one header per number, each project's
// lines under its own.
TEST(ServerRequisitions, ANumberGivenTwiceGetsOneHeaderAndTheSecondWriterTakesTheNext) {
    auto database = testsupport::TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run(Product("L1", "Leaf") + Bom("X", "L1", "2") + Order("SOA", "PA") + Line("SOA", "X", "3") +
                  Order("SOB", "PB") + Line("SOB", "X", "5"));
    {
        db::Connection c;
        c.SetParams(database->params());
        ASSERT_FALSE(mrp::EnsureAuditTable(c).has_value());
    }
    MarlithProcess marlith(database->params());
    const QString digits = QDate::currentDate().toString("yyyyMMdd");
    OrdersHeld held(database->params(), "PA");
    auto a = StartWaitingRequisition(marlith, *database, "PA");
    ASSERT_TRUE(a);
    database->Run("UPDATE TEMP_PETITIONID SET LAST_ID = 1;");
    const ProcessRun b = marlith({"requisition", "PB"});
    ASSERT_EQ(b.exitCode, 0) << b.err.toStdString();
    EXPECT_EQ(b.out.section('\n', 0, 0), digits + "0001");
    held.Release();
    const ProcessRun first = MarlithProcess::Finish(*a);
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    EXPECT_EQ(first.out.section('\n', 0, 0), digits + "0002");
    EXPECT_NE(first.err.indexOf("number " + digits + "0001 is already used by a requisition: skipped"), -1)
        << first.err.toStdString();

    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || '=' || PROJ_ID) FROM "
                               "(SELECT * FROM PETITION_MASTER ORDER BY 1)"),
              digits + "0001=PB," + digits + "0002=PA");
    EXPECT_EQ(database->Scalar("SELECT list(MASTERBILLID || ':' || ORDER_ID || ':' || QTY) FROM "
                               "(SELECT * FROM PETITION_SUB ORDER BY 1)"),
              digits + "0001:SOB:10," + digits + "0002:SOA:6");
    EXPECT_EQ(database->Scalar("SELECT list(DISTINCT TS) FROM ORDER_MASTER"), "Y");
}
