// The orders, expand and requisition commands of the marlith program on an embedded
// database (the tests hold no attachment while the program runs, but the last, which
// shares the database between processes).

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>

#include <csignal>

#include "Fixture.h"
#include "MarlithProcess.h"
#include "app/DemoData.h"

using namespace mrptest;

namespace {

std::unique_ptr<testsupport::TestDatabase> DemoDatabase() {
    auto db = std::make_unique<testsupport::TestDatabase>();
    db->Run(app::DemoDataScript());
    return db;
}

}  // namespace

TEST(MarlithCommands, OrdersAsCsvAndJson) {
    auto database = DemoDatabase();
    MarlithProcess marlith(database->params());

    const ProcessRun csv = marlith({"orders", "P2026-001"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    const QStringList lines = csv.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 6) << csv.out.toStdString();
    EXPECT_EQ(lines[0], "PROD_ID,PROD_NAME,QTY,MASTERBILLID,BILL_DATE,CUST_ID,CUST_NAME,FR_DATE,PROJ_ID,DISABLE_FLAG");
    EXPECT_TRUE(lines.contains("F001,辦公桌組,2.5,SO2026110601,2026/11/06,C003,晶華電子股份有限公司,2027/01/10,"
                               "P2026-001,False"))
        << csv.out.toStdString();

    const ProcessRun json = marlith({"orders", "P2026-001", "--format", "json"});
    ASSERT_EQ(json.exitCode, 0) << json.err.toStdString();
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).array();
    ASSERT_EQ(rows.size(), 5) << json.out.toStdString();
    EXPECT_TRUE(json.out.contains(R"({"PROD_ID":"F001","PROD_NAME":"辦公桌組","QTY":10,"MASTERBILLID":"SO2026110201")"))
        << json.out.toStdString();
    EXPECT_EQ(rows[0].toObject().keys().size(), 10);

    // An empty list is not an error: the header alone.
    const ProcessRun none = marlith({"orders", "NO-SUCH-PROJECT"});
    EXPECT_EQ(none.exitCode, 0);
    EXPECT_EQ(none.out, lines[0] + "\n");
    EXPECT_EQ(marlith({"orders", "NO-SUCH-PROJECT", "--format", "json"}).out, "[]\n");
}

