#pragma once
// The embedded engine's environment, set before the first embedded attachment of the
// process: a lock folder that only this user (or the engine's own users) may write,
// shared by every process of the program, and the engine's shared mode, so that several
// processes open one database file.

#include <QString>
#include <QStringList>

namespace db {

// Sets both up once per process (later calls do nothing).
void PrepareEmbeddedEngine();

// The places a lock folder may be, in the order they are tried.
struct LockFolderPlaces {
    // The user's runtime folders ($XDG_RUNTIME_DIR, /run/user/UID): the first that is a
    // private folder of the user's holds the lock folder marlith-firebird.
    QStringList runtime;
    // The engine's own (/tmp/firebird): used as it is when it is owned by root or by the
    // engine's user, nobody outside its group may write it, this user may, and it holds
    // no link. Never made: a name in /tmp that another user could take first.
    QString engine;
    // The user's own folder in /tmp (/tmp/marlith-firebird-UID), made when missing.
    QString fallback;
};

LockFolderPlaces DefaultLockFolderPlaces();

// The lock folder to use, made if it is the user's own and missing. A folder of the
// user's own that another user owns or may enter, or that holds a link, is refused
// (DbError naming it) rather than passed over: another process of the user may already
// be using it, and two lock folders over one database corrupt it.
QString ChooseLockFolder(const LockFolderPlaces& places);

}  // namespace db
