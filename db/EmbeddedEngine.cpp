#include "db/EmbeddedEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "db/Error.h"
#include "db/PrivateFiles.h"

namespace db {

namespace {

// The embedded engine needs a lock directory that this user may write. The package's
// default is writable by the firebird group only; a user outside it gets one of its own.
// Processes sharing one database file must share the lock directory (in the shared mode
// two folders would mean two lock tables over one file, and a corrupted database), so the
// default is kept whenever it is usable, and the user's own is one fixed path: the same
// for a desktop window, a terminal and a scheduled job, whatever their environment says
// (not $XDG_RUNTIME_DIR or $TMPDIR, which differ between them). The folder must be a real
// directory of this user's that nobody else can enter; otherwise the attachment is
// refused rather than made with locks another user could tamper with.
void EnsureLockDirectory() {
    static bool done = false;
    if (done) return;
    if (qEnvironmentVariableIsSet("FIREBIRD_LOCK")) {
        done = true;
        return;
    }
    const QFileInfo def(QStringLiteral("/tmp/firebird"));
    if ((def.isDir() && def.isWritable()) || (!def.exists() && QFileInfo(QStringLiteral("/tmp")).isWritable())) {
        done = true;  // the engine's own (it creates it when missing)
        return;
    }
    const QByteArray dir = QStringLiteral("/tmp/marlith-firebird-%1").arg(getuid()).toLocal8Bit();
    if (::mkdir(dir.constData(), 0700) != 0 && errno != EEXIST)
        throw DbError("cannot make the lock folder " + dir.toStdString() + ": " + std::strerror(errno));
    if (!IsPrivateFolder(QString::fromLocal8Bit(dir), 077))
        throw DbError("the lock folder " + dir.toStdString() +
                      " is not a private folder of this user's: remove it, or set FIREBIRD_LOCK");
    qputenv("FIREBIRD_LOCK", dir);
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

void PrepareEmbeddedEngine() {
    EnsureLockDirectory();
    UseSharedEmbeddedEngine();
}

}  // namespace db
