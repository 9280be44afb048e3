#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <utility>

#include "db/ConnectionParams.h"
#include "db/Error.h"
#include "db/IniFile.h"
#include "db/SmallFile.h"
#include "support/Fifo.h"

using namespace db;

namespace {

// The file's text as Load reads it from disk.
std::optional<IniFile> LoadText(const QTemporaryDir& dir, const QByteArray& text) {
    const QString path = QDir(dir.path()).filePath("Dovanta.ini");
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
    f.close();
    return IniFile::Load(path);
}

// Text as Notepad saves it "Unicode": a byte-order mark, then UTF-16 units.
QByteArray Utf16(const QString& text, bool littleEndian) {
    QByteArray bytes = littleEndian ? QByteArray("\xFF\xFE") : QByteArray("\xFE\xFF");
    for (const QChar c : text) {
        const char lo = char(c.unicode() & 0xFF), hi = char(c.unicode() >> 8);
        bytes.append(littleEndian ? lo : hi).append(littleEndian ? hi : lo);
    }
    return bytes;
}

}  // namespace

// What the Windows profile reader gives for "privite"/"userid", file by file.
TEST(IniFile, ReadsValuesAsTheProfileReaderDoes) {
    struct Case {
        QByteArray text;
        QString value;  // kAbsent: the default is given
    };
    const QString kAbsent = "(default)";
    const Case cases[] = {
        {"[privite]\nuserid=\"A002\"\n", "A002"},
        {"[privite]\nuserid='A002'\n", "A002"},
        {"[privite]\nuserid=\"A002'\n", "\"A002'"},  // quotes that do not match stay
        {"[privite]\nuserid=\"A002\n", "\"A002"},
        {"[privite]\nuserid=A002\"\n", "A002\""},
        {"[privite]\nuserid=\"\n", "\""},
        {"[privite]\nuserid=\"\"\n", ""},
        {"[privite]\nuserid=\"A\"00\"2\"\n", "A\"00\"2"},  // only the outer pair goes
        {"[privite]\nuserid=  \" A002 \"  \n", " A002 "},  // nothing is trimmed inside quotes
        {"[privite]\nuserid = \t A002 \t \n", "A002"},
        {"[privite]\n\tUserID\t=A002\n", "A002"},
        {"[ PRIVITE ]\nuserid=A002\n", "A002"},
        {"  [Privite]  \nUSERID=A002\n", "A002"},
        {"[privite] ; the clerk's own\nuserid=A002\n", "A002"},
        {"\xEF\xBB\xBF[privite]\nuserid=A002\n", "A002"},
        {"[privite]\r\nuserid=\"A002\"\r\nstoreid=S01\r\n", "A002"},
        {"[privite]\r\nuserid=A002", "A002"},  // no line break at the end
        {"[privite]\nuserid=A001\nUserId=A002\n", "A001"},  // the first key wins
        {"[privite]\nstoreid=S01\n[PRIVITE]\nuserid=A002\n", kAbsent},  // a repeated section is not read
        {"[privite]\nuserid=\n", ""},
        {"[privite]\nuserid=a=b==\n", "a=b=="},
        {"[privite]\nuserid\nuserid=A002\n", "A002"},  // a line without '=' takes no key
        {"[privite]\n;userid=A001\n#userid=A003\nuserid=A002\n", "A002"},
        {"userid=A001\n[privite]\n", kAbsent},  // before any section
        {"[private]\nuserid=A002\n", kAbsent},  // the program's section is spelled "privite"
        {"[privite\nuserid=A002\n", kAbsent},   // no section without its ']'
        {"[privite]\nuserid=\xE3\x80\x80" "A002\n", QString::fromUtf8("\u3000A002")},  // a full-width space is text
        {"", kAbsent},
    };
    QTemporaryDir dir;
    for (const Case& c : cases) {
        const auto ini = LoadText(dir, c.text);
        ASSERT_TRUE(ini);
        EXPECT_EQ(ini->Value("privite", "userid", kAbsent), c.value) << c.text.toStdString();
    }
    EXPECT_FALSE(IniFile::Load(QDir(dir.path()).filePath("absent.ini")));
}

