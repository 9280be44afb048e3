// Data sets through the in-memory table: navigation and its flags, the delete rule,
// appending / inserting / editing with post and cancel, states and can-modify, locate.

#include <gtest/gtest.h>

#include <climits>

#include "Tables.h"
#include "data/DataSource.h"
#include "data/MemTable.h"

using namespace data;
using datatest::AllCodes;
using datatest::Codes;
using datatest::FillCodes;

namespace {

struct Walk {
    int rows;
    const char* ops;  // F first, L last, N next, P prior
    int recNo;
    bool bof;
    bool eof;
};

TEST(DataSetTest, NavigationFlags) {
    const Walk cases[] = {
        {0, "", -1, true, true},    {0, "NPFL", -1, true, true},  {1, "", 1, true, false},
        {1, "N", 1, false, true},   {1, "L", 1, false, true},     {1, "LF", 1, true, false},
        {3, "", 1, true, false},    {3, "N", 2, false, false},    {3, "NN", 3, false, false},
        {3, "NNN", 3, false, true}, {3, "NNNN", 3, false, true},  {3, "L", 3, false, true},
        {3, "LP", 2, false, false}, {3, "LPP", 1, false, false},  {3, "LPPP", 1, true, false},
        {3, "FP", 1, true, false},  {3, "NF", 1, true, false},    {3, "LN", 3, false, true},
    };
    for (const Walk& c : cases) {
        SCOPED_TRACE(std::to_string(c.rows) + " rows, " + c.ops);
        MemTable t;
        FillCodes(t, Codes(c.rows));
        for (const char* op = c.ops; *op; ++op) {
            switch (*op) {
            case 'F': t.First(); break;
            case 'L': t.Last(); break;
            case 'N': t.Next(); break;
            case 'P': t.Prior(); break;
            }
        }
        EXPECT_EQ(t.RecNo(), c.recNo);
        EXPECT_EQ(t.Bof(), c.bof);
        EXPECT_EQ(t.Eof(), c.eof);
        if (c.recNo > 0) {
            EXPECT_EQ(t.FieldByName("CODE")->AsString(), "R" + QString::number(c.recNo - 1));
        }
    }
}

TEST(DataSetTest, MoveByStopsAtTheEnds) {
    struct Case {
        int from, distance, moved, recNo;
        bool bof, eof;
    };
    const Case cases[] = {
        {1, 3, 3, 4, false, false},   {4, 5, 1, 5, false, true},  {2, -5, -1, 1, true, false},
        {3, 0, 0, 3, false, false},   {1, INT_MAX, 4, 5, false, true},
        {5, INT_MIN, -4, 1, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " by " + std::to_string(c.distance));
        MemTable t;
        FillCodes(t, Codes(5));
        t.SetRecNo(c.from);
        EXPECT_EQ(t.MoveBy(c.distance), c.moved);
        EXPECT_EQ(t.RecNo(), c.recNo);
        EXPECT_EQ(t.Bof(), c.bof);
        EXPECT_EQ(t.Eof(), c.eof);
    }
}

TEST(DataSetTest, DeleteMakesTheNextRowCurrentOrThePreviousAfterTheLast) {
    struct Case {
        QStringList rows;
        int at;
        QStringList left;
        QString current;
    };
    const Case cases[] = {
        {{"A", "B", "C"}, 1, {"B", "C"}, "B"},
        {{"A", "B", "C"}, 2, {"A", "C"}, "C"},
        {{"A", "B", "C"}, 3, {"A", "B"}, "B"},
        {{"A"}, 1, {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows.join(",").toStdString() + " at " + std::to_string(c.at));
        MemTable t;
        FillCodes(t, c.rows);
        t.SetRecNo(c.at);
        t.Delete();
        EXPECT_EQ(t.FieldByName("CODE")->AsString(), c.current);
        EXPECT_EQ(t.RecordCount(), c.left.size());
        EXPECT_EQ(t.Bof(), c.left.isEmpty());
        EXPECT_EQ(t.Eof(), c.left.isEmpty());
        EXPECT_EQ(AllCodes(t), c.left);
    }
    MemTable empty;
    FillCodes(empty, {});
    EXPECT_THROW(empty.Delete(), DataError);
}

// The sub-assembly pass: walk from the first row to the end, deleting the marked rows
// (the last row among them) and stepping over the others; every row is examined once.
TEST(DataSetTest, WalkDeletingMarkedRows) {
    MemTable t;
    FillCodes(t, {"Y1", "N1", "Y2", "Y3", "N2", "Y4"});
    QStringList collected, examined;
    for (t.First(); !t.Eof();) {
        const QString code = t.FieldByName("CODE")->AsString();
        examined << code;
        if (code.startsWith('Y')) {
            collected << code;
            t.Delete();
        } else {
            t.Next();
        }
    }
    EXPECT_EQ(collected, QStringList({"Y1", "Y2", "Y3", "Y4"}));
    EXPECT_EQ(AllCodes(t), QStringList({"N1", "N2"}));
    // After the last row went, the previous one is current and is looked at once more.
    EXPECT_EQ(examined, QStringList({"Y1", "N1", "Y2", "Y3", "N2", "Y4", "N2"}));
}

TEST(DataSetTest, AppendInsertPostAndCancel) {
    MemTable t;
    FillCodes(t, {"A", "B"});

    t.Append();  // from A: the new row goes at the end
    EXPECT_EQ(t.State(), DataSetState::Insert);
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_TRUE(t.FieldByName("CODE")->IsNull());
    t.FieldByName("CODE")->SetAsString("C");
    EXPECT_TRUE(t.Modified());
    t.Post();
    EXPECT_EQ(t.State(), DataSetState::Browse);
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "C");
    EXPECT_EQ(AllCodes(t), QStringList({"A", "B", "C"}));

    t.SetRecNo(2);
    t.Insert();  // before B
    t.FieldByName("CODE")->SetAsString("X");
    t.Post();
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(AllCodes(t), QStringList({"A", "X", "B", "C"}));

    t.First();
    t.Append();
    t.FieldByName("CODE")->SetAsString("Z");
    t.Cancel();  // back on the row current before
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(AllCodes(t), QStringList({"A", "X", "B", "C"}));

    t.Edit();
    t.FieldByName("QTY")->SetAsFloat(2.5);
    t.Cancel();
    EXPECT_TRUE(t.FieldByName("QTY")->IsNull());
    t.Edit();
    t.FieldByName("QTY")->SetAsFloat(2.5);
    t.Post();
    EXPECT_EQ(t.FieldByName("QTY")->AsString(), "2.5");
}

// A list filled in one step holds what appending row by row would, converted as the fields
// convert; a refused row leaves the table as it was.
TEST(DataSetTest, AppendRowsConvertsChecksAndNotifiesOnce) {
    MemTable t;
    FillCodes(t, {"A"});
    DataSource source(&t);
    datatest::RecordingLink link;
    link.SetDataSource(&source);
    link.Take();
    t.AppendRows({{QString("B"), QString("2.5"), 7.0}, {QString("C"), QVariant(), QVariant()}});
    EXPECT_EQ(link.Take(), "changed");
    EXPECT_EQ(AllCodes(t), QStringList({"A", "B", "C"}));
    EXPECT_EQ(t.RecNo(), 3);
    t.SetRecNo(2);
    EXPECT_EQ(t.FieldByName("QTY")->Value(), QVariant(2.5));
    EXPECT_EQ(t.FieldByName("N")->Value(), QVariant(7));
    link.Take();

    struct Refused {
        std::vector<QVariant> row;
        const char* message;
    };
    const Refused refused[] = {
        {{QVariant(), 1.0, 1}, "Field 'CODE' must have a value"},
        {{QString("ELEVENCHARS"), 1.0, 1}, "Value too long for field 'CODE' (at most 10 characters)"},
        {{QString("D"), QString("x"), 1}, "'x' is not a valid floating point value"},
        {{QString("D"), 1.0}, "A row of 2 values for 3 fields"},
    };
    for (const Refused& r : refused) {
        try {
            t.AppendRows({{QString("OK"), QVariant(), QVariant()}, r.row});
            ADD_FAILURE() << "appended " << r.message;
        } catch (const DataError& e) {
            EXPECT_NE(std::string(e.what()).find(r.message), std::string::npos) << e.what();
        }
        EXPECT_EQ(link.Take(), "");
        EXPECT_EQ(AllCodes(t), QStringList({"A", "B", "C"}));
        link.Take();
    }
}

TEST(DataSetTest, PostNeedsRequiredFields) {
    MemTable t;
    FillCodes(t, {"A"});
    t.Append();
    t.FieldByName("QTY")->SetAsFloat(1);
    try {
        t.Post();
        ADD_FAILURE() << "posted";
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(), "Field 'CODE' must have a value");
    }
    EXPECT_EQ(t.State(), DataSetState::Insert);  // the record is still there to finish
    t.FieldByName("CODE")->SetAsString("B");
    t.Post();
    EXPECT_EQ(t.RecordCount(), 2);
}

