// The marlith program: with a subcommand it runs that command; with none it runs the
// main job (the material requirements window once it exists).

#include <QApplication>
#include <QCoreApplication>
#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <memory>

#include "app/Command.h"
#include "app/Signals.h"
#include "db/Connection.h"

namespace {

void PrintHelp(FILE* out) {
    std::fprintf(out,
                 "usage: marlith [--help] [--version] [COMMAND [ARGS...]]\n"
                 "\nMaterial requirements calculation (物料需求計算).\n"
                 "Without a command the program runs the main job.\n\ncommands:\n");
    std::vector<app::Command> cmds = app::Commands();
    std::sort(cmds.begin(), cmds.end(), [](auto& a, auto& b) { return a.name < b.name; });
    for (const auto& c : cmds)
        std::fprintf(out, "  %s %s\n      %s\n", c.name.c_str(), c.usage.c_str(), c.summary.c_str());
}

// The registered command whose (possibly multi-word) name the arguments start with,
// the longest such name winning; nullptr when none.
const app::Command* FindCommand(const QStringList& args, qsizetype& words) {
    const app::Command* best = nullptr;
    words = 0;
    for (const auto& c : app::Commands()) {
        const QStringList parts = QString::fromStdString(c.name).split(' ');
        if (parts.size() > args.size() || parts.size() <= words) continue;
        if (std::equal(parts.begin(), parts.end(), args.begin())) {
            best = &c;
            words = parts.size();
        }
    }
    return best;
}

std::unique_ptr<QCoreApplication> MakeApplication(app::Needs needs, int& argc, char** argv) {
    // Pictures and documents need no screen: without a display they are drawn offscreen.
    if ((needs == app::Needs::OffscreenWidgets || needs == app::Needs::Gui) &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    switch (needs) {
    case app::Needs::OffscreenWidgets: return std::make_unique<QApplication>(argc, argv);
    case app::Needs::Widgets: return std::make_unique<QApplication>(argc, argv);
    case app::Needs::Gui: return std::make_unique<QGuiApplication>(argc, argv);
    case app::Needs::Core: break;
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

}  // namespace

int main(int argc, char** argv) {
    QStringList args;
    for (int i = 1; i < argc; ++i) args << QString::fromLocal8Bit(argv[i]);

    if (args.contains("--help") || args.contains("-h")) {
        if (args.size() == 1 || args.first().startsWith('-')) {
            PrintHelp(stdout);
            return 0;
        }
    }
    if (args.size() == 1 && args.first() == "--version") {
        std::printf("marlith %s\n", MARLITH_VERSION);
        return 0;
    }

    // Options without a command belong to the main job.
    const bool mainJob = args.isEmpty() || args.first().startsWith('-');
    QStringList lookup = mainJob ? QStringList{"main"} + args : args;
    qsizetype words = 0;
    const app::Command* cmd = FindCommand(lookup, words);
    if (!cmd) {
        std::fprintf(stderr, "marlith: unknown command '%s' (see marlith --help)\n",
                     qPrintable(lookup.first()));
        return 2;
    }
    QStringList rest = lookup.mid(words);
    if (rest.contains("--help")) {
        std::printf("usage: marlith %s %s\n  %s\n", cmd->name.c_str(), cmd->usage.c_str(),
                    cmd->summary.c_str());
        return 0;
    }

    auto application = MakeApplication(cmd->needs, argc, argv);
    QCoreApplication::setApplicationName("marlith");
    QCoreApplication::setApplicationVersion(MARLITH_VERSION);
    // Whatever the command did with the database, the engine is stopped before the
    // process ends (an embedded attachment flushes its file there).
    struct ClientShutdown {
        ~ClientShutdown() { db::ShutdownClient(); }
    } clientShutdown;
    int status = 1;
    try {
        status = cmd->run(rest);
    } catch (const app::UsageError& e) {
        app::WriteText(stderr, QStringLiteral("marlith %1: %2\nusage: marlith %1 %3\n")
                                   .arg(QString::fromStdString(cmd->name), QString::fromUtf8(e.what()),
                                        QString::fromStdString(cmd->usage)));
        return 2;
    } catch (const std::exception& e) {
        // An interruption's own error says nothing the line below does not.
        // Its text may hold what the database or the clerk wrote.
        if (!app::SignalWatch::Received())
            app::WriteText(stderr, QStringLiteral("marlith %1: %2\n")
                                       .arg(QString::fromStdString(cmd->name), QString::fromUtf8(e.what())));
        status = 1;
    }
    // A run that a signal told to end (commands that watch for signals, app/Signals.h)
    // ends with the shell's status for it, unless its command had committed its outcome
    // by then: that outcome stands and is the one reported.
    if (const int signal = app::SignalWatch::Received()) {
        if (app::SignalWatch::IsOutcomeCommitted()) {
            std::fprintf(stderr, "marlith %s: %s arrived after the outcome was committed\n", cmd->name.c_str(),
                         app::SignalName(signal));
            return status;
        }
        std::fprintf(stderr, "marlith %s: ended by %s\n", cmd->name.c_str(), app::SignalName(signal));
        return 128 + signal;
    }
    return status;
}
