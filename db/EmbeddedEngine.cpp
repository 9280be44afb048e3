#include "db/EmbeddedEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "db/Error.h"
#include "db/PrivateFiles.h"

namespace db {

namespace {

// The lock folder, chosen once per process (ChooseLockFolder), unless refused: a refused
// folder is refused again at the next attachment. A FIREBIRD_LOCK the user set is kept.
// The engine's own folder is its default, and is left unnamed: a program this one starts
// as another user then makes its own choice rather than inherit this user's.
void EnsureLockDirectory() {
    static bool done = false;
    if (done) return;
    if (!qEnvironmentVariableIsSet("FIREBIRD_LOCK")) {
        const LockFolderPlaces places = DefaultLockFolderPlaces();
        const QString folder = ChooseLockFolder(places);
        if (folder != places.engine) qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
    }
    done = true;
}

// Several processes of the program open one database file with the embedded engine at
// once (the window and a command-line export, two windows) only when the engine runs in
// its shared mode: each process keeps its own page cache, and they coordinate through the
// lock files in the common lock directory. The mode is a setting of the engine's own
// configuration file, which the system's copy leaves at "Super" (the file held by one
// process), and no attachment parameter can change it. So the program gives the engine a
// configuration root of its own, one per user, before the client library reads its
// configuration: its firebird.conf selects the shared mode and keeps the system's
// settings, and everything else (plugins, messages, character sets) is the system's, by
// links. A FIREBIRD root chosen by the user is kept as it is.
void UseSharedEmbeddedEngine() {
    // Done once, unless refused: a refused root is refused again at the next attachment.
    static bool done = false;
    if (done) return;
    done = true;
    if (qEnvironmentVariableIsSet("FIREBIRD")) return;
    const QString system = QStringLiteral(MARLITH_FIREBIRD_ROOT);
    if (!QFileInfo::exists(system + QStringLiteral("/plugins"))) return;  // an engine installed elsewhere
    // In the user's own cache folder, never in a shared one: the engine loads its plugins
    // and reads its settings from the root, so nobody else may change the root, the
    // program's folder that holds it, or the links and the file in it. A root that
    // someone else could have changed is refused, not repaired: what it held may already
    // have been loaded by an earlier run.
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty()) base = QDir::home().filePath(QStringLiteral(".cache"));
    const QString root = QDir(base).filePath(QStringLiteral("marlith/firebird"));
    if (!MakePrivatePath(root)) return;  // the system's own settings then, as with no cache folder
    const auto refuse = [&](const QString& what) {
        done = false;
        throw DbError(QStringLiteral("the engine's configuration folder %1 is not a private folder of this user's "
                                     "(%2 may be changed by another user): remove it, or set FIREBIRD")
                          .arg(root, what)
                          .toStdString());
    };
    for (const QString& folder : {QFileInfo(root).path(), root})
        if (!IsPrivateFolder(folder, 022)) refuse(folder);
    const QStringList names = {"plugins",      "intl",         "lib",           "UDF",
                               "firebird.msg", "plugins.conf", "databases.conf", "fbtrace.conf"};
    for (const QString& name : names + QStringList{QStringLiteral("firebird.conf")}) {
        const QByteArray path = QFile::encodeName(QDir(root).filePath(name));
        struct stat st {};
        if (::lstat(path.constData(), &st) != 0) continue;
        // A link's own mode means nothing; who owns it, and a file's mode, do.
        if (st.st_uid != getuid() || (!S_ISLNK(st.st_mode) && (st.st_mode & 022) != 0))
            refuse(QFile::decodeName(path));
    }
    for (const QString& name : names) {
        const QString link = QDir(root).filePath(name);
        const QString target = QDir(system).filePath(name);
        if (QFileInfo(link).symLinkTarget() == target || !QFileInfo::exists(target)) continue;
        QFile::remove(link);
        QFile::link(target, link);
    }
    // The system's settings, then the shared mode.
    QByteArray conf;
    QFile systemConf(QDir(system).filePath(QStringLiteral("firebird.conf")));
    if (systemConf.open(QIODevice::ReadOnly)) conf = systemConf.readAll();
    // The shared mode gives each attachment a page cache of its own, 256 pages by default:
    // enough for the reading a clerk's commands do, and each attachment's cache is memory
    // of this process. The attachment that writes a requisition asks for more of its own
    // (Connection::SetPageCache).
    conf += "\n# marlith: several processes share an embedded database through the lock directory\n"
            "ServerMode = SuperClassic\n";
    const QString confPath = QDir(root).filePath(QStringLiteral("firebird.conf"));
    QFile current(confPath);
    if (!current.open(QIODevice::ReadOnly) || current.readAll() != conf) {
        current.close();
        QSaveFile out(confPath);
        if (!out.open(QIODevice::WriteOnly) || !out.setPermissions(kPrivateFile) || out.write(conf) != conf.size() ||
            !out.commit())
            return;
    }
    qputenv("FIREBIRD", QFile::encodeName(root));
}

}  // namespace

