#include <gtest/gtest.h>

#include "db/WorkTable.h"
#include "support/TestDatabase.h"

using namespace db;

TEST(WorkTableName, TimeOfCreationAndAUniqueSuffix) {
    EXPECT_EQ(MakeWorkTableName(QTime(23, 59, 59), 0x1A2B3C4D), "TMP_BILLID235959_1A2B3C4D");
    EXPECT_EQ(MakeWorkTableName(QTime(0, 0, 0), 7), "TMP_BILLID000000_00000007");
    EXPECT_EQ(MakeWorkTableName(QTime(9, 5, 7), 0).size(), 25);  // within Firebird's 31
    EXPECT_NE(NewWorkTableName(), NewWorkTableName());
}

TEST(WorkTable, CreateFillEmptyAndDropOnTheReadingConnection) {
    testsupport::TestDatabase database;
    Connection catalogueConnection, reading;
    catalogueConnection.SetParams(database.params());
    reading.SetParams(database.params());
    TableCatalogue catalogue(catalogueConnection);
    WorkTable table(reading, MakeWorkTableName(QTime(9, 5, 7), 0xABCDEF01));

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