TEST(IniFile, SectionsAndKeysAsWritten) {
    const IniFile ini = IniFile::Parse(
        "[Kelmor]\nDatabase = \"/data/POSDATA.FDB\"\nuser_name=SYSDBA\n"
        "[kelmor]\nPassword=never read\n"
        "[ Other ]\nKey=1\n");
    EXPECT_EQ(ini.Sections(), (QStringList{"Kelmor", "Other"}));
    EXPECT_TRUE(ini.HasSection("KELMOR"));
    EXPECT_FALSE(ini.HasSection("nosuch"));
    EXPECT_EQ(ini.Section("kelmor"),
              (QMap<QString, QString>{{"Database", "/data/POSDATA.FDB"}, {"user_name", "SYSDBA"}}));
    EXPECT_TRUE(ini.Section("nosuch").isEmpty());

    // A stray surrogate in a damaged UTF-16 file does not stop a name being found in
    // another case.
    const IniFile damaged = IniFile::Parse(Utf16(QString("[S]\nKEY") + QChar(0xD800) + "=v\n", true));
    EXPECT_EQ(damaged.Value("s", QString("key") + QChar(0xD800)), "v");
}

// A line is UTF-8 when its bytes are, else the Big5 page; a file with a UTF-16 mark is
// UTF-16 throughout.
TEST(IniFile, TextOfBig5Utf8AndUtf16Files) {
    QTemporaryDir dir;
    // 許功 in Big5 is B3 5C A5 5C: a backslash as the second byte of both.
    const auto mixed = LoadText(dir, "[privite]\r\nuserid=\xB3\x5C\xA5\x5C\r\nstoreid=\"\xE9\x96\x80\xE5\xB8\x82\"\r\n");
    ASSERT_TRUE(mixed);
    EXPECT_EQ(mixed->Value("privite", "userid"), QString::fromUtf8("許功"));
    EXPECT_EQ(mixed->Value("privite", "storeid"), QString::fromUtf8("門市"));

    for (bool littleEndian : {true, false}) {
        const auto utf16 = LoadText(dir, Utf16(QString::fromUtf8("[privite]\r\nuserid='陳'\r\n"), littleEndian));
        ASSERT_TRUE(utf16);
        EXPECT_EQ(utf16->Value("privite", "userid"), QString::fromUtf8("陳")) << littleEndian;
    }
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

// A connection file that is there but cannot be read is reported as such, with the reason,
// never as "not found": a folder in its place, and a read that fails part way (the kernel
// refuses to read a process's memory at address 0 with an I/O error, even for root).
TEST(ConnectionParams, AFileThatCannotBeReadIsReportedWithTheReason) {
    QTemporaryDir dir;
    const QString folder = QDir(dir.path()).filePath("connections.ini");
    ASSERT_TRUE(QDir().mkpath(folder));
    const std::pair<QString, QString> cases[] = {{folder, "directory"}, {"/proc/self/mem", "Input/output error"}};
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        QString why;
        EXPECT_FALSE(IniFile::Load(path, &why));
        EXPECT_TRUE(why.contains(reason)) << why.toStdString();
        qputenv(kConnectionsEnv, path.toUtf8());
        try {
            LoadNamedConnection();
            ADD_FAILURE() << "expected an error";
        } catch (const DbError& e) {
            EXPECT_EQ(std::string(e.what()), "Driver/Connection Registry File '" + path.toStdString() +
                                                 "' cannot be read: " + why.toStdString());
        }
    }
    qunsetenv(kConnectionsEnv);
}

// A FIFO, a device or a huge file in the connection file's place would hold the program at
// the open or fill its memory: only a regular file of at most 1 MiB is read, and the error
// says which limit it passed.
TEST(ConnectionParams, OnlyARegularFileOfSaneSizeIsRead) {
    QTemporaryDir dir;
    const QString fifo = testsupport::MakeFifo(QDir(dir.path()).filePath("connections.ini"));
    const QString large = QDir(dir.path()).filePath("large.ini");
    QFile f(large);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Kelmor]\nDatabase=/x.fdb\n" + QByteArray(kSmallFileBytes, ';'));
    f.close();
    const std::pair<QString, QString> cases[] = {
        {fifo, "is not a regular file but a FIFO (named pipe)"},
        {"/dev/zero", "is not a regular file but a character device"},
        {large, "is larger than 1 MiB (1048576 bytes), the most a settings, connection or password file may hold"},
    };
    for (const auto& [path, reason] : cases) {
        SCOPED_TRACE(path.toStdString());
        qputenv(kConnectionsEnv, path.toUtf8());
        const QString error = testsupport::ReadWithin(fifo, 20, [] {
            try {
                return LoadNamedConnection().database;
            } catch (const DbError& e) {
                return QString::fromUtf8(e.what());
            }
        });
        EXPECT_EQ(error, "Driver/Connection Registry File '" + path + "' cannot be read: " + reason);
    }
    qunsetenv(kConnectionsEnv);
    // Just under the limit is read.
    ASSERT_TRUE(f.resize(kSmallFileBytes));
    EXPECT_EQ(IniFile::Load(large)->Value("Kelmor", "Database"), "/x.fdb");
}
