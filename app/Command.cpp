#include "app/Command.h"

namespace app {

namespace {
std::vector<Command>& Registry() {
    static std::vector<Command> commands;
    return commands;
}
}  // namespace

const std::vector<Command>& Commands() { return Registry(); }

CommandRegistrar::CommandRegistrar(Command c) { Registry().push_back(std::move(c)); }

QString TakeOption(QStringList& args, const QString& name, const QString& def) {
    const QString eq = name + "=";
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == name) {
            if (i + 1 >= args.size())
                throw UsageError(("option " + name + " needs a value").toStdString());
            QString v = args[i + 1];
            args.remove(i, 2);
            return v;
        }
        if (args[i].startsWith(eq)) {
            QString v = args[i].mid(eq.size());
            args.remove(i);
            return v;
        }
    }
    return def;
}

bool TakeFlag(QStringList& args, const QString& name) { return args.removeAll(name) > 0; }

void RejectUnknownOptions(const QStringList& args) {
    for (const QString& a : args)
        if (a.startsWith("--") && a.size() > 2)
            throw UsageError(("unknown option " + a).toStdString());
}

}  // namespace app
