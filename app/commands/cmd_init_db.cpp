// marlith init-db [--demo] [--user NAME] [--password-file FILE | --password-stdin] PATH
//
// PATH is a local file (the embedded engine creates it) or a file on a Firebird server,
// "host:/path" or "host/port:/path", created there by the server with the given account
// (default SYSDBA). The password comes from the first line of FILE or of the standard
// input (typed without echo at a terminal), else from $ISC_PASSWORD as Firebird's own
// tools take it; --password PASSWORD still works, but every user of the machine sees a
// command line. With --demo the connection entry written names that account, so that
// the clerk's runs log in as init-db did.

#include <cstdio>
#include <optional>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

#include "app/Command.h"
#include "app/DemoData.h"
#include "db/Connection.h"
#include "db/SmallFile.h"
#include "mrp/Audit.h"

namespace {

// The first line of what was read, without its line end.
QString FirstLine(const QByteArray& bytes) {
    QString line = QString::fromUtf8(bytes).section(QLatin1Char('\n'), 0, 0);
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
    return line;
}

// The line typed at a terminal, not shown while it is typed.
QByteArray ReadTypedPassword() {
    std::fputs("Password: ", stderr);
    std::fflush(stderr);
    termios saved{};
    const bool quiet = ::tcgetattr(STDIN_FILENO, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    QByteArray line;
    for (int c = std::getchar(); c != EOF && c != '\n'; c = std::getchar()) line += char(c);
    if (quiet) ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved);
    std::fputc('\n', stderr);
    return line;
}

// Where the password comes from: at most one of the options, else $ISC_PASSWORD.
QString TakePassword(QStringList& args) {
    const bool given = app::HasOption(args, "--password");
    const QString option = app::TakeOption(args, "--password");
    const QString file = app::TakeOption(args, "--password-file");
    const bool fromInput = app::TakeFlag(args, "--password-stdin");
    if (int(given) + int(!file.isEmpty()) + int(fromInput) > 1)
        throw app::UsageError("give the password one way: --password-file, --password-stdin or --password");
    if (given) return option;
    if (!file.isEmpty() || fromInput) {
        const QString source = fromInput ? QStringLiteral("the standard input") : "the password file " + file;
        QString reason;
        const std::optional<QByteArray> bytes = !fromInput               ? db::ReadSmallFile(file, &reason)
                                                : ::isatty(STDIN_FILENO) ? ReadTypedPassword()
                                                                         : db::ReadSmallStream(STDIN_FILENO, &reason);
        if (!bytes) throw std::runtime_error((source + " cannot be read: " + reason).toStdString());
        const QString password = FirstLine(*bytes);
        if (password.isEmpty()) throw std::runtime_error((source + " holds no password on its first line").toStdString());
        return password;
    }
    return qEnvironmentVariable("ISC_PASSWORD");
}

int InitDb(const QStringList& argsIn) {
    QStringList args = argsIn;
    const bool demo = app::TakeFlag(args, "--demo");
    db::ConnectionParams params;
    params.userName = app::TakeOption(args, "--user", qEnvironmentVariable("ISC_USER", params.userName));
    params.password = TakePassword(args);
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
    "[--demo] [--user NAME] [--password-file FILE | --password-stdin | --password PASSWORD] PATH | HOST:PATH",
    "create a database with the schema, a local file or one on a Firebird server (and the demo data, connection entry and settings)",
    app::Needs::Core,
    &InitDb,
});

}  // namespace
