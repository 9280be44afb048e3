// "確定": the project's name, the order list, the query dump and the command states.

#include <QFile>

#include "Fixture.h"
#include "db/CodePage.h"
#include "mrp/QueryDump.h"

using namespace mrptest;

using OrderListTest = EngineTest;

namespace {

QByteArray ReadFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

TEST_F(OrderListTest, ListsLiveUntransferredLinesOfTheProjectOnly) {
    database.Run(Order("SO1", "P1") + Line("SO1", "A", "1") + Line("SO1", "B", "2.5") + Line("SO1", "C", "NULL") +
                 Order("SO-TS-Y", "P1", "'False'", "'Y'") + Line("SO-TS-Y", "A", "1") +
                 Order("SO-TS-NULL", "P1", "'False'", "NULL") + Line("SO-TS-NULL", "A", "1") +
                 Order("SO-LOWER", "P1", "'false'") + Line("SO-LOWER", "A", "1") +
                 Order("SO-OFF", "P1", "'True'") + Line("SO-OFF", "A", "1") +
                 Order("SO-OTHER", "P2") + Line("SO-OTHER", "A", "1"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    data::QueryTable& list = engine->orderList();
    ASSERT_EQ(list.RecordCount(), 3);
    EXPECT_EQ(list.RecNo(), 1);

    // The fields in the grid's order, with their column titles.
    QStringList fields, titles;
    for (int i = 0; i < list.FieldCount(); ++i) {
        fields << list.Fields(i)->fieldName();
        titles << list.Fields(i)->displayName();
    }
    EXPECT_EQ(fields, QStringList({"PROD_ID", "PROD_NAME", "QTY", "MASTERBILLID", "BILL_DATE", "CUST_ID",
                                   "CUST_NAME", "FR_DATE", "PROJ_ID", "DISABLE_FLAG"}));
    EXPECT_EQ(titles, QStringList({"商品編號", "商品名稱", "數量", "訂單號碼", "訂單日期", "客戶代號", "客戶名稱",
                                   "出貨日期", "PROJ_ID", "DISABLE_FLAG"}));
    QStringList quantities;
    for (list.First(); !list.Eof(); list.Next()) quantities << list.FieldByName("QTY")->AsString();
    quantities.sort();
    EXPECT_EQ(quantities, QStringList({"", "1", "2.5"}));
}

TEST_F(OrderListTest, CommandStatesFollowTheRowsAndAreReported) {
    database.Run(Order("SO1", "P1") + Line("SO1", "A", "1"));
    const mrp::CommandStates all{true, true, true};
    EXPECT_EQ(engine->commandStates(), all);

    engine->SetProjectCode("NOPE");
    engine->LoadOrders();
    EXPECT_EQ(engine->orderList().RecordCount(), 0);
    EXPECT_EQ(engine->commandStates(), (mrp::CommandStates{true, false, false}));
    EXPECT_THROW(engine->ExpandMaterials(), mrp::CommandNotAvailable);
    EXPECT_THROW(engine->TransferToRequisition(), mrp::CommandNotAvailable);

    engine->SetProjectCode("P1");
    engine->LoadOrders();
    EXPECT_EQ(engine->commandStates(), all);
    ASSERT_EQ(states.changes.size(), 2u);
    EXPECT_EQ(states.changes[0], (mrp::CommandStates{true, false, false}));
    EXPECT_EQ(states.changes[1], all);
}

TEST_F(OrderListTest, ConfirmAgainReloadsAndDropsEditsInMemory) {
    database.Run(Order("SO1", "P1") + Line("SO1", "A", "1"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    data::QueryTable& list = engine->orderList();
    list.Edit();
    list.FieldByName("QTY")->SetAsFloat(99);
    list.Post();
    engine->LoadOrders();
    EXPECT_EQ(list.FieldByName("QTY")->AsString(), "1");
}

TEST_F(OrderListTest, ProjectNameLookup) {
    database.Run("INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '台北信義辦公室裝修');");
    engine->SetProjectCode("P1");
    EXPECT_EQ(engine->LookUpProjectName(), "台北信義辦公室裝修");
    engine->SetProjectCode("P9");
    EXPECT_EQ(engine->LookUpProjectName(), "");
    EXPECT_EQ(engine->projectName(), "");
}

TEST_F(OrderListTest, QueryDumpHoldsTheStatementWithTheCodeAsALiteral) {
    // A code with a quote and Chinese text: it is sent as a parameter (no syntax error)
    // and shown in the dump between quotes, the quote doubled, in the code page.
    const QString code = "專案'1";
    database.Run(Order("SO1", "P1") + Line("SO1", "A", "1"));
    engine->SetProjectCode(code);
    engine->LoadOrders();
    EXPECT_EQ(engine->orderList().RecordCount(), 0);

    const QByteArray expected = db::CodePage().Encode(
        "select b.prod_id,b.prod_name,b.qty, \r\n"
        "       a.masterbillid,a.bill_date,a.cust_id,a.cust_name,a.proj_id, \r\n"
        "       a.disable_flag,a.fr_date \r\n"
        "        from order_master a \r\n"
        "inner join order_sub b \r\n"
        "on a.masterbillid = b.masterbillid \r\n"
        " where a.disable_flag  = 'False' AND a.TS <> 'Y' \r\n"
        " and a.proj_id = '專案''1'\r\n");
    EXPECT_EQ(ReadFile(DumpPath()), expected);
}

TEST_F(OrderListTest, AFailedDumpEndsConfirmBeforeTheQueryWithNothingChanged) {
    database.Run(Order("SO1", "P1") + Line("SO1", "A", "1") + Order("SO2", "P2") + Line("SO2", "A", "1") +
                 Line("SO2", "B", "1"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    ASSERT_TRUE(QFile::remove(DumpPath()));
    ASSERT_TRUE(QDir().mkpath(DumpPath()));
    states.changes.clear();

    engine->SetProjectCode("P2");
    EXPECT_THROW(engine->LoadOrders(), mrp::QueryDumpError);
    EXPECT_EQ(engine->orderList().RecordCount(), 1);
    EXPECT_EQ(engine->orderList().FieldByName("MASTERBILLID")->AsString(), "SO1");
    EXPECT_TRUE(states.changes.empty());
}
