#include "app/Command.h"

#include <algorithm>

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

bool HasOption(const QStringList& args, const QString& name) {
    return std::any_of(args.begin(), args.end(), [&](const QString& a) { return a == name || a.startsWith(name + "="); });
}

bool TakeFlag(QStringList& args, const QString& name) { return args.removeAll(name) > 0; }

QSize ParseSize(const QString& text) {
    const QStringList parts = text.split(QLatin1Char('x'));
    bool okW = false, okH = false;
    const int w = parts.size() == 2 ? parts[0].toInt(&okW) : 0;
    const int h = parts.size() == 2 ? parts[1].toInt(&okH) : 0;
    if (!okW || !okH || w < 1 || h < 1 || w > 8192 || h > 8192)
        throw UsageError(QStringLiteral("bad size \"%1\": expected WxH, e.g. 640x480").arg(text).toStdString());
    return QSize(w, h);
}

int TakeQuitAfter(QStringList& args, bool screenshot, int screenshotDefault) {
    const QString text = TakeOption(args, "--quit-after");
    if (text.isEmpty()) return screenshot ? screenshotDefault : -1;
    bool ok = false;
    const int ms = text.toInt(&ok);
    if (!ok || ms < 0) throw UsageError("--quit-after takes milliseconds");
    return ms;
}

void RejectUnknownOptions(const QStringList& args) {
    for (const QString& a : args)
        if (a.startsWith("--") && a.size() > 2)
            throw UsageError(("unknown option " + a).toStdString());
}

QString TerminalText(const QString& text, bool keepLineFeeds) {
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c.category() != QChar::Other_Control || (keepLineFeeds && c == QLatin1Char('\n'))) {
            out += c;
            continue;
        }
        out += QString::asprintf("\\x%02X", unsigned(c.unicode()));
    }
    return out;
}

void WriteText(FILE* f, const QString& text) {
    const QByteArray bytes = TerminalText(text, true).toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), f);
}

}  // namespace app
