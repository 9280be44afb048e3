// The workflow's commands as whole processes on project L (2,000 order lines, bill depth
// 5, fan-out 2, 40 shared items a level: 64,000 material rows) in one embedded database,
// each against the floor the database engine itself sets, in the same run:
//   expand --format csv   against one recursive query computing the same rows in isql-fb
//                         (a count and a sum over them, so that the floor is the engine's
//                         walk of the bill, not its output);
//   requisition           against isql-fb inserting the same lines into PETITION_SUB with
//                         one INSERT ... SELECT over that query, committed: the 28 columns
//                         the program writes (and, as first measured, 9 of them);
//   expand --format json  against the same command with --format csv.
// Every process starts from a fresh copy of the database (a requisition transfers the
// project). Prints the best of N runs of each (default 3), and the ratios.
//
//   bench_workflow_commands [--runs N] [--marlith PATH] [--isql PATH] [--keep]
// --keep leaves the folder with the database and its connection file for profiling
// (its path is printed).

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "bench/common/SyntheticProject.h"
#include "db/Connection.h"
#include "db/Convert.h"

namespace {

const bench::Scenario kL{"L", 2000, 5, 2, 40};

// The final material rows of the project, as the engine computes them.
const char* kRecursive =
    "WITH RECURSIVE M (PROD_ID, QTY, DIV_C, MASTERBILLID, MAIN_PROD) AS ("
    " SELECT C.DE_PRODID, B.QTY * C.DE_QTY, C.DIV_C, A.MASTERBILLID, B.PROD_ID"
    " FROM ORDER_MASTER A JOIN ORDER_SUB B ON A.MASTERBILLID = B.MASTERBILLID"
    " JOIN PD_BOM C ON C.PROD_ID = B.PROD_ID"
    " WHERE A.PROJ_ID = 'BENCH-001' AND A.DISABLE_FLAG = 'False' AND A.TS <> 'Y'"
    " UNION ALL"
    " SELECT C.DE_PRODID, COALESCE(M.QTY, 1) * COALESCE(C.DE_QTY, 1), C.DIV_C, M.MASTERBILLID, M.PROD_ID"
    " FROM M JOIN PD_BOM C ON C.PROD_ID = M.PROD_ID) ";

QString Arg(const QStringList& args, const QString& name, const QString& def) {
    const int i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args[i + 1] : def;
}

struct Bench {
    QString marlith, isql, pristine, work, connections;
    QTemporaryDir dir;
    int runs = 3;

