// The rewrite of ":NAME" parameters into positional ones, without a database.

#include <gtest/gtest.h>

#include "db/StatementParams.h"

using db::ToPositionalParams;

TEST(StatementParams, ParametersOutsideQuotesAndComments) {
    struct Case {
        QString sql, text;
        QStringList names;
    };
    const Case cases[] = {
        {"insert into t values (:A, :b_2,:c$)", "insert into t values (?, ?,?)", {"A", "B_2", "C$"}},
        {"where x = :P and y = :p\n", "where x = ? and y = ?\n", {"P", "P"}},
        {":_x||:名稱", "?||?", {"_X", "名稱"}},
        {"where t = '10:30' and n = ':A' || :B", "where t = '10:30' and n = ':A' || ?", {"B"}},
        {"'it''s :A' || :B", "'it''s :A' || ?", {"B"}},
        {"\"col:A\" = :B and \"a\"\":C\" = 1", "\"col:A\" = ? and \"a\"\":C\" = 1", {"B"}},
        {"select 1 -- where :A\n, :B", "select 1 -- where :A\n, ?", {"B"}},
        {"/* :A\n :B */ :C /**/:D", "/* :A\n :B */ ? /**/?", {"C", "D"}},
        // Not parameters: a colon without a name after it.
        {"a[1:2] :1 : :", "a[1:2] :1 : :", {}},
        // Unclosed quotes and comments run to the end of the statement.
        {":A 'open :B", "? 'open :B", {"A"}},
        {":A \"open :B", "? \"open :B", {"A"}},
        {":A /* open :B", "? /* open :B", {"A"}},
        {":A -- end :B", "? -- end :B", {"A"}},
        {"", "", {}},
    };
    for (const Case& c : cases) {
        const db::PositionalStatement p = ToPositionalParams(c.sql);
        EXPECT_EQ(p.text, c.text) << c.sql.toStdString();
        EXPECT_EQ(p.names, c.names) << c.sql.toStdString();
        ASSERT_EQ(p.spans.size(), p.names.size());
    }
    const db::PositionalStatement p = ToPositionalParams("x = :AB and 'q' = :C");
    ASSERT_EQ(p.spans.size(), 2);
    EXPECT_EQ(p.spans[0].start, 4);
    EXPECT_EQ(p.spans[0].length, 3);
    EXPECT_EQ(p.spans[1].start, 18);
    EXPECT_EQ(p.spans[1].length, 2);
}
