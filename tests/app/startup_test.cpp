#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/DemoData.h"
#include "app/FirstStart.h"
#include "app/Settings.h"
#include "db/Connection.h"
#include "db/ConnectionParams.h"
#include "support/Fifo.h"

namespace {

QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& text) {
    const QString path = QDir(dir.path()).filePath(name);
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
    return path;
}

}  // namespace

// The identifiers as the old system read them, and a warning whenever the file leaves the
// requisition without a user.
TEST(Settings, ReadsPriviteSectionAndWarnsWithoutAUser) {
    using Problem = app::Settings::Problem;
    QTemporaryDir dir;
    struct Case { const char* text; const char* user; const char* store; Problem problem; };
    const Case cases[] = {
        {"[privite]\nuserid=A001\nstoreid=S01\n", "A001", "S01", Problem::None},
        {"[privite]\r\nuserid=\"A002\"\r\nstoreid='S02'\r\n", "A002", "S02", Problem::None},
        {"[PRIVITE]\nUSERID = A002 \n", "A002", "", Problem::None},
        {"[privite]\nstoreid=S01\n", "", "S01", Problem::UserMissing},
        {"[privite]\nuserid=\"\"\nstoreid=S01\n", "", "S01", Problem::UserMissing},
        {"[private]\nuserid=A001\nstoreid=S01\n", "", "", Problem::UserMissing},  // the program's section is "privite"
        {"", "", "", Problem::UserMissing},
    };
    const QString path = QDir(dir.path()).filePath("Dovanta.ini");
    for (const Case& c : cases) {
        const app::Settings s = app::Settings::Load(WriteFile(dir, "Dovanta.ini", c.text));
        EXPECT_EQ(s.userId, c.user) << c.text;
        EXPECT_EQ(s.storeId, c.store) << c.text;
        EXPECT_EQ(s.problem, c.problem) << c.text;
        if (c.problem == Problem::None) {
            EXPECT_EQ(s.Warning(), QString()) << c.text;
        } else {
            EXPECT_EQ(s.Warning(), QString("設定檔 %1 沒有使用者代號（[privite] 區段的 userid）。").arg(path)) << c.text;
        }
    }
    const QString absent = QDir(dir.path()).filePath("absent.ini");
    const app::Settings missing = app::Settings::Load(absent);
    EXPECT_TRUE(missing.userId.isEmpty());
    EXPECT_TRUE(missing.storeId.isEmpty());
    EXPECT_EQ(missing.problem, Problem::FileMissing);
    EXPECT_EQ(missing.Warning(), QString("找不到設定檔 %1，無法取得使用者代號與門市代號。").arg(absent));
}

// A settings file that is there but no regular file (a FIFO in its place) is not waited
// for: the warning says why it was not read.
TEST(Settings, AFifoInTheFilesPlaceIsNotWaitedFor) {
    QTemporaryDir dir;
    const QString fifo = testsupport::MakeFifo(QDir(dir.path()).filePath("Dovanta.ini"));
    const app::Settings s = testsupport::ReadWithin(fifo, 20, [&] { return app::Settings::Load(fifo); });
    EXPECT_EQ(s.problem, app::Settings::Problem::FileMissing);
    EXPECT_EQ(s.Warning(), QString("無法讀取設定檔 %1（is not a regular file but a FIFO (named pipe)），"
                                   "無法取得使用者代號與門市代號。")
                               .arg(fifo));
}

TEST(Settings, Big5FileOfTheDesktopToolsIsRead) {
    QTemporaryDir dir;
    // 陳 in Big5 is B3 AF.
    const app::Settings s = app::Settings::Load(WriteFile(dir, "Dovanta.ini", "[privite]\nuserid=\xB3\xAF\n"));
    EXPECT_EQ(s.userId, QString::fromUtf8("陳"));
}

