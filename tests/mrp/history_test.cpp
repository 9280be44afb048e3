// The requisitions a clerk has written: the history list and its filters, the void of a
// requisition (what it deletes, the orders it reopens, what it refuses), the audit
// table's rows of a write and a void, and the purchase summary by supplier.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>

#include "Fixture.h"
#include "db/CodePage.h"
#include "mrp/Audit.h"
#include "mrp/Numbering.h"
#include "mrp/RequisitionHistory.h"
#include "mrp/RequisitionWriter.h"
#include "mrp/VoidRequisition.h"
#include "MarlithProcess.h"

using namespace mrptest;

namespace {

// Materials with suppliers; orders O1..O4 of P1, O5 of P2; the audit table made as a
// run's start makes it.
class HistoryTest : public EngineTest {
protected:
    HistoryTest() {
        database.Run(
            "INSERT INTO EMPLOYEE VALUES ('A001', '陳志明');\n"
            "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', '一號工程');\n"
            "INSERT INTO PRODUCT VALUES ('M1', '螺絲', '包', '', 30, 45, 7, 'V01', '五金行', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M2', '鋼板', '片', '', 100, 0, 2.5, 'V02', '鋼鐵廠', '', '');\n"
            "INSERT INTO PRODUCT VALUES ('M3', '膠帶', '卷', '', 12.5, 0, 0, NULL, NULL, '', '');\n" +
            Order("O1", "P1") + Order("O2", "P1") + Order("O3", "P1") + Order("O4", "P1") + Order("O5", "P2"));
        EXPECT_FALSE(mrp::EnsureAuditTable(writing).has_value());
    }

    // Writes a requisition through the program's writer: its lines name their orders,
    // which it marks transferred.
    QString Write(const QString& number, const QString& date, const QString& project,
                  const std::vector<mrp::MaterialRow>& rows, std::optional<QStringList> marked = {}) {
        QStringList orders;
        for (const auto& r : rows) orders << r.masterBillId;
        if (marked) orders = *marked;
        WriteThroughWriter(reading, writing, {number, date, "A001", "S01", project}, rows, orders);
        return number;
    }

    std::vector<mrp::RequisitionEntry> List(const mrp::HistoryFilter& f) { return mrp::ListRequisitions(reading, f); }

    // Everything a void may change, as text.
    QString State() const {
        return Scalar("SELECT (SELECT list(MASTERBILLID || ':' || CLOSED) FROM (SELECT * FROM PETITION_MASTER ORDER BY 1))"
                      " || '/' || (SELECT COUNT(*) FROM PETITION_SUB)"
                      " || '/' || (SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1))"
                      " || '/' || (SELECT COUNT(*) FROM MARLITH_AUDIT) FROM RDB$DATABASE");
    }
};

QStringList Numbers(const std::vector<mrp::RequisitionEntry>& entries) {
    QStringList out;
    for (const auto& e : entries) out << e.number + ' ' + mrp::StateText(e.state);
    return out;
}

}  // namespace

