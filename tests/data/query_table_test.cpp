// Tables fed by a query, against a real embedded Firebird database made from the
// schema: fields from the result's columns, the null rules, reopening after the
// command text changed, field definitions bound by name, refresh and failures.

#include <gtest/gtest.h>

#include "data/DataSource.h"
#include "data/QueryTable.h"
#include "db/Connection.h"
#include "support/TestDatabase.h"

using namespace data;
using testsupport::TestDatabase;

namespace {

class QueryTableTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        database_ = new TestDatabase();
        database_->Run(QString::fromUtf8(
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '物料需求計算');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME, REMARK) VALUES ('P2', 'second', 'r');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('O''Neil', 'quoted');\n"
            "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('M1', 'A', 3.0);\n"
            "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('M1', 'B', 2.5);\n"
            "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('M1', 'C', NULL);\n"
            "INSERT INTO TEMP_PETITIONID (BILL_DATE, LAST_ID) VALUES ('2026/01/02', 7);\n"));
    }
    static void TearDownTestSuite() { delete database_; }

    void SetUp() override {
        connection_.SetParams(database_->params());
        table_.SetConnection(&connection_);
        table_.SetName("CDS_OrderItem");
    }

    static TestDatabase* database_;
    db::Connection connection_;
    QueryTable table_;
};

TestDatabase* QueryTableTest::database_ = nullptr;

TEST_F(QueryTableTest, OpenFetchesEveryRowWithFieldsFromTheColumns) {
    table_.SetCommandText(QStringList{"select prod_id, qty, masterbillid ", "  from order_sub order by prod_id"});
    table_.Open();
    EXPECT_EQ(table_.RecordCount(), 3);
    EXPECT_EQ(table_.RecNo(), 1);
    EXPECT_TRUE(table_.Bof());
    EXPECT_FALSE(table_.Eof());
    ASSERT_EQ(table_.FieldCount(), 3);
    Field* id = table_.Fields(0);
    Field* qty = table_.FieldByName("Qty");
    EXPECT_EQ(id->fieldName(), "PROD_ID");
    EXPECT_EQ(id->type(), FieldType::Text);
    EXPECT_EQ(id->size(), 20);
    EXPECT_EQ(qty->type(), FieldType::Float);
    EXPECT_EQ(qty->displayName(), "QTY");

    QStringList seen;
    for (; !table_.Eof(); table_.Next())
        seen << id->AsString() + "=" + qty->AsString() + "/" + QString::number(qty->AsInteger()) +
                    (qty->IsNull() ? " null" : "");
    EXPECT_EQ(seen, QStringList({"A=3/3", "B=2.5/2", "C=/0 null"}));
    EXPECT_EQ(connection_.statementsExecuted(), 1);  // one statement, all rows at once
}

TEST_F(QueryTableTest, WholeNumbersAndCodePageText) {
    table_.SetCommandText(QStringList{"select last_id, count(*) as n from temp_petitionid group by last_id"});
    table_.Open();
    EXPECT_EQ(table_.FieldByName("LAST_ID")->type(), FieldType::Integer);
    EXPECT_EQ(table_.FieldByName("LAST_ID")->AsInteger(), 7);
    EXPECT_EQ(table_.FieldByName("N")->AsString(), "1");

    table_.SetCommandText(QStringList{"SELECT * FROM PROJ_ITEM WHERE PROJ_ID = 'P1'"});
    table_.Open();
    EXPECT_EQ(table_.FieldByName("PROJ_NAME")->AsString(), QString::fromUtf8("物料需求計算"));
    EXPECT_TRUE(table_.FieldByName("REMARK")->IsNull());
}

// Replacing the command text closes the table; the next open has the new statement's
// fields and rows.
TEST_F(QueryTableTest, ReopenAfterTheCommandTextChanged) {
    DataSource source(&table_);
    struct Link : DataLink {
        int activeChanges = 0;
        void ActiveChanged() override { ++activeChanges; }
    } link;
    link.SetDataSource(&source);

    table_.SetCommandText(QString("select prod_id from order_sub where qty > 2\r\norder by prod_id\r\n"));
    EXPECT_EQ(table_.CommandText(), QStringList({"select prod_id from order_sub where qty > 2", "order by prod_id"}));
    table_.Open();
    EXPECT_EQ(table_.RecordCount(), 2);
    EXPECT_EQ(table_.FieldCount(), 1);

    table_.SetCommandText(QStringList{"SELECT * FROM PROJ_ITEM ORDER BY PROJ_ID"});
    EXPECT_FALSE(table_.Active());
    EXPECT_EQ(table_.FieldCount(), 0);
    table_.Open();
    EXPECT_EQ(table_.FieldCount(), 5);
    EXPECT_EQ(table_.RecordCount(), 3);
    EXPECT_EQ(table_.FieldByName("PROJ_ID")->AsString(), "O'Neil");
    EXPECT_EQ(link.activeChanges, 3);  // opened, closed by the new text, opened
}

