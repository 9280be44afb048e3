// "轉請購單": the requisition write, its outcome and what a failure leaves.

#include <QThread>
#include <thread>

#include "Fixture.h"
#include "mrp/Audit.h"
#include "mrp/Identifiers.h"
#include "mrp/Numbering.h"

using namespace mrptest;

using RequisitionTest = EngineTest;

namespace {

const mrp::CommandStates kNone{false, false, false};

}  // namespace

TEST_F(RequisitionTest, WritesHeaderLinesAndMarksTheListedAndTheUnlistableOrders) {
    database.Run(
        "INSERT INTO EMPLOYEE VALUES ('A001', '陳志明');\n"
        "INSERT INTO PRODUCT VALUES ('M1', '螺絲', '包', 'M6x20', 30, 45, 7, 'V01', '五金行', 'PT', '4710001');\n" +
        Bom("P", "M1", "4") + Bom("P", "GHOST", "2") + Order("SO1", "P1") + Line("SO1", "P", "3") +
        Order("SO-OFF", "P1", "'True'") + Order("SO-NOFLAG", "P1", "NULL") + Order("SO-NULLTS", "P1", "'False'", "NULL") +
        Order("SO-DONE", "P1", "'False'", "'Y'") + Order("SO-PLAIN", "P1") + Line("SO-PLAIN", "NOBILL", "1") +
        Order("SO-OTHER", "P2"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    // Entered after the clerk loaded the list: not in this requisition, open for the next.
    database.Run(Order("SO-LATE", "P1") + Line("SO-LATE", "P", "100"));
    engine->ExpandMaterials();
    QStringList expanded = engine->expandedOrders();
    expanded.sort();
    EXPECT_EQ(expanded, (QStringList{"SO-PLAIN", "SO1"}));
    Transfer();

    ASSERT_EQ(reporter.reports.size(), 1u);
    const mrp::RequisitionReport& r = reporter.reports[0];
    EXPECT_EQ(r.outcome, mrp::RequisitionOutcome::Written) << r.detail.toStdString();
    EXPECT_EQ(r.text, "資料寫入成功..!");
    EXPECT_EQ(r.kind, mrp::MessageKind::Information);
    EXPECT_EQ(r.number, "202611020001");
    EXPECT_EQ(r.lines, 2);
    EXPECT_EQ(engine->commandStates(), kNone);

    const std::vector<Stored> header = {
        {"MASTERBILLID", "202611020001"}, {"BILL_DATE", "2026/11/02"}, {"EMPLOYEE_ID", "A001"},
        {"EMPLOYEE_NAME", "陳志明"},       {"STORE_ID", "S01"},          {"TRAN_CODE", "N"},
        {"CLOSED", "N"},                  {"CHG_DATE", "2026/11/02"},   {"CHG_USER", "A001"},
        {"PROJ_ID", "P1"},
    };
    EXPECT_EQ(StoredRow(header, "FROM PETITION_MASTER"), header);
    // QTY 12 of a product with STD_COST 30 and SALE_PRICE 45.
    const std::vector<Stored> line = {
        {"MASTERBILLID", "202611020001"},
        {"KEYINTIME", "09:30:00 05"},
        {"PROD_ID", "M1"},
        {"PROD_NAME", "螺絲"},
        {"PROD_SCALE", "M6x20"},
        {"V_QTY", "12"},
        {"V_PRICE", "30.00000000000000"},
        {"QTY", "12"},
        {"UNITNAME", "包"},
        {"SALE_PRICE", "45.00000000000000"},
        {"STD_COST", "30.00000000000000"},
        {"AMT", "360"},
        {"TEMPPRODID", "M1"},
        {"PROVIDER_ID", "V01"},
        {"PROVIDER_NAME", "五金行"},
        {"PD_ITEMID", "PT"},
        {"PROD_BARCODE", "4710001"},
        {"PACK_QTY", "1"},
        {"BILL_DATE", "2026/11/02"},
        {"EMPLOYEE_ID", "A001"},
        {"EMPLOYEE_NAME", "陳志明"},
        {"STORE_ID", "S01"},
        {"TRAN_CODE", "N"},
        {"CLOSED", "N"},
        {"CHG_DATE", "2026/11/02"},
        {"CHG_USER", "A001"},
        {"NOW_QTY", "7.000000000000000"},
        {"ORDER_ID", "SO1"},
    };
    EXPECT_EQ(StoredRow(line, "FROM PETITION_SUB WHERE PROD_ID = 'M1'"), line);
    // A material missing from PRODUCT: empty texts and zeros.
    const std::vector<Stored> ghost = {
        {"PROD_NAME", ""},     {"PROD_SCALE", ""},          {"PROVIDER_ID", ""},
        {"PROVIDER_NAME", ""}, {"PD_ITEMID", ""},           {"PROD_BARCODE", ""},
        {"V_QTY", "6"},        {"V_PRICE", "0.000000000000000"}, {"SALE_PRICE", "0.000000000000000"},
        {"STD_COST", "0.000000000000000"}, {"AMT", "0"},    {"NOW_QTY", "0.000000000000000"},
    };
    EXPECT_EQ(StoredRow(ghost, "FROM PETITION_SUB WHERE PROD_ID = 'GHOST'"), ghost);

    // The listed orders (also one whose products have no bill) and those the list can
    // never show; not the late one, nor other projects.
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || '=' || coalesce(TS, 'null')) FROM "
                     "(SELECT * FROM ORDER_MASTER ORDER BY MASTERBILLID)"),
              "SO-DONE=Y,SO-LATE=N,SO-NOFLAG=Y,SO-NULLTS=Y,SO-OFF=Y,SO-OTHER=N,SO-PLAIN=Y,SO1=Y");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE ORDER_ID = 'SO-LATE'"), "0");
    EXPECT_FALSE(writing.InTransaction());
    // Nothing offers a command any more.
    EXPECT_THROW(engine->LoadOrders(), mrp::CommandNotAvailable);
}