// Leaving a record ends its edit: a changed one is posted, an untouched one dropped.
TEST(DataSetTest, NavigationPostsChangedAndDropsUntouchedRecords) {
    MemTable t;
    FillCodes(t, {"A", "B"});
    t.Append();
    t.First();
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.State(), DataSetState::Browse);

    t.Append();
    t.FieldByName("CODE")->SetAsString("C");
    t.First();
    EXPECT_EQ(AllCodes(t), QStringList({"A", "B", "C"}));

    t.Edit();
    t.FieldByName("CODE")->SetAsString("A2");
    EXPECT_TRUE(t.Locate("CODE", "B"));
    EXPECT_EQ(AllCodes(t), QStringList({"A2", "B", "C"}));
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "B");
}

TEST(DataSetTest, StatesAndCanModify) {
    MemTable t;
    EXPECT_EQ(t.State(), DataSetState::Inactive);
    EXPECT_FALSE(t.CanModify());
    EXPECT_TRUE(t.Bof());
    EXPECT_TRUE(t.Eof());
    EXPECT_EQ(t.RecNo(), -1);
    t.SetName("ACDS");
    // Walking or counting a table that was never created fails with the closed-table error.
    try {
        t.First();
        ADD_FAILURE();
    } catch (const DataError& e) {
        EXPECT_STREQ(e.what(), "ACDS: Cannot perform this operation on a closed dataset");
    }
    EXPECT_THROW(t.RecordCount(), DataError);
    EXPECT_THROW(t.Append(), DataError);
    EXPECT_THROW(t.CreateDataSet(), DataError);  // no fields defined

    FillCodes(t, {"A"});
    EXPECT_EQ(t.State(), DataSetState::Browse);
    EXPECT_TRUE(t.CanModify());
    EXPECT_THROW(t.FieldByName("CODE")->SetAsString("x"), DataError);  // not editing
    EXPECT_THROW(t.Post(), DataError);
    t.Edit();
    EXPECT_EQ(t.State(), DataSetState::Edit);
    t.Cancel();
    t.Cancel();  // nothing to cancel
    EXPECT_EQ(t.State(), DataSetState::Browse);

    t.SetReadOnly(true);
    EXPECT_FALSE(t.CanModify());
    EXPECT_THROW(t.Edit(), DataError);
    EXPECT_THROW(t.Append(), DataError);
    EXPECT_THROW(t.Delete(), DataError);
    EXPECT_EQ(t.RecordCount(), 1);
    t.SetReadOnly(false);

    t.EmptyDataSet();
    EXPECT_EQ(t.RecordCount(), 0);
    t.Edit();  // on an empty table: a new record
    EXPECT_EQ(t.State(), DataSetState::Insert);
    t.Delete();  // of an unposted record: cancels it
    EXPECT_EQ(t.State(), DataSetState::Browse);

    t.Close();
    EXPECT_EQ(t.State(), DataSetState::Inactive);
    EXPECT_EQ(t.FindField("CODE"), nullptr);
}

