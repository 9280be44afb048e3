#pragma once
// Runs the marlith program of this build as a user runs it on a build machine: no
// display (the workshop commands render off-screen by themselves), the rest of the
// environment as the test has it. MARLITH_PROGRAM is the program's path, defined by the
// test executable's CMakeLists.

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>

namespace testsupport {

struct HeadlessOutcome {
    int code = -1;  // exit code; -1 when the program did not finish
    QString err;    // its standard error (or why it did not run)
};

inline HeadlessOutcome RunHeadless(const QString& program, const QStringList& args, int timeoutMs = 60000) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove("DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(program, args);
    if (!p.waitForFinished(timeoutMs)) return {-1, p.errorString()};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardError())};
}

}  // namespace testsupport
