#include <gtest/gtest.h>

#include "db/WorkTable.h"
#include "support/TestDatabase.h"

using namespace db;

TEST(WorkTableName, TimeOfCreationAndTheReadingAttachment) {
    EXPECT_EQ(MakeWorkTableName(QTime(23, 59, 59), 1234), "TMP_BILLID235959_AT1234");
    EXPECT_EQ(MakeWorkTableName(QTime(0, 0, 0), 7), "TMP_BILLID000000_AT7");
    EXPECT_EQ(MakeWorkTableName(QTime(9, 5, 7), 999999999999).size(), 31);  // Firebird's longest name
    EXPECT_THROW(MakeWorkTableName(QTime(9, 5, 7), 1000000000000), DbError);

    struct Case {
        const char* name;
        WorkTableOwner::Kind kind;
        qint64 attachment;
    };
    using K = WorkTableOwner::Kind;
    for (const Case& c : {Case{"TMP_BILLID235959_AT1234", K::Attachment, 1234},
                          Case{"TMP_BILLID093000_AT999999999999", K::Attachment, 999999999999},
                          // Earlier versions: eight hexadecimal digits, no owner recorded.
                          Case{"TMP_BILLID120000_0A1B2C3D", K::Unattributed, 0},
                          Case{"TMP_BILLID120000_12345678", K::Unattributed, 0},
                          // Anything else is not this program's to remove: the design's own
                          // name, names of other lengths or letters, lower case.
                          Case{"TMP_BILLID120000", K::NotAWorkTable, 0},
                          Case{"TMP_BILLID120000_AT", K::NotAWorkTable, 0},
                          Case{"TMP_BILLID120000_AT1X", K::NotAWorkTable, 0},
                          Case{"TMP_BILLID120000_0A1B2C3", K::NotAWorkTable, 0},
                          Case{"TMP_BILLID120000_0a1b2c3d", K::NotAWorkTable, 0},
                          Case{"TMP_BILLID12000_AT12", K::NotAWorkTable, 0},
                          Case{"XTMP_BILLID120000_AT12", K::NotAWorkTable, 0}}) {
        SCOPED_TRACE(c.name);
        const WorkTableOwner owner = WorkTableOwnerOf(c.name);
        EXPECT_EQ(owner.kind, c.kind);
        EXPECT_EQ(owner.attachment, c.attachment);
    }
}

TEST(WorkTable, CreateFillEmptyAndDropOnTheReadingConnection) {
    testsupport::TestDatabase database;
    Connection catalogueConnection, reading;
    catalogueConnection.SetParams(database.params());
    reading.SetParams(database.params());
    TableCatalogue catalogue(catalogueConnection);
    WorkTable table(reading, MakeWorkTableName(QTime(9, 5, 7), reading.AttachmentId()));

    EXPECT_TRUE(catalogue.TableIsMissing(table.name()));
    EXPECT_TRUE(catalogue.TableIsMissing(table.name().toLower()));
    table.CreateIfMissing(catalogue);
    EXPECT_FALSE(catalogue.TableIsMissing(table.name().toLower()));

    table.Fill({{"SO1", "P1"}, {"SO1", "P1"}, {"SO2", "P1"}});
    // The bill query reads the table on the same connection, leaving a statement prepared.
    Query use(reading);
    use.SetSQL({"select count(*) from " + table.name()});
    use.Open();
    EXPECT_EQ(use.Fields(0).AsInteger(), 3);
    table.Empty();
    use.Open();
    EXPECT_EQ(use.Fields(0).AsInteger(), 0);

    table.DropIfExists(catalogue);
    EXPECT_TRUE(catalogue.TableIsMissing(table.name()));
    table.DropIfExists(catalogue);  // a second drop finds nothing to do
}

TEST(WorkTable, AnExistingTableIsUsedUnchanged) {
    testsupport::TestDatabase database;
    const QString name = MakeWorkTableName(QTime(12, 0, 0), 1);
    database.Run("create table " + name + " (masterbillid varchar(20), proj_id varchar(20));");
    database.Run("insert into " + name + " values ('OLD', 'P');");
    Connection catalogueConnection, reading;
    catalogueConnection.SetParams(database.params());
    reading.SetParams(database.params());
    TableCatalogue catalogue(catalogueConnection);
    WorkTable table(reading, name);
    table.CreateIfMissing(catalogue);  // no error, nothing created
    EXPECT_EQ(database.Scalar("select masterbillid from " + name), "OLD");
}

namespace {

// The tables named like work tables, sorted.
QStringList WorkTablesIn(const testsupport::TestDatabase& database) {
    QStringList names = database
                            .Scalar("SELECT LIST(TRIM(RDB$RELATION_NAME), ' ') FROM RDB$RELATIONS "
                                    "WHERE RDB$RELATION_NAME STARTING WITH 'TMP_BILLID'")
                            .split(' ', Qt::SkipEmptyParts);
    names.sort();
    return names;
}

}  // namespace

// A run killed outright leaves its table behind. Every run, as it makes its own, drops the
// tables whose makers are no longer attached; the table of a run still attached, names it
// does not know, and its own table stay.
TEST(WorkTable, ARunRemovesTheTablesOfEndedRunsOnly) {
    testsupport::TestDatabase database;
    Connection catalogueConnection, reading, liveRun, endedRun;
    for (Connection* c : {&catalogueConnection, &reading, &liveRun, &endedRun}) c->SetParams(database.params());
    const qint64 ended = endedRun.AttachmentId();
    endedRun.Close();
    const QString endedTable = MakeWorkTableName(QTime(8, 0, 0), ended);
    const QString liveTable = MakeWorkTableName(QTime(8, 0, 0), liveRun.AttachmentId());
    const QString earlierVersion = "TMP_BILLID081500_0A1B2C3D";
    const QStringList others = {"TMP_BILLID081500", "TMP_BILLIDNOTES"};
    for (const QString& name : QStringList{endedTable, liveTable, earlierVersion} + others)
        database.Run("create table " + name + " (masterbillid varchar(20), proj_id varchar(20));");

    TableCatalogue catalogue(catalogueConnection);
    WorkTable table(reading, MakeWorkTableName(QTime(9, 0, 0), reading.AttachmentId()));
    table.CreateIfMissing(catalogue);
    // On the embedded engine every attachment is this process's: no other copy of the
    // program can be using the earlier version's table.
    QStringList dropped = table.RemoveEndedRuns(catalogue);
    dropped.sort();
    EXPECT_EQ(dropped, QStringList({endedTable, earlierVersion}));  // 08:00:00 before 08:15:00
    QStringList expected = QStringList{liveTable, table.name()} + others;
    expected.sort();
    EXPECT_EQ(WorkTablesIn(database), expected);

    // Once the live run has ended, its table goes too.
    liveRun.Close();
    EXPECT_EQ(table.RemoveEndedRuns(catalogue), QStringList({liveTable}));
    EXPECT_TRUE(table.RemoveEndedRuns(catalogue).isEmpty());
    EXPECT_FALSE(catalogue.TableIsMissing(table.name()));
}
