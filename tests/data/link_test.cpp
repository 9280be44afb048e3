// Data sources and links: the order of notifications, suspended control updates, the
// link's window of rows as a grid uses it, and references cleared when things go.

#include <gtest/gtest.h>

#include <memory>

#include "Tables.h"
#include "data/DataSource.h"
#include "data/MemTable.h"

using namespace data;
using datatest::Codes;
using datatest::FillCodes;
using datatest::RecordingLink;

namespace {

TEST(DataLinkTest, NotificationsInOrder) {
    MemTable t;
    t.fieldDefs().Add("CODE", FieldType::Text, 10);
    DataSource source(&t);
    RecordingLink link;
    link.SetDataSource(&source);
    EXPECT_FALSE(link.Active());

    t.CreateDataSet();
    EXPECT_EQ(link.Take(), "active");
    t.Append();
    EXPECT_EQ(link.Take(), "editing, changed");
    EXPECT_EQ(source.State(), DataSetState::Insert);
    t.FieldByName("CODE")->SetAsString("A");
    EXPECT_EQ(link.Take(), "record CODE");
    t.Post();
    EXPECT_EQ(link.Take(), "update, browsing, changed");
    t.Append();
    t.Cancel();
    EXPECT_EQ(link.Take(), "editing, changed, browsing, changed");
    t.Edit();
    EXPECT_EQ(link.Take(), "editing, record -");
    t.Next();  // ends the untouched edit, then finds no row after the only one
    EXPECT_EQ(link.Take(), "update, browsing, changed, scrolled 0");
    t.Next();  // already at the end: nothing moves, nothing is said
    EXPECT_EQ(link.Take(), "");
    t.First();
    EXPECT_EQ(link.Take(), "changed");
    t.FieldByName("CODE")->SetDisplayLabel("Code");
    EXPECT_EQ(link.Take(), "layout");
    t.SetKey();
    EXPECT_EQ(link.Take(), "editing");
    t.Cancel();
    EXPECT_EQ(link.Take(), "browsing");
    t.Delete();
    EXPECT_EQ(link.Take(), "changed");
    t.Close();
    EXPECT_EQ(link.Take(), "inactive");
}

// Walking the material list while writing it must not drag the grid along: the grid
// hears nothing during the walk and one data-set change at its end.
TEST(DataLinkTest, SuspendedControlsHearOneChangeOnResume) {
    struct Case {
        const char* name;
        void (*during)(MemTable&);
        const char* resumed;
    };
    const Case cases[] = {
        {"walk", [](MemTable& t) { for (t.First(); !t.Eof(); t.Next()) {} }, "changed"},
        {"edit and post",
         [](MemTable& t) {
             t.Edit();
             t.FieldByName("QTY")->SetAsFloat(1);
             t.Post();
         },
         "changed"},
        {"left inserting", [](MemTable& t) { t.Append(); }, "editing, changed"},
        {"label", [](MemTable& t) { t.FieldByName("CODE")->SetDisplayLabel("x"); }, "layout"},
        {"reopened", [](MemTable& t) { t.CreateDataSet(); }, "layout"},
        {"closed", [](MemTable& t) { t.Close(); }, "inactive"},
        {"nothing", [](MemTable&) {}, "changed"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MemTable t;
        FillCodes(t, Codes(3));
        DataSource source(&t);
        RecordingLink link;
        link.SetDataSource(&source);
        link.Take();
        t.DisableControls();
        t.DisableControls();  // nested
        EXPECT_TRUE(t.ControlsDisabled());
        c.during(t);
        t.EnableControls();
        EXPECT_EQ(link.Take(), "");
        t.EnableControls();
        EXPECT_FALSE(t.ControlsDisabled());
        EXPECT_EQ(link.Take(), c.resumed);
        t.EnableControls();  // one too many: ignored
        EXPECT_EQ(link.Take(), "");
    }
}

// Ten rows in a window of three, as a grid with three visible rows sees them.
TEST(DataLinkTest, WindowFollowsTheCurrentRow) {
    MemTable t;
    FillCodes(t, Codes(10));
    DataSource source(&t);
    RecordingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(&source);
    link.Take();
    auto window = [&] {
        return std::to_string(link.FirstRecord()) + "+" + std::to_string(link.ActiveRecord()) + "/" +
               std::to_string(link.RecordCount());
    };
    EXPECT_EQ(window(), "0+0/3");
    t.Next();
    t.Next();
    EXPECT_EQ(link.Take(), "scrolled 0, scrolled 0");
    t.Next();
    EXPECT_EQ(link.Take(), "scrolled 1");
    EXPECT_EQ(window(), "1+2/3");
    t.MoveBy(4);
    EXPECT_EQ(link.Take(), "scrolled 4");
    EXPECT_EQ(window(), "5+2/3");
    t.MoveBy(-4);
    EXPECT_EQ(link.Take(), "scrolled -2");
    EXPECT_EQ(window(), "3+0/3");
    t.Last();
    EXPECT_EQ(window(), "7+2/3");

    // A grid paints each visible row by pointing the fields at it.
    link.SetActiveRecord(0);
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "R7");
    EXPECT_EQ(link.ActiveRecord(), 0);
    link.SetActiveRecord(1);
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "R8");
    link.SetActiveRecord(2);  // the current row's slot: back to normal
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "R9");
    EXPECT_THROW(link.SetActiveRecord(3), DataError);
    link.SetActiveRecord(0);
    t.Prior();  // any move points the fields back at the current row
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "R8");
    t.Last();

    // An appended row is shown at the end before it is posted.
    t.Append();
    EXPECT_EQ(window(), "8+2/3");
    link.SetActiveRecord(1);
    EXPECT_EQ(t.FieldByName("CODE")->AsString(), "R9");
    link.SetActiveRecord(2);
    EXPECT_TRUE(t.FieldByName("CODE")->IsNull());
    t.Cancel();
    EXPECT_EQ(window(), "7+2/3");

    // Deleting near the end keeps the window full.
    t.Delete();
    EXPECT_EQ(window(), "6+2/3");

    link.SetBufferCount(20);
    EXPECT_EQ(window(), "0+8/9");
    t.Close();
    EXPECT_EQ(window(), "0+0/0");
}

