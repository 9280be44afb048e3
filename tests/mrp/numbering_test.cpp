// The day's requisition numbers on the counter table.

#include <QThread>
#include <thread>

#include "Fixture.h"
#include "mrp/Numbering.h"

using namespace mrptest;

using NumberingTest = EngineTest;

TEST_F(NumberingTest, FirstOfTheDayThenTheCounterAdvances) {
    struct Case {
        const char* lastId;  // nullptr: no row for the day
        const char* number;
        const char* after;
    };
    const Case cases[] = {
        {"2147483646", "202611022147483646", "2147483647"},  // the last number a day can give
        {nullptr, "202611020001", "2"},
        {"7", "202611020007", "8"},
        {"10000", "2026110210000", "10001"},
    };
    for (const Case& c : cases) {
        database.Run("DELETE FROM TEMP_PETITIONID;");
        database.Run("INSERT INTO TEMP_PETITIONID VALUES ('2026/11/01', 50);");  // another day, untouched
        if (c.lastId) database.Run(QString("INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', %1);").arg(c.lastId));
        EXPECT_EQ(engine->NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02"), c.number);
        EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/02'"), c.after);
        EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "2");
        EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/01'"), "50");
        EXPECT_FALSE(writing.InTransaction());
    }
    EXPECT_EQ(engine->NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02"), "2026110210001");
    EXPECT_THROW(engine->NextRequisitionNumber("TEMP_PETITIONID; DELETE", "2026/11/02"), db::DbError);
}

// Another client holds the day's row (or is creating it) in an open transaction and
// commits a moment later: the reservation waits for it, meeting the conflict and trying
// again where it was advancing the row, and then advances the row the other made, even
// where the database does not keep the date column unique.
TEST_F(NumberingTest, LockConflictsAreRetriedNotReported) {
    struct Case {
        const char* setup;
        const char* other;
        const char* number;
        const char* after;
        bool retried;  // false: the wait was at the table reservation of the day's first number
    };
    const Case cases[] = {
        {"INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 7);",
         "UPDATE TEMP_PETITIONID SET LAST_ID = 8 WHERE BILL_DATE = '2026/11/02'", "202611020008", "9", true},
        {"", "INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 2)", "202611020002", "3", false},
        {"DROP TABLE TEMP_PETITIONID;\nCREATE TABLE TEMP_PETITIONID (BILL_DATE VARCHAR(10), LAST_ID INTEGER);",
         "INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 2)", "202611020002", "3", false},
    };
    for (const Case& c : cases) {
        database.Run("DELETE FROM TEMP_PETITIONID;");
        if (*c.setup) database.Run(c.setup);
        db::Connection other;
        other.SetParams(database.params());
        other.StartTransaction();
        db::Query q(other);
        q.Add(c.other);
        q.Execute();
        std::thread committer([&] {
            QThread::msleep(300);
            other.Commit();
        });
        mrp::RequisitionCounter counter(writing);
        const QString number = counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02");
        committer.join();
        EXPECT_EQ(number, c.number) << c.other;
        if (c.retried) {
            EXPECT_GE(counter.conflicts(), 1);
        }
        EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/02'"), c.after);
        EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "1");
    }
}