TEST_F(HistoryTest, ListsNewestFirstWithStatesAndFilters) {
    Write("202611020001", "2026/11/02", "P1", {Row("M1", 3, "O1"), Row("M2", 2, "O1")});
    Write("202611030001", "2026/11/03", "P2", {Row("M1", 1, "O5")});
    Write("202611040001", "2026/11/04", "P1", {Row("M3", 4, "O2")});
    Write("202611040002", "2026/11/04", "P1", {Row("M3", 1, "O3")});
    Write("2026110410000", "2026/11/04", "P1", {Row("M1", 1, "O4")});  // the 10,000th of the day
    // Purchasing takes up one line of one requisition; a clerk voids another.
    database.Run("UPDATE PETITION_SUB SET CLOSED = 'Y' WHERE MASTERBILLID = '202611040001';");
    mrp::VoidRequisition(writing, "202611020001", "寫錯專案", "A002", "S02");

    const struct {
        mrp::HistoryFilter filter;
        QStringList expected;
    } cases[] = {
        {{}, {"2026110410000 未結案", "202611040002 未結案", "202611040001 已結案", "202611030001 未結案",
              "202611020001 已作廢"}},
        {{" P2 ", "", ""}, {"202611030001 未結案"}},
        {{"P1", "2026/11/02", "2026/11/02"}, {"202611020001 已作廢"}},
        {{"", "2026/11/03", ""}, {"2026110410000 未結案", "202611040002 未結案", "202611040001 已結案", "202611030001 未結案"}},
        {{"", "", "2026/11/03"}, {"202611030001 未結案", "202611020001 已作廢"}},
        {{"P9", "", ""}, {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Numbers(List(c.filter)), c.expected) << c.filter.project.toStdString() << " " << c.filter.from.toStdString();

    const auto all = List({});
    const mrp::RequisitionEntry& open = all[1];
    EXPECT_EQ(open.projectName, "一號工程");
    EXPECT_EQ(open.clerkId + open.clerkName + open.store, "A001陳志明S01");
    EXPECT_EQ(open.lines, 1);
    EXPECT_EQ(open.total, 12);  // 1 x 12.5 rounded half to even
    const mrp::RequisitionEntry& voided = all[4];
    EXPECT_EQ(voided.reason, "寫錯專案");
    EXPECT_EQ(voided.clerkId + voided.clerkName + voided.store, "A001陳志明S01");  // who wrote it
    EXPECT_EQ(voided.lines, 2);
    EXPECT_EQ(voided.total, 3 * 30 + 2 * 100);

    EXPECT_THROW(List({"", "2026/13/01", ""}), std::invalid_argument);
}

// A void committed while the list is read, right after the written requisitions: the list
// is of one moment, so the number is listed once, as it was when the list began.
TEST_F(HistoryTest, AVoidWhileTheListIsReadListsTheNumberOnce) {
    Write("202611020001", "2026/11/02", "P1", {Row("M1", 3, "O1"), Row("M2", 2, "O1")});
    Write("202611020002", "2026/11/02", "P1", {Row("M3", 1, "O2")});
    db::Connection voiding;
    voiding.SetParams(database.params());
    BetweenStatements(reading, "PETITION_MASTER",
                      [&voiding] { mrp::VoidRequisition(voiding, "202611020001", "寫錯專案", "A002", "S02"); });
    const auto listed = List({});
    EXPECT_EQ(Numbers(listed), (QStringList{"202611020002 未結案", "202611020001 未結案"}));
    EXPECT_EQ(listed[1].lines, 2);
    EXPECT_EQ(listed[1].total, 3 * 30 + 2 * 100);
    EXPECT_FALSE(reading.InTransaction());
    EXPECT_EQ(Numbers(List({})), (QStringList{"202611020002 未結案", "202611020001 已作廢"}));
}

TEST_F(HistoryTest, AVoidDeletesTheRequisitionReopensItsOrdersAndKeepsAWholeCopy) {
    Write("202611020001", "2026/11/02", "P1", {Row("M1", 3, "O1"), Row("M2", 2, "O2"), Row("M3", 1, "O2")});
    // Another requisition's line names O2 as well (typed into the material list), but that
    // write marked only O3: O2 is the voided write's to give back.
    Write("202611020002", "2026/11/02", "P1", {Row("M1", 1, "O2"), Row("M1", 1, "O3")}, QStringList{"O3"});
    database.Run("UPDATE ORDER_MASTER SET TS = 'Y' WHERE MASTERBILLID = 'O5';");
    const QString before = Scalar(
        "SELECT list(t, '#') FROM (SELECT MASTERBILLID||'|'||KEYINTIME||'|'||PROD_ID||'|'||QTY||'|'||AMT||'|'||"
        "PROVIDER_ID||'|'||NOW_QTY||'|'||ORDER_ID AS t FROM PETITION_SUB WHERE MASTERBILLID = '202611020001')");

    const mrp::VoidOutcome v = mrp::VoidRequisition(writing, " 202611020001 ", "  寫錯專案 ", "A002", "S02");
    EXPECT_EQ(v.number, "202611020001");
    EXPECT_EQ(v.lines, 3);
    EXPECT_EQ(v.total, 90 + 200 + 12);
    EXPECT_EQ(v.reopenedOrders, (QStringList{"O1", "O2"}));
    EXPECT_FALSE(writing.InTransaction());

    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER WHERE MASTERBILLID = '202611020001'"), "0");
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB WHERE MASTERBILLID = '202611020001'"), "0");
    EXPECT_EQ(Scalar("SELECT list(MASTERBILLID || '=' || TS) FROM (SELECT * FROM ORDER_MASTER ORDER BY 1)"),
              "O1=N,O2=N,O3=Y,O4=N,O5=Y");

    // The audit rows: both writes, then the void with its reason and clerk.
    EXPECT_EQ(Scalar("SELECT list(ACTION||' '||MASTERBILLID||' '||BILL_DATE||' '||PROJ_ID||' '||EMPLOYEE_ID||' '||"
                     "STORE_ID||' '||LINE_COUNT||' '||TOTAL_AMT||' '||COALESCE(REASON, '-'), '#') FROM "
                     "(SELECT * FROM MARLITH_AUDIT ORDER BY AUDIT_TIME, ACTION DESC, MASTERBILLID)"),
              "WRITE 202611020001 2026/11/02 P1 A001 S01 3 302 -#WRITE 202611020002 2026/11/02 P1 A001 S01 2 60 -#"
              "VOID 202611020001 2026/11/02 P1 A002 S02 3 302 寫錯專案");
    // Each write's record of the orders it marked, with their TS before.
    EXPECT_EQ(Scalar("SELECT CONTENT FROM MARLITH_AUDIT WHERE ACTION = 'WRITE' AND MASTERBILLID = '202611020001'"),
              R"({"ORDERS":[{"MASTERBILLID":"O1","TS":"N"},{"MASTERBILLID":"O2","TS":"N"}]})");

    // The copy holds every column of the header and of each line, as they were.
    const QJsonObject copy =
        QJsonDocument::fromJson(Scalar("SELECT CONTENT FROM MARLITH_AUDIT WHERE ACTION = 'VOID'").toUtf8()).object();
    const QJsonArray headers = copy.value("PETITION_MASTER").toArray();
    ASSERT_EQ(headers.size(), 1);
    const QJsonObject h = headers[0].toObject();
    EXPECT_EQ(h.keys().size(), 10);
    EXPECT_EQ(h.value("EMPLOYEE_NAME").toString() + h.value("CHG_USER").toString() + h.value("TRAN_CODE").toString(),
              "陳志明A001N");
    const QJsonArray lines = copy.value("PETITION_SUB").toArray();
    ASSERT_EQ(lines.size(), 3);
    QStringList copied;
    for (const QJsonValue& l : lines) {
        const QJsonObject o = l.toObject();
        EXPECT_EQ(o.keys().size(), 28);
        copied << QStringList{o.value("MASTERBILLID").toString(), o.value("KEYINTIME").toString(),
                              o.value("PROD_ID").toString(), QString::number(o.value("QTY").toInt()),
                              QString::number(o.value("AMT").toInt()), o.value("PROVIDER_ID").toString(),
                              db::FloatToText(o.value("NOW_QTY").toDouble()), o.value("ORDER_ID").toString()}
                      .join('|');
    }
    // The database prints floats with its own digits: compare the numbers' text loosely.
    EXPECT_EQ(copied.size(), before.split('#').size());
    for (int i = 0; i < copied.size(); ++i) {
        QStringList a = copied[i].split('|'), b = before.split('#')[i].split('|');
        b[6] = db::FloatToText(b[6].toDouble());
        EXPECT_EQ(a, b);
    }
}

// A void gives back what its write marked, each order to its TS before: the unlistable
// orders it closed too, not an order another requisition's line only names, and not one
// a later write (not voided) marked again. A requisition written without that record
// (an earlier version) reopens the orders its lines name, as it always did.
TEST_F(HistoryTest, AVoidSetsBackExactlyTheOrdersItsWriteMarked) {
    database.Run(Order("OFF", "P1", "'True'") + Order("NUL", "P1", "'False'", "NULL") + Order("O6", "P2") +
                 Order("O7", "P2"));
    const auto write = [&](const QString& number, const QString& project, const std::vector<mrp::MaterialRow>& rows,
                           const QStringList& listed, const QStringList& unlistable) {
        mrp::RequisitionWriter writer(reading, writing);
        mrp::WriteOrders orders;
        orders.listed = listed;
        orders.unlistable = unlistable;
        writer.Write({number, "2026/11/02", "A001", "S01", project}, rows, writer.ReadProducts(rows), orders);
    };
    const auto ts = [&] {
        return Scalar("SELECT list(MASTERBILLID || '=' || COALESCE(TS, 'null')) FROM (SELECT * FROM ORDER_MASTER "
                      "WHERE MASTERBILLID IN ('O1', 'O2', 'O5', 'O6', 'O7', 'OFF', 'NUL') ORDER BY 1)");
    };
    // P1's requisition closes O1 and its unlistable OFF and NUL; P2's names O1 on a line
    // the clerk edited, and marks O5 only.
    write("202611020001", "P1", {Row("M1", 3, "O1")}, {"O1"}, {"OFF", "NUL"});
    write("202611020002", "P2", {Row("M1", 1, "O5"), Row("M1", 1, "O1")}, {"O5"}, {});
    EXPECT_EQ(ts(), "NUL=Y,O1=Y,O2=N,O5=Y,O6=N,O7=N,OFF=Y");
    EXPECT_EQ(mrp::VoidRequisition(writing, "202611020001", "重寫", "A001", "S01").reopenedOrders,
              (QStringList{"NUL", "O1", "OFF"}));
    EXPECT_EQ(ts(), "NUL=null,O1=N,O2=N,O5=Y,O6=N,O7=N,OFF=N");

    // O6, reopened by the back office after a first write, is written again: the first
    // write's void leaves it to the second.
    write("202611020003", "P2", {Row("M1", 1, "O6")}, {"O6"}, {});
    database.Run("UPDATE ORDER_MASTER SET TS = 'N' WHERE MASTERBILLID = 'O6';");
    write("202611020004", "P2", {Row("M1", 2, "O6")}, {"O6"}, {});
    EXPECT_TRUE(mrp::VoidRequisition(writing, "202611020003", "重複", "A001", "S01").reopenedOrders.isEmpty());
    EXPECT_EQ(ts(), "NUL=null,O1=N,O2=N,O5=Y,O6=Y,O7=N,OFF=N");

    // Without the record: the orders its lines name, unless other lines name them.
    write("202611020005", "P2", {Row("M1", 1, "O7"), Row("M1", 1, "O6")}, {"O7"}, {});
    database.Run("UPDATE MARLITH_AUDIT SET CONTENT = NULL WHERE MASTERBILLID = '202611020005';");
    EXPECT_EQ(mrp::VoidRequisition(writing, "202611020005", "重複", "A001", "S01").reopenedOrders, QStringList{"O7"});
    EXPECT_EQ(ts(), "NUL=null,O1=N,O2=N,O5=Y,O6=Y,O7=N,OFF=N");
}

// The audit copy is JSON in UTF-8: its bytes are ASCII, every other character escaped, so
// that neither a reader of bytes nor one of UTF-8 meets a Big5 byte (功 is A5 5C: the
// trail byte is a backslash that would escape the quote after it).
TEST_F(HistoryTest, TheAuditCopyIsUtf8Json) {
    database.Run("INSERT INTO PRODUCT VALUES ('M9', '成功許可', '個', '', 1, 0, 0, 'V09', '許功\"', '', '');");
    Write("202611020001", "2026/11/02", "P1", {Row("M9", 3, "O1")});
    mrp::VoidRequisition(writing, "202611020001", "功能許可", "A001", "S01");
    const QByteArray bytes =
        db::CodePage().Encode(Scalar("SELECT CONTENT FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"));
    EXPECT_TRUE(std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; })) << bytes.toStdString();
    QJsonParseError error;
    const QJsonObject copy = QJsonDocument::fromJson(bytes, &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError) << error.errorString().toStdString();
    const QJsonObject line = copy.value("PETITION_SUB").toArray().first().toObject();
    EXPECT_EQ(line.value("PROD_NAME").toString() + '|' + line.value("PROVIDER_NAME").toString(), "M9|許功\"");
    EXPECT_EQ(copy.value("PETITION_MASTER").toArray().first().toObject().value("EMPLOYEE_NAME").toString(), "陳志明");
    // The reason and every other column keep the code page.
    EXPECT_EQ(Scalar("SELECT REASON FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"), "功能許可");
}

