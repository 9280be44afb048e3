// marlith skin preview MODE [OPTIONS] -o OUT.png
//
// Renders a skinned element off screen with the carried skin (or a skin definition file,
// or none) and writes it as a PNG, so that skin authors can see their work and checks
// from outside can look at real pixels. Each mode renders one kind of element; a mode is
// one row of kModes below (flag, usage, renderer), so new kinds of elements are added
// there without touching the common options.

#include <QImage>

#include <memory>
#include <stdexcept>

#include "app/Command.h"
#include "preview/FramePreview.h"
#include "skin/SkinData.h"
#include "skin/StoredSkin.h"
#include "preview/ControlPreview.h"
#include "skins/Carried.h"

namespace {

// Options every mode shares.
struct PreviewContext {
    QString modeValue;  // the mode flag's value, for modes that take one ("--control KIND")
    QSize size;
    QString title;
    bool inactive = false;
    skin::TbsSkinData* skinData = nullptr;  // null with --no-skin
};

// A mode renders from the shared options and the arguments left after them; it removes
// the options of its own that it reads from args (anything left over is an error).
struct PreviewMode {
    const char* flag;
    bool takesValue;
    const char* usage;
    QImage (*render)(const PreviewContext& ctx, QStringList& args);
};

QImage RenderFrame(const PreviewContext& ctx, QStringList&) {
    if (!ctx.size.isValid()) throw app::UsageError("--frame needs --size WxH");
    return preview::RenderFramePreview({ctx.size, ctx.title, !ctx.inactive, ctx.skinData});
}

QImage RenderControl(const PreviewContext& ctx, QStringList& args) {
    preview::ControlPreviewOptions o;
    o.entry = app::TakeOption(args, "--entry");
    o.state = app::TakeOption(args, "--state", "normal");
    o.caption = app::TakeOption(args, "--caption");
    o.buttonMode = app::TakeFlag(args, "--button-mode");
    o.kind = ctx.modeValue;
    o.size = ctx.size;
    o.skinData = ctx.skinData;
    return preview::RenderControlPreview(o);
}

QImage RenderMessage(const PreviewContext& ctx, QStringList& args) {
    preview::MessagePreviewOptions o;
    // The dialog kinds by number: 0 warning, 1 error, 2 information, 3 confirmation, 4 custom.
    bool ok = false;
    const int kind = app::TakeOption(args, "--kind", "2").toInt(&ok);
    if (!ok || kind < skinctrls::mtWarning || kind > skinctrls::mtCustom)
        throw app::UsageError("--kind takes a number from 0 to 4");
    o.kind = static_cast<skinctrls::TMsgDlgType>(kind);
    o.buttons = app::TakeOption(args, "--buttons", "OK");
    o.text = ctx.modeValue;
    o.skinData = ctx.skinData;
    return preview::RenderMessagePreview(o);
}

QImage RenderMenu(const PreviewContext& ctx, QStringList&) { return preview::RenderMenuPreview({ctx.skinData}); }

const PreviewMode kModes[] = {
    {"--frame", false, "--frame --size WxH [--title TEXT] [--inactive]", &RenderFrame},
    {"--control", true,
     "| --control panel|groupbox|label|button|edit|hscrollbar|vscrollbar|grid [--entry NAME] [--size WxH] "
     "[--state normal|hot|down|focused|disabled] [--caption TEXT] [--button-mode]",
     &RenderControl},
    {"--message", true, "| --message TEXT [--kind 0-4] [--buttons OK,Cancel,...]", &RenderMessage},
    {"--menu", false, "| --menu", &RenderMenu},
};

int SkinPreview(const QStringList& argsIn) {
    QStringList args = argsIn;
    const PreviewMode* mode = nullptr;
    PreviewContext ctx;
    for (const PreviewMode& m : kModes) {
        const QString flag = QString::fromLatin1(m.flag);
        bool given = false;
        if (m.takesValue) {
            const qsizetype before = args.size();
            const QString value = app::TakeOption(args, flag);
            given = args.size() != before;
            if (given) ctx.modeValue = value;
        } else {
            given = app::TakeFlag(args, flag);
        }
        if (!given) continue;
        if (mode) throw app::UsageError("give one mode only");
        mode = &m;
    }
    if (!mode) throw app::UsageError("give a mode, e.g. --frame");

    const QString size = app::TakeOption(args, "--size");
    if (!size.isEmpty()) ctx.size = app::ParseSize(size);
    ctx.title = app::TakeOption(args, "--title");
    ctx.inactive = app::TakeFlag(args, "--inactive");
    const bool noSkin = app::TakeFlag(args, "--no-skin");
    const QString skinFile = app::TakeOption(args, "--skin");
    QString out = app::TakeOption(args, "-o");
    if (out.isEmpty()) out = app::TakeOption(args, "--output");
    if (out.isEmpty()) throw app::UsageError("-o OUT.png is required");
    if (noSkin && !skinFile.isEmpty()) throw app::UsageError("--no-skin and --skin exclude each other");

    std::unique_ptr<skin::TbsSkinData> data;
    if (!noSkin) {
        data = std::make_unique<skin::TbsSkinData>();
        skins::LoadCarriedOrFileSkin(*data, skinFile);
        ctx.skinData = data.get();
    }

    QImage img;
    try {
        img = mode->render(ctx, args);
    } catch (const std::invalid_argument& e) {
        throw app::UsageError(e.what());
    }
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("unexpected arguments");
    if (!img.save(out, "PNG")) throw std::runtime_error(QStringLiteral("cannot write %1").arg(out).toStdString());
    return 0;
}

QString Usage() {
    QString u;
    for (const PreviewMode& m : kModes) u += QString::fromLatin1(m.usage) + QLatin1Char(' ');
    return u + "[--skin FILE.ini | --no-skin] -o OUT.png";
}

const std::string kUsage = Usage().toStdString();

const app::CommandRegistrar kSkinPreview({
    "skin preview",
    kUsage,
    "render a skinned element off screen (with the carried skin unless --skin or --no-skin) and write a PNG",
    app::Needs::OffscreenWidgets,
    &SkinPreview,
});

}  // namespace