// A second clerk's copy of the program: its own three attachments and engine.
class SecondClient {
public:
    SecondClient(const testsupport::TestDatabase& database, const QDateTime& now) : now_(now) {
        for (db::Connection* c : {&catalogue, &reading, &writing}) c->SetParams(database.params());
        mrp::EngineOptions options;
        options.queryDumpPath = QDir(database.dir()).filePath("second-query.txt");
        options.clock = [this] { return now_; };
        engine = std::make_unique<mrp::RequisitionEngine>(catalogue, reading, writing, options);
        engine->CreateWorkTable();
        engine->SetUser("A002", "S02");
    }
    ~SecondClient() {
        engine->DropWorkTable();
        engine.reset();
    }
    void Expand(const QString& project) {
        engine->SetProjectCode(project);
        engine->LoadOrders();
        engine->ExpandMaterials();
    }
    // "轉請購單", as the fixture's Transfer.
    void Transfer() { lastReport = reporter.Transfer(*engine); }

    db::Connection catalogue, reading, writing;
    std::unique_ptr<mrp::RequisitionEngine> engine;
    ReportRecorder reporter;
    mrp::RequisitionReport lastReport;

private:
    QDateTime now_;
};

// Two clerks list and expand the same project, then both press "轉請購單": the second
// write finds the orders transferred and writes nothing.
TEST_F(RequisitionTest, ASecondWriteOfTheProjectIsRefusedAndWritesNothing) {
    database.Run(Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3") + Order("SO2", "P1") +
                 Line("SO2", "P", "1") + Order("SO-OFF", "P1", "'True'"));
    SecondClient second(database, now);
    Expand("P1");
    second.Expand("P1");

    Transfer();
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written);
    second.Transfer();

    const mrp::RequisitionReport& r = second.lastReport;
    EXPECT_EQ(r.outcome, mrp::RequisitionOutcome::AlreadyTransferred) << r.detail.toStdString();
    EXPECT_EQ(r.text, "專案 P1 已轉請購單 (單號 202611020001), 本次未寫入..!");
    EXPECT_EQ(r.kind, mrp::MessageKind::Warning);
    EXPECT_EQ(r.existing, "202611020001");
    EXPECT_EQ(r.number, "202611020002");  // reserved and used up
    EXPECT_EQ(second.engine->commandStates(), kNone);
    EXPECT_FALSE(second.writing.InTransaction());

    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || ':' || EMPLOYEE_ID) FROM PETITION_MASTER"), "202611020001:A001");
    EXPECT_EQ(Scalar("SELECT list(DISTINCT MASTERBILLID) FROM PETITION_SUB"), "202611020001");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "2");
    EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "3");
}