TEST(InitDb, DemoDatabaseAndConfigurationWithoutOverwriting) {
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QDir(dir.path()).filePath("config").toUtf8());
    qunsetenv(db::kConnectionsEnv);
    const QString settingsPath = QDir(dir.path()).filePath("Dovanta.ini");
    qputenv(app::kSettingsEnv, settingsPath.toUtf8());
    const QString dbPath = QDir(dir.path()).filePath("data/POSDATA.FDB");

    app::CreateProgramDatabase(dbPath, true);
    EXPECT_THROW(app::CreateProgramDatabase(dbPath, true), std::exception);  // never replaced

    const QStringList report = app::WriteDemoConfiguration(dbPath);
    ASSERT_EQ(report.size(), 2);
    EXPECT_TRUE(report[0].startsWith("wrote")) << report[0].toStdString();
    EXPECT_EQ(app::Settings::Load(settingsPath).userId, "A001");

    // The entry written points at the database; a second run keeps the user's files.
    QFile::remove(settingsPath);
    WriteFile(dir, "Dovanta.ini", "[privite]\nuserid=MINE\n");
    const QStringList again = app::WriteDemoConfiguration(dbPath);
    EXPECT_TRUE(again[0].startsWith("kept"));
    EXPECT_TRUE(again[1].startsWith("kept"));
    EXPECT_EQ(app::Settings::Load(settingsPath).userId, "MINE");

    db::Connection c;  // loads the named entry "Kelmor" from the file just written
    db::Query q(c);
    q.SetSQL({"select a.masterbillid, count(*) from order_master a inner join order_sub b",
              " on a.masterbillid = b.masterbillid",
              " where a.disable_flag = 'False' AND a.TS <> 'Y' and a.proj_id = :P group by 1 order by 1"});
    q.SetParam("P", "P2026-001");
    q.Open();
    // Disabled, transferred, TS-null orders are not listed.
    ASSERT_EQ(q.RecordCount(), 2);
    EXPECT_EQ(q.Fields(0).AsString(), "SO2026110201");
    EXPECT_EQ(q.Fields(1).AsInteger(), 3);

    db::Query name(c);
    name.SetSQL({"SELECT PROJ_NAME FROM PROJ_ITEM WHERE PROJ_ID = 'P2026-002'"});
    name.Open();
    EXPECT_EQ(name.Fields(0).AsString(), QString::fromUtf8("新竹廠房擴建"));
    qunsetenv(app::kSettingsEnv);
    qunsetenv("XDG_CONFIG_HOME");
}

TEST(InitDb, WithoutChosenFilesBothGoToTheUserConfigFolderAndAreFoundThere) {
    // An installed program's folder (/usr/bin) is not the user's: the demo's files go to
    // $XDG_CONFIG_HOME/marlith, where the lookups find them after the executable's folder.
    QDir exeDir(db::ExecutableDir());
    if (exeDir.exists(db::kConnectionsFileName) || exeDir.exists(app::kSettingsFileName))
        GTEST_SKIP() << "files beside the test executable take precedence: " << exeDir.path().toStdString();
    QTemporaryDir dir;
    const QString config = QDir(dir.path()).filePath("config");
    qputenv("XDG_CONFIG_HOME", config.toUtf8());
    qunsetenv(db::kConnectionsEnv);
    qunsetenv(app::kSettingsEnv);

    bool found = true;
    EXPECT_EQ(app::Settings::DefaultPath(&found), exeDir.filePath(app::kSettingsFileName));
    EXPECT_FALSE(found);
    const QString dbPath = QDir(dir.path()).filePath("POSDATA.FDB");
    const QStringList report = app::WriteDemoConfiguration(dbPath);
    const QString connections = config + "/marlith/connections.ini";
    const QString settings = config + "/marlith/Dovanta.ini";
    EXPECT_EQ(report, QStringList({"wrote the connection entry " + connections, "wrote the settings file " + settings}));
    EXPECT_FALSE(exeDir.exists(db::kConnectionsFileName));
    EXPECT_FALSE(exeDir.exists(app::kSettingsFileName));

    EXPECT_EQ(db::FindConnectionsFile(&found), connections);
    EXPECT_TRUE(found);
    EXPECT_EQ(app::Settings::DefaultPath(&found), settings);
    EXPECT_TRUE(found);
    EXPECT_EQ(app::Settings::Load(app::Settings::DefaultPath()).storeId, "S01");
    EXPECT_EQ(db::LoadNamedConnection().database, dbPath);

    // A chosen settings file that does not exist yet is the one written, never replaced.
    const QString chosen = QDir(dir.path()).filePath("chosen/Dovanta.ini");
    qputenv(app::kSettingsEnv, chosen.toUtf8());
    EXPECT_EQ(app::WriteDemoConfiguration(dbPath).last(), "wrote the settings file " + chosen);
    qunsetenv(app::kSettingsEnv);
    qunsetenv("XDG_CONFIG_HOME");
}