    // Best wall time in seconds of runs fresh processes of program with args.
    double Best(const QString& program, const QStringList& args, const QByteArray& input = {}) {
        double best = std::numeric_limits<double>::max();
        for (int i = 0; i < runs; ++i) {
            QFile::remove(work);
            if (!QFile::copy(pristine, work)) throw std::runtime_error("cannot copy the database");
            QProcess p;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("MARLITH_CONNECTIONS", connections);
            env.insert("MARLITH_SETTINGS", dir.filePath("Dovanta.ini"));
            env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
            p.setProcessEnvironment(env);
            p.setStandardOutputFile(QProcess::nullDevice());
            QElapsedTimer t;
            t.start();
            p.start(program, args);
            if (!input.isEmpty()) {
                p.write(input);
                p.closeWriteChannel();
            }
            if (!p.waitForFinished(600000) || p.exitCode() != 0)
                throw std::runtime_error(QString("%1 %2 failed: %3")
                                             .arg(program, args.join(' '), QString::fromUtf8(p.readAllStandardError()))
                                             .toStdString());
            best = std::min(best, t.nsecsElapsed() / 1e9);
        }
        return best;
    }
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    Bench b;
    b.runs = Arg(args, "--runs", "3").toInt();
    if (args.contains("--keep")) {
        b.dir.setAutoRemove(false);
        std::printf("kept: %s\n", qPrintable(b.dir.path()));
    }
    b.marlith = Arg(args, "--marlith", QDir(app.applicationDirPath()).filePath("../app/marlith"));
    b.isql = Arg(args, "--isql", QStandardPaths::findExecutable("isql-fb"));
    if (b.isql.isEmpty()) b.isql = QStandardPaths::findExecutable("isql");
    try {
        b.pristine = b.dir.filePath("pristine.fdb");
        b.work = b.dir.filePath("work.fdb");
        {
            db::ConnectionParams params;
            params.database = b.pristine;
            bench::CreateSyntheticDatabase(params, kL);
        }
        b.connections = b.dir.filePath("connections.ini");
        QFile ini(b.connections);
        if (!ini.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write connections.ini");
        ini.write("[Kelmor]\nDatabase=" + b.work.toUtf8() + "\nUser_Name=SYSDBA\nCodePage=Big5\n");
        ini.close();
        QFile settings(b.dir.filePath("Dovanta.ini"));
        if (!settings.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write Dovanta.ini");
        settings.write("[privite]\nuserid=A001\nstoreid=S01\n");
        settings.close();

        const QByteArray count = QByteArray("SET HEADING OFF;\n") + kRecursive +
                                 "SELECT COUNT(*), SUM(M.QTY) FROM M WHERE NOT EXISTS "
                                 "(SELECT 1 FROM PD_BOM X WHERE X.PROD_ID = M.PROD_ID);\n";
        // The lines as the program writes them: all 28 columns, the product's columns from
        // PRODUCT, the header's as constants.
        const QByteArray insert =
            QByteArray("INSERT INTO PETITION_SUB (MASTERBILLID, KEYINTIME, PROD_ID, PROD_NAME, PROD_SCALE, V_QTY, "
                       "V_PRICE, QTY, UNITNAME, SALE_PRICE, STD_COST, AMT, TEMPPRODID, PROVIDER_ID, PROVIDER_NAME, "
                       "PD_ITEMID, PROD_BARCODE, PACK_QTY, BILL_DATE, EMPLOYEE_ID, EMPLOYEE_NAME, STORE_ID, "
                       "TRAN_CODE, CLOSED, CHG_DATE, CHG_USER, NOW_QTY, ORDER_ID) ") +
            kRecursive +
            "SELECT 'FLOOR', '00:00:00', M.PROD_ID, P.PROD_NAME, COALESCE(P.PROD_SCALE, ''), M.QTY, "
            "COALESCE(P.STD_COST, 0), M.QTY, P.UNITNAME, COALESCE(P.SALE_PRICE, 0), COALESCE(P.STD_COST, 0), "
            "M.QTY * COALESCE(P.STD_COST, 0), M.PROD_ID, COALESCE(P.PROVIDER_ID, ''), "
            "COALESCE(P.PROVIDER_NAME, ''), COALESCE(P.PD_ITEMID, ''), COALESCE(P.PROD_BARCODE, ''), 1, "
            "'2026/01/01', 'A001', '', 'S01', 'N', 'N', '2026/01/01', 'A001', COALESCE(P.NOW_QTY, 0), "
            "M.MASTERBILLID FROM M LEFT JOIN PRODUCT P ON P.PROD_ID = M.PROD_ID WHERE NOT EXISTS "
            "(SELECT 1 FROM PD_BOM X WHERE X.PROD_ID = M.PROD_ID);\nCOMMIT;\n";
        // The floor first measured: nine of the columns.
        const QByteArray insertNine = QByteArray("INSERT INTO PETITION_SUB (MASTERBILLID, KEYINTIME, PROD_ID, "
                                                 "PROD_NAME, QTY, UNITNAME, STD_COST, AMT, ORDER_ID) ") +
                                      kRecursive +
                                      "SELECT 'FLOOR', '00:00:00', M.PROD_ID, P.PROD_NAME, M.QTY, P.UNITNAME, "
                                      "P.STD_COST, M.QTY * P.STD_COST, M.MASTERBILLID FROM M LEFT JOIN PRODUCT P ON "
                                      "P.PROD_ID = M.PROD_ID WHERE NOT EXISTS (SELECT 1 FROM PD_BOM X WHERE "
                                      "X.PROD_ID = M.PROD_ID);\nCOMMIT;\n";
        const QStringList isqlArgs = {"-q", "-user", "SYSDBA", b.work};

        std::printf("project L: %lld material rows; best of %d fresh processes each\n\n", kL.FinalRows(), b.runs);
        std::printf("%-34s %9s   %-44s %9s %7s\n", "work", "seconds", "floor", "seconds", "ratio");
        auto row = [](const char* work, double w, const char* floor, double f) {
            std::printf("%-34s %9.3f   %-44s %9.3f %7.2f\n", work, w, floor, f, w / f);
        };
        const double csv = b.Best(b.marlith, {"expand", bench::kBenchProject, "--format", "csv"});
        const double countFloor = b.Best(b.isql, isqlArgs, count);
        row("marlith expand --format csv", csv, "isql-fb: recursive query, count and sum", countFloor);
        const double requisition = b.Best(b.marlith, {"requisition", bench::kBenchProject});
        const double insertFloor = b.Best(b.isql, isqlArgs, insert);
        row("marlith requisition", requisition, "isql-fb: INSERT ... SELECT of the lines", insertFloor);
        const double nineFloor = b.Best(b.isql, isqlArgs, insertNine);
        row("  (against 9 of the 28 columns)", requisition, "isql-fb: the same, 9 columns", nineFloor);
        const double json = b.Best(b.marlith, {"expand", bench::kBenchProject, "--format", "json"});
        row("marlith expand --format json", json, "marlith expand --format csv", csv);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_workflow_commands: %s\n", e.what());
        return 1;
    }
    return 0;
}
