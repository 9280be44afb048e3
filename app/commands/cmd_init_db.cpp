// marlith init-db [--demo] [--user NAME] [--password PASSWORD] PATH
//
// PATH is a local file (the embedded engine creates it) or a file on a Firebird server,
// "host:/path" or "host/port:/path", created there by the server with the given account
// (default SYSDBA; the password also from $ISC_PASSWORD, as Firebird's own tools take it).
// With --demo the connection entry written names that account, so that the clerk's runs
// log in as init-db did.

#include <cstdio>

#include "app/Command.h"
#include "app/DemoData.h"
#include "db/Connection.h"
#include "mrp/Audit.h"

namespace {

int InitDb(const QStringList& argsIn) {
    QStringList args = argsIn;
    const bool demo = app::TakeFlag(args, "--demo");
    db::ConnectionParams params;
    params.userName = app::TakeOption(args, "--user", qEnvironmentVariable("ISC_USER", params.userName));
    params.password = app::TakeOption(args, "--password", qEnvironmentVariable("ISC_PASSWORD"));
    app::RejectUnknownOptions(args);
    if (args.size() != 1) throw app::UsageError("expected one database path");
    params.database = args.first();
    app::CreateProgramDatabase(params, demo);
    {
        // The program's own audit table, beside the back office's tables.
        db::Connection c;
        c.SetParams(params);
        if (const std::optional<QString> why = mrp::EnsureAuditTable(c))
            std::fprintf(stderr, "marlith: the audit table %s could not be made: %s\n", mrp::kAuditTable, qPrintable(*why));
    }
    std::printf("created %s%s\n", qPrintable(args.first()), demo ? " with the demo data" : "");
    if (demo)
        for (const QString& line : app::WriteDemoConfiguration(params))
            std::printf("%s\n", qPrintable(line));
    return 0;
}

const app::CommandRegistrar kInitDb({
    "init-db",
    "[--demo] [--user NAME] [--password PASSWORD] PATH | HOST:PATH",
    "create a database with the schema, a local file or one on a Firebird server (and the demo data, connection entry and settings)",
    app::Needs::Core,
    &InitDb,
});

}  // namespace
