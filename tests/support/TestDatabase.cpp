#include "support/TestDatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QUuid>

namespace testsupport {

namespace {

void ApplySchema(const db::ConnectionParams& params, const QString& script) {
    db::Connection c;
    c.SetParams(params);
    c.Open();
    // DDL becomes visible only once committed: one transaction for the whole script.
    c.StartTransaction();
    for (const QString& stmt : db::SplitScript(script)) {
        db::Query q(c);
        q.SetSQL(stmt.split('\n'));
        q.Execute();
    }
    c.Commit();
}

// The embedded engine's threads are stopped before the test program returns, so nothing
// of the engine runs while the process (and the leak checker of the sanitizer build)
// tears down.
class ClientShutdown : public ::testing::Environment {
public:
    void TearDown() override { db::ShutdownClient(); }
};
[[maybe_unused]] ::testing::Environment* const clientShutdown =
    ::testing::AddGlobalTestEnvironment(new ClientShutdown);

}  // namespace

TestDatabase::TestDatabase(bool withSchema) {
    path_ = QDir(dir_.path()).filePath("test.fdb");
    params_.database = path_;
    params_.userName = "SYSDBA";
    db::Connection::CreateDatabase(params_);
    if (withSchema) ApplySchema(params_, db::SchemaScript());
}

bool ServerConfigured() { return !qEnvironmentVariable("MARLITH_TEST_SERVER").isEmpty(); }

TestDatabase::TestDatabase(ServerTag, bool withSchema) {
    const QString host = qEnvironmentVariable("MARLITH_TEST_SERVER");
    const QString folder = qEnvironmentVariable("MARLITH_TEST_SERVER_DIR", "/tmp/marlith-server-tests");
    path_ = QDir(folder).filePath(QUuid::createUuid().toString(QUuid::WithoutBraces) + ".fdb");
    params_.database = host + ":" + path_;
    params_.userName = "SYSDBA";
    params_.password = qEnvironmentVariable("MARLITH_TEST_SERVER_PASSWORD", "masterkey");
    db::Connection::CreateDatabase(params_);
    if (withSchema) ApplySchema(params_, db::SchemaScript());
}

std::unique_ptr<TestDatabase> TestDatabase::OnServer(bool withSchema) {
    if (!ServerConfigured()) {
        ADD_FAILURE() << "MARLITH_TEST_SERVER is not set: run the server tests through scripts/test";
        return nullptr;
    }
    return std::unique_ptr<TestDatabase>(new TestDatabase(ServerTag{}, withSchema));
}

TestDatabase::~TestDatabase() {
    if (!params_.isEmbedded()) QFile::remove(path_);  // the folder may not be ours to list
}

void TestDatabase::Run(const QString& script) const { ApplySchema(params_, script); }

QString TestDatabase::Scalar(const QString& select) const {
    db::Connection c;
    c.SetParams(params_);
    db::Query q(c);
    q.Add(select);
    q.Open();
    return q.Eof() ? QString() : q.Fields(0).AsString();
}

}  // namespace testsupport