// A database without the unique date, where copies of the program that counted and then
// inserted may have left more than one row for a day: the day goes on from the highest
// LAST_ID and every row of the day moves past the number handed out, so none is given
// twice.
TEST_F(NumberingTest, EveryRowOfTheDayIsAdvancedFromTheHighest) {
    database.Run("DROP TABLE TEMP_PETITIONID;\nCREATE TABLE TEMP_PETITIONID (BILL_DATE VARCHAR(10), LAST_ID INTEGER);");
    const QString rows = "SELECT list(LAST_ID, ',') FROM (SELECT coalesce(LAST_ID, -1) AS LAST_ID FROM "
                         "TEMP_PETITIONID WHERE BILL_DATE = '2026/11/02' ORDER BY 1)";
    struct Case {
        const char* lastIds;  // the day's rows
        const char* first;
        const char* second;
        const char* after;
    };
    const Case cases[] = {
        {"", "202611020001", "202611020002", "3"},
        {"7", "202611020007", "202611020008", "9"},
        {"5,7", "202611020007", "202611020008", "9,9"},
        {"7,5,7", "202611020007", "202611020008", "9,9,9"},
        {"NULL,3", "202611020003", "202611020004", "5,5"},  // the highest counts, the others follow it
    };
    for (const Case& c : cases) {
        database.Run("DELETE FROM TEMP_PETITIONID;\nINSERT INTO TEMP_PETITIONID VALUES ('2026/11/01', 50);");
        for (const QString& id : QString(c.lastIds).split(',', Qt::SkipEmptyParts))
            database.Run("INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', " + id + ");");
        mrp::RequisitionCounter counter(writing);
        EXPECT_EQ(counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02"), c.first) << c.lastIds;
        EXPECT_EQ(counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02"), c.second) << c.lastIds;
        EXPECT_EQ(Scalar(rows), c.after) << c.lastIds;
        EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/01'"), "50");
        EXPECT_EQ(counter.conflicts(), 0);
        EXPECT_FALSE(writing.InTransaction());
    }

    // Another client advances one of the two rows and commits a moment later: the
    // reservation waits, then goes on from the value it committed.
    database.Run("DELETE FROM TEMP_PETITIONID;\nINSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 5);\n"
                 "INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 7);");
    db::Connection other;
    other.SetParams(database.params());
    other.StartTransaction();
    db::Query q(other);
    q.Add("UPDATE TEMP_PETITIONID SET LAST_ID = 12 WHERE LAST_ID = 5");
    q.Execute();
    std::thread committer([&] {
        QThread::msleep(300);
        other.Commit();
    });
    mrp::RequisitionCounter counter(writing);
    const QString number = counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02");
    committer.join();
    EXPECT_EQ(number, "202611020012");
    EXPECT_GE(counter.conflicts(), 1);
    EXPECT_EQ(Scalar(rows), "13,13");
}

// A day's row that cannot give the next number (a hand fix, a damaged restore) is refused
// with what is wrong with which row and how to mend it; nothing is reserved or written,
// the row included.
TEST_F(NumberingTest, ACounterRowThatCannotCountIsRefusedAndLeftAsItIs) {
    const QString mend = "LAST_ID 是當天下一張請購單的序號，須為 1 到 2147483646 的整數；"
                         "請系統管理員把它改為當天已用的最大序號加 1（當天還沒有請購單時為 1）後再試。"
                         "這次沒有取號，也沒有寫入任何資料。";
    struct Case {
        const char* rows;  // the day's LAST_IDs
        const char* shown;
        bool unique;  // the table keeps the date unique
    };
    const Case cases[] = {
        {"NULL", "空值 (NULL)", true},
        {"0", "0", true},
        {"-5", "-5", true},
        {"2147483647", "2147483647，已達整數上限", true},
        {"NULL,NULL", "空值 (NULL)", false},
        {"-3,-1", "-1", false},
        {"2147483647,7", "2147483647，已達整數上限", false},
    };
    const QString rows = "SELECT list(coalesce(CAST(LAST_ID AS VARCHAR(12)), 'NULL'), ',') FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/02'";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        database.Run(c.unique ? "DROP TABLE TEMP_PETITIONID;\n"
                                "CREATE TABLE TEMP_PETITIONID (BILL_DATE VARCHAR(10) NOT NULL UNIQUE, LAST_ID INTEGER);"
                              : "DROP TABLE TEMP_PETITIONID;\n"
                                "CREATE TABLE TEMP_PETITIONID (BILL_DATE VARCHAR(10), LAST_ID INTEGER);");
        for (const QString& id : QString(c.rows).split(','))
            database.Run("INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', " + id + ");");
        const QString before = Scalar(rows);
        mrp::RequisitionCounter counter(writing);
        try {
            counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02");
            ADD_FAILURE() << "a number was handed out";
        } catch (const mrp::CounterRowError& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()),
                      QString("請購單號的計數資料有誤：TEMP_PETITIONID 表中 BILL_DATE 為 2026/11/02 的 LAST_ID 是 %1。")
                              .arg(c.shown) + mend);
        }
        EXPECT_EQ(Scalar(rows), before);
        EXPECT_FALSE(writing.InTransaction());
    }

    // The skip past numbers a requisition holds stops at the limit the same way.
    database.Run("DELETE FROM TEMP_PETITIONID;\nINSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 2147483646);\n"
                 "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('202611022147483646', 'OLD');");
    mrp::RequisitionCounter counter(writing);
    EXPECT_THROW(counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/02"), mrp::CounterRowError);
    EXPECT_EQ(Scalar(rows), "2147483646");
}

// A day that does not exist gets no counter row and no number.
TEST_F(NumberingTest, AnImpossibleDateIsRefusedBeforeTheCounter) {
    for (const char* date : {"2026/13/45", "abcdefghij", "2026/02/30", "2026-11-02", "2026/11/2"}) {
        mrp::RequisitionCounter counter(writing);
        try {
            counter.NextRequisitionNumber("TEMP_PETITIONID", date);
            ADD_FAILURE() << date << ": a number was handed out";
        } catch (const mrp::RuleError& e) {
            EXPECT_EQ(QString::fromUtf8(e.what()), QString("日期「%1」不正確，請以 YYYY/MM/DD 輸入。").arg(date));
        }
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
}

TEST_F(NumberingTest, TheDateIsFormedOnceForACommandThatSpansMidnight) {
    database.Run(Bom("A", "B", "1") + Bom("A", "C", "1") + Order("SO1", "P1") + Line("SO1", "A", "1"));
    Expand("P1");
    // The command starts a millisecond before midnight; every later reading of the clock
    // is on the next day.
    int readings = 0;
    const QDateTime before(QDate(2026, 11, 2), QTime(23, 59, 59, 999));
    const QDateTime after(QDate(2026, 11, 3), QTime(0, 0, 0, 1));
    now = before;
    mrp::EngineOptions options = engine->options();
    mrp::RequisitionEngine late(catalogue, reading, writing, [&] {
        options.clock = [&] { return readings++ == 0 ? before : after; };
        return options;
    }());
    late.SetProjectCode("P1");
    late.CreateWorkTable();
    late.LoadOrders();
    late.ExpandMaterials();
    const mrp::RequisitionReport lateReport = late.TransferToRequisition();
    late.DropWorkTable();
    EXPECT_EQ(lateReport.outcome, mrp::RequisitionOutcome::Written) << lateReport.detail.toStdString();
    EXPECT_EQ(late.requisitionNumber(), "202611020001");
    EXPECT_EQ(Scalar("SELECT list(BILL_DATE) FROM TEMP_PETITIONID"), "2026/11/02");
    EXPECT_EQ(Scalar("SELECT BILL_DATE || ' ' || CHG_DATE FROM PETITION_MASTER"), "2026/11/02 2026/11/02");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE BILL_DATE = '2026/11/02'"), "2");
    // Key-in times are read per line: after midnight here.
    EXPECT_EQ(Scalar("SELECT list(distinct KEYINTIME) FROM PETITION_SUB"), "00:00:00 01");
}