// Another client is writing the project's requisition at this moment: its transaction
// holds an order, and the write waits for it. Read committed then reports the update
// conflict; the write looks at what the other committed. A rollback there lets the
// write go through.
TEST_F(RequisitionTest, AWriteThatWaitsForAnotherClientFollowsItsOutcome) {
    struct Case {
        const char* name;
        const char* other;  // the other client's statements, ";"-separated, in one transaction
        bool commit;
        mrp::RequisitionOutcome outcome;
        const char* text;
    };
    const Case cases[] = {
        {"its lines name the order",
         "UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = 'SO1';"
         "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID, ORDER_ID) VALUES ('202611010009', 'M', 'SO1');"
         "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID, ORDER_ID) VALUES ('2026110110000', 'M', 'SO1')",
         true, mrp::RequisitionOutcome::AlreadyTransferred, "專案 P1 已轉請購單 (單號 2026110110000), 本次未寫入..!"},
        {"a header of the project without lines",
         "UPDATE ORDER_MASTER SET TS = 'Y' WHERE PROJ_ID = 'P1';"
         "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('202611010003', 'P1')",
         true, mrp::RequisitionOutcome::AlreadyTransferred, "專案 P1 已轉請購單 (單號 202611010003), 本次未寫入..!"},
        {"no requisition at all", "UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = 'SO2'", true,
         mrp::RequisitionOutcome::AlreadyTransferred, "專案 P1 已轉請購單, 本次未寫入..!"},
        {"a disabled order only", "UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = 'SO-OFF'", true,
         mrp::RequisitionOutcome::Written, "資料寫入成功..!"},
        {"rolled back", "UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = 'SO1'", false,
         mrp::RequisitionOutcome::Written, "資料寫入成功..!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TestDatabase fresh;
        fresh.Run(Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3") + Order("SO2", "P1") +
                  Line("SO2", "P", "1") + Order("SO-OFF", "P1", "'True'"));
        SecondClient client(fresh, now);
        client.Expand("P1");

        db::Connection other;
        other.SetParams(fresh.params());
        other.StartTransaction();
        for (const QString& statement : QString(c.other).split(';')) {
            db::Query q(other);
            q.Add(statement);
            q.Execute();
        }
        std::thread ender([&] {
            QThread::msleep(300);
            if (c.commit) other.Commit();
            else other.Rollback();
        });
        client.Transfer();
        ender.join();

        const mrp::RequisitionReport& r = client.lastReport;
        EXPECT_EQ(r.outcome, c.outcome) << r.detail.toStdString();
        EXPECT_EQ(r.text, QString::fromUtf8(c.text));
        EXPECT_FALSE(client.writing.InTransaction());
        const QString written = fresh.Scalar("SELECT COUNT(*) FROM PETITION_MASTER WHERE MASTERBILLID = '" +
                                             client.engine->requisitionNumber() + "'");
        EXPECT_EQ(written, c.outcome == mrp::RequisitionOutcome::Written ? "1" : "0");
        if (c.outcome == mrp::RequisitionOutcome::Written) {
            EXPECT_EQ(fresh.Scalar("SELECT list(TS) FROM ORDER_MASTER"), "Y,Y,Y");
        }
    }
}

TEST_F(RequisitionTest, AnOrderDeletedAfterTheListWasLoadedFailsTheWrite) {
    database.Run(Bom("P", "M", "1") + Order("SO1", "P1") + Line("SO1", "P", "1") + Order("SO2", "P1") +
                 Line("SO2", "P", "1"));
    Expand("P1");
    database.Run("DELETE FROM ORDER_SUB WHERE MASTERBILLID = 'SO2';\nDELETE FROM ORDER_MASTER WHERE MASTERBILLID = 'SO2';");
    Transfer();
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Failed);
    EXPECT_EQ(lastReport.text, "資料寫入失敗..!");
    EXPECT_NE(lastReport.detail.indexOf("SO2 no longer exists"), -1)
        << lastReport.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "N");
}

TEST_F(RequisitionTest, FractionalQuantitiesAndCostsBecomeWholeNumbersHalfToEven) {
    // T comes out of a pass as 45 x 0.7, which is 31.499999999999996 in binary but 31.5
    // as the list shows and hands it over: the whole number follows the text.
    database.Run(Product("H", "Half", "pcs", "2.5") + Product("K", "Kilo", "kg", "30") + Bom("P", "H", "1") +
                 Bom("P", "K", "1") + Bom("P", "S", "45") + Bom("S", "T", "0.7") + Order("SO1", "P1") +
                 Line("SO1", "P", "1"));
    Expand("P1");
    // The clerk's edits are written as they stand.
    data::MemTable& acds = engine->materialList();
    ASSERT_TRUE(acds.Locate("PROD_ID", "H"));
    acds.Edit();
    acds.FieldByName("QTY")->SetAsFloat(3);
    acds.Post();
    ASSERT_TRUE(acds.Locate("PROD_ID", "K"));
    acds.Edit();
    acds.FieldByName("QTY")->SetAsFloat(3.5);
    acds.Post();
    acds.Append();
    acds.FieldByName("PROD_ID")->SetAsString("K");
    acds.FieldByName("QTY")->SetAsFloat(2.5);
    acds.Post();
    Transfer();
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written)
        << lastReport.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT list(PROD_ID||':'||V_QTY||':'||QTY||':'||AMT, ' ') FROM PETITION_SUB"),
              "H:3:3:8 K:4:4:120 T:32:32:0 K:2:2:60");
}

TEST_F(RequisitionTest, UserMissingFromEmployeeGivesEmptyNames) {
    database.Run(Bom("P", "M", "1") + Order("SO1", "P1") + Line("SO1", "P", "1"));
    engine->SetUser("NOBODY", "");
    Expand("P1");
    Transfer();
    EXPECT_EQ(Scalar("SELECT '[' || EMPLOYEE_ID || '|' || EMPLOYEE_NAME || '|' || STORE_ID || ']' FROM PETITION_MASTER"),
              "[NOBODY||]");
    EXPECT_EQ(Scalar("SELECT '[' || EMPLOYEE_NAME || ']' FROM PETITION_SUB"), "[]");
}