TEST_F(HistoryTest, ARefusedVoidChangesNothing) {
    Write("202611020001", "2026/11/02", "P1", {Row("M1", 3, "O1")});
    Write("202611020002", "2026/11/02", "P1", {Row("M1", 3, "O2"), Row("M2", 1, "O3")});
    Write("202611020003", "2026/11/02", "P1", {Row("M1", 3, "O4")});
    Write("202611020004", "2026/11/02", "P2", {Row("M1", 3, "O5")});
    database.Run("UPDATE PETITION_MASTER SET CLOSED = 'Y' WHERE MASTERBILLID = '202611020001';\n"
                 "UPDATE PETITION_SUB SET CLOSED = 'Y' WHERE MASTERBILLID = '202611020002' AND PROD_ID = 'M2';\n"
                 "UPDATE PETITION_MASTER SET CLOSED = NULL WHERE MASTERBILLID = '202611020003';");
    mrp::VoidRequisition(writing, "202611020004", "重複", "A001", "S01");

    using K = mrp::VoidRefused::Kind;
    const struct {
        const char* number;
        QString reason;
        K kind;
        const char* text;
    } cases[] = {
        {"202611020001", "x", K::Closed, "請購單 202611020001 已結案，不能作廢"},
        {"202611020002", "x", K::Closed, "請購單 202611020002 已結案，不能作廢"},  // one line taken up
        {"202611020003", "x", K::Closed, "請購單 202611020003 已結案，不能作廢"},  // no CLOSED at all
        {"202611020004", "x", K::AlreadyVoided, "請購單 202611020004 已作廢"},
        {"209901010001", "x", K::Unknown, "請購單 209901010001 不存在"},
        {"202611020001", " \t", K::EmptyReason, "請輸入作廢原因"},
        {"202611020001", QString(201, QChar(u'字')), K::ReasonTooLong, "作廢原因最多 200 個字元"},
    };
    const QString before = State();
    for (const auto& c : cases) {
        try {
            mrp::VoidRequisition(writing, c.number, c.reason, "A001", "S01");
            ADD_FAILURE() << c.number << " was voided";
        } catch (const mrp::VoidRefused& e) {
            EXPECT_EQ(e.kind(), c.kind) << c.number;
            EXPECT_EQ(QString::fromUtf8(e.what()), c.text);
        }
        EXPECT_FALSE(writing.InTransaction());
        EXPECT_EQ(State(), before) << c.number;
    }
}

