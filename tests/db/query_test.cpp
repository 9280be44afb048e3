// The data layer against a real embedded Firebird database made from the schema.

#include <gtest/gtest.h>

#include "db/Connection.h"
#include "support/TestDatabase.h"

using namespace db;
using testsupport::TestDatabase;

namespace {

class QueryTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = new TestDatabase();
        database_->Run(QString::fromUtf8(
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '物料需求計算');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('O''Neil', 'quoted');\n"
            "INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES ('M1', 'P1', 'False', 'N');\n"
            "INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES ('M2', 'P1', 'False', NULL);\n"
            "INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES ('M3', 'P1', 'false', 'N');\n"
            "INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES ('M4', 'P1', 'False', 'Y');\n"
            "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('M1', 'A', 3.0);\n"
            "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('M1', 'B', 2.5);\n"
            "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('M1', 'C', NULL);\n"));
    }
    static void TearDownTestSuite() { delete database_; }

    void SetUp() override { connection_.SetParams(database_->params()); }

    static TestDatabase* database_;
    Connection connection_;
};

TestDatabase* QueryTest::database_ = nullptr;

}  // namespace

TEST_F(QueryTest, OpenWalksRowsAndReadsWithNullRules) {
    Query q(connection_);
    q.Add("select prod_id, qty, masterbillid ");
    q.Add("  from order_sub where masterbillid = :BILL order by prod_id");
    q.SetParam("bill", "M1");
    q.Open();
    EXPECT_EQ(q.Text(), "select prod_id, qty, masterbillid \n  from order_sub where masterbillid = :BILL order by prod_id\n");
    ASSERT_EQ(q.RecordCount(), 3);
    const Field& qty = q.FieldByName("QtY");
    EXPECT_EQ(qty.type(), FieldType::Float);
    EXPECT_EQ(q.Fields(0).AsString(), "A");
    EXPECT_EQ(qty.AsString(), "3");  // a float reads as its shortest text
    q.Next();
    EXPECT_EQ(qty.AsString(), "2.5");
    EXPECT_EQ(qty.AsInteger(), 2);  // ties to even
    q.Next();
    EXPECT_TRUE(qty.IsNull());
    EXPECT_EQ(qty.AsString(), "");
    EXPECT_EQ(qty.AsInteger(), 0);
    EXPECT_FALSE(qty.AsVariant().isValid());
    q.Next();
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(qty.IsNull());  // past the end every field reads as null
    EXPECT_THROW(q.FieldByName("nosuch"), DbError);
}

TEST_F(QueryTest, EmptyResultReadsAsNull) {
    Query q(connection_);
    q.Add("SELECT PROJ_NAME FROM PROJ_ITEM WHERE PROJ_ID = :ID");
    q.SetParam("ID", "nothing");
    q.Open();
    EXPECT_TRUE(q.Eof());
    EXPECT_TRUE(q.Fields(0).IsNull());
    EXPECT_EQ(q.Fields(0).AsString(), "");
}

TEST_F(QueryTest, ChineseTextTravelsInTheCodePage) {
    Query q(connection_);
    q.Add("SELECT PROJ_NAME, CAST(PROJ_NAME AS VARCHAR(100) CHARACTER SET OCTETS) AS RAW");
    q.Add("  FROM PROJ_ITEM WHERE PROJ_ID = 'P1'");
    q.Open();
    EXPECT_EQ(q.FieldByName("PROJ_NAME").AsString(), QString::fromUtf8("物料需求計算"));
    // Stored as Big5 bytes, not UTF-8.
    EXPECT_EQ(connection_.codePage().Encode(q.FieldByName("RAW").AsString()).size(), 12);

    // A parameter in the code page finds the row again.
    Query p(connection_);
    p.Add("SELECT PROJ_ID FROM PROJ_ITEM WHERE PROJ_NAME = :NAME");
    p.SetParam("NAME", QString::fromUtf8("物料需求計算"));
    p.Open();
    EXPECT_EQ(p.Fields(0).AsString(), "P1");
}

