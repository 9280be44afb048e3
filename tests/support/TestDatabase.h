#pragma once
// Fresh databases for tests: an embedded file in a temporary folder (removed with the
// object), created from the program's schema, or a database on the Firebird server
// that scripts/test starts on 127.0.0.1 (MARLITH_TEST_SERVER: "127.0.0.1/PORT", the host and
// port of the attachment string; MARLITH_TEST_SERVER_DIR, MARLITH_TEST_SERVER_PASSWORD).

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

#include "db/Connection.h"

namespace testsupport {

class TestDatabase {
public:
    // An embedded database with the schema (or empty when withSchema is false).
    explicit TestDatabase(bool withSchema = true);
    // A database on the test server; fails the test when no server was configured.
    static std::unique_ptr<TestDatabase> OnServer(bool withSchema = true);
    ~TestDatabase();

    const db::ConnectionParams& params() const { return params_; }
    const QString& path() const { return path_; }
    QString dir() const { return dir_.path(); }

    // Runs statements (";"-separated, like the schema) on a connection of its own.
    void Run(const QString& script) const;
    // First column of the first row of a select, as text ("" when no row).
    QString Scalar(const QString& select) const;

private:
    struct ServerTag {};
    TestDatabase(ServerTag, bool withSchema);
    QTemporaryDir dir_;
    QString path_;
    db::ConnectionParams params_;
};

// True when scripts/test has started a server for the multi-process tests.
bool ServerConfigured();

}  // namespace testsupport
