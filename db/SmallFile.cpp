#include "db/SmallFile.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {

std::optional<QByteArray> Refused(QString* reason, const QString& why) {
    if (reason) *reason = why;
    return std::nullopt;
}

QString TooLarge() {
    return QStringLiteral("is larger than 1 MiB (%1 bytes), the most a settings, connection or password file may hold")
        .arg(kSmallFileBytes);
}

const char* KindOf(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
    if (S_ISCHR(mode)) return "a character device";
    if (S_ISBLK(mode)) return "a block device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a file";
}

}  // namespace

std::optional<QByteArray> ReadSmallStream(int fd, QString* reason) {
    QByteArray bytes;
    char buffer[16384];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Refused(reason, qt_error_string(errno));
        if (n == 0) return bytes;
        if (bytes.size() + n > kSmallFileBytes) return Refused(reason, TooLarge());
        bytes.append(buffer, n);
    }
}

std::optional<QByteArray> ReadSmallFile(const QString& path, QString* reason) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return Refused(reason, qt_error_string(errno));
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return Refused(reason, qt_error_string(errno));
    if (S_ISDIR(st.st_mode)) return Refused(reason, QStringLiteral("is a directory"));
    if (!S_ISREG(st.st_mode))
        return Refused(reason, QStringLiteral("is not a regular file but %1").arg(QLatin1String(KindOf(st.st_mode))));
    if (st.st_size > kSmallFileBytes) return Refused(reason, TooLarge());
    // A regular file reads the same without waiting; the size read is what counts (a
    // file of /proc says 0 and may hold more).
    return ReadSmallStream(fd, reason);
}

}  // namespace db