TEST_F(QueryTest, AQuoteInAValueIsData) {
    Query q(connection_);
    q.Add("SELECT PROJ_NAME FROM PROJ_ITEM WHERE PROJ_ID = :ID");
    q.SetParam("ID", "O'Neil");
    q.Open();
    EXPECT_EQ(q.Fields(0).AsString(), "quoted");
    q.SetParam("ID", "P1' OR '1'='1");
    q.Open();
    EXPECT_TRUE(q.Eof());
}

TEST_F(QueryTest, OpenOrderConditionsAreExact) {
    // TS null is not "<> 'Y'", and only "False" exactly is a live order.
    Query q(connection_);
    q.Add("select masterbillid from order_master a");
    q.Add(" where a.disable_flag  = 'False' AND a.TS <> 'Y' and a.proj_id = :P");
    q.SetParam("P", "P1");
    q.Open();
    ASSERT_EQ(q.RecordCount(), 1);
    EXPECT_EQ(q.Fields(0).AsString(), "M1");
}

TEST_F(QueryTest, ParametersTakeTheTypeOfTheirValue) {
    connection_.StartTransaction();
    Query ins(connection_);
    ins.Add("INSERT INTO PETITION_SUB (MASTERBILLID, V_QTY, V_PRICE, PROD_NAME, KEYINTIME)");
    ins.Add("VALUES (:M, :V_QTY, :V_PRICE, :NAME, :KEY)");  // ':KEY' inside quotes would be text
    ins.SetParam("M", "T1");
    ins.SetParam("V_QTY", 12);
    ins.SetParam("V_PRICE", 30.25);
    ins.SetParam("NAME", QVariant());
    ins.SetParam("KEY", "10:11:12 05");
    ins.Execute();
    EXPECT_EQ(ins.RowsAffected(), 1);
    Query sel(connection_);
    sel.Add("SELECT V_QTY, V_PRICE, PROD_NAME, KEYINTIME, ':X' AS LIT FROM PETITION_SUB WHERE MASTERBILLID = 'T1'");
    sel.Open();
    EXPECT_EQ(sel.FieldByName("V_QTY").type(), FieldType::Integer);
    EXPECT_EQ(sel.FieldByName("V_QTY").AsInteger(), 12);
    EXPECT_EQ(sel.FieldByName("V_PRICE").AsString(), "30.25");
    EXPECT_TRUE(sel.FieldByName("PROD_NAME").IsNull());
    EXPECT_EQ(sel.FieldByName("KEYINTIME").AsString(), "10:11:12 05");
    EXPECT_EQ(sel.FieldByName("LIT").AsString(), ":X");
    connection_.Rollback();

    Query missing(connection_);
    missing.Add("SELECT 1 FROM RDB$DATABASE WHERE 1 = :NOVALUE");
    EXPECT_THROW(missing.Open(), DbError);
}

// One prepared insert run again and again, as a requisition's lines are written: every
// execution's texts reach the row whole, whatever the lengths before them.
TEST_F(QueryTest, ARepeatedStatementWritesEachExecutionsTexts) {
    struct Line {
        QString id, name, unit;
        QVariant qty;
    };
    const std::vector<Line> lines = {
        {"R1", QString(50, QChar('N')), "PCS", 3},
        {"R2", "", "", 0},
        {"R3", QStringLiteral("螺絲釘"), QStringLiteral("個"), QVariant()},
        {"R4", "n", QString(10, QChar('u')), -7},
        {"R5", QStringLiteral("不鏽鋼板 304"), "", 12},
    };
    connection_.StartTransaction();
    Query ins(connection_);
    ins.Add("INSERT INTO PETITION_SUB (MASTERBILLID, PROD_NAME, V_QTY, UNITNAME) VALUES (:M, :NAME, :Q, :UNIT)");
    for (const Line& l : lines) {
        ins.SetParam("M", l.id);
        ins.SetParam("NAME", l.name);
        ins.SetParam("Q", l.qty);
        ins.SetParam("UNIT", l.unit);
        ins.Execute();
    }
    Query sel(connection_);
    sel.Add("SELECT MASTERBILLID, PROD_NAME, V_QTY, UNITNAME FROM PETITION_SUB WHERE MASTERBILLID STARTING WITH 'R'");
    sel.Add("ORDER BY MASTERBILLID");
    sel.Open();
    for (const Line& l : lines) {
        ASSERT_FALSE(sel.Eof());
        EXPECT_EQ(sel.Fields(0).AsString(), l.id);
        EXPECT_EQ(sel.Fields(1).AsString(), l.name) << l.id.toStdString();
        EXPECT_EQ(sel.Fields(2).IsNull(), l.qty.isNull()) << l.id.toStdString();
        if (!l.qty.isNull()) {
            EXPECT_EQ(sel.Fields(2).AsInteger(), l.qty.toInt());
        }
        EXPECT_EQ(sel.Fields(3).AsString(), l.unit) << l.id.toStdString();
        sel.Next();
    }
    EXPECT_TRUE(sel.Eof());
    connection_.Rollback();
}

