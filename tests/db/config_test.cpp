#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "db/ConnectionParams.h"
#include "db/Error.h"
#include "db/IniFile.h"

using namespace db;

TEST(IniFile, ProfileRules) {
    const IniFile ini = IniFile::Parse(
        "ignored=before any section\n"
        "[privite]\n"
        "  UserID = A001  \n"
        "userid=second wins never\n"
        "; comment=1\n"
        "storeid=\n"
        "noequals\n"
        "[Privite]\n"
        "storeid=from a repeated section\n"
        "[other]\n"
        "storeid=S9\n");
    EXPECT_EQ(ini.Value("PRIVITE", "userid"), "A001");
    EXPECT_EQ(ini.Value("privite", "storeid", "def"), "");  // present but empty
    EXPECT_EQ(ini.Value("privite", "missing", "def"), "def");
    EXPECT_EQ(ini.Value("private", "userid"), "");  // the section is spelled "privite"
    EXPECT_EQ(ini.Value("other", "storeid"), "S9");
    EXPECT_FALSE(ini.HasSection("nosuch"));
}

TEST(ConnectionParams, EmbeddedOrServerByTheDatabaseValue) {
    struct Case { const char* database; bool embedded; };
    const Case cases[] = {
        {"/var/lib/marlith/POSDATA.FDB", true}, {"./POSDATA.FDB", true}, {"POSDATA.FDB", true},
        {"/odd:name/db.fdb", true}, {"127.0.0.1:/srv/POSDATA.FDB", false},
        {"dbhost/3051:/srv/POSDATA.FDB", false}, {"localhost:employee", false},
    };
    for (const Case& c : cases) {
        ConnectionParams p;
        p.database = c.database;
        EXPECT_EQ(p.isEmbedded(), c.embedded) << c.database;
    }
}

TEST(ConnectionParams, ReadsTheNamedEntryKeys) {
    const IniFile ini = IniFile::Parse(
        "[Kelmor]\nDriverName=Interbase\nDatabase=127.0.0.1:/data/POSDATA.FDB\nUser_Name=SYSDBA\n"
        "Password=secret\nRoleName=RoleName\nSQLDialect=3\nServerCharSet=\nWaitOnLocks=False\n"
        "CodePage=BIG5-HKSCS\nLockTimeout=5\n");
    const ConnectionParams p = ConnectionParams::FromEntry(ini, "kelmor");
    EXPECT_EQ(p.database, "127.0.0.1:/data/POSDATA.FDB");
    EXPECT_EQ(p.password, "secret");
    EXPECT_EQ(p.roleName, "RoleName");
    EXPECT_EQ(p.sqlDialect, 3);
    EXPECT_TRUE(p.serverCharSet.isEmpty());
    EXPECT_FALSE(p.waitOnLocks);
    EXPECT_EQ(p.codePage, "BIG5-HKSCS");
    EXPECT_EQ(p.lockTimeout, 5);
}

TEST(ConnectionParams, MissingFileAndMissingEntry) {
    QTemporaryDir dir;
    const QString missing = QDir(dir.path()).filePath("connections.ini");
    qputenv(kConnectionsEnv, missing.toUtf8());
    try {
        LoadNamedConnection();
        FAIL() << "expected an error";
    } catch (const DbError& e) {
        EXPECT_EQ(std::string(e.what()),
                  "Driver/Connection Registry File '" + missing.toStdString() + "' not found");
    }
    QFile f(missing);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Other]\nDatabase=/x.fdb\n");
    f.close();
    EXPECT_THROW(LoadNamedConnection(), DbError);
    ASSERT_TRUE(f.open(QIODevice::Append));
    f.write("[Kelmor]\nDatabase=/y.fdb\n");
    f.close();
    EXPECT_EQ(LoadNamedConnection().database, "/y.fdb");
    qunsetenv(kConnectionsEnv);
}