TEST(DataSetTest, KeyEntryFindsTheFirstMatchingRow) {
    MemTable t;
    FillCodes(t, {"A", "B", "B"});
    t.Last();
    t.SetKey();
    EXPECT_EQ(t.State(), DataSetState::SetKey);
    t.FieldByName("CODE")->SetAsString("B");
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "B");  // the key, not the row
    EXPECT_TRUE(t.GotoKey());
    EXPECT_EQ(t.State(), DataSetState::Browse);
    EXPECT_EQ(t.RecNo(), 2);
    t.SetKey();
    t.FieldByName("CODE")->SetAsString("Z");
    EXPECT_FALSE(t.GotoKey());
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_THROW(t.GotoKey(), DataError);  // not in key entry
}

TEST(DataSetTest, LocateFindsTheFirstExactMatch) {
    MemTable t;
    FillCodes(t, {"A", "B", "C", "B", "b"});
    auto setQty = [&](int recNo, const QVariant& v) {
        t.SetRecNo(recNo);
        t.Edit();
        t.FieldByName("QTY")->SetValue(v);
        t.Post();
    };
    setQty(1, 1.0);
    setQty(2, 2.5);
    setQty(4, 9.0);
    setQty(5, 9.0);
    t.SetRecNo(5);

    struct Case {
        const char* field;
        QVariant value;
        bool found;
        int recNo;
    };
    const Case cases[] = {
        {"CODE", "B", true, 2},
        {"code", "b", true, 5},  // the field's name without regard to case, the value exactly
        {"QTY", QString("2.5"), true, 2},
        {"QTY", 9, true, 4},
        {"QTY", QVariant(), true, 3},
        {"CODE", "Z", false, 3},
        {"QTY", QString("abc"), false, 3},
        {"CODE", " B", false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + "=" + c.value.toString().toStdString());
        EXPECT_EQ(t.Locate(c.field, c.value), c.found);
        EXPECT_EQ(t.RecNo(), c.recNo);
        if (c.found) {
            EXPECT_FALSE(t.Bof());
            EXPECT_FALSE(t.Eof());
        }
    }
    EXPECT_THROW(t.Locate("NOPE", 1), DataError);
}

