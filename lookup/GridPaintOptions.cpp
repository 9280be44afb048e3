#include "lookup/GridPaintOptions.h"

#include <QPainter>
#include <algorithm>

#include "lookup/DBGrid.h"

namespace lookup {

int TintChannel(int c, int k) { return std::clamp(c + k / 2 - 128, 0, 255); }

void TintImage(QImage& image, platform::TColor color) {
    if (image.isNull()) return;
    if (image.format() != QImage::Format_RGB32) image = image.convertToFormat(QImage::Format_RGB32);
    const QColor k = platform::ToQColor(color);
    int table[3][256];
    for (int c = 0; c < 256; ++c) {
        table[0][c] = TintChannel(c, k.red());
        table[1][c] = TintChannel(c, k.green());
        table[2][c] = TintChannel(c, k.blue());
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = line[x];
            line[x] = qRgb(table[0][qRed(p)], table[1][qGreen(p)], table[2][qBlue(p)]);
        }
    }
}

QPoint CenteredOrigin(QSize grid, QSize picture) {
    // Quotients cut towards zero, so an odd pixel of the difference always falls on the
    // right (bottom) side: one more pixel of margin there for a smaller picture, one more
    // pixel of the picture cut off there for a larger one.
    return {(grid.width() - picture.width()) / 2, (grid.height() - picture.height()) / 2};
}

QImage DrawBackground(const QImage& picture, TwwBackgroundDrawStyle style, QSize size) {
    QImage out(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(Qt::white);
    if (picture.width() < 1 || picture.height() < 1) return out;
    QPainter p(&out);
    switch (style) {
    case bdsTile:
        for (int i = 0; i <= size.width() / picture.width(); ++i)
            for (int j = 0; j <= size.height() / picture.height(); ++j)
                p.drawImage(i * picture.width(), j * picture.height(), picture);
        break;
    case bdsStretch: p.drawImage(QRect(QPoint(0, 0), size), picture); break;
    case bdsTopLeft: p.drawImage(0, 0, picture); break;
    case bdsCenter: p.drawImage(CenteredOrigin(size, picture.size()), picture); break;
    }
    return out;
}

namespace {

QImage TintedCopy(const QImage& paint, platform::TColor color) {
    QImage copy = paint.copy();
    TintImage(copy, color);
    return copy;
}

}  // namespace

GridPictures PrepareGridPictures(const GridPictureSettings& s, QSize outer, int titleRowHeight, bool lowColor,
                                 const GridPictures& previous) {
    GridPictures out;
    out.paint = DrawBackground(s.background, s.drawStyle, outer);
    if (lowColor) {
        GridPictures kept = previous;
        kept.paint = out.paint;
        return kept;
    }
    const bool drawn = s.background.width() > 0;
    if (!drawn) return out;
    out.base = out.paint;  // shared: neither is drawn on again
    const int o = s.backgroundOptions;
    if (s.activeRecordColor != platform::clNone && (o & coBlendActiveRecord))
        out.activeRecord = TintedCopy(out.paint, s.activeRecordColor);
    if (s.alternatingRowColor != platform::clNone && s.alternatingRowRegions != 0 && (o & coBlendAlternatingRow))
        out.alternating = TintedCopy(out.paint, s.alternatingRowColor);
    if (o & coBlendFixedRow) {
        out.titleRow = out.paint.copy(0, 0, out.paint.width(), std::max(1, titleRowHeight));
        TintImage(out.titleRow, s.titleRowColor);
    }
    if (o & coBlendFixedColumn)
        out.fixedColumn = s.gridFixedColor != platform::clNone ? TintedCopy(out.paint, s.fixedColumnColor) : out.paint;
    return out;
}

void TwwGridPaintOptions::Changed() {
    stale_ = true;
    if (grid_) grid_->update();
}

void TwwGridPaintOptions::SetBackgroundBitmap(const QImage& picture) {
    s_.background = picture;
    Changed();
}

void TwwGridPaintOptions::SetBackgroundDrawStyle(TwwBackgroundDrawStyle style) {
    s_.drawStyle = style;
    Changed();
}

void TwwGridPaintOptions::SetAlternatingRowRegions(int regions) {
    s_.alternatingRowRegions = regions;
    if (grid_) grid_->update();
}

void TwwGridPaintOptions::SetFastRecordScrolling(bool on) {
    fastRecordScrolling_ = on;
    Changed();
}

void TwwGridPaintOptions::SetAlternatingRowColor(platform::TColor c) {
    s_.alternatingRowColor = c;
    Changed();
}

void TwwGridPaintOptions::SetActiveRecordColor(platform::TColor c) {
    s_.activeRecordColor = c;
    Changed();
}

void TwwGridPaintOptions::SetBackgroundOptions(int options) {
    s_.backgroundOptions = options;
    Changed();
}

void TwwGridPaintOptions::SetFixedColors(platform::TColor titleColor, platform::TColor gridFixedColor) {
    s_.fixedColumnColor = titleColor;
    s_.titleRowColor = titleColor;
    s_.gridFixedColor = gridFixedColor;
}

void TwwGridPaintOptions::PrepareIfStale(QSize outer, int titleRowHeight, bool lowColor) {
    if (!stale_) return;
    if (s_.background.width() < 1) {
        // A picture taken away takes its copies with it.
        pictures_ = {};
        stale_ = false;
        return;
    }
    pictures_ = PrepareGridPictures(s_, outer, titleRowHeight, lowColor, pictures_);
    stale_ = false;
}

}  // namespace lookup