TEST_F(HistoryTest, AVoidedNumberIsNotGivenAgainAndTheProjectCanBeWrittenAnew) {
    mrp::RequisitionCounter counter(writing);
    const QString first = counter.NextRequisitionNumber(mrp::kCounterTable, "2026/11/02");
    Write(first, "2026/11/02", "P1", {Row("M1", 3, "O1")});
    mrp::VoidRequisition(writing, first, "寫錯數量", "A001", "S01");
    EXPECT_TRUE(mrp::NumberVoided(reading, first));
    const QString second = counter.NextRequisitionNumber(mrp::kCounterTable, "2026/11/02");
    EXPECT_EQ(first, "202611020001");
    EXPECT_EQ(second, "202611020002");
    // O1 is open again: the project's next requisition takes it up.
    Write(second, "2026/11/02", "P1", {Row("M1", 2, "O1")});
    EXPECT_EQ(Numbers(List({"P1", "", ""})), (QStringList{"202611020002 未結案", "202611020001 已作廢"}));
    // A counter set back (a restored backup) skips the voided number as it skips a written one.
    db::Query back(writing);
    back.SetSQL({"UPDATE TEMP_PETITIONID SET LAST_ID = 1 WHERE BILL_DATE = '2026/11/02'"});
    back.Execute();
    EXPECT_EQ(counter.NextRequisitionNumber(mrp::kCounterTable, "2026/11/02"), "202611020003");
    EXPECT_EQ(counter.skipped(), (QStringList{"202611020001", "202611020002"}));
}

