// marlith lookup preview [--rows N] [--current N] [--field N] [--value TEXT] [--unfocused] -o OUT.png
//
// Renders the lookup dialog off screen over an in-memory project list and writes it as
// a PNG, so the dialog can be looked at without a database or a display.

#include <QImage>
#include <stdexcept>

#include "app/Command.h"
#include "preview/LookupPreview.h"

namespace {

int IntOption(QStringList& args, const QString& name, int def, int min, int max) {
    const QString text = app::TakeOption(args, name);
    if (text.isEmpty()) return def;
    bool ok = false;
    const int v = text.toInt(&ok);
    if (!ok || v < min || v > max)
        throw app::UsageError(QStringLiteral("%1 takes a number from %2 to %3").arg(name).arg(min).arg(max).toStdString());
    return v;
}

int LookupPreview(const QStringList& argsIn) {
    QStringList args = argsIn;
    preview::LookupPreviewOptions o;
    o.rows = IntOption(args, "--rows", o.rows, 0, 1000);
    o.currentRow = IntOption(args, "--current", o.currentRow, 1, 1000);
    o.fieldIndex = IntOption(args, "--field", o.fieldIndex, -1, 4);
    o.value = app::TakeOption(args, "--value");
    o.gridFocused = !app::TakeFlag(args, "--unfocused");
    QString out = app::TakeOption(args, "-o");
    if (out.isEmpty()) out = app::TakeOption(args, "--output");
    if (out.isEmpty()) throw app::UsageError("-o OUT.png is required");
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("unexpected argument " + args.front().toStdString());
    const QImage img = preview::RenderLookupPreview(o);
    if (!img.save(out, "PNG")) throw std::runtime_error(QStringLiteral("cannot write %1").arg(out).toStdString());
    return 0;
}

const app::CommandRegistrar kLookupPreview({"lookup preview",
                                           "[--rows N] [--current N] [--field -1..4] [--value TEXT] [--unfocused] -o OUT.png",
                                           "render the lookup dialog over a demo project list to a PNG", app::Needs::OffscreenWidgets,
                                           &LookupPreview});

}  // namespace