// The day's counter set back under requisitions already written (a restored backup, a
// hand fix): the numbers they hold, as a header or as lines only, are skipped in the same
// step, and nothing of theirs is touched.
TEST_F(RequisitionTest, ANumberARequisitionHoldsIsSkippedNeverReplaced) {
    database.Run(Bom("P", "M", "1") + Order("SO1", "P1") + Line("SO1", "P", "1") +
                 "INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 5);\n"
                 "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('202611020005', 'OLD');\n"
                 "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID) VALUES ('202611020005', 'OLD1');\n"
                 "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID) VALUES ('202611020005', 'OLD2');\n"
                 "INSERT INTO PETITION_SUB (MASTERBILLID, PROD_ID) VALUES ('202611020006', 'LINES-ONLY');\n");
    Expand("P1");
    Transfer();
    const mrp::RequisitionReport& r = lastReport;
    ASSERT_EQ(r.outcome, mrp::RequisitionOutcome::Written) << r.detail.toStdString();
    EXPECT_EQ(r.number, "202611020007");
    EXPECT_EQ(r.skipped, (QStringList{"202611020005", "202611020006"}));
    EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "8");
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || ':' || PROJ_ID) FROM (SELECT * FROM PETITION_MASTER ORDER BY 1)"),
              "202611020005:OLD,202611020007:P1");
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || ':' || PROD_ID) FROM (SELECT * FROM PETITION_SUB ORDER BY 1, 2)"),
              "202611020005:OLD1,202611020005:OLD2,202611020006:LINES-ONLY,202611020007:M");

    // The day's first number too, when the day's row is gone but its requisitions are not.
    database.Run("DELETE FROM TEMP_PETITIONID;\n"
                 "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('202611030001', 'OLD');");
    mrp::RequisitionCounter counter(writing);
    EXPECT_EQ(counter.NextRequisitionNumber("TEMP_PETITIONID", "2026/11/03"), "202611030002");
    EXPECT_EQ(counter.skipped(), QStringList{"202611030001"});
    EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID WHERE BILL_DATE = '2026/11/03'"), "3");
}

TEST_F(RequisitionTest, AFailedWriteLeavesNothingAndHoldsNoLock) {
    database.Run("ALTER TABLE PETITION_SUB ADD CONSTRAINT NO_BAD CHECK (PROD_ID <> 'BAD');");
    database.Run(Bom("P", "GOOD", "1") + Bom("P", "BAD", "1") + Order("SO1", "P1") + Line("SO1", "P", "1"));
    Expand("P1");
    Transfer();

    ASSERT_EQ(reporter.reports.size(), 1u);
    const mrp::RequisitionReport& r = reporter.reports[0];
    EXPECT_EQ(r.outcome, mrp::RequisitionOutcome::Failed);
    EXPECT_EQ(r.text, "資料寫入失敗..!");
    EXPECT_EQ(r.kind, mrp::MessageKind::Warning);
    EXPECT_NE(r.detail.indexOf("NO_BAD"), -1) << r.detail.toStdString();
    EXPECT_EQ(engine->commandStates(), kNone);

    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "N");
    EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "2");  // the number is used up
    EXPECT_FALSE(writing.InTransaction());
    // No lock is left: another client changes the order at once.
    db::ConnectionParams noWait = database.params();
    noWait.waitOnLocks = false;
    db::Connection other;
    other.SetParams(noWait);
    db::Query touch(other);
    touch.Add("UPDATE ORDER_MASTER SET TS = 'N' WHERE MASTERBILLID = 'SO1'");
    EXPECT_NO_THROW(touch.Execute());
}

TEST_F(RequisitionTest, QuantityOutsideTheWholeNumberRangeFailsTheWrite) {
    database.Run(Bom("P", "OK", "1") + Bom("P", "HUGE", "3000000000") + Order("SO1", "P1") + Line("SO1", "P", "1"));
    Expand("P1");
    Transfer();
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Failed);
    EXPECT_NE(lastReport.detail.indexOf("the quantity (QTY) of HUGE is 3000000000"), -1)
        << lastReport.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
}

TEST_F(RequisitionTest, RequisitionBeforeAnyExpansionFailsAndUsesUpTheNumber) {
    database.Run(Bom("P", "M", "1") + Order("SO1", "P1") + Line("SO1", "P", "1"));
    engine->SetProjectCode("P1");
    Transfer();  // before "確定" too: every command starts enabled
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Failed);
    EXPECT_EQ(lastReport.text, "資料寫入失敗..!");
    EXPECT_EQ(engine->requisitionNumber(), "202611020001");
    EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "2");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "N");
    EXPECT_EQ(engine->commandStates(), kNone);
}

