#include "db/PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
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

bool HoldsNoLinks(const QString& folder) {
    // The folder itself is opened without following a link.
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return false;
    }
    bool none = true;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..") continue;
        struct stat st {};
        if (::fstatat(fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (errno == ENOENT) continue;  // removed meanwhile by a process of the engine
            none = false;
            break;
        }
        if (S_ISLNK(st.st_mode) || (!S_ISDIR(st.st_mode) && st.st_nlink > 1)) {
            none = false;
            break;
        }
    }
    ::closedir(dir);
    return none;
}

}  // namespace db
