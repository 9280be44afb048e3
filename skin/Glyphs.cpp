#include "skin/Glyphs.h"

#include <QFontMetrics>
#include <QPainter>

#include <cstdlib>

namespace skin {

namespace {

void Plot(QPainter& p, int x, int y, const QColor& colour) { p.fillRect(x, y, 1, 1, colour); }

// A rectangle outline with a clear brush, right and bottom excluded.
void Box(QPainter& p, int l, int t, int r, int b, const QColor& colour) {
    if (r - l < 1 || b - t < 1) return;
    p.fillRect(l, t, r - l, 1, colour);
    p.fillRect(l, b - 1, r - l, 1, colour);
    p.fillRect(l, t, 1, b - t, colour);
    p.fillRect(r - 1, t, 1, b - t, colour);
}

}  // namespace

void DrawPenLine(QPainter& painter, QPoint a, QPoint b, const QColor& colour) {
    const int dx = std::abs(b.x() - a.x());
    const int dy = std::abs(b.y() - a.y());
    const int sx = a.x() < b.x() ? 1 : -1;
    const int sy = a.y() < b.y() ? 1 : -1;
    int err = dx - dy;
    int x = a.x(), y = a.y();
    while (x != b.x() || y != b.y()) {
        Plot(painter, x, y, colour);
        const int e2 = 2 * err;
        if (e2 > -dy) {
            err -= dy;
            x += sx;
        }
        if (e2 < dx) {
            err += dx;
            y += sy;
        }
    }
}

void DrawPenPolyline(QPainter& painter, std::initializer_list<QPoint> points, const QColor& colour) {
    const QPoint* prev = nullptr;
    for (const QPoint& p : points) {
        if (prev) DrawPenLine(painter, *prev, p, colour);
        prev = &p;
    }
}

void DrawGlyphFrame(QPainter& painter, int x, int y, int frame, int frameCount,
                    const QImage& strip) {
    if (strip.isNull() || frameCount < 1 || frame < 1 || frame > frameCount) return;
    const int fw = strip.width() / frameCount;
    if (fw < 1) return;
    QImage glyph = strip.copy(QRect(fw * (frame - 1), 0, fw, strip.height()));
    const bool mono = glyph.format() == QImage::Format_Mono || glyph.format() == QImage::Format_MonoLSB;
    const QRgb key = (mono ? qRgb(255, 255, 255) : glyph.pixel(0, glyph.height() - 1)) & 0xFFFFFFu;
    glyph = glyph.convertToFormat(QImage::Format_ARGB32);
    for (int row = 0; row < glyph.height(); ++row) {
        auto* px = reinterpret_cast<QRgb*>(glyph.scanLine(row));
        for (int col = 0; col < glyph.width(); ++col)
            px[col] = (px[col] & 0xFFFFFFu) == key ? 0u : (px[col] | 0xFF000000u);
    }
    painter.drawImage(x, y, glyph);
}

void DrawDefaultGlyph(QPainter& p, DefaultGlyph glyph, int x, int y, const QColor& c) {
    auto line = [&](int x0, int y0, int x1, int y1) {
        DrawPenLine(p, QPoint(x + x0, y + y0), QPoint(x + x1, y + y1), c);
    };
    auto box = [&](int l, int t, int r, int b) { Box(p, x + l, y + t, x + r, y + b, c); };
    switch (glyph) {
    case DefaultGlyph::Close:
        line(1, 1, 9, 9);
        line(9, 1, 1, 9);
        line(2, 1, 10, 9);
        line(8, 1, 0, 9);
        break;
    case DefaultGlyph::Minimize:
        line(1, 8, 9, 8);
        line(1, 9, 9, 9);
        break;
    case DefaultGlyph::Maximize:
        box(0, 0, 11, 10);
        box(0, 0, 11, 2);
        break;
    case DefaultGlyph::Restore:
        box(2, 0, 10, 6);
        box(2, 0, 10, 2);
        box(0, 4, 7, 10);
        box(0, 4, 7, 6);
        break;
    case DefaultGlyph::SystemMenu:
        box(1, 3, 9, 6);
        break;
    case DefaultGlyph::RollUp:
        for (int i = 0; i <= 4; ++i) line(5 - i, 2 + i, 5 + i, 2 + i);
        break;
    case DefaultGlyph::RollDown:
        // Drawn from the widest row up, this gives the same upward triangle as RollUp.
        for (int i = 0; i <= 4; ++i) line(1 + i, 6 - i, 9 - i, 6 - i);
        break;
    case DefaultGlyph::Bullet:
        p.fillRect(x + 2, y + 2, 5, 5, c);
        break;
    case DefaultGlyph::Check:
        for (int i = 0; i <= 2; ++i)
            DrawPenPolyline(p, {QPoint(x, y + 5 - i), QPoint(x + 2, y + 7 - i), QPoint(x + 7, y + 2 - i)},
                            c);
        break;
    }
}

void DrawArrowGlyph(QPainter& p, const QRect& rect, int kind, const QColor& c) {
    const int cx = rect.x() + rect.width() / 2;
    const int cy = rect.y() + rect.height() / 2;
    switch (kind) {
    case 1:
        for (int i = 0; i <= 3; ++i) DrawPenLine(p, {cx - 2 + i, cy - i}, {cx - 2 + i, cy + i + 1}, c);
        break;
    case 2:
        for (int n = 3; n >= 0; --n) DrawPenLine(p, {cx + 2 - n, cy + n}, {cx + 2 - n, cy - n - 1}, c);
        break;
    case 3:
        for (int i = 0; i <= 3; ++i) DrawPenLine(p, {cx - i, cy - 2 + i}, {cx + i + 1, cy - 2 + i}, c);
        break;
    case 4:
        for (int n = 3; n >= 0; --n) DrawPenLine(p, {cx - n, cy + 2 - n}, {cx + n + 1, cy + 2 - n}, c);
        break;
    default:
        break;
    }
}

void Draw3DBorder(QPainter& p, const QRect& rect, const QColor& topLeft, const QColor& bottomRight) {
    const int l = rect.x(), t = rect.y();
    const int r = rect.x() + rect.width() - 1;
    const int b = rect.y() + rect.height() - 1;
    DrawPenPolyline(p, {QPoint(l, b), QPoint(l, t), QPoint(r, t)}, topLeft);
    DrawPenPolyline(p, {QPoint(r, t), QPoint(r, b), QPoint(l - 1, b)}, bottomRight);
}

void DrawTextMiddleLeft(QPainter& p, const QString& text, const QRect& rect, int extraX) {
    if (text.isEmpty() || rect.isEmpty()) return;
    const QFontMetrics fm = p.fontMetrics();
    const int x = rect.x() + 2 + extraX;
    const int y = rect.y() + rect.height() / 2 - fm.height() / 2;
    p.save();
    p.setClipRect(rect, Qt::IntersectClip);
    p.drawText(x, y + fm.ascent(), text);
    p.restore();
}

}  // namespace skin