TEST_F(HistoryTest, WithoutTheAuditTableAVoidIsRefusedAndSaysWhy) {
    Write("202611020001", "2026/11/02", "P1", {Row("M1", 3, "O1")});
    // Something else holds the table's name, so the table cannot be made.
    database.Run("DROP TABLE MARLITH_AUDIT;\n"
                 "CREATE VIEW MARLITH_AUDIT (X) AS SELECT 1 FROM RDB$DATABASE;");
    const QString before = Scalar("SELECT COUNT(*) FROM PETITION_SUB") + Scalar("SELECT TS FROM ORDER_MASTER WHERE MASTERBILLID = 'O1'");
    try {
        mrp::VoidRequisition(writing, "202611020001", "寫錯", "A001", "S01");
        ADD_FAILURE() << "voided without an audit table";
    } catch (const mrp::VoidRefused& e) {
        EXPECT_EQ(e.kind(), mrp::VoidRefused::Kind::NoAuditTable);
        EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith("無法建立稽核資料表 MARLITH_AUDIT，不能作廢：")) << e.what();
    }
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_SUB") + Scalar("SELECT TS FROM ORDER_MASTER WHERE MASTERBILLID = 'O1'"),
              before);
    // A write goes on without a record.
    Write("202611020002", "2026/11/02", "P1", {Row("M1", 1, "O2")});
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "2");
}

