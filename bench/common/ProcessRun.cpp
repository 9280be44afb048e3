#include "bench/common/ProcessRun.h"

#include <QElapsedTimer>
#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace bench {

namespace {

double Seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; }

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

void Figures::Keep(const Figures& run) {
    wall = std::min(wall, run.wall);
    cpu = std::min(cpu, run.cpu);
    faults = std::min(faults, run.faults);
    peakKb = std::min(peakKb, run.peakKb);
}

Finished RunProcess(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                    const QString& scratch, const QByteArray& input, bool keepOutput) {
    const QString in = scratch + "/stdin", out = scratch + "/stdout", err = scratch + "/stderr";
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly) || f.write(input) != input.size())
            throw std::runtime_error("cannot write the input file");
    }
    std::vector<QByteArray> argBytes{QFile::encodeName(program)}, envBytes;
    for (const QString& a : args) argBytes.push_back(a.toLocal8Bit());
    for (const QString& e : env.toStringList()) envBytes.push_back(e.toLocal8Bit());
    std::vector<char*> argv, envp;
    for (QByteArray& a : argBytes) argv.push_back(a.data());
    for (QByteArray& e : envBytes) envp.push_back(e.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    const QByteArray inPath = QFile::encodeName(in), outPath = QFile::encodeName(out),
                     errPath = QFile::encodeName(err);
    posix_spawn_file_actions_addopen(&actions, 0, inPath.constData(), O_RDONLY, 0);
    if (keepOutput)
        posix_spawn_file_actions_addopen(&actions, 1, outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) throw std::runtime_error("cannot start " + program.toStdString());
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid) throw std::runtime_error("wait4 failed");
    Finished f;
    f.figures.wall = double(t.nsecsElapsed()) / 1e9;
    f.figures.cpu = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    f.figures.faults = usage.ru_minflt + usage.ru_majflt;
    f.figures.peakKb = usage.ru_maxrss;
    f.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (keepOutput) f.out = ReadAll(out);
    f.err = ReadAll(err);
    return f;
}

Finished RunOk(const QString& program, const QStringList& args, const QProcessEnvironment& env, const QString& scratch,
               const QByteArray& input, bool keepOutput) {
    Finished f = RunProcess(program, args, env, scratch, input, keepOutput);
    if (f.status != 0)
        throw std::runtime_error(
            QString("%1 %2 failed: %3").arg(program, args.join(' '), QString::fromUtf8(f.err)).toStdString());
    return f;
}

}  // namespace bench