// The engine creates its lock files by name in the lock folder and follows what it finds
// there: a link another user planted would have it write the clerk's memory into a file
// of that user's choosing. So a lock folder is used only when nobody else can put
// anything in it, or when it is the engine's own, which only the engine's users may write.
// Processes sharing one database file must share the lock folder (in the shared mode two
// folders would mean two lock tables over one file, and a corrupted database); a
// database the program makes is the user's alone, so a folder of the user's own serves
// every process that opens it. The user's runtime folder is the first choice: it exists
// while the user has a session, the same for the desktop, a terminal and a job that runs
// meanwhile (which finds /run/user/UID without being told), and no other user can take
// its name first, as they can a name in /tmp.
LockFolderPlaces DefaultLockFolderPlaces() {
    LockFolderPlaces places;
    const QString uid = QString::number(::getuid());
    for (const QString& runtime : {qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/run/user/") + uid})
        if (!runtime.isEmpty()) places.runtime << runtime;
    places.engine = QStringLiteral("/tmp/firebird");
    places.fallback = QStringLiteral("/tmp/marlith-firebird-") + uid;
    return places;
}

namespace {

// The user's own lock folder, made when missing: a real directory of this user's that
// nobody else can enter, holding no link.
QString OwnLockFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        throw DbError("cannot make the lock folder " + folder.toStdString() + ": " + std::strerror(errno));
    if (!IsPrivateFolder(folder, 077))
        throw DbError("the lock folder " + folder.toStdString() +
                      " is not a private folder of this user's: remove it, or set FIREBIRD_LOCK");
    if (!HoldsNoLinks(folder))
        throw DbError("the lock folder " + folder.toStdString() +
                      " holds a link, which the engine would follow: remove the folder, or set FIREBIRD_LOCK");
    return folder;
}

// The engine's lock folder as the server package makes it: owned by root or by the
// engine's user, writable by nobody outside its group, and by this user.
bool IsEngineLockFolder(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || (st.st_mode & S_IWOTH) != 0) return false;
    const passwd* engine = ::getpwnam("firebird");
    if (st.st_uid != 0 && !(engine && st.st_uid == engine->pw_uid)) return false;
    return ::access(path.constData(), W_OK | X_OK) == 0 && HoldsNoLinks(folder);
}

}  // namespace

QString ChooseLockFolder(const LockFolderPlaces& places) {
    for (const QString& runtime : places.runtime)
        if (IsPrivateFolder(runtime, 077)) return OwnLockFolder(QDir(runtime).filePath(QStringLiteral("marlith-firebird")));
    if (!places.engine.isEmpty() && IsEngineLockFolder(places.engine)) return places.engine;
    return OwnLockFolder(places.fallback);
}

void PrepareEmbeddedEngine() {
    EnsureLockDirectory();
    UseSharedEmbeddedEngine();
}

}  // namespace db