TEST_F(HistoryTest, TheCommandsListVoidAndRefuse) {
    Write("202611020001", "2026/11/02", "P1", {Row("M1", 3, "O1")});
    Write("202611030001", "2026/11/03", "P1", {Row("M2", 1, "O2")});
    MarlithProcess marlith(database.params(), "B002", "S09");

    const ProcessRun voided = marlith({"void", "202611020001", "--reason", "寫錯專案"});
    ASSERT_EQ(voided.exitCode, 0) << voided.err.toStdString();
    EXPECT_EQ(Scalar("SELECT EMPLOYEE_ID || STORE_ID FROM MARLITH_AUDIT WHERE ACTION = 'VOID'"), "B002S09");
    EXPECT_EQ(Scalar("SELECT TS FROM ORDER_MASTER WHERE MASTERBILLID = 'O1'"), "N");

    const struct {
        QStringList args;
        int exit;
        const char* err;
    } refused[] = {
        {{"void", "202611020001", "--reason", "again"}, 1, "請購單 202611020001 已作廢"},
        {{"void", "NOPE", "--reason", "x"}, 1, "請購單 NOPE 不存在"},
        {{"void", "202611030001", "--reason", ""}, 1, "請輸入作廢原因"},
        {{"void", "202611030001"}, 2, "--reason"},
        {{"requisitions", "--from", "2026-11-01"}, 2, "YYYY/MM/DD"},
        {{"requisitions", "--format", "xml"}, 2, "--format"},
    };
    const QString before = State();
    for (const auto& c : refused) {
        const ProcessRun run = marlith(c.args);
        EXPECT_EQ(run.exitCode, c.exit) << c.args.join(' ').toStdString() << run.err.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(c.err))) << run.err.toStdString();
    }
    EXPECT_EQ(State(), before);

    const ProcessRun csv = marlith({"requisitions", "--project", "P1", "--format", "csv"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_EQ(csv.out,
              "MASTERBILLID,BILL_DATE,PROJ_ID,PROJ_NAME,EMPLOYEE_ID,EMPLOYEE_NAME,STORE_ID,LINE_COUNT,TOTAL_AMT,STATE,REASON\n"
              "202611030001,2026/11/03,P1,一號工程,A001,陳志明,S01,1,100,未結案,\n"
              "202611020001,2026/11/02,P1,一號工程,A001,陳志明,S01,1,90,已作廢,寫錯專案\n");
    const ProcessRun text = marlith({"requisitions", "--to", "2026/11/02"});
    ASSERT_EQ(text.exitCode, 0) << text.err.toStdString();
    EXPECT_EQ(text.out.split('\n', Qt::SkipEmptyParts).size(), 2) << text.out.toStdString();
    EXPECT_TRUE(text.out.contains("202611020001")) << text.out.toStdString();
    const ProcessRun json = marlith({"requisitions", "--format", "json", "--from", "2026/11/03"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0].toObject().value("STATE").toString(), "未結案");
}
