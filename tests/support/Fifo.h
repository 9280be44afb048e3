#pragma once
// A FIFO in the place of a file the program reads: a reader that opened it as a file
// would wait at the open (or the read) for a writer that never comes. The test runs the
// read on a thread of its own for a bounded time; a reader still waiting then is released
// by a writer that opens and closes the FIFO at once, and the test fails instead of
// hanging.

#include <gtest/gtest.h>

#include <QFile>
#include <QString>

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <unistd.h>

namespace testsupport {

inline QString MakeFifo(const QString& path) {
    EXPECT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0) << path.toStdString();
    return path;
}

// What read() returns, read() having run for at most `seconds`.
template <typename Read>
auto ReadWithin(const QString& fifo, int seconds, Read read) {
    auto running = std::async(std::launch::async, read);
    if (running.wait_for(std::chrono::seconds(seconds)) == std::future_status::timeout) {
        ADD_FAILURE() << "the read of " << fifo.toStdString() << " did not end within " << seconds << " s";
        const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
        if (fd >= 0) ::close(fd);
    }
    return running.get();
}

}  // namespace testsupport
