#include "db/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace db {

bool MakePrivatePath(const QString& path) {
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (QFileInfo(absolute).isDir()) return true;
    const QString parent = QFileInfo(absolute).path();
    if (parent != absolute && !MakePrivatePath(parent)) return false;
    // mkdir's mode is narrowed by the umask, never widened: 0700 stays the user's alone.
    return ::mkdir(QFile::encodeName(absolute).constData(), 0700) == 0 || errno == EEXIST;
}

bool IsPrivateFolder(const QString& path, mode_t forbidden) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & forbidden) == 0;
}

}  // namespace db