// A number that cannot be reserved is an outcome of its own: nothing written, no number,
// the commands disabled, and the failure itself handed over to be shown as any failed
// command's error.
TEST_F(RequisitionTest, ANumberThatCannotBeReservedIsAnOutcomeCarryingTheFailure) {
    database.Run("ALTER TABLE TEMP_PETITIONID ADD CONSTRAINT NO_NUMBER CHECK (LAST_ID < 0);");
    database.Run(Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3"));
    Expand("P1");
    Transfer();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::NotReserved);
    EXPECT_EQ(lastReport.number, "");
    EXPECT_EQ(engine->requisitionNumber(), "");
    EXPECT_NE(lastReport.detail.indexOf("NO_NUMBER"), -1) << lastReport.detail.toStdString();
    EXPECT_THROW(std::rethrow_exception(lastReport.error), db::DbError);
    EXPECT_EQ(engine->commandStates(), kNone);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "N");
    EXPECT_FALSE(writing.InTransaction());
}

TEST_F(RequisitionTest, AnEmptyMaterialListWritesNothingAndShowsNothing) {
    database.Run(Order("SO1", "P1") + Line("SO1", "NOBILL", "1"));
    Expand("P1");
    Transfer();
    EXPECT_TRUE(reporter.reports.empty());
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::NothingWritten);
    EXPECT_EQ(Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "2");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "N");
    EXPECT_EQ(engine->commandStates(), kNone);
}

TEST_F(RequisitionTest, APartialListIsRefusedUntilAnExpansionEndsWell) {
    database.Run(Bom("A", "K", "1") + Bom("A", "B", "1") + Bom("B", "A", "1") + Order("SO1", "P1") +
                 Line("SO1", "A", "1"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    EXPECT_THROW(engine->ExpandMaterials(), mrp::RuleError);
    ASSERT_EQ(engine->materialList().RecordCount(), 1);  // K is in the list

    Transfer();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].outcome, mrp::RequisitionOutcome::Refused);
    EXPECT_EQ(reporter.reports[0].text, QString::fromUtf8(mrp::kPartialListRefused));
    EXPECT_EQ(reporter.reports[0].number, "");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");  // no number reserved
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(engine->commandStates(), (mrp::CommandStates{true, false, true}));

    // The bill is mended; "確定" and "物料展開" again, then the write goes through.
    database.Run("DELETE FROM PD_BOM WHERE PROD_ID = 'B';");
    engine->LoadOrders();
    engine->ExpandMaterials();
    Transfer();
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written);
    EXPECT_EQ(Scalar("SELECT list(PROD_ID) FROM PETITION_SUB"), "K,B");
}

// The code edit is changed after "確定" (and not confirmed): "物料展開" still expands the
// listed project, and "轉請購單" refuses before any number is taken until the edit names
// the listed project again; the requisition then carries the listed project and closes
// its orders, not the other's.
TEST_F(RequisitionTest, TheRequisitionIsTheListedProjectsWhateverTheEditSays) {
    database.Run(Bom("P", "M", "2") + Bom("Q", "N", "1") + Order("SO1", "P1") + Line("SO1", "P", "3") +
                 Order("SO1-OFF", "P1", "'True'") + Order("SO2", "P2") + Line("SO2", "Q", "1") +
                 Order("SO2-OFF", "P2", "'True'"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    engine->SetProjectCode("P2");
    engine->ExpandMaterials();
    EXPECT_EQ(Materials(), QStringList{"M 6 1 6 N P SO1"});
    const mrp::CommandStates before = engine->commandStates();

    Transfer();
    ASSERT_EQ(reporter.reports.size(), 1u);
    EXPECT_EQ(reporter.reports[0].outcome, mrp::RequisitionOutcome::Refused);
    EXPECT_EQ(reporter.reports[0].text, "專案代號已變更, 請按「確定」重新載入訂單..!");
    EXPECT_EQ(reporter.reports[0].number, "");
    EXPECT_EQ(engine->commandStates(), before);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ORDER_MASTER WHERE TS = 'Y'"), "0");

    // The listed code again, with spaces around it as typed.
    engine->SetProjectCode(" P1  ");
    Transfer();
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written) << lastReport.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT '[' || PROJ_ID || ']' FROM PETITION_MASTER"), "[P1]");
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "SO1=Y,SO1-OFF=Y,SO2=N,SO2-OFF=N");
}

