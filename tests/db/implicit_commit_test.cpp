// A statement outside an explicit transaction whose commit fails: the error reaches the
// caller, nothing of the statement stays, and the connection goes on working.

#include <gtest/gtest.h>

#include "db/Connection.h"
#include "support/TestDatabase.h"

TEST(ImplicitCommit, AFailedCommitIsReportedOnceAndRolledBack) {
    testsupport::TestDatabase database;
    // Every commit that finds the flag set is refused, as a server refuses a commit that
    // meets another client's catalogue change ("deadlock").
    database.Run("CREATE TABLE FLAG (X INTEGER);\nCREATE EXCEPTION E_COMMIT 'commit refused';\n");
    database.Run("CREATE TRIGGER REFUSE_COMMIT ON TRANSACTION COMMIT AS BEGIN "
                 "IF (EXISTS (SELECT 1 FROM FLAG WHERE X = 1)) THEN EXCEPTION E_COMMIT; END;\n");
    db::Connection c;
    c.SetParams(database.params());
    db::Query insert(c);
    insert.Add("insert into FLAG values (1)");
    try {
        insert.Execute();
        ADD_FAILURE() << "the refused commit was not reported";
    } catch (const db::DbError& e) {
        EXPECT_NE(std::string(e.what()).find("commit refused"), std::string::npos) << e.what();
    }
    db::Query count(c);
    count.Add("select count(*) from FLAG");
    count.Open();
    EXPECT_EQ(count.Fields(0).AsInteger(), 0);
}