TEST(MarlithCommands, ExpandPrintsTheFinalMaterialList) {
    testsupport::TestDatabase database;
    database.Run(Product("B", "Sub, \"quoted\"") + Bom("A", "B", "2") + Bom("A", "D", "4") + Bom("B", "C", "3", "4") +
                 Order("SO1", "P1") + Line("SO1", "A", "10"));
    MarlithProcess marlith(database.params());
    const ProcessRun csv = marlith({"expand", "P1"});
    ASSERT_EQ(csv.exitCode, 0) << csv.err.toStdString();
    EXPECT_EQ(csv.out,
              "PROD_ID,PROD_NAME,QTY,DIV_C,R_QTY,UNITNAME,MASTERBILLID,MAIN_PROD,MITEM\n"
              "D,,40,1,40,,SO1,A,N\n"
              "C,,60,4,15,,SO1,B,N\n");
    const ProcessRun json = marlith({"expand", "P1", "--format=json"});
    EXPECT_EQ(json.out,
              "[\n"
              R"({"PROD_ID":"D","PROD_NAME":"","QTY":40,"DIV_C":1,"R_QTY":40,"UNITNAME":"","MASTERBILLID":"SO1",)"
              R"("MAIN_PROD":"A","MITEM":"N"},)"
              "\n"
              R"({"PROD_ID":"C","PROD_NAME":"","QTY":60,"DIV_C":4,"R_QTY":15,"UNITNAME":"","MASTERBILLID":"SO1",)"
              R"("MAIN_PROD":"B","MITEM":"N"})"
              "\n]\n");

    // Before the pass, B is listed with its quoted name: CSV quoting.
    database.Run(Bom("Q", "B", "1") + "DELETE FROM PD_BOM WHERE PROD_ID = 'B';\n" + Order("SO2", "P2") +
                 Line("SO2", "Q", "1"));
    EXPECT_EQ(marlith({"expand", "P2"}).out.split('\n')[1], R"(B,"Sub, ""quoted""",1,1,1,pcs,SO2,Q,N)");
    // --bom puts the byte-order mark before the same bytes; it goes with CSV only.
    const ProcessRun bom = marlith({"expand", "P2", "--bom"});
    EXPECT_EQ(bom.outBytes, "\xEF\xBB\xBF" + marlith({"expand", "P2"}).outBytes);
    EXPECT_EQ(marlith({"expand", "P2", "--bom", "--format", "json"}).exitCode, 2);
    // The work tables are gone after each run.
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING 'TMP_BILLID'"),
              "0");
}

TEST(MarlithCommands, RequisitionPrintsTheNumberAndHonoursUserAndStore) {
    auto database = DemoDatabase();
    MarlithProcess marlith(database->params());
    const ProcessRun first = marlith({"requisition", "P2026-001", "--user", "A002", "--store", "S09"});
    ASSERT_EQ(first.exitCode, 0) << first.err.toStdString();
    const QStringList out = first.out.split('\n');
    ASSERT_GE(out.size(), 2);
    EXPECT_EQ(out[0], QDate::currentDate().toString("yyyyMMdd") + "0001");
    EXPECT_TRUE(out[1].startsWith("資料寫入成功..!")) << first.out.toStdString();
    EXPECT_EQ(database->Scalar("SELECT EMPLOYEE_ID||'|'||EMPLOYEE_NAME||'|'||STORE_ID||'|'||PROJ_ID FROM "
                               "PETITION_MASTER"),
              "A002|林美玲|S09|P2026-001");
    EXPECT_EQ(database->Scalar("SELECT COUNT(*) FROM PETITION_SUB"), "29");

    // The orders are transferred: a second run finds nothing to write.
    const ProcessRun second = marlith({"requisition", "P2026-001"});
    EXPECT_EQ(second.exitCode, 0);
    EXPECT_EQ(second.out, "");
    EXPECT_TRUE(second.err.contains("nothing to write")) << second.err.toStdString();
}

// The settings file as the old system wrote it: quoted values are the identifiers. A
// file without a user, or none at all, is a warning on stderr; the requisition is
// written all the same.
TEST(MarlithCommands, RequisitionReadsQuotedSettingsAndWarnsWithoutAUser) {
    auto database = DemoDatabase();
    const QString stamp = "SELECT EMPLOYEE_ID||'|'||EMPLOYEE_NAME||'|'||STORE_ID FROM PETITION_MASTER WHERE PROJ_ID = ";

    const ProcessRun quoted = MarlithProcess(database->params(), "\"A002\"", "'S09'")({"requisition", "P2026-001"});
    ASSERT_EQ(quoted.exitCode, 0) << quoted.err.toStdString();
    // No warning about the settings (the demo's odd material lines are named there).
    EXPECT_FALSE(quoted.err.contains("Dovanta.ini")) << quoted.err.toStdString();
    EXPECT_EQ(database->Scalar(stamp + "'P2026-001'"), "A002|林美玲|S09");

    const MarlithProcess noUser(database->params(), "", "S01");
    const ProcessRun unnamed = noUser({"requisition", "P2026-002"});
    ASSERT_EQ(unnamed.exitCode, 0) << unnamed.err.toStdString();
    EXPECT_TRUE(unnamed.err.startsWith(
        QString("marlith: 設定檔 %1 沒有使用者代號（[privite] 區段的 userid）。\n").arg(noUser.dir() + "/Dovanta.ini")))
        << unnamed.err.toStdString();
    EXPECT_EQ(database->Scalar(stamp + "'P2026-002'"), "||S01");

    const MarlithProcess noFile(database->params());
    ASSERT_TRUE(QFile::remove(noFile.dir() + "/Dovanta.ini"));
    const ProcessRun missing = noFile({"requisition", "P2026-003"});
    ASSERT_EQ(missing.exitCode, 0) << missing.err.toStdString();
    EXPECT_TRUE(missing.err.startsWith(
        QString("marlith: 找不到設定檔 %1，無法取得使用者代號與門市代號。\n").arg(noFile.dir() + "/Dovanta.ini")))
        << missing.err.toStdString();
    EXPECT_EQ(database->Scalar(stamp + "'P2026-003'"), "||");
    // Identifiers given on the command line need no file.
    const ProcessRun given = noFile({"requisition", "P2026-003", "--user", "A001", "--store", "S01"});
    EXPECT_EQ(given.exitCode, 0);
    EXPECT_FALSE(given.err.contains("Dovanta.ini")) << given.err.toStdString();
}

TEST(MarlithCommands, FailuresAndUsageErrorsHaveTheirExitCodes) {
    testsupport::TestDatabase database;
    database.Run(Bom("A", "B", "1") + Bom("B", "A", "1") + Order("SO1", "P1") + Line("SO1", "A", "1"));
    MarlithProcess marlith(database.params());

    const ProcessRun cycle = marlith({"requisition", "P1"});
    EXPECT_EQ(cycle.exitCode, 1);
    EXPECT_TRUE(cycle.err.contains("A → B → A")) << cycle.err.toStdString();
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");

    EXPECT_EQ(marlith({"expand", "P1"}).exitCode, 1);
    EXPECT_EQ(marlith({"orders"}).exitCode, 2);
    EXPECT_EQ(marlith({"orders", "P1", "P2"}).exitCode, 2);
    EXPECT_EQ(marlith({"expand", "P1", "--format", "xml"}).exitCode, 2);
    EXPECT_EQ(marlith({"requisition", "P1", "--format", "csv"}).exitCode, 2);
    EXPECT_EQ(marlith({"reserve-numbers", "--count", "0"}).exitCode, 2);

    // A blank project code is a usage error for every workflow command, and nothing is
    // reserved or written.
    for (const char* command : {"orders", "expand", "requisition"})
        for (const char* code : {"", "  "}) {
            const ProcessRun r = marlith({command, code});
            EXPECT_EQ(r.exitCode, 2) << command << " '" << code << "'";
            EXPECT_TRUE(r.err.contains("project code is empty")) << r.err.toStdString();
        }
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
}

// A number that cannot be reserved ends the run as any failed command does: the error on
// stderr, status 1, nothing written.
TEST(MarlithCommands, ANumberThatCannotBeReservedEndsTheRunWithItsError) {
    testsupport::TestDatabase database;
    database.Run("ALTER TABLE TEMP_PETITIONID ADD CONSTRAINT NO_NUMBER CHECK (LAST_ID < 0);");
    database.Run(Product("M", "Material") + Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3"));
    const ProcessRun run = MarlithProcess(database.params())({"requisition", "P1"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(run.err.startsWith("marlith requisition: ")) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("NO_NUMBER")) << run.err.toStdString();
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM PETITION_MASTER"), "0");
    EXPECT_EQ(database.Scalar("SELECT TS FROM ORDER_MASTER"), "N");
}

// Several processes on one embedded database, as on a clerk's machine: the window stays
// open on the project while a command-line export and a requisition run beside it, and
// each sees what the other committed (this test process holds an attachment all along).
TEST(MarlithCommands, SeveralProcessesShareOneEmbeddedDatabase) {
    testsupport::TestDatabase database;
    database.Run(Product("M1", "螺絲包") + Bom("A", "M1", "3") + Order("SO1", "P1") + Line("SO1", "A", "2") +
                 "INSERT INTO PROJ_ITEM (PROJ_ID, PROJ_NAME) VALUES ('P1', 'Project 1');\n");
    db::Connection held;
    held.SetParams(database.params());
    held.Open();
    auto count = [&](const QString& sql) {
        db::Query q(held);
        q.SetSQL({sql});
        q.Open();
        return q.Fields(0).AsInteger();
    };
    const QString workTables = "SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING 'TMP_BILLID'";
    MarlithProcess marlith(database.params());
    auto window = marlith.Start({"main", "--project", "P1", "--quit-after", "60000"});
    // The window is up once its work table exists.
    bool up = false;
    for (int i = 0; i < 300 && !up; ++i) {
        up = count(workTables) > 0;
        if (!up) QThread::msleep(100);
    }
    ASSERT_TRUE(up) << "the window did not open: " << window->readAllStandardError().toStdString();

    const ProcessRun expand = marlith({"expand", "P1"});
    EXPECT_EQ(expand.exitCode, 0) << expand.err.toStdString();
    EXPECT_TRUE(expand.out.contains("M1,螺絲包,6")) << expand.out.toStdString();
    const ProcessRun written = marlith({"requisition", "P1"});
    EXPECT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM PETITION_SUB"), 1) << "the requisition, seen from another process";

    window->terminate();  // SIGTERM: the window closes through its close handling
    EXPECT_TRUE(window->waitForFinished(30000));
    EXPECT_EQ(count(workTables), 0);
}

// What the command line says on stderr besides the outcome: the lines nobody would buy
// from (written all the same), the numbers a requisition already held; a code given with
// spaces is the code; an identifier its column cannot hold is refused with the limit,
// before any number is taken.
TEST(MarlithCommands, RequisitionNamesOddLinesSkippedNumbersAndRefusedIdentifiers) {
    testsupport::TestDatabase database;
    const QString today = QDate::currentDate().toString("yyyy/MM/dd");
    const QString digits = QDate::currentDate().toString("yyyyMMdd");
    database.Run(Product("M", "Material") + Bom("P", "M", "2") + Bom("P", "GHOST", "1") + Order("SO1", "P1") +
                 Line("SO1", "P", "3") + "INSERT INTO TEMP_PETITIONID VALUES ('" + today + "', 3);\n" +
                 "INSERT INTO PETITION_MASTER (MASTERBILLID, PROJ_ID) VALUES ('" + digits + "0003', 'OLD');\n");
    MarlithProcess marlith(database.params());

    const ProcessRun tooLong = marlith({"requisition", "P1-A-CODE-TOO-LONG-FOR-IT"});
    EXPECT_EQ(tooLong.exitCode, 1);
    EXPECT_EQ(tooLong.err, "marlith requisition: 專案代號最多 20 個字元（一個中文字佔 2 個），"
                           "「P1-A-CODE-TOO-LONG-FOR-IT」有 25 個\n");
    const ProcessRun longUser = marlith({"requisition", "P1", "--user", "A0012345678"});
    EXPECT_EQ(longUser.exitCode, 1);
    EXPECT_TRUE(longUser.err.endsWith("使用者代號最多 10 個字元（一個中文字佔 2 個），「A0012345678」有 11 個\n"))
        << longUser.err.toStdString();
    EXPECT_EQ(longUser.out, "");
    EXPECT_EQ(database.Scalar("SELECT LAST_ID FROM TEMP_PETITIONID"), "3");

    const ProcessRun written = marlith({"requisition", " P1 "});
    ASSERT_EQ(written.exitCode, 0) << written.err.toStdString();
    EXPECT_EQ(written.out.section('\n', 0, 0), digits + "0004");
    EXPECT_EQ(written.err, "marlith: 物料 GHOST：商品資料沒有此編號（沒有名稱、單位、成本）\n"
                           "marlith: number " + digits + "0003 is already used by a requisition: skipped\n");
    EXPECT_EQ(database.Scalar("SELECT list(MASTERBILLID || ':' || PROJ_ID) FROM (SELECT * FROM PETITION_MASTER "
                              "ORDER BY 1)"),
              digits + "0003:OLD," + digits + "0004:P1");
    EXPECT_EQ(database.Scalar("SELECT list(PROD_ID) FROM PETITION_SUB"), "M,GHOST");
}

// A signal that arrives after the requisition is committed comes too late to stop it: the
// run prints the written requisition and ends with status 0. The program's test hook
// holds it right after the commit until the signal is there.
TEST(MarlithCommands, ASignalAfterTheCommitReportsTheWrittenRequisition) {
    testsupport::TestDatabase database;
    database.Run(Product("M", "Material") + Bom("P", "M", "2") + Order("SO1", "P1") + Line("SO1", "P", "3"));
    MarlithProcess marlith(database.params());
    marlith.SetEnv("MARLITH_TEST_PAUSE_AFTER_COMMIT", "60");
    auto run = marlith.Start({"requisition", "P1"});
    run->setReadChannel(QProcess::StandardError);
    QByteArray err;
    while (!err.contains("paused after commit\n") && run->waitForReadyRead(60000)) err += run->readAllStandardError();
    ASSERT_TRUE(err.contains("paused after commit\n")) << err.toStdString();
    ASSERT_EQ(::kill(static_cast<pid_t>(run->processId()), SIGTERM), 0);
    const ProcessRun ended = MarlithProcess::Finish(*run);
    EXPECT_EQ(ended.exitCode, 0) << ended.err.toStdString();
    const QString number = QDate::currentDate().toString("yyyyMMdd") + "0001";
    EXPECT_TRUE(ended.out.startsWith(number + "\n資料寫入成功..!")) << ended.out.toStdString();
    EXPECT_TRUE(ended.err.contains("SIGTERM arrived after the outcome was committed")) << ended.err.toStdString();
    EXPECT_EQ(database.Scalar("SELECT MASTERBILLID FROM PETITION_MASTER"), number);
    EXPECT_EQ(database.Scalar("SELECT TS FROM ORDER_MASTER"), "Y");
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING 'TMP_BILLID'"),
              "0");
}

// What a clerk types is checked before anything is read or written: a day that does not
// exist, and an identifier or number longer than its column, are refused with what is
// wrong (the limit named), never the database's "string right truncation"; no number is
// reserved, nothing voided, no file written.
TEST(MarlithCommands, ImpossibleDatesAndOverLongArgumentsAreRefusedWithTheirLimit) {
    testsupport::TestDatabase database;
    database.Run("INSERT INTO PETITION_MASTER (MASTERBILLID, BILL_DATE, PROJ_ID, CLOSED) "
                 "VALUES ('202611020001', '2026/11/02', 'P1', 'N');");
    MarlithProcess marlith(database.params());
    const QString pdf = marlith.dir() + "/out.pdf";
    const QString longNumber = "2026110200011234567890";
    const QString numberLimit = "請購單號最多 20 個字元（一個中文字佔 2 個），「" + longNumber + "」有 22 個";
    const auto dateRefused = [](const char* date) { return QString("日期「%1」不正確，請以 YYYY/MM/DD 輸入。").arg(date); };
    const struct {
        QStringList args;
        int exitCode;
        QString error;
    } cases[] = {
        {{"reserve-numbers", "--date", "2026/13/45"}, 2, dateRefused("2026/13/45")},
        {{"reserve-numbers", "--date", "abcdefghij"}, 2, dateRefused("abcdefghij")},
        {{"reserve-numbers", "--date=2026/02/30", "--count", "3"}, 2, dateRefused("2026/02/30")},
        {{"requisitions", "--from", "2026/02/30"}, 2, dateRefused("2026/02/30")},
        {{"requisitions", "--to", "abcdefghij", "--format", "csv"}, 2, dateRefused("abcdefghij")},
        {{"requisitions", "--project", "P1-A-CODE-TOO-LONG-FOR-IT"}, 1,
         "專案代號最多 20 個字元（一個中文字佔 2 個），「P1-A-CODE-TOO-LONG-FOR-IT」有 25 個"},
        {{"orders", "P1-A-CODE-TOO-LONG-FOR-IT"}, 1, "專案代號最多 20 個字元"},
        {{"summary", longNumber}, 1, numberLimit},
        {{"print", longNumber, "-o", pdf}, 1, numberLimit},
        {{"print", longNumber, "--summary", "-o", pdf}, 1, numberLimit},
        {{"void", longNumber, "--reason", "打錯"}, 1, numberLimit},
        {{"void", "202611020001", "--reason", "打錯", "--user", "A0012345678"}, 1,
         "使用者代號最多 10 個字元（一個中文字佔 2 個），「A0012345678」有 11 個"},
        {{"void", "202611020001", "--reason", "打錯", "--store", "門市一二三四五"}, 1,
         "門市代號最多 10 個字元（一個中文字佔 2 個），「門市一二三四五」有 14 個"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args.join(' ').toStdString());
        const ProcessRun run = marlith(c.args);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err.toStdString();
        EXPECT_TRUE(run.err.contains("marlith " + c.args.first() + ": " + c.error)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains("truncation")) << run.err.toStdString();
        EXPECT_EQ(run.out, "");
    }
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM TEMP_PETITIONID"), "0");
    EXPECT_EQ(database.Scalar("SELECT list(MASTERBILLID || ':' || CLOSED) FROM PETITION_MASTER"), "202611020001:N");
    EXPECT_FALSE(QFile::exists(pdf));
}

// Text that came from the database or a clerk (a void reason, a product's name) reaches
// the terminal with its control characters shown escaped, so an escape sequence in it
// does nothing there; CSV and JSON carry the characters as their formats say.
TEST(MarlithCommands, TextOutputShowsControlCharactersEscapedCsvAndJsonKeepThem) {
    auto database = DemoDatabase();
    MarlithProcess marlith(database->params());
    const QString kept = marlith({"requisition", "P2026-001"}).out.section('\n', 0, 0);
    const QString voided = marlith({"requisition", "P2026-002"}).out.section('\n', 0, 0);
    ASSERT_FALSE(kept.isEmpty());
    ASSERT_FALSE(voided.isEmpty());
    database->Run("UPDATE PETITION_SUB SET PROD_NAME = '油漆' || ASCII_CHAR(27) || ']0;owned' || ASCII_CHAR(7) "
                  "WHERE MASTERBILLID = '" + kept + "';");
    const QString reason = QString("打錯") + QChar(0x1B) + "[2J" + QChar(0x08) + "了";
    ASSERT_EQ(marlith({"void", voided, "--reason", reason}).exitCode, 0);

    const ProcessRun list = marlith({"requisitions"});
    ASSERT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_TRUE(list.out.contains("打錯\\x1B[2J\\x08了")) << list.out.toStdString();
    const ProcessRun summary = marlith({"summary", kept});
    ASSERT_EQ(summary.exitCode, 0) << summary.err.toStdString();
    EXPECT_TRUE(summary.out.contains("油漆\\x1B]0;owned\\x07")) << summary.out.toStdString();
    for (const ProcessRun* text : {&list, &summary})
        for (const QChar c : text->out)
            EXPECT_TRUE(c == '\n' || c.category() != QChar::Other_Control) << "U+" << std::hex << int(c.unicode());

    EXPECT_TRUE(marlith({"requisitions", "--format", "csv"}).out.contains("打錯" + QString(QChar(0x1B)) + "[2J"));
    EXPECT_TRUE(marlith({"requisitions", "--format", "json"}).out.contains("打錯\\u001b[2J"));
    EXPECT_TRUE(marlith({"summary", kept, "--format", "csv"}).out.contains("油漆" + QString(QChar(0x1B)) + "]0;owned"));
}
