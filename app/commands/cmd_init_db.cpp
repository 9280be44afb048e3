// marlith init-db [--demo] PATH

#include <cstdio>

#include "app/Command.h"
#include "app/DemoData.h"

namespace {

int InitDb(const QStringList& argsIn) {
    QStringList args = argsIn;
    const bool demo = app::TakeFlag(args, "--demo");
    app::RejectUnknownOptions(args);
    if (args.size() != 1) throw app::UsageError("expected one database path");
    app::CreateProgramDatabase(args.first(), demo);
    std::printf("created %s%s\n", qPrintable(args.first()), demo ? " with the demo data" : "");
    if (demo)
        for (const QString& line : app::WriteDemoConfiguration(args.first()))
            std::printf("%s\n", qPrintable(line));
    return 0;
}

const app::CommandRegistrar kInitDb({
    "init-db",
    "[--demo] PATH",
    "create an embedded database with the schema (and the demo data, connection entry and settings)",
    app::Needs::Core,
    &InitDb,
});

}  // namespace
