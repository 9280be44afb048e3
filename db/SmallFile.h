#pragma once
// The small files the program reads whole: the settings file, the connection entries, a
// password file. A name can point anywhere, so only a regular file is read, and only up
// to kSmallFileBytes: a FIFO in its place would hold the program at the open or the
// read, and /dev/zero or a huge file would fill the memory. The file is opened without
// waiting (a FIFO's open would wait for a writer) and its type is checked on the open
// descriptor, so a name swapped between a check and the open changes nothing.

#include <QByteArray>
#include <QString>
#include <optional>

namespace db {

// 1 MiB: a settings or connection file is a few hundred bytes.
inline constexpr qint64 kSmallFileBytes = 1 << 20;

// The file's bytes; nullopt when it cannot be read, with the reason in *reason when
// given: the system's (missing, not permitted, an I/O error), "is a directory", "is not
// a regular file but a FIFO (named pipe)" or "is larger than 1 MiB (1048576 bytes) ...".
std::optional<QByteArray> ReadSmallFile(const QString& path, QString* reason = nullptr);

// What an open descriptor (standard input: a pipe, a file) gives up to its end, at most
// kSmallFileBytes; nullopt with the reason when the read fails or there is more.
std::optional<QByteArray> ReadSmallStream(int fd, QString* reason = nullptr);

}  // namespace db
