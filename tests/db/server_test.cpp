// Two processes on one database through the Firebird server: this test and isql-fb.
// Needs the server that scripts/test starts on 127.0.0.1.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include "db/Connection.h"
#include "support/TestDatabase.h"

using namespace db;
using testsupport::TestDatabase;

namespace {

// An isql-fb session that keeps its transaction open until told otherwise.
class OtherClient {
public:
    explicit OtherClient(const ConnectionParams& p) {
        process_.setProgram("isql-fb");
        process_.setArguments({"-q", "-user", p.userName, "-password", p.password, p.database});
        process_.start();
    }
    bool started() { return process_.waitForStarted(5000); }
    void Send(const QString& sql) {
        process_.write((sql + "\n").toUtf8());
        process_.waitForBytesWritten(5000);
    }
    ~OtherClient() {
        Send("ROLLBACK;\nQUIT;");
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) process_.kill();
    }
    QProcess process_;
};

// True once another attachment holds an uncommitted change of the employee row.
bool RowIsLocked(const ConnectionParams& params, const QString& id) {
    ConnectionParams nowait = params;
    nowait.waitOnLocks = false;
    Connection probe;
    probe.SetParams(nowait);
    probe.StartTransaction();
    Query q(probe);
    q.Add("UPDATE EMPLOYEE SET EMPLOYEE_NAME = EMPLOYEE_NAME WHERE EMPLOYEE_ID = :ID");
    q.SetParam("ID", id);
    try {
        q.Execute();
    } catch (const DbError& e) {
        probe.Rollback();
        return e.isLockConflict();
    }
    probe.Rollback();
    return false;
}

}  // namespace

TEST(ServerTwoProcesses, UncommittedWorkIsInvisibleAndLockedRowsWait) {
    auto database = TestDatabase::OnServer();
    ASSERT_TRUE(database);
    database->Run("INSERT INTO EMPLOYEE (EMPLOYEE_ID, EMPLOYEE_NAME) VALUES ('E1', 'first');");

    OtherClient other(database->params());
    ASSERT_TRUE(other.started());
    other.Send("INSERT INTO EMPLOYEE (EMPLOYEE_ID, EMPLOYEE_NAME) VALUES ('E2', 'held');");
    other.Send("UPDATE EMPLOYEE SET EMPLOYEE_NAME = 'locked' WHERE EMPLOYEE_ID = 'E1';");
    QElapsedTimer ready;
    ready.start();
    while (!RowIsLocked(database->params(), "E1")) {
        ASSERT_LT(ready.elapsed(), 15000) << "the other client never took its lock";
        QThread::msleep(50);
    }

    // Read committed: the other process's insert and update are not seen.
    Connection reader;
    reader.SetParams(database->params());
    Query count(reader);
    count.Add("SELECT COUNT(*) FROM EMPLOYEE WHERE EMPLOYEE_ID = 'E2'");
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 0);
    Query name(reader);
    name.Add("SELECT EMPLOYEE_NAME FROM EMPLOYEE WHERE EMPLOYEE_ID = 'E1'");
    name.Open();
    EXPECT_EQ(name.Fields(0).AsString(), "first");

    // A conflicting update waits for the lock (here for at most two seconds; the server
    // checks lock time-outs about once a second, so the wait is one to two seconds).
    ConnectionParams waiting = database->params();
    waiting.lockTimeout = 2;
    Connection writer;
    writer.SetParams(waiting);
    writer.StartTransaction();
    Query upd(writer);
    upd.Add("UPDATE EMPLOYEE SET EMPLOYEE_NAME = 'mine' WHERE EMPLOYEE_ID = 'E1'");
    QElapsedTimer waited;
    waited.start();
    try {
        upd.Execute();
        ADD_FAILURE() << "the update did not wait for the other client's lock";
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isLockConflict()) << e.what();
        EXPECT_GE(waited.elapsed(), 800);
    }
    writer.Rollback();

    // Once the other client commits, its work is seen and the row is free.
    other.Send("COMMIT;");
    QElapsedTimer committed;
    committed.start();
    for (;;) {
        count.Open();
        if (count.Fields(0).AsInteger() == 1) break;
        ASSERT_LT(committed.elapsed(), 15000);
        QThread::msleep(50);
    }
    writer.StartTransaction();
    upd.Execute();
    writer.Commit();
    name.Open();
    EXPECT_EQ(name.Fields(0).AsString(), "mine");
}
