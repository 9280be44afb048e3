// The main job run as a user runs it for a picture, without a display: the presses given
// on the command line happen in the running window, and a message they raise, or the
// settings file's warning, does not hold the run open.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QUuid>
#include <QStandardPaths>
#include <QFileInfo>

#include <csignal>
#include <utility>

#include <unistd.h>

#include "app/Settings.h"
#include "db/ConnectionParams.h"
#include "mrp/Fixture.h"
#include "support/Fifo.h"
#include "support/HeadlessRun.h"

#ifdef MARLITH_PROGRAM
TEST(MainJob, AScreenshotRunEndsOverItsDialogsAndDropsItsWorkTable) {
    // A bill that contains itself: "物料展開" ends with an error in the message dialog.
    testsupport::TestDatabase database;
    database.Run(mrptest::Product("A", "Assembly") + mrptest::Product("B", "Part") + mrptest::Bom("A", "B", "1") +
                 mrptest::Bom("B", "A", "1") + mrptest::Order("B1", "P1") + mrptest::Line("B1", "A", "2"));
    const QDir dir(database.dir());
    QFile ini(dir.filePath("connections.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Kelmor]\nDatabase=" + database.params().database.toUtf8() + "\nUser_Name=SYSDBA\nCodePage=Big5\n");
    ini.close();
    qputenv(db::kConnectionsEnv, ini.fileName().toUtf8());
    QFile settings(dir.filePath("Dovanta.ini"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write("[privite]\nuserid=A001\nstoreid=S01\n");
    settings.close();
    qputenv(app::kSettingsEnv, settings.fileName().toUtf8());
    qputenv("XDG_CACHE_HOME", dir.filePath("cache").toUtf8());

    const QString out = dir.filePath("main.png");
    const auto shot = [&](const QStringList& presses) {
        QFile::remove(out);
        const testsupport::HeadlessOutcome run = testsupport::RunHeadless(
            QStringLiteral(MARLITH_PROGRAM), presses + QStringList{"--screenshot", out, "--quit-after", "1500"});
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return QImage(out);
    };
    const QImage listed = shot({"--project", "P1"});
    const QImage failed = shot({"--project", "P1", "--expand"});
    // Without the settings file the warning comes over the shown window; the presses go on.
    ASSERT_TRUE(settings.remove());
    const QImage warned = shot({"--project", "P1"});
    qunsetenv(db::kConnectionsEnv);
    qunsetenv(app::kSettingsEnv);
    qunsetenv("XDG_CACHE_HOME");

    ASSERT_FALSE(listed.isNull());
    ASSERT_EQ(failed.size(), listed.size());
    // The error dialog sits over the middle of the window.
    const QPoint middle(listed.width() / 2, listed.height() / 2);
    const QRect centre(middle - QPoint(40, 20), QSize(80, 40));
    EXPECT_NE(failed.copy(centre), listed.copy(centre));
    ASSERT_EQ(warned.size(), listed.size());
    EXPECT_NE(warned.copy(centre), listed.copy(centre));
    EXPECT_EQ(database.Scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING WITH 'TMP_BILLID'"),
              "0");
}

// The first start from the menu, on a machine without a connection entry: the skinned
// question comes instead of the window (pictured by an unattended run, which answers No),
// and nothing is created.
TEST(MainJob, TheFirstStartAsksBeforeCreatingTheDemo) {
    QTemporaryDir dir;
    const QDir home(dir.path());
    qputenv("XDG_CONFIG_HOME", home.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_CACHE_HOME", home.filePath("cache").toUtf8());
    qunsetenv(db::kConnectionsEnv);
    if (QDir(db::ExecutableDir()).exists(db::kConnectionsFileName)) GTEST_SKIP() << "a connection file beside the tests";
    const QString out = home.filePath("first.png");
    const testsupport::HeadlessOutcome run = testsupport::RunHeadless(
        QStringLiteral(MARLITH_PROGRAM), {"--screenshot", out, "--quit-after", "1500"});
    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_CACHE_HOME");
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains("要建立示範資料庫")) << run.err.toStdString();
    const QImage question(out);
    ASSERT_FALSE(question.isNull());
    EXPECT_GT(question.width(), 300);
    EXPECT_FALSE(home.exists("data/marlith/demo/POSDATA.FDB"));
    EXPECT_FALSE(home.exists("config/marlith/connections.ini"));
}

// Told to end by a signal, the running window closes through its close handling (its work
// table is dropped) and the program ends with 128 + the signal's number. Before, SIGTERM
// and SIGINT shut the embedded engine down under the window and left it running on a dead
// attachment; SIGHUP killed it with its table still in the database.
// A user outside the engine's group gets a lock folder of their own, at one fixed path
// whatever the environment, so that every process of theirs shares it; one that someone
// else made (and could tamper with) is refused, not used. Run as "nobody" when the tests
// run as root.
TEST(MainJob, AUsersOwnLockFolderIsPrivateOrRefused) {
    if (::geteuid() != 0 || QStandardPaths::findExecutable("runuser").isEmpty())
        GTEST_SKIP() << "needs root and runuser to run the program as another user";
    const QFileInfo engineDefault("/tmp/firebird");
    QTemporaryDir dir;
    const QString home = dir.filePath("home");
    QDir().mkpath(home);
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.start("runuser", QStringList{"-u", "nobody", "--", "env", "HOME=" + home, "XDG_CONFIG_HOME=" + home + "/config",
                                       "XDG_CACHE_HOME=" + home + "/cache", "QT_QPA_PLATFORM=offscreen",
                                       QStringLiteral(MARLITH_PROGRAM)} + args);
        EXPECT_TRUE(p.waitForFinished(60000));
        return std::pair{p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    };
    ASSERT_EQ(::chown(QFile::encodeName(dir.path()).constData(), 65534, 65534), 0);
    ASSERT_EQ(::chown(QFile::encodeName(home).constData(), 65534, 65534), 0);
    if (engineDefault.isDir() && engineDefault.isWritable() && engineDefault.ownerId() == 65534)
        GTEST_SKIP() << "nobody may write the engine's own lock folder here";
    const QString mine = QStringLiteral("/tmp/marlith-firebird-65534");
    QDir(mine).removeRecursively();
    const auto made = run({"init-db", "--demo", home + "/demo.fdb"});
    ASSERT_EQ(made.first, 0) << made.second.toStdString();
    const auto listed = run({"orders", "P2026-002"});
    EXPECT_EQ(listed.first, 0) << listed.second.toStdString();
    const QFileInfo folder(mine);
    EXPECT_TRUE(folder.isDir());
    EXPECT_EQ(folder.ownerId(), 65534u);
    EXPECT_EQ(folder.permissions() & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFile::Permissions());

    QDir(mine).removeRecursively();
    ASSERT_TRUE(QDir().mkpath(mine));  // root's, open to all
    QFile::setPermissions(mine, QFile::Permissions(0x7777));
    const auto refused = run({"orders", "P2026-002"});
    EXPECT_EQ(refused.first, 1);
    EXPECT_TRUE(refused.second.contains("is not a private folder")) << refused.second.toStdString();
    QDir(mine).removeRecursively();
}

TEST(MainJob, ASignalClosesTheWindowInOrder) {
    testsupport::TestDatabase database;
    database.Run(mrptest::Product("A", "Assembly") + mrptest::Bom("A", "M1", "3") + mrptest::Order("B1", "P1") +
                 mrptest::Line("B1", "A", "2"));
    const QDir dir(database.dir());
    QFile ini(dir.filePath("connections.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[Kelmor]\nDatabase=" + database.params().database.toUtf8() + "\nUser_Name=SYSDBA\nCodePage=Big5\n");
    ini.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    env.insert(db::kConnectionsEnv, ini.fileName());
    env.insert(app::kSettingsEnv, dir.filePath("Dovanta.ini"));
    env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
    const QString dump = dir.filePath("cache/marlith/query.txt");

    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(signal);
        QFile::remove(dump);
        QProcess run;
        run.setProcessEnvironment(env);
        run.start(QStringLiteral(MARLITH_PROGRAM), {"--project", "P1", "--expand", "--quit-after", "600000"});
        // The window is up, with its work table, once "確定" has written its query.
        const QDeadlineTimer patience(60000);
        while (!QFile::exists(dump) && !patience.hasExpired())
            if (run.waitForFinished(20)) break;
        ASSERT_TRUE(QFile::exists(dump)) << run.readAllStandardError().toStdString();
        ASSERT_EQ(::kill(static_cast<pid_t>(run.processId()), signal), 0);
        ASSERT_TRUE(run.waitForFinished(60000)) << "the window did not end";
        const QString err = QString::fromLocal8Bit(run.readAllStandardError());
        EXPECT_EQ(run.exitStatus(), QProcess::NormalExit) << err.toStdString();
        EXPECT_EQ(run.exitCode(), 128 + signal) << err.toStdString();
        EXPECT_TRUE(err.contains("ended by SIG")) << err.toStdString();
        EXPECT_EQ(
            database.Scalar("SELECT COUNT(*) FROM RDB$RELATIONS WHERE RDB$RELATION_NAME STARTING WITH 'TMP_BILLID'"),
            "0");
    }
}
#endif

#ifdef MARLITH_PROGRAM
// A password that cannot be taken as given ends init-db before any database is made: a
// file that is no regular file (never waited for) or holds no password, two ways at once.
TEST(InitDb, APasswordGivenOneWayFromARegularFile) {
    QTemporaryDir dir;
    const QString fifo = testsupport::MakeFifo(dir.filePath("fifo"));
    const QString empty = dir.filePath("empty");
    QFile(empty).open(QIODevice::WriteOnly);
    const QString database = dir.filePath("POSDATA.FDB");
    const struct {
        QStringList options;
        int exitCode;
        QString error;
    } cases[] = {
        {{"--password-file", fifo}, 1,
         "marlith init-db: the password file " + fifo + " cannot be read: is not a regular file but a FIFO (named pipe)\n"},
        {{"--password-file", empty}, 1,
         "marlith init-db: the password file " + empty + " holds no password on its first line\n"},
        {{"--password-stdin", "--password=x"}, 2, "marlith init-db: give the password one way: --password-file, "
                                                  "--password-stdin or --password\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        QProcess p;
        p.start(QStringLiteral(MARLITH_PROGRAM), QStringList{"init-db"} + c.options + QStringList{database});
        p.closeWriteChannel();
        if (!p.waitForFinished(30000)) {
            ADD_FAILURE() << "init-db is waiting";
            p.kill();
            p.waitForFinished();
        }
        EXPECT_EQ(p.exitCode(), c.exitCode);
        EXPECT_TRUE(QString::fromUtf8(p.readAllStandardError()).startsWith(c.error));
        EXPECT_FALSE(QFile::exists(database));
    }
}

// Several clerks on several machines share one database on a Firebird server: init-db
// creates it there with the demo data and writes the entry that names it, and a command
// run through that entry works on the server's database.
TEST(ServerInitDb, CreatesTheDatabaseOnTheServerAndTheEntryReachesIt) {
    const QString host = qEnvironmentVariable("MARLITH_TEST_SERVER");
    if (host.isEmpty()) GTEST_FAIL() << "MARLITH_TEST_SERVER is not set: run the server tests through scripts/test";
    const QString folder = qEnvironmentVariable("MARLITH_TEST_SERVER_DIR", "/tmp/marlith-server-tests");
    const QString file = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + ".fdb");
    const QString location = host + ":" + file;
    QTemporaryDir dir;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("MARLITH_CONNECTIONS", dir.filePath("connections.ini"));
    env.insert("MARLITH_SETTINGS", dir.filePath("Dovanta.ini"));
    env.insert("ISC_PASSWORD", qEnvironmentVariable("MARLITH_TEST_SERVER_PASSWORD", "masterkey"));
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.setProcessEnvironment(env);
        p.start(QStringLiteral(MARLITH_PROGRAM), args);
        p.waitForFinished(120000);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
    };

    const auto [created, createdOut] = run({"init-db", "--demo", location});
    ASSERT_EQ(created, 0) << createdOut.toStdString();
    const auto [again, againOut] = run({"init-db", location});  // never replaced
    EXPECT_NE(again, 0) << againOut.toStdString();

    QFile entry(dir.filePath("connections.ini"));
    ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(entry.readAll()).contains("Database=" + location + "\n"));

    const auto [listed, orders] = run({"orders", "P2026-001", "--format", "csv"});
    EXPECT_EQ(listed, 0) << orders.toStdString();
    EXPECT_TRUE(orders.contains("SO2026110201")) << orders.toStdString();
    QFile::remove(file);  // the server's folder is shared with the test
}
#endif

#ifdef MARLITH_PROGRAM
// The entry init-db --demo writes for a server logs in with the account init-db was given,
// by its options or by ISC_USER and ISC_PASSWORD: a clerk's run through it needs neither.
// The password comes from a file or the standard input, off the command line that every
// user's ps shows, or still from --password.
TEST(ServerInitDb, TheEntryWrittenLogsInWithTheAccountGiven) {
    const QString host = qEnvironmentVariable("MARLITH_TEST_SERVER");
    if (host.isEmpty()) GTEST_FAIL() << "MARLITH_TEST_SERVER is not set: run the server tests through scripts/test";
    const QString folder = qEnvironmentVariable("MARLITH_TEST_SERVER_DIR", "/tmp/marlith-server-tests");
    const QString password = qEnvironmentVariable("MARLITH_TEST_SERVER_PASSWORD", "masterkey");
    QProcessEnvironment clean = QProcessEnvironment::systemEnvironment();
    clean.remove("ISC_USER");
    clean.remove("ISC_PASSWORD");
    QProcessEnvironment login = clean;
    login.insert("ISC_USER", "sysdba");
    login.insert("ISC_PASSWORD", password);
    QTemporaryDir secrets;
    const QString passwordFile = secrets.filePath("password");
    QFile written(passwordFile);
    ASSERT_TRUE(written.open(QIODevice::WriteOnly));
    written.write(password.toUtf8() + "\r\nthe second line is not read\n");
    written.close();
    const struct {
        const char* how;
        QStringList options;
        QProcessEnvironment env;
        QString user;
        QByteArray input;  // the standard input
    } cases[] = {
        {"password file", {"--user", "SYSDBA", "--password-file", passwordFile}, clean, "SYSDBA", {}},
        {"standard input", {"--user", "SYSDBA", "--password-stdin"}, clean, "SYSDBA", password.toUtf8() + "\n"},
        {"options", {"--user", "SYSDBA", "--password", password}, clean, "SYSDBA", {}},
        {"environment", {}, login, "sysdba", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.how);
        QTemporaryDir dir;
        const QString file = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + ".fdb");
        auto run = [&](const QProcessEnvironment& env, const QStringList& args, const QByteArray& input = {}) {
            QProcessEnvironment e = env;
            e.insert("MARLITH_CONNECTIONS", dir.filePath("connections.ini"));
            e.insert("MARLITH_SETTINGS", dir.filePath("Dovanta.ini"));
            QProcess p;
            p.setProcessEnvironment(e);
            p.start(QStringLiteral(MARLITH_PROGRAM), args);
            p.write(input);
            p.closeWriteChannel();
            p.waitForFinished(120000);
            return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput() + p.readAllStandardError()));
        };
        const auto [created, createdOut] =
            run(c.env, QStringList{"init-db", "--demo"} + c.options + QStringList{host + ":" + file}, c.input);
        ASSERT_EQ(created, 0) << createdOut.toStdString();
        QFile entry(dir.filePath("connections.ini"));
        ASSERT_TRUE(entry.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(entry.readAll());
        EXPECT_TRUE(text.contains("\nUser_Name=" + c.user + "\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("\nPassword=" + password + "\n")) << text.toStdString();
        const auto [listed, orders] = run(clean, {"orders", "P2026-001", "--format", "csv"});
        EXPECT_EQ(listed, 0) << orders.toStdString();
        EXPECT_TRUE(orders.contains("SO2026110201")) << orders.toStdString();
        QFile::remove(file);
    }
}
#endif