// With definitions the fields keep their labels across opens and are bound by name.
TEST_F(QueryTableTest, DefinedFieldsAreBoundByName) {
    table_.fieldDefs().Add("PROJ_NAME", FieldType::Text, 100).displayLabel = QString::fromUtf8("專案名稱");
    table_.fieldDefs().Add("PROJ_ID", FieldType::Text, 20, true).displayLabel = QString::fromUtf8("專案代號");
    table_.SetCommandText(QStringList{"SELECT * FROM PROJ_ITEM ORDER BY PROJ_ID"});
    for (int pass = 0; pass < 2; ++pass) {
        table_.Close();
        table_.Open();
        ASSERT_EQ(table_.FieldCount(), 2);
        EXPECT_EQ(table_.Fields(0)->displayName(), QString::fromUtf8("專案名稱"));
        EXPECT_EQ(table_.Fields(1)->fieldName(), "PROJ_ID");
        EXPECT_TRUE(table_.Fields(1)->required());
        EXPECT_EQ(table_.Fields(0)->AsString(), "quoted");
    }

    table_.fieldDefs().Add("MISSING", FieldType::Float);
    table_.Close();
    try {
        table_.Open();
        ADD_FAILURE() << "opened";
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(), "CDS_OrderItem: Field 'MISSING' not found");
    }
    EXPECT_FALSE(table_.Active());
    EXPECT_EQ(table_.FieldCount(), 0);
}

TEST_F(QueryTableTest, ParametersAndRepeatedColumnNames) {
    table_.SetCommandText(QStringList{"select a.proj_id, b.proj_id, a.proj_name from proj_item a",
                                      "join proj_item b on b.proj_id = a.proj_id where a.proj_id = :ID"});
    table_.SetParam("id", "O'Neil");
    table_.Open();
    ASSERT_EQ(table_.RecordCount(), 1);
    EXPECT_EQ(table_.Fields(1)->fieldName(), "PROJ_ID_1");
    EXPECT_EQ(table_.FieldByName("PROJ_ID_1")->AsString(), "O'Neil");

    // In memory the rows can be changed; nothing goes back to the database.
    table_.Edit();
    table_.FieldByName("PROJ_NAME")->SetAsString("edited");
    table_.Post();
    table_.Refresh();
    EXPECT_EQ(table_.FieldByName("PROJ_NAME")->AsString(), "quoted");
}

TEST_F(QueryTableTest, RefreshReadsAgainAndKeepsTheRowNumber) {
    TestDatabase db;
    db.Run("INSERT INTO PRODUCT (PROD_ID) VALUES ('A');\nINSERT INTO PRODUCT (PROD_ID) VALUES ('B');\n");
    db::Connection c;
    c.SetParams(db.params());
    QueryTable t(&c);
    t.SetCommandText(QStringList{"select prod_id from product order by prod_id"});
    t.Open();
    t.Last();
    db.Run("INSERT INTO PRODUCT (PROD_ID) VALUES ('C');\n");
    t.Refresh();
    EXPECT_EQ(t.RecordCount(), 3);
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(t.FieldByName("PROD_ID")->AsString(), "B");
}

TEST_F(QueryTableTest, FailuresLeaveTheTableClosed) {
    QueryTable noConnection;
    noConnection.SetCommandText(QStringList{"select 1 from rdb$database"});
    EXPECT_THROW(noConnection.Open(), DataError);

    table_.SetCommandText(QStringList{" ", ""});
    EXPECT_THROW(table_.Open(), DataError);
    EXPECT_FALSE(table_.Active());

    // A quote spliced into the text breaks the statement: the server's error.
    table_.SetCommandText(QStringList{"select * from proj_item where proj_id = 'O'Neil'"});
    EXPECT_THROW(table_.Open(), db::DbError);
    EXPECT_FALSE(table_.Active());
    EXPECT_EQ(table_.FieldCount(), 0);
    EXPECT_THROW(table_.RecordCount(), DataError);
}

}  // namespace