TEST_F(QueryTest, ExplicitTransactionsAndReadCommitted) {
    Connection reader;
    reader.SetParams(database_->params());
    Query count(reader);
    count.Add("SELECT COUNT(*) FROM EMPLOYEE WHERE EMPLOYEE_ID = 'E9'");

    connection_.StartTransaction();
    EXPECT_THROW(connection_.StartTransaction(), DbError);
    Query ins(connection_);
    ins.Add("INSERT INTO EMPLOYEE (EMPLOYEE_ID, EMPLOYEE_NAME) VALUES ('E9', 'x')");
    ins.Execute();
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 0);  // not yet committed
    connection_.Rollback();
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 0);

    connection_.StartTransaction();
    ins.Execute();  // the same prepared statement in a new transaction
    connection_.Commit();
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 1);

    // Outside an explicit transaction every statement commits on its own.
    Query del(connection_);
    del.Add("DELETE FROM EMPLOYEE WHERE EMPLOYEE_ID = 'E9'");
    del.Execute();
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 0);
}

TEST_F(QueryTest, ServerErrorsCarryTheirMessageAndLeaveNoTransaction) {
    Query q(connection_);
    q.Add("SELEKT 1 FROM RDB$DATABASE");
    try {
        q.Open();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("Token unknown"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(connection_.InTransaction());
    Query ok(connection_);
    ok.Add("SELECT 1 FROM RDB$DATABASE");
    ok.Open();
    EXPECT_EQ(ok.Fields(0).AsInteger(), 1);

    Query dup(connection_);
    dup.Add("INSERT INTO TEMP_PETITIONID (BILL_DATE, LAST_ID) VALUES ('2026/01/01', 1)");
    dup.Execute();
    try {
        dup.Execute();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_TRUE(e.isUniqueViolation()) << e.what();
    }
}

TEST(Connection, OpeningAMissingDatabaseNamesIt) {
    ConnectionParams p;
    p.database = "/nonexistent/folder/POSDATA.FDB";
    Connection c;
    c.SetParams(p);
    try {
        c.Open();
        FAIL();
    } catch (const DbError& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/folder/POSDATA.FDB"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(c.Connected());
}

TEST(Connection, SplitScriptTakesStatementsEndingInSemicolons) {
    const QStringList s = SplitScript("-- comment\nCREATE TABLE A (\n  X INTEGER\n);\n\nINSERT INTO A VALUES (1);\n");
    ASSERT_EQ(s.size(), 2);
    EXPECT_EQ(s[0], "CREATE TABLE A (\n  X INTEGER\n)");
    EXPECT_EQ(s[1], "INSERT INTO A VALUES (1)");
}

// On an embedded database each attachment keeps a page cache of its own in this process:
// the engine's small default unless the connection asks for its own size.
TEST_F(QueryTest, AnAttachmentsPageCacheIsTheEnginesUnlessItAsksForItsOwn) {
    const auto buffers = [](Connection& c) {
        Query q(c);
        q.SetSQL({"SELECT MON$PAGE_BUFFERS FROM MON$DATABASE"});
        q.Open();
        return q.Fields(0).AsInteger();
    };
    EXPECT_EQ(buffers(connection_), 256);
    Connection writer;
    writer.SetParams(database_->params());
    writer.SetPageCache(2048);
    EXPECT_EQ(buffers(writer), 2048);
}
