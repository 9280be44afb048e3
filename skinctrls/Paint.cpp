#include "skinctrls/Paint.h"

#include "skin/DeviceImage.h"

namespace skinctrls {

void FillRect(QPainter& p, const QRect& r, platform::TColor c) {
    if (r.isEmpty()) return;
    p.fillRect(r, platform::ToQColor(c));
}

void FrameRect(QPainter& p, const QRect& r, platform::TColor c) {
    if (r.isEmpty()) return;
    const QColor q = platform::ToQColor(c);
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), q);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), q);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), q);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), q);
}

void FramedFill(QPainter& p, const QRect& r, platform::TColor frame, platform::TColor fill) {
    FillRect(p, r.adjusted(1, 1, -1, -1), fill);
    FrameRect(p, r, frame);
}

void DrawPicture(QPainter& p, QPoint at, const QImage& picture) {
    if (picture.isNull()) return;
    const skin::SmoothOnFinerDevice smooth(p);
    p.drawImage(at, picture);
}

void CopyPicture(QPainter& p, const QRect& dst, const QImage& picture, const skin::Rect& src) {
    if (picture.isNull() || src.IsEmpty() || dst.isEmpty()) return;
    const skin::SmoothOnFinerDevice smooth(p);
    p.drawImage(dst, picture, src.ToQRect());
}

void TilePicture(QPainter& p, const QRect& area, const QImage& picture, const skin::Rect& src) {
    if (picture.isNull() || src.IsEmpty() || area.isEmpty()) return;
    const skin::SmoothOnFinerDevice smooth(p);
    const int tw = src.Width(), th = src.Height();
    for (int y = area.top(); y <= area.bottom(); y += th) {
        const int h = std::min(th, area.bottom() + 1 - y);
        for (int x = area.left(); x <= area.right(); x += tw) {
            const int w = std::min(tw, area.right() + 1 - x);
            p.drawImage(QRect(x, y, w, h), picture, QRect(src.left, src.top, w, h));
        }
    }
}

platform::TFont EntryFont(const skin::SkinFontKeys& k) {
    platform::TFont f;
    f.name = k.fontname;
    f.height = k.fontheight;
    f.style = k.fontstyle;
    f.color = k.fontcolor;
    return f;
}

void DrawFocusMark(QImage& img, const QRect& r) {
    const QRect c = r.intersected(img.rect());
    if (c.width() < 3 || c.height() < 3) return;
    auto dot = [&](int x, int y) {
        if ((x - c.left() + y - c.top()) % 2 != 0) return;
        img.setPixel(x, y, qGray(img.pixel(x, y)) >= 128 ? qRgb(0, 0, 0) : qRgb(255, 255, 255));
    };
    for (int x = c.left(); x <= c.right(); ++x) {
        dot(x, c.top());
        dot(x, c.bottom());
    }
    for (int y = c.top() + 1; y < c.bottom(); ++y) {
        dot(c.left(), y);
        dot(c.right(), y);
    }
}

platform::TColor PixelColor(const QImage& img, int x, int y) {
    if (x < 0 || y < 0 || x >= img.width() || y >= img.height()) return platform::clNone;
    return platform::FromQColor(QColor(img.pixel(x, y)));
}

}  // namespace skinctrls