// The first start: no connection entry. The question names where the entry is looked
// for and where the demo goes; Yes creates the demo database and the files that name it
// (the entry is then there); a file with other entries only is still a first start.
TEST(FirstStart, WithoutAConnectionEntryTheDemoIsOfferedAndMadeOnYes) {
    QDir exeDir(db::ExecutableDir());
    if (exeDir.exists(db::kConnectionsFileName))
        GTEST_SKIP() << "a connection file beside the test executable takes precedence";
    QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", QDir(dir.path()).filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", QDir(dir.path()).filePath("data").toUtf8());
    qunsetenv(db::kConnectionsEnv);
    qunsetenv(app::kSettingsEnv);

    EXPECT_TRUE(app::ConnectionEntryMissing());
    const QString question = app::FirstStartQuestion();
    for (const QString& place : app::ConnectionFileCandidates())
        EXPECT_TRUE(question.contains(QDir::toNativeSeparators(place))) << place.toStdString();
    EXPECT_TRUE(question.contains(app::DemoDatabasePath()));
    EXPECT_EQ(app::DemoDatabasePath(), QDir(dir.path()).filePath("data/marlith/demo/POSDATA.FDB"));

    // A file of other entries only.
    const QString other = WriteFile(dir, "other.ini", "[Elsewhere]\nDatabase=/nowhere.fdb\n");
    qputenv(db::kConnectionsEnv, other.toUtf8());
    EXPECT_TRUE(app::ConnectionEntryMissing());
    EXPECT_EQ(app::ConnectionFileCandidates(), QStringList{other});
    qunsetenv(db::kConnectionsEnv);

    app::CreateDemoForFirstStart();
    EXPECT_TRUE(QFile::exists(app::DemoDatabasePath()));
    EXPECT_FALSE(app::ConnectionEntryMissing());
    EXPECT_EQ(db::LoadNamedConnection().database, app::DemoDatabasePath());
    db::Connection c;
    c.Open();
    db::Query q(c);
    q.SetSQL({"SELECT COUNT(*) FROM PROJ_ITEM"});
    q.Open();
    EXPECT_GT(q.Fields(0).AsInteger(), 0) << "the demo data";
    c.Close();
    // Asked again (the clerk removed the entry), the existing demo database is kept.
    EXPECT_NO_THROW(app::CreateDemoForFirstStart());

    qunsetenv("XDG_CONFIG_HOME");
    qunsetenv("XDG_DATA_HOME");
}

// A connection file that is there but cannot be read (a folder in its place) is no first
// start: the demo is not offered over it, and loading the entry says why it failed.
TEST(FirstStart, AConnectionFileThatCannotBeReadIsNoFirstStart) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("connections.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    qputenv(db::kConnectionsEnv, folder.toUtf8());
    EXPECT_FALSE(app::ConnectionEntryMissing());
    try {
        db::LoadNamedConnection();
        ADD_FAILURE() << "expected an error";
    } catch (const std::exception& e) {
        EXPECT_TRUE(std::string(e.what()).find("cannot be read") != std::string::npos) << e.what();
    }
    qunsetenv(db::kConnectionsEnv);
}
