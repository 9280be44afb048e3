#pragma once
// Running the marlith program against a database, as a clerk's second copy or a script
// would: a connections file and a settings file of its own in a temporary folder.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include "db/ConnectionParams.h"

namespace mrptest {

struct ProcessRun {
    int exitCode = -1;
    QString out, err;
    QByteArray outBytes;  // stdout as written (QString::fromUtf8 drops a byte-order mark)
};

class MarlithProcess {
public:
    explicit MarlithProcess(const db::ConnectionParams& params, const QString& userId = "A001",
                            const QString& storeId = "S01") {
        const QString connections = dir_.filePath("connections.ini");
        QFile c(connections);
        EXPECT_TRUE(c.open(QIODevice::WriteOnly));
        c.write(QString("[Kelmor]\nDatabase=%1\nUser_Name=%2\nPassword=%3\nCodePage=Big5\n")
                    .arg(params.database, params.userName, params.password)
                    .toUtf8());
        c.close();
        const QString settings = dir_.filePath("Dovanta.ini");
        QFile s(settings);
        EXPECT_TRUE(s.open(QIODevice::WriteOnly));
        s.write(QString("[privite]\nuserid=%1\nstoreid=%2\n").arg(userId, storeId).toUtf8());
        s.close();
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert("MARLITH_CONNECTIONS", connections);
        env_.insert("MARLITH_SETTINGS", settings);
        env_.insert("XDG_CACHE_HOME", dir_.filePath("cache"));
        env_.insert("XDG_CONFIG_HOME", dir_.filePath("config"));
    }

    // The program of this build: $MARLITH_BINARY_DIR/app/marlith, else beside the test
    // executable's folder (build/tests/mrp -> build/app).
    static QString Program() {
        const QString binary = qEnvironmentVariable("MARLITH_BINARY_DIR");
        if (!binary.isEmpty()) return binary + "/app/marlith";
        return QDir(db::ExecutableDir()).filePath("../../app/marlith");
    }

    // Starts the program without waiting (several at once for the server tests).
    std::unique_ptr<QProcess> Start(const QStringList& args) const {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(env_);
        p->start(Program(), args);
        return p;
    }

    static ProcessRun Finish(QProcess& p, int timeoutMs = 120000) {
        ProcessRun r;
        if (!p.waitForFinished(timeoutMs)) {
            p.kill();
            p.waitForFinished();
            ADD_FAILURE() << "marlith did not finish";
        }
        r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.outBytes = p.readAllStandardOutput();
        r.out = QString::fromUtf8(r.outBytes);
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }

    ProcessRun operator()(const QStringList& args) const {
        auto p = Start(args);
        return Finish(*p);
    }

    QString dir() const { return dir_.path(); }
    // An environment variable for the runs started from here on.
    void SetEnv(const QString& name, const QString& value) { env_.insert(name, value); }

private:
    QTemporaryDir dir_;
    QProcessEnvironment env_;
};

}  // namespace mrptest
