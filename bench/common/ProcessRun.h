#pragma once
// Whole processes measured as the kernel counts them (wait4): wall time, user + system
// CPU, minor + major page faults and peak resident set. The benchmarks compare figures of
// processes run one after another in the same run, best of several, never absolute times.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <limits>

namespace bench {

// What the kernel counted for a finished process; as the best of several runs, the least
// of each figure.
struct Figures {
    double wall = std::numeric_limits<double>::max();
    double cpu = std::numeric_limits<double>::max();  // user + sys seconds
    long faults = std::numeric_limits<long>::max();   // minor + major
    long peakKb = std::numeric_limits<long>::max();   // peak resident set

    void Keep(const Figures& run);
};

struct Finished {
    Figures figures;
    int status = 0;   // the exit status; -1 when ended by a signal
    QByteArray out;   // standard output (kept only when asked for)
    QByteArray err;   // standard error
};

// Runs program once with args, its standard input from `input`, in the environment `env`;
// `scratch` is a folder for the input and output files. With keepOutput false standard
// output goes to /dev/null (a command's output is then not part of what it costs to
// read). Throws when the program cannot be started; a non-zero status is returned.
Finished RunProcess(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                    const QString& scratch, const QByteArray& input = {}, bool keepOutput = false);

// The same, throwing with the program's standard error when its status is not 0.
Finished RunOk(const QString& program, const QStringList& args, const QProcessEnvironment& env, const QString& scratch,
               const QByteArray& input = {}, bool keepOutput = false);

}  // namespace bench
