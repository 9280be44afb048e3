// The user's files stay the user's: the connection entry (a server's holds its password),
// the settings file, the query dump, the database init-db makes and the folders it makes
// for it, the embedded engine's configuration root and lock folder, whatever the umask of
// the program that writes them; a configuration root that another user could have changed
// is refused, not used (the engine loads its plugins through it); and a lock folder
// another user could plant links in is never used (the engine writes through them).

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <utility>

#include "app/Settings.h"
#include "db/ConnectionParams.h"
#include "db/EmbeddedEngine.h"
#include "db/Error.h"

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
        env.insert("XDG_RUNTIME_DIR", dir.filePath("run"));
        env.remove("FIREBIRD_LOCK");
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
    ASSERT_EQ(::mkdir(QFile::encodeName(temp.filePath("run")).constData(), 0700), 0);
    const Program program{QDir(temp.path())};
    const auto made = program.Run({"init-db", "--demo", temp.filePath("home/marlith/POSDATA.FDB")});
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
        {"cache/marlith/query.txt", 0600},        {"home", 0700},
        {"home/marlith", 0700},                   {"home/marlith/POSDATA.FDB", 0600},
        {"run/marlith-firebird", 0700},
    };
    for (const auto& e : expected) EXPECT_EQ(Mode(temp.filePath(e.path)), e.mode) << e.path;
    // The engine kept its locks in the user's runtime folder.
    EXPECT_FALSE(QDir(temp.filePath("run/marlith-firebird")).isEmpty(QDir::Files | QDir::Hidden | QDir::System));
}

// The engine writes its lock files through whatever it finds by their names: a link in
// the lock folder makes a run write into the file the link names. A lock folder of the
// user's holding one is refused with the folder named, and what the link names is left
// as it was.
TEST(PrivateFiles, ALockFolderHoldingALinkIsRefused) {
    QTemporaryDir temp;
    const QString folder = temp.filePath("run/marlith-firebird");
    ASSERT_TRUE(QDir().mkpath(folder));
    ASSERT_EQ(::chmod(QFile::encodeName(temp.filePath("run")).constData(), 0700), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(folder).constData(), 0700), 0);
    QFile victim(temp.filePath("victim"));
    ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
    victim.close();
    const mode_t victimMode = Mode(victim.fileName());
    // Every name the engine gives a lock file is a name a link may take; this one is its
    // first.
    ASSERT_TRUE(QFile::link(victim.fileName(), folder + "/fb_init"));
    const Program program{QDir(temp.path())};
    const auto refused = program.Run({"init-db", "--demo", temp.filePath("POSDATA.FDB")});
    EXPECT_EQ(refused.first, 1);
    EXPECT_TRUE(refused.second.contains("the lock folder " + folder + " holds a link")) << refused.second.toStdString();
    EXPECT_FALSE(QFileInfo::exists(temp.filePath("POSDATA.FDB")));
    EXPECT_EQ(QFileInfo(victim.fileName()).size(), 0);
    EXPECT_EQ(Mode(victim.fileName()), victimMode);
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

// Where the lock folder is, and what is never used: each way another user could have put
// a folder, or a link in it, in the engine's way. The user's runtime folder comes first;
// the engine's own folder is used only as the server package makes it; a folder of the
// user's own that is not private is refused, not passed over (another process of the
// user may be using it).
TEST(LockFolder, OnlyAFolderNoOtherUserCanPlantLinksInIsUsed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give a folder to another user";
    const auto dir = [](const QString& path, mode_t mode, uid_t owner = 0) {
        ASSERT_TRUE(QDir().mkpath(path));
        ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), mode), 0);
        ASSERT_EQ(::chown(QFile::encodeName(path).constData(), owner, 0), 0);
    };
    // A link to a file of the user's, as another user would plant it; or a second name of it.
    const auto link = [](const QString& folder, const QString& target) {
        ASSERT_TRUE(QFile::link(target, folder + "/fb_lock_planted"));
    };
    const auto hardLink = [](const QString& folder, const QString& target) {
        ASSERT_EQ(::link(QFile::encodeName(target).constData(), QFile::encodeName(folder + "/fb_lock_planted").constData()),
                  0);
    };
    const uid_t other = 65534;
    const struct {
        const char* what;
        std::function<void(const QString& t, const QString& victim)> setUp;
        const char* chosen;  // relative to the case's folder; nullptr: refused
    } cases[] = {
        {"the runtime folder first",
         [&](const QString& t, const QString&) {
             dir(t + "/run", 0700);
             dir(t + "/engine", 0770);
         },
         "run/marlith-firebird"},
        {"a runtime folder open to others is passed over",
         [&](const QString& t, const QString&) {
             dir(t + "/run", 0755);
             dir(t + "/engine", 0770);
         }, "engine"},
        {"the engine's folder", [&](const QString& t, const QString&) { dir(t + "/engine", 0770); }, "engine"},
        {"the engine's folder missing: never made", [](const QString&, const QString&) {}, "fallback"},
        {"a folder of another user's in the engine's place",
         [&](const QString& t, const QString&) { dir(t + "/engine", 0770, other); }, "fallback"},
        {"a folder everybody may write in the engine's place",
         [&](const QString& t, const QString&) { dir(t + "/engine", 01777); }, "fallback"},
        {"the engine's folder holding a link",
         [&](const QString& t, const QString& victim) {
             dir(t + "/engine", 0770);
             link(t + "/engine", victim);
         },
         "fallback"},
        {"the engine's folder holding a second name of a file",
         [&](const QString& t, const QString& victim) {
             dir(t + "/engine", 0770);
             hardLink(t + "/engine", victim);
         },
         "fallback"},
        {"the user's folder in /tmp taken by another user",
         [&](const QString& t, const QString&) { dir(t + "/fallback", 0700, other); }, nullptr},
        {"the user's folder in /tmp open to others",
         [&](const QString& t, const QString&) { dir(t + "/fallback", 0777); }, nullptr},
        {"the user's folder in /tmp holding a link",
         [&](const QString& t, const QString& victim) {
             dir(t + "/fallback", 0700);
             link(t + "/fallback", victim);
         },
         nullptr},
        {"the lock folder in the runtime folder holding a link",
         [&](const QString& t, const QString& victim) {
             dir(t + "/run", 0700);
             dir(t + "/run/marlith-firebird", 0700);
             link(t + "/run/marlith-firebird", victim);
         },
         nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir temp;
        const QString t = temp.path();
        QFile victim(t + "/victim");
        ASSERT_TRUE(victim.open(QIODevice::WriteOnly));
        victim.close();
        c.setUp(t, victim.fileName());
        db::LockFolderPlaces places;
        places.runtime = {t + "/run"};
        places.engine = t + "/engine";
        places.fallback = t + "/fallback";
        const bool engineThere = QFileInfo::exists(places.engine);
        if (c.chosen) {
            const QString chosen = db::ChooseLockFolder(places);
            EXPECT_EQ(chosen, t + "/" + c.chosen);
            if (chosen != places.engine) {
                EXPECT_EQ(Mode(chosen), mode_t(0700));
            }
        } else {
            try {
                db::ChooseLockFolder(places);
                ADD_FAILURE() << "used";
            } catch (const db::DbError& e) {
                EXPECT_TRUE(QString::fromStdString(e.what()).contains("the lock folder " + t)) << e.what();
            }
        }
        EXPECT_EQ(QFileInfo::exists(places.engine), engineThere);
        EXPECT_EQ(QFileInfo(victim.fileName()).size(), 0);
    }
}
#endif
