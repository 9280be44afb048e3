// The user's files stay the user's: the connection entry (a server's holds its password),
// the settings file, the query dump and the embedded engine's configuration root, whatever
// the umask of the program that writes them; and a configuration root that another user
// could have changed is refused, not used (the engine loads its plugins through it).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "app/Settings.h"
#include "db/ConnectionParams.h"

#ifdef MARLITH_PROGRAM
namespace {

// The program run with the user's folders in dir and with umask 000, as a desktop session
// that sets none may start it.
struct Program {
    QDir dir;

    QProcessEnvironment Environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("FIREBIRD");
        env.insert("HOME", dir.path());
        env.insert("XDG_CACHE_HOME", dir.filePath("cache"));
        env.insert(db::kConnectionsEnv, dir.filePath("config/marlith/connections.ini"));
        env.insert(app::kSettingsEnv, dir.filePath("config/marlith/Dovanta.ini"));
        return env;
    }

    std::pair<int, QString> Run(const QStringList& args) const {
        QProcess p;
        p.setProcessEnvironment(Environment());
        p.setChildProcessModifier([] { ::umask(0); });
        p.start(QStringLiteral(MARLITH_PROGRAM), args);
        EXPECT_TRUE(p.waitForFinished(120000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardError())};
    }
};

mode_t Mode(const QString& path) {
    struct stat st {};
    EXPECT_EQ(::lstat(QFile::encodeName(path).constData(), &st), 0) << path.toStdString();
    return st.st_mode & 07777;
}

}  // namespace

TEST(PrivateFiles, UnderAnOpenUmaskTheUsersFilesAreTheirsAlone) {
    QTemporaryDir temp;
    const Program program{QDir(temp.path())};
    const auto made = program.Run({"init-db", "--demo", temp.filePath("POSDATA.FDB")});
    ASSERT_EQ(made.first, 0) << made.second.toStdString();
    const auto listed = program.Run({"orders", "P2026-001"});
    ASSERT_EQ(listed.first, 0) << listed.second.toStdString();

    const struct {
        const char* path;
        mode_t mode;
    } expected[] = {
        {"config/marlith/connections.ini", 0600}, {"config/marlith/Dovanta.ini", 0600},
        {"config/marlith", 0700},                 {"cache/marlith", 0700},
        {"cache/marlith/firebird", 0700},         {"cache/marlith/firebird/firebird.conf", 0600},
        {"cache/marlith/query.txt", 0600},
    };
    for (const auto& e : expected) EXPECT_EQ(Mode(temp.filePath(e.path)), e.mode) << e.path;
}

// Each way another user could have changed the configuration root: the folder that holds
// it or the root writable by others, the root or a link in it owned by someone else, the
// settings file writable by others. Each is refused with the place named; put right, the
// same root is used again.
TEST(PrivateFiles, AConfigurationRootAnotherUserCouldChangeIsRefused) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a file to another user";
    QTemporaryDir temp;
    const Program program{QDir(temp.path())};
    const auto made = program.Run({"init-db", "--demo", temp.filePath("POSDATA.FDB")});
    ASSERT_EQ(made.first, 0) << made.second.toStdString();

    const QString root = temp.filePath("cache/marlith/firebird");
    ASSERT_TRUE(QFileInfo(root + "/plugins").isSymLink());
    const struct {
        QString path;
        uid_t owner;  // nobody, or the user's own
        mode_t mode;  // 0: left as it is
    } cases[] = {
        {temp.filePath("cache/marlith"), 0, 0777},
        {root, 0, 0777},
        {root, 0, 0775},
        {root, 65534, 0},
        {root + "/plugins", 65534, 0},
        {root + "/firebird.conf", 0, 0666},
        {root + "/firebird.conf", 65534, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path.toStdString() + " " + std::to_string(c.owner) + " " + std::to_string(c.mode));
        const QByteArray path = QFile::encodeName(c.path);
        struct stat was {};
        ASSERT_EQ(::lstat(path.constData(), &was), 0);
        ASSERT_EQ(::lchown(path.constData(), c.owner, was.st_gid), 0);
        if (c.mode) {
            ASSERT_EQ(::chmod(path.constData(), c.mode), 0);
        }
        const auto refused = program.Run({"orders", "P2026-001"});
        EXPECT_EQ(refused.first, 1);
        EXPECT_TRUE(refused.second.contains("is not a private folder")) << refused.second.toStdString();
        EXPECT_TRUE(refused.second.contains(c.path + " may be changed by another user")) << refused.second.toStdString();
        ASSERT_EQ(::lchown(path.constData(), was.st_uid, was.st_gid), 0);
        if (c.mode) {
            ASSERT_EQ(::chmod(path.constData(), was.st_mode & 07777), 0);
        }
    }
    const auto listed = program.Run({"orders", "P2026-001"});
    EXPECT_EQ(listed.first, 0) << listed.second.toStdString();
}
#endif
