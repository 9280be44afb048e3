// marlith skin icon --size N [--skin FILE.ini] -o OUT.png
//
// The program's icon for the desktop (the build renders it at the usual sizes): a
// miniature of the skinned main window, its frame drawn by the frame itself and scaled
// down, holding a bill-of-materials tree (one product, three materials) in the skin's own
// colours. The tree is drawn at the icon's own size on a 16-unit grid, every part at
// least one pixel, so it stays crisp and readable at 16 x 16.

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <memory>
#include <stdexcept>

#include "app/Command.h"
#include "frame/FrameGeometry.h"
#include "preview/FramePreview.h"
#include "skin/SkinData.h"
#include "skins/Carried.h"

namespace {

// A colour between a and b, t = 0 giving a.
QColor Mix(QColor a, QColor b, double t) {
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * t), float(a.greenF() + (b.greenF() - a.greenF()) * t),
                            float(a.blueF() + (b.blueF() - a.blueF()) * t));
}

QImage RenderIcon(int size, skin::TbsSkinData& data) {
    // The frame cannot be smaller than its form picture: draw the window at the smallest
    // square it allows and scale the picture down.
    const int side = std::max({192, data.Picture.width(), data.Picture.height()});
    const QImage window = preview::RenderFramePreview({QSize(side, side), QString(), true, &data})
                              .convertToFormat(QImage::Format_ARGB32);
    const QRect client = data.Picture.isNull()
                             ? frame::DefaultClientRect(QSize(side, side), frame::DefaultCaptionHeight(false)).ToQRect()
                             : frame::SkinnedClientRect(QSize(side, side), data.FormInfo.clientrect, data.Picture.size())
                                   .ToQRect();
    // The tree takes its colours from the frame: the caption band's slate, the border's
    // darker edge and the client ground.
    const QColor caption = window.pixelColor(client.left() + 6, std::max(1, client.top() / 2));
    const QColor border = window.pixelColor(0, side / 2);
    const QColor ground = window.pixelColor(client.center());

    QImage icon = window.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QPainter p(&icon);
    // One unit of the 16-unit grid, and a rectangle of whole units, rounded to pixels so
    // that every edge is sharp.
    const double u = size / 16.0;
    auto cell = [&](double x, double y, double w, double h) {
        const int l = int(std::lround(x * u)), t = int(std::lround(y * u));
        const int r = std::max(l + 1, int(std::lround((x + w) * u))), b = std::max(t + 1, int(std::lround((y + h) * u)));
        return QRect(l, t, r - l, b - t);
    };
    const QColor product = Mix(border, caption, 0.25);
    const QColor line = Mix(caption, ground, 0.2);
    const QColor material = caption;
    // The product, and the trunk from it down to the last material.
    p.fillRect(cell(2, 5, 5, 2), product);
    p.fillRect(cell(3, 7, 1, 7), line);
    // The materials: a branch off the trunk, a code cell and a bar for the quantity.
    const double lengths[] = {6, 4, 5};
    for (int i = 0; i < 3; ++i) {
        const double y = 9 + 2 * i;
        p.fillRect(cell(4, y, 1, 1), line);
        p.fillRect(cell(6, y, 2, 1), product);
        p.fillRect(cell(8, y, lengths[i], 1), material);
    }
    // Scaled down, the frame's border blurs into the ground; its outermost pixels keep the
    // border's colour so that the window's edge stays sharp at small sizes.
    p.setPen(border);
    p.drawRect(0, 0, size - 1, size - 1);
    p.end();
    return icon;
}

int SkinIcon(const QStringList& argsIn) {
    QStringList args = argsIn;
    bool ok = false;
    const int size = app::TakeOption(args, "--size").toInt(&ok);
    if (!ok || size < 16 || size > 1024) throw app::UsageError("--size takes a number of pixels from 16 to 1024");
    const QString skinFile = app::TakeOption(args, "--skin");
    QString out = app::TakeOption(args, "-o");
    if (out.isEmpty()) out = app::TakeOption(args, "--output");
    if (out.isEmpty()) throw app::UsageError("-o OUT.png is required");
    app::RejectUnknownOptions(args);
    if (!args.isEmpty()) throw app::UsageError("unexpected arguments");

    auto data = std::make_unique<skin::TbsSkinData>();
    skins::LoadCarriedOrFileSkin(*data, skinFile);
    const QImage icon = RenderIcon(size, *data);
    if (!icon.save(out, "PNG")) throw std::runtime_error(QStringLiteral("cannot write %1").arg(out).toStdString());
    return 0;
}

const app::CommandRegistrar kSkinIcon({
    "skin icon",
    "--size N [--skin FILE.ini] -o OUT.png",
    "draw the program's icon (N x N pixels) from the carried skin and write a PNG",
    app::Needs::OffscreenWidgets,
    &SkinIcon,
});

}  // namespace