TEST(MemTableTest, IndexIsKeptButRowsStayInInsertionOrder) {
    MemTable t;
    t.fieldDefs().Add("PROD_ID", FieldType::Text, 20);
    t.AddIndexDef("IntIndex", "PROD_ID");
    EXPECT_THROW(t.AddIndexDef("intindex", "PROD_ID"), DataError);
    t.CreateDataSet();
    for (const char* id : {"C", "A", "B"}) {
        t.Append();
        t.FieldByName("PROD_ID")->SetAsString(id);
        t.Post();
    }
    QStringList order;
    for (t.First(); !t.Eof(); t.Next()) order << t.FieldByName("PROD_ID")->AsString();
    EXPECT_EQ(order, QStringList({"C", "A", "B"}));
    ASSERT_EQ(t.indexDefs().size(), 1u);
    EXPECT_EQ(t.indexDefs()[0].name, "IntIndex");

    t.CreateDataSet();  // anew and empty
    EXPECT_EQ(t.RecordCount(), 0);

    MemTable bad;
    bad.fieldDefs().Add("A", FieldType::Text, 5);
    bad.AddIndexDef("I", "A;NOPE");
    EXPECT_THROW(bad.CreateDataSet(), DataError);
    EXPECT_FALSE(bad.Active());
}

}  // namespace
