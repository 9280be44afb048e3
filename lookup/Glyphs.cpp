#include "lookup/Glyphs.h"

#include <QPainter>
#include <QPainterPath>

namespace lookup {

namespace {

// One navigator image, w x 13, drawn in the colour: arrows point by dir (-1 left, +1
// right) with an optional bar at the far end.
void DrawArrow(QPainter& p, int x0, int w, int dir, bool bar, const QColor& c) {
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    const int cy = 6;
    if (dir > 0) {
        const int tip = x0 + w - (bar ? 5 : 3);
        const QPoint tri[3] = {{tip - 5, cy - 5}, {tip, cy}, {tip - 5, cy + 5}};
        p.drawPolygon(tri, 3);
        if (bar) p.drawRect(tip + 1, cy - 5, 1, 11);
    } else {
        const int tip = x0 + (bar ? 4 : 2);
        const QPoint tri[3] = {{tip + 5, cy - 5}, {tip, cy}, {tip + 5, cy + 5}};
        p.drawPolygon(tri, 3);
        if (bar) p.drawRect(tip - 2, cy - 5, 1, 11);
    }
}

void DrawSymbol(QPainter& p, const QString& word, int x0, int w, const QColor& c) {
    if (word == "FIRST") DrawArrow(p, x0, w, -1, true, c);
    else if (word == "PRIOR") DrawArrow(p, x0, w, -1, false, c);
    else if (word == "NEXT") DrawArrow(p, x0, w, 1, false, c);
    else if (word == "LAST") DrawArrow(p, x0, w, 1, true, c);
    else {
        p.setPen(QPen(c, 2));
        p.setBrush(Qt::NoBrush);
        const QRect r(x0 + 3, 2, w - 6, 9);
        if (word == "INSERT") {
            p.drawLine(r.center().x(), r.top(), r.center().x(), r.bottom());
            p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
        } else if (word == "DELETE") {
            p.drawLine(r.left(), r.center().y(), r.right(), r.center().y());
        } else if (word == "EDIT") {
            p.drawLine(r.left(), r.bottom(), r.right(), r.top());
        } else if (word == "POST") {
            p.drawLine(r.left(), r.center().y(), r.center().x() - 1, r.bottom());
            p.drawLine(r.center().x() - 1, r.bottom(), r.right(), r.top());
        } else if (word == "CANCEL") {
            p.drawLine(r.topLeft(), r.bottomRight());
            p.drawLine(r.bottomLeft(), r.topRight());
        } else if (word == "REFRESH") {
            p.drawArc(r.adjusted(1, 0, -1, 0), 30 * 16, 300 * 16);
        }
    }
}

}  // namespace

QImage NavigatorGlyph(const QString& wordIn) {
    const QString word = wordIn.toUpper();
    static const QStringList kWords = {"FIRST", "PRIOR", "NEXT", "LAST", "INSERT", "DELETE", "EDIT", "POST", "CANCEL", "REFRESH"};
    if (!kWords.contains(word)) return {};
    const int w = word == "PRIOR" || word == "NEXT" ? 10 : 14;
    QImage img(2 * w, 13, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, false);
    DrawSymbol(p, word, 0, w, QColor(0, 0, 0));
    // The disabled image: the symbol embossed in the classic greys.
    DrawSymbol(p, word, w + 1, w - 1, QColor(255, 255, 255));
    DrawSymbol(p, word, w, w - 1, QColor(128, 128, 128));
    return img;
}

QImage DialogGlyphImage(DialogGlyph glyph) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing, true);
    switch (glyph) {
    case DialogGlyph::Search:
        p.setPen(QPen(QColor(0, 0, 128), 2));
        p.setBrush(QColor(200, 230, 255));
        p.drawEllipse(QRectF(1.5, 1.5, 9, 9));
        p.setPen(QPen(QColor(128, 64, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 10), QPointF(14, 14));
        break;
    case DialogGlyph::Reset: {
        p.setPen(QPen(QColor(0, 128, 0), 2));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(2, 2, 12, 12), 60 * 16, 280 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 128, 0));
        const QPointF head[3] = {{9, 0.5}, {14, 3.5}, {9, 7}};
        p.drawPolygon(head, 3);
        break;
    }
    case DialogGlyph::Accept:
        p.setPen(QPen(QColor(0, 128, 0), 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({{2.5, 8.5}, {6.5, 12.5}, {13.5, 3.5}}));
        break;
    case DialogGlyph::Cancel:
        p.setPen(QPen(QColor(192, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(3.5, 12.5), QPointF(12.5, 3.5));
        break;
    }
    return img;
}

}  // namespace lookup