// Spaces around a code are not part of it; a code, user or store id that its column
// cannot hold is refused with a text naming the limit, before any number is taken.
TEST_F(RequisitionTest, IdentifiersAreTrimmedAndRefusedWhenTheirColumnCannotHoldThem) {
    database.Run(Bom("P", "M", "2") + Order("SO1", "P2026-003") + Line("SO1", "P", "3") +
                 "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P2026-003', '三號專案');\n");
    engine->SetProjectCode("\tP2026-003 ");
    EXPECT_EQ(engine->LookUpProjectName(), "三號專案");
    engine->LoadOrders();
    EXPECT_EQ(engine->orderList().RecordCount(), 1);
    EXPECT_EQ(engine->listedProject(), "P2026-003");

    // A code too long for PROJ_ID: a text naming the limit, not the database's error; the
    // list stays as it was.
    engine->SetProjectCode("P2026-003-TOO-LONG-CODE");
    EXPECT_EQ(engine->LookUpProjectName(), "");
    try {
        engine->LoadOrders();
        ADD_FAILURE() << "a code of 23 characters was taken";
    } catch (const mrp::RuleError& e) {
        EXPECT_STREQ(e.what(), "專案代號最多 20 個字元（一個中文字佔 2 個），「P2026-003-TOO-LONG-CODE」有 23 個");
    }
    EXPECT_EQ(engine->orderList().RecordCount(), 1);
    EXPECT_EQ(engine->listedProject(), "P2026-003");
    engine->SetProjectCode("P2026-003");
    engine->ExpandMaterials();

    struct Case {
        const char* user;
        const char* store;
        const char* text;
    };
    const Case cases[] = {
        {"A0012345678", "S01", "使用者代號最多 10 個字元（一個中文字佔 2 個），「A0012345678」有 11 個"},
        {"陳志明陳志明", "S01", "使用者代號最多 10 個字元（一個中文字佔 2 個），「陳志明陳志明」有 12 個"},
        {"A\U0001F600", "S01", "使用者代號「A\U0001F600」含有無法以 Big5 (代碼頁 950) 儲存的字「\U0001F600」"},
        {"A001", "S0123456789", "門市代號最多 10 個字元（一個中文字佔 2 個），「S0123456789」有 11 個"},
    };
    for (const Case& c : cases) {
        engine->SetUser(c.user, c.store);
        Transfer();
        EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Refused) << c.user;
        EXPECT_EQ(lastReport.text, QString::fromUtf8(c.text));
        EXPECT_EQ(engine->requisitionNumber(), "");
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
    EXPECT_EQ(engine->commandStates(), (mrp::CommandStates{true, false, true}));

    engine->SetUser("陳志明", "S01");  // six bytes in code page 950
    Transfer();
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written) << lastReport.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT PROJ_ID || '|' || EMPLOYEE_ID FROM PETITION_MASTER"), "P2026-003|陳志明");
}

// The limits are those of the database's columns.
TEST_F(RequisitionTest, IdentifierLimitsAreTheColumnSizes) {
    const auto size = [this](const char* table, const char* column) {
        return Scalar(QString("SELECT f.RDB$FIELD_LENGTH FROM RDB$RELATION_FIELDS r JOIN RDB$FIELDS f ON "
                              "f.RDB$FIELD_NAME = r.RDB$FIELD_SOURCE WHERE r.RDB$RELATION_NAME = '%1' AND "
                              "r.RDB$FIELD_NAME = '%2'")
                          .arg(table, column))
            .toInt();
    };
    for (const char* table : {"ORDER_MASTER", "PROJ_ITEM", "PETITION_MASTER"})
        EXPECT_EQ(size(table, "PROJ_ID"), mrp::kProjectCodeBytes) << table;
    for (const char* table : {"PETITION_MASTER", "PETITION_SUB"}) {
        EXPECT_EQ(size(table, "EMPLOYEE_ID"), mrp::kUserIdBytes) << table;
        EXPECT_EQ(size(table, "CHG_USER"), mrp::kUserIdBytes) << table;
        EXPECT_EQ(size(table, "STORE_ID"), mrp::kStoreIdBytes) << table;
    }
    EXPECT_EQ(size("EMPLOYEE", "EMPLOYEE_ID"), mrp::kUserIdBytes);
}

// Orders entered for the project after its orders were listed, also ones the list could
// never show, stay open; an unlistable order of the list's moment that has since become
// listable is not closed either (its lines were never expanded).
TEST_F(RequisitionTest, OnlyTheUnlistableOrdersOfTheListsMomentAreClosed) {
    database.Run(Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3") + Order("OFF", "P1", "'True'") +
                 Order("NULLTS", "P1", "'False'", "NULL") + Order("ENABLED-LATER", "P1", "'True'"));
    engine->SetProjectCode("P1");
    engine->LoadOrders();
    QStringList unlistable = engine->unlistableOrders();
    unlistable.sort();
    EXPECT_EQ(unlistable, (QStringList{"ENABLED-LATER", "NULLTS", "OFF"}));
    database.Run(Order("LATE-OFF", "P1", "'True'") + Order("LATE-NULLTS", "P1", "'False'", "NULL") +
                 Order("LATE-NOFLAG", "P1", "NULL") +
                 "UPDATE ORDER_MASTER SET DISABLE_FLAG = 'False' WHERE MASTERBILLID = 'ENABLED-LATER';");
    engine->ExpandMaterials();
    Transfer();
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written) << lastReport.detail.toStdString();
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || '=' || coalesce(TS, 'null')) FROM "
                     "(SELECT * FROM ORDER_MASTER ORDER BY MASTERBILLID)"),
              "ENABLED-LATER=N,LATE-NOFLAG=N,LATE-NULLTS=null,LATE-OFF=N,NULLTS=Y,OFF=Y,SO1=Y");
}

