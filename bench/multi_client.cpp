// Several copies of the marlith program pressing "轉請購單" against one database on a
// Firebird server, for a bounded time, in three ways:
//   same project, together: N copies load and expand one project, then reserve their
//     numbers and write at the same moment (each is held at the day's counter until all
//     are there, as four clerks pressing the button together);
//   same project, free: N copies started at once on one project;
//   distinct projects: N copies at once, each on a project of its own.
// Prints for each: rounds, requisitions written, projects written more than once
// (duplicates), copies refused because the project was already transferred, copies that
// found no open order left, failures, enabled orders that ended in no requisition line
// (lost), numbers given twice, and the elapsed time. Figures only: nothing is asserted.
//
//   bench_multi_client [--clients N] [--seconds S] [--marlith PATH]
//
// The server and its folder are those of the server tests: MARLITH_TEST_SERVER
// (default 127.0.0.1), MARLITH_TEST_SERVER_DIR (/tmp/marlith-server-tests),
// MARLITH_TEST_SERVER_PASSWORD (masterkey). The database is made for the run and removed
// after it.

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>
#include <QUuid>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <vector>

#include "db/Connection.h"
#include "mrp/Rules.h"

namespace {

struct Figures {
    Figures(const char* n, const char* p) : name(n), prefix(p) {}
    const char* name;
    QString prefix;  // of the projects of this way
    int rounds = 0;
    int written = 0, refused = 0, nothing = 0, failed = 0;
    int duplicates = 0, lostOrders = 0, numbersTwice = 0;
    double seconds = 0;
    QString firstFailure;
};

enum class Way { Together, Free, Distinct };

class Bench {
public:
    Bench(int clients, QString marlith) : clients_(clients), marlith_(std::move(marlith)) {
        const QString host = qEnvironmentVariable("MARLITH_TEST_SERVER", "127.0.0.1");
        const QString folder = qEnvironmentVariable("MARLITH_TEST_SERVER_DIR", "/tmp/marlith-server-tests");
        path_ = QDir(folder).filePath("bench-" + QUuid::createUuid().toString(QUuid::WithoutBraces) + ".fdb");
        params_.database = host + ":" + path_;
        params_.userName = "SYSDBA";
        params_.password = qEnvironmentVariable("MARLITH_TEST_SERVER_PASSWORD", "masterkey");
        db::Connection::CreateDatabase(params_);
        RunScript(db::SplitScript(db::SchemaScript()));
        RunScript({"INSERT INTO EMPLOYEE VALUES ('A001', 'Clerk')",
                   "INSERT INTO PRODUCT (PROD_ID, PROD_NAME, UNITNAME, STD_COST) VALUES ('L1', 'Leaf 1', 'pcs', 10)",
                   "INSERT INTO PRODUCT (PROD_ID, PROD_NAME, UNITNAME, STD_COST) VALUES ('L2', 'Leaf 2', 'pcs', 3)",
                   "INSERT INTO PD_BOM VALUES ('X', 'L1', 2, NULL)", "INSERT INTO PD_BOM VALUES ('X', 'S', 1, NULL)",
                   "INSERT INTO PD_BOM VALUES ('S', 'L2', 3, NULL)",
                   "INSERT INTO TEMP_PETITIONID VALUES ('" + mrp::DateText(QDate::currentDate()) + "', 1)"});

        const QString connections = dir_.filePath("connections.ini");
        WriteFile(connections, QString("[Kelmor]\nDatabase=%1\nUser_Name=%2\nPassword=%3\nCodePage=Big5\n")
                                   .arg(params_.database, params_.userName, params_.password));
        const QString settings = dir_.filePath("Dovanta.ini");
        WriteFile(settings, "[privite]\nuserid=A001\nstoreid=S01\n");
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("MARLITH_CONNECTIONS", connections);
        env_.insert("MARLITH_SETTINGS", settings);
        env_.insert("XDG_CACHE_HOME", dir_.filePath("cache"));
        env_.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    }
    ~Bench() {
        db::ShutdownClient();
        QFile::remove(path_);  // the server's folder is on this machine
    }