// A grid painting its rows reads each slot's value: nothing moves, no link hears
// anything, and the fields still read the current row (its buffer while appending).
TEST(DataLinkTest, FieldValueReadsARowWithoutMoving) {
    MemTable t, other;
    FillCodes(t, Codes(10));
    FillCodes(other, {"X"});
    DataSource source(&t);
    RecordingLink link;
    link.SetBufferCount(3);
    link.SetDataSource(&source);
    t.Last();
    link.Take();
    Field* code = t.FieldByName("CODE");
    EXPECT_EQ(code->DisplayText(link.FieldValue(0, *code)), "R7");
    EXPECT_EQ(code->DisplayText(link.FieldValue(1, *code)), "R8");
    EXPECT_EQ(link.ActiveRecord(), 2);
    EXPECT_EQ(t.RecNo(), 10);
    EXPECT_EQ(code->AsString(), "R9");
    EXPECT_EQ(link.Take(), "");
    for (int outside : {-1, 3}) EXPECT_FALSE(link.FieldValue(outside, *code).isValid()) << outside;
    EXPECT_FALSE(link.FieldValue(0, *other.FieldByName("CODE")).isValid()) << "another data set's field";

    t.Append();
    code->SetAsString("NEW");
    EXPECT_EQ(link.FieldValue(1, *code).toString(), "R9");
    EXPECT_EQ(link.FieldValue(2, *code).toString(), "NEW");
    EXPECT_EQ(code->AsString(), "NEW");
}

TEST(DataSourceTest, SwitchingAndDisablingTheDataSet) {
    MemTable a, b, closed;
    FillCodes(a, {"A"});
    FillCodes(b, {"B"});
    DataSource source(&a);
    RecordingLink link;
    link.SetDataSource(&source);
    EXPECT_EQ(link.Take(), "active");

    source.SetDataSet(&b);
    EXPECT_EQ(link.Take(), "inactive, active");
    a.Next();
    EXPECT_EQ(link.Take(), "");  // no longer a's
    source.SetDataSet(&closed);
    EXPECT_EQ(link.Take(), "inactive");
    EXPECT_EQ(source.State(), DataSetState::Inactive);
    source.SetDataSet(&b);
    link.Take();

    b.Edit();
    EXPECT_EQ(source.State(), DataSetState::Edit);
    EXPECT_TRUE(link.Editing());
    link.Take();
    source.SetEnabled(false);
    EXPECT_EQ(source.State(), DataSetState::Inactive);
    EXPECT_EQ(link.Take(), "inactive, browsing");
    b.Cancel();
    EXPECT_EQ(link.Take(), "");
    source.SetEnabled(true);
    EXPECT_EQ(link.Take(), "active");
}

TEST(DataSourceTest, ReferencesAreClearedWhenTheTargetGoes) {
    auto table = std::make_unique<MemTable>();
    FillCodes(*table, {"A"});
    auto source = std::make_unique<DataSource>(table.get());
    RecordingLink link;
    link.SetDataSource(source.get());
    link.Take();

    table.reset();
    EXPECT_EQ(source->dataSet(), nullptr);
    EXPECT_EQ(link.Take(), "inactive");
    EXPECT_EQ(link.dataSet(), nullptr);

    MemTable other;
    FillCodes(other, {"B"});
    source->SetDataSet(&other);
    link.Take();
    source.reset();
    EXPECT_EQ(link.dataSource(), nullptr);
    EXPECT_EQ(link.Take(), "inactive");
    other.Next();  // no source left to tell

    DataSource s2(&other);
    {
        RecordingLink shortLived;
        shortLived.SetDataSource(&s2);
        EXPECT_EQ(s2.LinkCount(), 1);
    }
    EXPECT_EQ(s2.LinkCount(), 0);
    other.First();
}

// A link that lets go of its source while being told does not stop the others.
TEST(DataSourceTest, LinkDetachingDuringANotification) {
    struct Leaving : RecordingLink {
        void DataSetScrolled(int) override { SetDataSource(nullptr); }
    };
    MemTable t;
    FillCodes(t, Codes(3));
    DataSource source(&t);
    Leaving leaving;
    RecordingLink staying;
    leaving.SetDataSource(&source);
    staying.SetDataSource(&source);
    staying.Take();
    t.Next();
    EXPECT_EQ(leaving.dataSource(), nullptr);
    EXPECT_EQ(staying.Take(), "scrolled 1");
}

// A control holding an unfinished edit writes it when the record is posted, also when
// the post comes from leaving the record.
TEST(DataSourceTest, PendingEditsAreWrittenBeforePosting) {
    struct Editor : DataLink {
        QString pending;
        void UpdateData() override {
            if (pending.isEmpty()) return;
            dataSet()->FieldByName("CODE")->SetAsString(pending);
            pending.clear();
        }
    };
    MemTable t;
    FillCodes(t, {"A", "B"});
    DataSource source(&t);
    Editor editor;
    editor.SetDataSource(&source);
    t.Edit();
    editor.pending = "A2";
    t.Next();
    EXPECT_EQ(datatest::AllCodes(t), QStringList({"A2", "B"}));
}

}  // namespace