// A listed order's lines change between "物料展開" and the write (another clerk, another
// connection): the write rolls back, writes and closes nothing, and names the order; the
// number is used up. "物料展開" again takes the change in, and the write goes through.
TEST_F(RequisitionTest, AnOrderWhoseLinesChangedAfterTheExpansionIsNotWritten) {
    struct Case {
        const char* name;
        const char* change;
        const char* order;  // nullptr: the write goes through
        bool reload = false;  // the order is no longer one the list would show: load it again
    };
    const Case cases[] = {
        {"an order moved to another project", "UPDATE ORDER_MASTER SET PROJ_ID = 'P9' WHERE MASTERBILLID = 'SO2'",
         "SO2", true},
        {"an order disabled", "UPDATE ORDER_MASTER SET DISABLE_FLAG = 'True' WHERE MASTERBILLID = 'SO2'", "SO2", true},
        {"a line added", "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('SO2', 'P', 5)", "SO2"},
        {"a line of a product without a bill added",
         "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('SO1', 'NOBILL', 1)", "SO1"},
        {"a quantity changed", "UPDATE ORDER_SUB SET QTY = 4 WHERE MASTERBILLID = 'SO1' AND PROD_ID = 'P'", "SO1"},
        {"a quantity emptied", "UPDATE ORDER_SUB SET QTY = NULL WHERE MASTERBILLID = 'SO2'", "SO2"},
        {"a line removed", "DELETE FROM ORDER_SUB WHERE MASTERBILLID = 'SO1' AND PROD_ID = 'NB'", "SO1"},
        {"a name changed", "UPDATE ORDER_SUB SET PROD_NAME = 'renamed' WHERE MASTERBILLID = 'SO1'", nullptr},
        {"another project's order", "INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, QTY) VALUES ('SO9', 'P', 5)",
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testsupport::TestDatabase fresh;
        fresh.Run(Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3") + Line("SO1", "NB", "1") +
                  Order("SO2", "P1") + Line("SO2", "P", "1") + Order("OFF", "P1", "'True'") + Order("SO9", "P9"));
        SecondClient client(fresh, now);
        const ReportRecorder& shown = client.reporter;
        client.Expand("P1");
        fresh.Run(QString(c.change) + ";");
        client.Transfer();

        const mrp::RequisitionReport& r = client.lastReport;
        EXPECT_FALSE(client.writing.InTransaction());
        if (!c.order) {
            EXPECT_EQ(r.outcome, mrp::RequisitionOutcome::Written) << r.detail.toStdString();
            continue;
        }
        ASSERT_EQ(shown.reports.size(), 1u);
        EXPECT_EQ(r.outcome, mrp::RequisitionOutcome::OrdersChanged) << r.detail.toStdString();
        EXPECT_EQ(r.text, QString(c.reload ? "訂單 %1 已變更，請重新載入" : "訂單 %1 已變更，請重新展開").arg(c.order));
        EXPECT_EQ(r.kind, mrp::MessageKind::Warning);
        EXPECT_EQ(r.order, c.order);
        EXPECT_EQ(r.number, "202611020001");
        EXPECT_EQ(fresh.Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
        EXPECT_EQ(fresh.Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "0");
        EXPECT_EQ(fresh.Scalar("SELECT COUNT(*) FROM ORDER_MASTER WHERE TS = 'Y'"), "0");
        // Offered again: "轉請購單" first needs a new expansion.
        EXPECT_EQ(client.engine->commandStates(), (mrp::CommandStates{true, true, true}));
        client.Transfer();
        EXPECT_EQ(client.lastReport.text, QString::fromUtf8(mrp::kPartialListRefused));
        if (c.reload) client.engine->LoadOrders();
        client.engine->ExpandMaterials();
        client.Transfer();
        ASSERT_EQ(client.lastReport.outcome, mrp::RequisitionOutcome::Written)
            << client.lastReport.detail.toStdString();
        EXPECT_EQ(client.lastReport.number, "202611020002");
        EXPECT_EQ(fresh.Scalar("SELECT list(DISTINCT TS) FROM ORDER_MASTER WHERE PROJ_ID = 'P1'"), "Y");
    }
}

// Lines nobody would buy from are named before a number is taken; No writes nothing,
// takes no number, shows nothing and leaves the commands as they were; Yes writes them
// as they stand.
TEST_F(RequisitionTest, OddLinesAreConfirmedBeforeANumberIsTaken) {
    database.Run(Product("M", "Material") + Product("TINY", "Tiny") + Bom("P", "M", "2") + Bom("P", "GHOST", "1") +
                 Bom("P", "TINY", "1", "4") + Order("SO1", "P1") + Line("SO1", "P", "1") + Line("SO1", "NOBILL", "2"));
    Expand("P1");
    const mrp::CommandStates before = engine->commandStates();
    const QStringList odd = {"物料 GHOST：商品資料沒有此編號（沒有名稱、單位、成本）",
                             "物料 TINY（訂單 SO1）：請購量取整後為 0（數量 1，除數 4）",
                             "訂單 SO1 的商品 NOBILL 沒有物料清單，不會請購任何物料，訂單仍會結案"};
    reporter.confirm = false;
    Transfer();
    ASSERT_EQ(reporter.asked.size(), 1u);
    EXPECT_EQ(reporter.asked[0], odd);
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Declined);
    EXPECT_TRUE(reporter.reports.empty());
    EXPECT_EQ(engine->requisitionNumber(), "");
    EXPECT_EQ(engine->commandStates(), before);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM ORDER_MASTER WHERE TS = 'Y'"), "0");

    reporter.confirm = true;
    Transfer();
    ASSERT_EQ(reporter.asked.size(), 2u);
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written) << lastReport.detail.toStdString();
    EXPECT_EQ(lastReport.number, "202611020001");
    EXPECT_EQ(Scalar("SELECT list(PROD_ID || ':' || QTY) FROM PETITION_SUB"), "M:2,GHOST:1,TINY:1");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER"), "Y");
}