    // Rounds of one way until `budgetMs` has passed (at least one).
    void Run(Way way, Figures& f, qint64 budgetMs) {
        QElapsedTimer timer;
        timer.start();
        while (f.rounds == 0 || timer.elapsed() < budgetMs) {
            QStringList projects;
            for (int i = 0; i < (way == Way::Distinct ? clients_ : 1); ++i)
                projects << QString("%1%2-%3").arg(f.prefix).arg(f.rounds).arg(i);
            AddProjects(projects);
            Round(way, projects, f);
            ++f.rounds;
        }
        f.seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
        Tally(f);
    }

private:
    void RunScript(const QStringList& statements) {
        db::Connection c;
        c.SetParams(params_);
        c.StartTransaction();
        for (const QString& s : statements) {
            db::Query q(c);
            q.SetSQL(s.split('\n'));
            q.Execute();
        }
        c.Commit();
    }

    static void WriteFile(const QString& path, const QString& text) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly)) throw std::runtime_error("cannot write " + path.toStdString());
        f.write(text.toUtf8());
    }

    // Each project: three orders of two lines of X (each line three materials over two
    // levels), and a disabled order.
    void AddProjects(const QStringList& projects) {
        QStringList s;
        for (const QString& p : projects) {
            for (int o = 1; o <= 3; ++o) {
                const QString bill = QString("%1/%2").arg(p).arg(o);
                s << QString("INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES "
                             "('%1', '%2', 'False', 'N')")
                         .arg(bill, p);
                for (int l = 0; l < 2; ++l)
                    s << QString("INSERT INTO ORDER_SUB (MASTERBILLID, PROD_ID, PROD_NAME, QTY) VALUES "
                                 "('%1', 'X', 'X', %2)")
                             .arg(bill)
                             .arg(o + l);
            }
            s << QString("INSERT INTO ORDER_MASTER (MASTERBILLID, PROJ_ID, DISABLE_FLAG, TS) VALUES "
                         "('%1/OFF', '%1', 'True', 'N')")
                     .arg(p);
        }
        RunScript(s);
    }

    std::unique_ptr<QProcess> Start(const QString& project) const {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env_);
        p->start(marlith_, {"requisition", project});
        return p;
    }

    // Waits until `clients` statements of other attachments run on the counter; false
    // after half a minute.
    bool WaitForWaiters(int clients) const {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 30000) {
            db::Connection c;
            c.SetParams(params_);
            db::Query q(c);
            q.Add("SELECT COUNT(*) FROM MON$STATEMENTS WHERE MON$STATE = 1 AND MON$ATTACHMENT_ID <> "
                  "CURRENT_CONNECTION AND MON$SQL_TEXT CONTAINING 'TEMP_PETITIONID'");
            q.Open();
            if (q.Fields(0).AsInteger() >= clients) return true;
            QThread::msleep(20);
        }
        return false;
    }

    void Round(Way way, const QStringList& projects, Figures& f) {
        std::unique_ptr<db::Connection> hold;
        if (way == Way::Together) {
            hold = std::make_unique<db::Connection>();
            hold->SetParams(params_);
            hold->StartTransaction();
            db::Query lock(*hold);
            lock.Add("UPDATE TEMP_PETITIONID SET LAST_ID = LAST_ID");
            lock.Execute();
        }
        std::vector<std::unique_ptr<QProcess>> running;
        for (int i = 0; i < clients_; ++i) running.push_back(Start(projects[way == Way::Distinct ? i : 0]));
        if (hold) {
            if (!WaitForWaiters(clients_)) std::fprintf(stderr, "round %d: not every copy reached the counter\n", f.rounds);
            hold->Rollback();
        }
        for (auto& p : running) {
            if (!p->waitForFinished(300000)) {
                p->kill();
                p->waitForFinished();
            }
            const int code = p->exitStatus() == QProcess::NormalExit ? p->exitCode() : -1;
            const QString out = QString::fromUtf8(p->readAllStandardOutput());
            const QString err = QString::fromUtf8(p->readAllStandardError());
            if (code == 0 && out.section('\n', 0, 0).size() >= 12) ++f.written;
            else if (code == 0 && err.contains("nothing to write")) ++f.nothing;
            else if (code == 1 && err.contains(QString::fromUtf8("已轉請購單"))) ++f.refused;
            else {
                ++f.failed;
                if (f.firstFailure.isEmpty()) f.firstFailure = QString("exit %1: %2").arg(code).arg(err.trimmed());
            }
        }
    }

    QString Scalar(const QString& select) const {
        db::Connection c;
        c.SetParams(params_);
        db::Query q(c);
        q.Add(select);
        q.Open();
        return q.Eof() ? QString() : q.Fields(0).AsString();
    }

    // What the database holds for this way's projects.
    void Tally(Figures& f) const {
        const QString mine = "PROJ_ID STARTING '" + f.prefix + "'";
        f.duplicates = Scalar("SELECT COALESCE(SUM(n - 1), 0) FROM (SELECT COUNT(*) AS n FROM PETITION_MASTER WHERE " +
                              mine + " GROUP BY PROJ_ID)")
                           .toInt();
        // An enabled order still open after its round, or transferred without a line.
        f.lostOrders = Scalar("SELECT COUNT(*) FROM ORDER_MASTER o WHERE o." + mine +
                              " AND o.DISABLE_FLAG = 'False' AND (o.TS IS DISTINCT FROM 'Y' OR NOT EXISTS "
                              "(SELECT 1 FROM PETITION_SUB s WHERE s.ORDER_ID = o.MASTERBILLID))")
                           .toInt();
        f.numbersTwice = Scalar("SELECT COUNT(*) - COUNT(DISTINCT MASTERBILLID) FROM PETITION_MASTER").toInt();
    }

    int clients_;
    QString marlith_;
    QTemporaryDir dir_;
    QString path_;
    db::ConnectionParams params_;
    QProcessEnvironment env_;
};

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    int clients = 4;
    int seconds = 30;
    QString marlith = QDir(QCoreApplication::applicationDirPath()).filePath("../app/marlith");
    for (int i = 0; i + 1 < args.size(); i += 2) {
        if (args[i] == "--clients") clients = args[i + 1].toInt();
        else if (args[i] == "--seconds") seconds = args[i + 1].toInt();
        else if (args[i] == "--marlith") marlith = args[i + 1];
        else {
            std::fprintf(stderr, "usage: bench_multi_client [--clients N] [--seconds S] [--marlith PATH]\n");
            return 2;
        }
    }
    if (clients < 1 || seconds < 1) {
        std::fprintf(stderr, "--clients and --seconds take positive whole numbers\n");
        return 2;
    }
    try {
        Bench bench(clients, marlith);
        Figures ways[] = {{"same project, together", "T"}, {"same project, free", "F"}, {"distinct projects", "D"}};
        const qint64 share = seconds * 1000LL / 3;
        bench.Run(Way::Together, ways[0], share);
        bench.Run(Way::Free, ways[1], share);
        bench.Run(Way::Distinct, ways[2], share);

        std::printf("%d copies of %s per round\n\n", clients, qPrintable(QDir::cleanPath(marlith)));
        std::printf("%-24s %6s %8s %10s %8s %8s %7s %6s %8s %9s %12s\n", "", "rounds", "written", "duplicates",
                    "refused", "nothing", "failed", "lost", "twice", "elapsed", "per round");
        for (const Figures& f : ways)
            std::printf("%-24s %6d %8d %10d %8d %8d %7d %6d %8d %8.1fs %10.0fms\n", f.name, f.rounds, f.written,
                        f.duplicates, f.refused, f.nothing, f.failed, f.lostOrders, f.numbersTwice, f.seconds,
                        f.seconds * 1000 / f.rounds);
        std::printf("\nwritten: copies that wrote a requisition; duplicates: extra requisitions of a project;\n"
                    "refused: copies told the project was already transferred; nothing: copies that found no\n"
                    "open order; lost: enabled orders left open or transferred without a line; twice: numbers\n"
                    "given to two requisitions (whole database).\n");
        for (const Figures& f : ways)
            if (!f.firstFailure.isEmpty())
                std::printf("first failure (%s): %s\n", f.name, qPrintable(f.firstFailure));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench_multi_client: %s\n", e.what());
        return 1;
    }
    return 0;
}