// A material line whose order the clerk typed over with one that was not listed is named
// with the lines nobody would buy from: the requisition names that order but neither
// closes it nor, voided, reopens it.
TEST_F(RequisitionTest, ALineOfAnOrderNotListedIsConfirmed) {
    database.Run(Product("M", "Material") + Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "1") +
                 Order("SO9", "P9"));
    Expand("P1");
    data::MemTable& acds = engine->materialList();
    ASSERT_TRUE(acds.Locate("PROD_ID", "M"));
    acds.Edit();
    acds.FieldByName("MASTERBILLID")->SetAsString("SO9");
    acds.Post();
    reporter.confirm = false;
    Transfer();
    ASSERT_EQ(reporter.asked.size(), 1u);
    EXPECT_EQ(reporter.asked[0], QStringList{"物料 M（訂單 SO9）：訂單 SO9 不是本次列出的訂單，不會因此結案"});
    EXPECT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Declined);
}

// A number another write holds by the time this one writes (a header of it committed
// since the counter gave it out) is never given a second header: the write refuses it,
// with or without the audit table's key, and "轉請購單" writes under the next number.
TEST_F(RequisitionTest, ANumberHeldByTheTimeOfTheWriteGetsNoSecondHeader) {
    database.Run(Product("M", "Material") + Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "1"));
    for (bool audit : {false, true}) {
        SCOPED_TRACE(audit ? "with the audit table" : "without it");
        testsupport::TestDatabase fresh;
        fresh.Run(Product("M", "Material") + Order("SO2", "P2") +
                  "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('202611020001', 'P2');");
        db::Connection r, w;
        r.SetParams(fresh.params());
        w.SetParams(fresh.params());
        if (audit) {
            EXPECT_FALSE(mrp::EnsureAuditTable(w).has_value());
        }
        EXPECT_THROW(WriteThroughWriter(r, w, {"202611020001", "2026/11/02", "A001", "S01", "P2"}, {Row("M", 1, "SO2")},
                                        {"SO2"}),
                     mrp::NumberTaken);
        EXPECT_FALSE(w.InTransaction());
        EXPECT_EQ(fresh.Scalar("SELECT COUNT(*) || '/' || (SELECT COUNT(*) FROM PETITION_SUB) || '/' || "
                               "(SELECT TS FROM ORDER_MASTER) FROM PETITION_MASTER"),
                  "1/0/N");
    }

    // Through "轉請購單": the counter skips 0001, whose header it sees, and gives 0002,
    // whose write is recorded without a header the counter could see (as one under way):
    // the write goes on to 0003.
    EXPECT_FALSE(mrp::EnsureAuditTable(writing).has_value());
    Expand("P1");
    database.Run("INSERT INTO MARLITH_AUDIT (AUDIT_TIME, ACTION, MASTERBILLID) VALUES "
                 "(CURRENT_TIMESTAMP, 'WRITE', '202611020002');\n"
                 "INSERT INTO TEMP_PETITIONID VALUES ('2026/11/02', 1);\n"
                 "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('202611020001', 'P2');");
    Transfer();
    ASSERT_EQ(lastReport.outcome, mrp::RequisitionOutcome::Written) << lastReport.detail.toStdString();
    EXPECT_EQ(lastReport.number, "202611020003");
    EXPECT_EQ(lastReport.skipped, (QStringList{"202611020001", "202611020002"}));
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || '=' || COALESCE(PROJ_ID, '')) FROM "
                     "(SELECT * FROM PETITION_MASTER ORDER BY 1)"),
              "202611020001=P2,202611020003=P1");
}
