#include "skin/Compose.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace skin {

namespace {

// Inside this file rectangles are QRects built from their edges; width() and height()
// are the skin's widths, and RightEdge()/BottomEdge() the excluded edges (QRect::right()
// is the last column inside and is not used).
QRect RectFromEdges(int left, int top, int right, int bottom) {
    return QRect(left, top, right - left, bottom - top);
}
int RightEdge(const QRect& r) { return r.x() + r.width(); }
int BottomEdge(const QRect& r) { return r.y() + r.height(); }

void Blit(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect);

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

// Element images are 32-bit so that tiles are plain row copies.
constexpr QImage::Format kComposeFormat = QImage::Format_RGB32;

// A new image of the composition format in the background colour. With covered, the
// caller writes every pixel itself and the background fill is left out.
QImage NewImage(int w, int h, QRgb background, bool covered = false) {
    if (w < 1 || h < 1) return {};
    QImage img(w, h, kComposeFormat);
    if (img.isNull()) return img;  // allocation refused: treated as no image
    if (!covered) img.fill(background);
    return img;
}

// Whether tiling the source rectangle seg, unstretched, over a whole image covers every
// pixel of it: seg lies inside the source (tiles of a span cover it from its start to
// its end).
bool TilesCover(const QImage& src, const QRect& seg) {
    return !seg.isEmpty() && src.rect().contains(seg);
}

// The picture in the composition format, converted once per call (skin pictures are
// usually 8 or 24 bits per pixel).
QImage As32(const QImage& picture) {
    if (picture.isNull() || picture.format() == kComposeFormat) return picture;
    return picture.convertToFormat(kComposeFormat);
}

// Same-size copy of 32-bit pixels, clipped against both images.
void CopySameSize(QImage& dst, const QRect& d, const QImage& src, const QRect& s) {
    const int dx = d.x() - s.x();
    const int dy = d.y() - s.y();
    const QRect srcPart = s & src.rect();
    const QRect dstPart = srcPart.translated(dx, dy) & dst.rect();
    if (dstPart.isEmpty()) return;
    const QRect from = dstPart.translated(-dx, -dy);

    const qsizetype dstStride = dst.bytesPerLine();
    const qsizetype srcStride = src.bytesPerLine();
    uchar* out = dst.bits() + dstPart.y() * dstStride + dstPart.x() * 4;
    const uchar* in = src.constBits() + from.y() * srcStride + from.x() * 4;
    const size_t rowBytes = static_cast<size_t>(dstPart.width()) * 4;
    for (int y = 0; y < dstPart.height(); ++y) {
        std::memmove(out, in, rowBytes);
        out += dstStride;
        in += srcStride;
    }
}

// Nearest-pixel stretch of 32-bit pixels; destination pixels whose source lies outside
// the source image are left as they are.
void CopyStretched(QImage& dst, const QRect& d, const QImage& src, const QRect& s) {
    const QRect dstPart = d & dst.rect();
    if (dstPart.isEmpty()) return;
    for (int y = dstPart.y(); y < BottomEdge(dstPart); ++y) {
        const long long sy = s.y() + (static_cast<long long>(y - d.y()) * s.height()) / d.height();
        if (sy < 0 || sy >= src.height()) continue;
        auto* out = reinterpret_cast<QRgb*>(dst.scanLine(y));
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(static_cast<int>(sy)));
        for (int x = dstPart.x(); x < RightEdge(dstPart); ++x) {
            const long long sx = s.x() + (static_cast<long long>(x - d.x()) * s.width()) / d.width();
            if (sx >= 0 && sx < src.width()) out[x] = in[sx];
        }
    }
}

// Places the tiles of a repeat segment of length L along the destination span p0 to p1:
// tile k starts at p0 + k·L for k = 0 .. (p1 - p0) div L, and a tile that would end past
// p1 is shortened (destination and source alike). place(start, length) copies one tile;
// the source of every tile starts at the segment's start. Tiles wholly outside 0..extent
// are not placed, which keeps absurd sizes cheap.
template <class Place>
void ForEachTile(int L, int p0, int p1, int extent, Place place) {
    if (L < 1 || p1 <= p0) return;
    const long long count = (static_cast<long long>(p1) - p0) / L;
    const long long first = p0 < 0 ? (-static_cast<long long>(p0)) / L : 0;
    for (long long k = first; k <= count; ++k) {
        const long long start = p0 + k * L;
        if (start >= extent) break;
        const long long len = std::min<long long>(L, p1 - start);
        if (len > 0) place(static_cast<int>(start), static_cast<int>(len));
    }
}

// Whether the first tile of a span, the source rectangle first placed from p0 on an axis
// of the destination's extent, lies whole inside the destination along that axis and
// reads only pixels of the source. It then writes every pixel of its place that lies in
// the image, and each later tile is a copy of its leading part: the tiles repeat the
// first with the segment's length as their period.
bool RepeatsFirstTile(const QImage& src, const QRect& first, int p0, int L, int extent) {
    return p0 >= 0 && static_cast<long long>(p0) + L <= extent && !first.isEmpty() &&
           src.rect().contains(first);
}

// Fills bytes[0 .. total) with the repetition of its first period bytes, which hold the
// pattern already, doubling the part copied at each step.
void RepeatPrefix(uchar* bytes, size_t period, size_t total) {
    for (size_t done = period; done < total;) {
        const size_t n = std::min(done, total - done);
        std::memcpy(bytes + done, bytes, n);
        done += n;
    }
}

// Tiles the source columns srcX .. srcX + L (rows srcY .. srcY + srcH) over the
// destination columns p0 .. p1 (rows dstY .. dstY + dstH).
void TileColumns(QImage& dst, const QImage& src, int srcX, int L, int srcY, int srcH, int p0,
                 int p1, int dstY, int dstH) {
    const QRect first(srcX, srcY, L, srcH);
    if (p1 > p0 + static_cast<long long>(L) && dstH >= 1 &&
        RepeatsFirstTile(src, first, p0, L, dst.width())) {
        Blit(dst, QRect(p0, dstY, L, dstH), src, first);
        const int y0 = std::max(dstY, 0);
        const auto y1 = static_cast<int>(
            std::min<long long>(static_cast<long long>(dstY) + dstH, dst.height()));
        const size_t period = static_cast<size_t>(L) * 4;
        const size_t total = static_cast<size_t>(std::min(p1, dst.width()) - p0) * 4;
        uchar* bits = dst.bits();
        for (int y = y0; y < y1; ++y)
            RepeatPrefix(bits + y * dst.bytesPerLine() + static_cast<size_t>(p0) * 4, period, total);
        return;
    }
    ForEachTile(L, p0, p1, dst.width(), [&](int x, int len) {
        Blit(dst, QRect(x, dstY, len, dstH), src, QRect(srcX, srcY, len, srcH));
    });
}

// Tiles the source rows srcY .. srcY + L (columns srcX .. srcX + srcW) over the
// destination rows p0 .. p1 (columns dstX .. dstX + dstW).
void TileRows(QImage& dst, const QImage& src, int srcY, int L, int srcX, int srcW, int p0, int p1,
              int dstX, int dstW) {
    const QRect first(srcX, srcY, srcW, L);
    if (p1 > p0 + static_cast<long long>(L) && dstW >= 1 &&
        RepeatsFirstTile(src, first, p0, L, dst.height())) {
        Blit(dst, QRect(dstX, p0, dstW, L), src, first);
        const int x0 = std::max(dstX, 0);
        const auto x1 = static_cast<int>(
            std::min<long long>(static_cast<long long>(dstX) + dstW, dst.width()));
        if (x0 >= x1) return;
        const int end = std::min(p1, dst.height());
        const qsizetype stride = dst.bytesPerLine();
        uchar* bits = dst.bits();
        if (x0 == 0 && x1 == dst.width() && stride == static_cast<qsizetype>(x1) * 4) {
            // Whole rows of an image without row padding: the tiles are blocks of memory.
            RepeatPrefix(bits + p0 * stride, static_cast<size_t>(L) * static_cast<size_t>(stride),
                         static_cast<size_t>(end - p0) * static_cast<size_t>(stride));
            return;
        }
        for (int y = p0 + L; y < end; ++y)
            std::memcpy(bits + y * stride + x0 * 4, bits + (p0 + (y - p0) % L) * stride + x0 * 4,
                        static_cast<size_t>(x1 - x0) * 4);
        return;
    }
    ForEachTile(L, p0, p1, dst.height(), [&](int y, int len) {
        Blit(dst, QRect(dstX, y, dstW, len), src, QRect(srcX, srcY, srcW, len));
    });
}

// Appends the rectangles of one band (rows top .. bottom, the given runs) to the list.
void FlushBand(std::vector<QRect>& rects, const std::vector<int>& runs, int top, int bottom) {
    for (size_t i = 0; i + 1 < runs.size(); i += 2)
        rects.push_back(RectFromEdges(runs[i], top, runs[i + 1], bottom));
}

}  // namespace

AnchorGeometry NewGeometry(const AnchorGeometry& g, QSize skinSize, int W, int H) {
    const int dw = W - skinSize.width();
    const int dh = H - skinSize.height();
    AnchorGeometry n;
    n.LT = g.LT;
    n.RT = QPoint(g.RT.x() + dw, g.RT.y());
    n.LB = QPoint(g.LB.x(), g.LB.y() + dh);
    n.RB = QPoint(g.RB.x() + dw, g.RB.y() + dh);
    n.C = Rect{g.C.left, g.C.top, g.C.right + dw, g.C.bottom + dh};
    return n;
}

namespace {

// The copy of the composition routines: both images are already in the composition
// format (the destination made by NewImage, the source by As32).
void Blit(QImage& dst, const QRect& dstRect, const QImage& src, const QRect& srcRect) {
    if (dstRect.isEmpty() || srcRect.isEmpty() || dst.isNull() || src.isNull()) return;
    if (dstRect.size() == srcRect.size())
        CopySameSize(dst, dstRect, src, srcRect);
    else
        CopyStretched(dst, dstRect, src, srcRect);
}

}  // namespace

void CopyRect(QImage& dst, const Rect& dstRect, const QImage& src, const Rect& srcRect) {
    if (dst.isNull() || src.isNull() || dst.depth() != 32) return;
    if (src.format() == dst.format()) {
        Blit(dst, dstRect.ToQRect(), src, srcRect.ToQRect());
        return;
    }
    Blit(dst, dstRect.ToQRect(), src.convertToFormat(dst.format()), srcRect.ToQRect());
}

QImage ComposeSkinImage(const QImage& picture, const Rect& skinRect, const AnchorGeometry& g,
                        const AnchorGeometry& n, int W, int H, bool fillClient) {
    const QRect S = skinRect.ToQRect();
    QImage dst = NewImage(W, H, kBlack);
    if (dst.isNull() || picture.isNull() || g.RB.x() == g.LT.x() || g.RB.y() == g.LT.y())
        return dst;
    const QImage src = As32(picture);
    const int sl = S.x(), st = S.y(), sw = S.width(), sh = S.height();
    const QRect C = g.C.ToQRect();
    const QRect NC = n.C.ToQRect();

    // The four edges: repeat segments tiled between the anchors.
    TileColumns(dst, src, sl + g.LT.x(), g.RT.x() - g.LT.x(), st, C.top(), n.LT.x(), n.RT.x(), 0,
                NC.top());
    TileColumns(dst, src, sl + g.LB.x(), g.RB.x() - g.LB.x(), st + BottomEdge(C),
                sh - BottomEdge(C), n.LB.x(), n.RB.x(), BottomEdge(NC), H - BottomEdge(NC));
    TileRows(dst, src, st + g.LT.y(), g.LB.y() - g.LT.y(), sl, C.left(), n.LT.y(), n.LB.y(), 0,
             NC.left());
    TileRows(dst, src, st + g.RT.y(), g.RB.y() - g.RT.y(), sl + RightEdge(C), sw - RightEdge(C),
             n.RT.y(), n.RB.y(), RightEdge(NC), W - RightEdge(NC));

    // The eight fixed pieces: each corner is L-shaped, one piece in the top or bottom band
    // and one beside the client area.
    struct Piece {
        QRect from, to;  // from is relative to S
    };
    const Piece pieces[] = {
        {RectFromEdges(0, 0, g.LT.x(), C.top()), RectFromEdges(0, 0, n.LT.x(), NC.top())},
        {RectFromEdges(0, C.top(), C.left(), g.LT.y()),
         RectFromEdges(0, NC.top(), NC.left(), n.LT.y())},
        {RectFromEdges(g.RT.x(), 0, sw, C.top()), RectFromEdges(n.RT.x(), 0, W, NC.top())},
        {RectFromEdges(RightEdge(C), C.top(), sw, g.RT.y()),
         RectFromEdges(RightEdge(NC), NC.top(), W, n.RT.y())},
        {RectFromEdges(0, g.LB.y(), C.left(), sh), RectFromEdges(0, n.LB.y(), NC.left(), H)},
        {RectFromEdges(C.left(), BottomEdge(C), g.LB.x(), sh),
         RectFromEdges(NC.left(), BottomEdge(NC), n.LB.x(), H)},
        {RectFromEdges(g.RB.x(), BottomEdge(C), sw, sh),
         RectFromEdges(n.RB.x(), BottomEdge(NC), W, H)},
        {RectFromEdges(RightEdge(C), g.RB.y(), sw, BottomEdge(C)),
         RectFromEdges(RightEdge(NC), n.RB.y(), W, BottomEdge(NC))},
    };
    for (const Piece& p : pieces) Blit(dst, p.to, src, p.from.translated(sl, st));

    // The client area: C tiled in both directions, cut at NewC's right and bottom edges.
    if (fillClient && !C.isEmpty() && !NC.isEmpty()) {
        const int cw = C.width(), ch = C.height();
        const QRect from = C.translated(sl, st);
        auto tileBand = [&](int y, int rowLen) {
            ForEachTile(cw, NC.left(), RightEdge(NC), W, [&](int x, int colLen) {
                Blit(dst, QRect(x, y, colLen, rowLen), src, QRect(from.x(), from.y(), colLen, rowLen));
            });
        };
        if (NC.top() >= 0 && src.rect().contains(from)) {
            // Every row of tiles is the same: build the first from the picture and copy the
            // rows below from it (the same pixels with far fewer copies for small clients).
            const int bandRows = std::min(ch, NC.height());
            tileBand(NC.top(), bandRows);
            const QRect cols = QRect(NC.left(), 0, NC.width(), 1) & dst.rect();
            for (int y = NC.top() + bandRows; y < std::min(BottomEdge(NC), H) && !cols.isEmpty(); ++y) {
                const int pattern = NC.top() + (y - NC.top()) % ch;
                std::memcpy(dst.scanLine(y) + cols.x() * 4, dst.constScanLine(pattern) + cols.x() * 4,
                            static_cast<size_t>(cols.width()) * 4);
            }
        } else {
            ForEachTile(ch, NC.top(), BottomEdge(NC), H, tileBand);
        }
    }
    return dst;
}

QImage ComposeHorizontalImage(const QImage& picture, const Rect& skinRect, int leftWidth,
                              int rightWidth, int W) {
    const QRect S = skinRect.ToQRect();
    QImage dst = NewImage(W, S.height(), kBlack);
    if (dst.isNull() || picture.isNull()) return dst;
    const QImage src = As32(picture);
    const int h = S.height();
    if (leftWidth > 0)
        Blit(dst, QRect(0, 0, leftWidth, h), src, QRect(S.x(), S.y(), leftWidth, h));
    if (rightWidth > 0)
        Blit(dst, QRect(W - rightWidth, 0, rightWidth, h), src,
                 QRect(RightEdge(S) - rightWidth, S.y(), rightWidth, h));

    int d = S.width() - leftWidth - rightWidth;
    if (d == 0) d = 1;  // a middle of width 0 repeats the column after the left end
    if (d < 0) return dst;  // the ends overlap: there is no middle to repeat
    if ((W - leftWidth - rightWidth) / d < 0) return dst;
    TileColumns(dst, src, S.x() + leftWidth, d, S.y(), h, leftWidth, W - rightWidth, 0, h);
    return dst;
}

QImage ComposeVerticalImage(const QImage& picture, const Rect& skinRect, int topHeight,
                            int bottomHeight, int H) {
    const QRect S = skinRect.ToQRect();
    QImage dst = NewImage(S.width(), H, kBlack);
    if (dst.isNull() || picture.isNull()) return dst;
    const QImage src = As32(picture);
    const int w = S.width();
    if (topHeight > 0)
        Blit(dst, QRect(0, 0, w, topHeight), src, QRect(S.x(), S.y(), w, topHeight));
    if (bottomHeight > 0)
        Blit(dst, QRect(0, H - bottomHeight, w, bottomHeight), src,
                 QRect(S.x(), BottomEdge(S) - bottomHeight, w, bottomHeight));

    // Unlike the horizontal form, a middle of height 0 is one tile of height 0: nothing.
    const int d = S.height() - topHeight - bottomHeight;
    if (d < 1) return dst;
    if ((H - topHeight - bottomHeight) / d < 0) return dst;
    TileRows(dst, src, S.y() + topHeight, d, S.x(), w, topHeight, H - bottomHeight, 0, w);
    return dst;
}

BorderImages ComposeFrameBorders(const QImage& picture, const Rect& skinRect, const AnchorGeometry& g,
                                 const AnchorGeometry& n, int W, int H) {
    const QRect S = skinRect.ToQRect();
    BorderImages out;
    if (picture.isNull()) return out;
    const QImage src = As32(picture);
    const int sl = S.x(), st = S.y(), sr = RightEdge(S), sb = BottomEdge(S);
    const QRect C = g.C.ToQRect();
    const QRect NC = n.C.ToQRect();

    // Top band, full width, corners included.
    const int topH = NC.top();
    if (W > 0 && topH > 0 && g.RT.x() - g.LT.x() > 0) {
        const QRect segment(sl + g.LT.x(), st, g.RT.x() - g.LT.x(), topH);
        out.top = NewImage(W, topH, kBlack, TilesCover(src, segment));
        if (!out.top.isNull()) {
            TileColumns(out.top, src, sl + g.LT.x(), g.RT.x() - g.LT.x(), st, topH, 0, W, 0, topH);
            Blit(out.top, RectFromEdges(0, 0, n.LT.x(), topH), src,
                     RectFromEdges(sl, st, sl + g.LT.x(), st + topH));
            Blit(out.top, RectFromEdges(n.RT.x(), 0, W, topH), src,
                     RectFromEdges(sl + g.RT.x(), st, sr, st + topH));
        }
    }

    // Bottom band.
    const int b = H - BottomEdge(NC);
    if (W > 0 && b > 0 && g.RB.x() - g.LB.x() > 0) {
        const QRect segment(sl + g.LB.x(), sb - b, g.RB.x() - g.LB.x(), b);
        out.bottom = NewImage(W, b, kBlack, TilesCover(src, segment));
        if (!out.bottom.isNull()) {
            TileColumns(out.bottom, src, sl + g.LB.x(), g.RB.x() - g.LB.x(), sb - b, b, 0, W, 0, b);
            Blit(out.bottom, RectFromEdges(0, 0, n.LB.x(), b), src,
                     RectFromEdges(sl, sb - b, sl + g.LB.x(), sb));
            Blit(out.bottom, RectFromEdges(n.RB.x(), 0, W, b), src,
                     RectFromEdges(sl + g.RB.x(), sb - b, sr, sb));
        }
    }

    // The sides fill the height left between the bands as built.
    const int h = H - out.top.height() - out.bottom.height();

    const int leftW = NC.left();
    if (leftW > 0 && h > 0 && g.LB.y() - g.LT.y() > 0) {
        const QRect segment(sl, st + g.LT.y(), leftW, g.LB.y() - g.LT.y());
        out.left = NewImage(leftW, h, kBlack, TilesCover(src, segment));
        if (!out.left.isNull()) {
            TileRows(out.left, src, st + g.LT.y(), g.LB.y() - g.LT.y(), sl, leftW, 0, h, 0, leftW);
            const int fixedTop = g.LT.y() - C.top();
            if (fixedTop > 0)
                Blit(out.left, QRect(0, 0, leftW, fixedTop), src,
                         RectFromEdges(sl, st + C.top(), sl + leftW, st + g.LT.y()));
            const int fixedBottom = BottomEdge(C) - g.LB.y();
            if (fixedBottom > 0)
                Blit(out.left, RectFromEdges(0, h - fixedBottom, leftW, h), src,
                         RectFromEdges(sl, st + g.LB.y(), sl + leftW, st + BottomEdge(C)));
        }
    }

    const int r = W - RightEdge(NC);
    if (r >= 1 && h >= 1 && g.RB.y() - g.RT.y() >= 1) {
        const int srcX = sl + RightEdge(C);
        // A client rectangle moved unlike NewGeometry moves it makes the tiles stretch.
        const QRect segment(srcX, st + g.RT.y(), r, g.RB.y() - g.RT.y());
        out.right = NewImage(r, h, kBlack, sr - srcX == r && TilesCover(src, segment));
        if (!out.right.isNull()) {
            TileRows(out.right, src, st + g.RT.y(), g.RB.y() - g.RT.y(), srcX, sr - srcX, 0, h, 0,
                     r);
            const int fixedTop = g.RT.y() - C.top();
            if (fixedTop > 0)
                Blit(out.right, QRect(0, 0, r, fixedTop), src,
                         RectFromEdges(srcX, st + C.top(), sr, st + g.RT.y()));
            const int fixedBottom = BottomEdge(C) - g.RB.y();
            if (fixedBottom >= 1)
                Blit(out.right, RectFromEdges(0, h - fixedBottom, r, h), src,
                         RectFromEdges(srcX, st + g.RB.y(), sr, st + BottomEdge(C)));
        }
    }
    return out;
}

std::optional<QRegion> MaskToRegion(const QImage& mask, int offsetX, int offsetY) {
    if (mask.isNull()) return std::nullopt;
    const QImage m = As32(mask);
    const int w = m.width();

    // Rows with the same runs are merged into one band: that is the form QRegion keeps
    // (sorted by top, then left; no two rectangles of a band touching), so the list can
    // be handed over as it is.
    std::vector<QRect> rects;
    std::vector<int> band, row;  // runs as pairs of x0, x1 (already offset)
    int bandTop = 0;
    for (int y = 0; y < m.height(); ++y) {
        row.clear();
        const auto* px = reinterpret_cast<const QRgb*>(m.constScanLine(y));
        int x = 0;
        while (x < w) {
            while (x < w && (px[x] & 0xFFFFFFu) != 0) ++x;
            if (x == w) break;
            const int x0 = x;
            while (x < w && (px[x] & 0xFFFFFFu) == 0) ++x;
            row.push_back(offsetX + x0);
            row.push_back(offsetX + x);
        }
        if (row != band) {
            FlushBand(rects, band, offsetY + bandTop, offsetY + y);
            band.swap(row);
            bandTop = y;
        }
    }
    FlushBand(rects, band, offsetY + bandTop, offsetY + m.height());

    QRegion region;
    if (!rects.empty()) region.setRects(rects.data(), static_cast<int>(rects.size()));
    return region;
}

BorderImages ComposeMaskBorders(const QImage& mask, const AnchorGeometry& g,
                                const AnchorGeometry& n, int W) {
    BorderImages out;
    const QImage m = As32(mask);
    const int MW = m.width(), MH = m.height();
    const QRect C = g.C.ToQRect();
    const QRect NC = n.C.ToQRect();
    const int ch = C.top();
    const int cb = BottomEdge(C);

    if (W > 0 && ch > 0) {
        out.top = NewImage(W, ch, kWhite);
        if (!out.top.isNull()) {
            if (g.RT.x() != g.LT.x())
                TileColumns(out.top, m, g.LT.x(), g.RT.x() - g.LT.x(), 0, ch, n.LT.x(), n.RT.x(),
                            0, ch);
            Blit(out.top, RectFromEdges(0, 0, g.LT.x(), ch), m,
                     RectFromEdges(0, 0, g.LT.x(), ch));
            Blit(out.top, RectFromEdges(n.RT.x(), 0, W, ch), m,
                     RectFromEdges(g.RT.x(), 0, MW, ch));
        }
    }

    const int bh = MH - cb;
    if (W > 0 && bh > 0) {
        out.bottom = NewImage(W, bh, kWhite);
        if (!out.bottom.isNull()) {
            if (g.RB.x() != g.LB.x())
                TileColumns(out.bottom, m, g.LB.x(), g.RB.x() - g.LB.x(), cb, bh, n.LB.x(),
                            n.RB.x(), 0, bh);
            Blit(out.bottom, RectFromEdges(0, 0, g.LB.x(), bh), m,
                     RectFromEdges(0, cb, g.LB.x(), MH));
            Blit(out.bottom, RectFromEdges(n.RB.x(), 0, W, bh), m,
                     RectFromEdges(g.RB.x(), cb, MW, MH));
        }
    }

    const int h = NC.height();
    // One side strip: repeat segment rows from .. to, fixed parts above and below it.
    auto side = [&](int x0, int x1, int from, int to) {
        const int sw = x1 - x0;
        QImage img = NewImage(sw, h, kWhite);
        if (img.isNull()) return img;
        if (to != from) TileRows(img, m, from, to - from, x0, sw, 0, h, 0, sw);
        if (from - C.top() > 0)
            Blit(img, QRect(0, 0, sw, from - C.top()), m, RectFromEdges(x0, C.top(), x1, from));
        if (cb - to > 0)
            Blit(img, RectFromEdges(0, h - (cb - to), sw, h), m, RectFromEdges(x0, to, x1, cb));
        return img;
    };
    if (C.left() > 0 && h > 0) out.left = side(0, C.left(), g.LT.y(), g.LB.y());
    if (MW - RightEdge(C) > 0 && h > 0) out.right = side(RightEdge(C), MW, g.RT.y(), g.RB.y());
    return out;
}

std::optional<QRegion> ComposeMaskRegion(const QImage& mask, const AnchorGeometry& g,
                                         const AnchorGeometry& n, int W, int /*H*/) {
    if (mask.isNull()) return std::nullopt;
    if (n.RT.x() < n.LT.x() || n.LB.y() < n.LT.y()) return std::nullopt;
    const QRect NC = n.C.ToQRect();
    if (NC.isEmpty()) return std::nullopt;

    // The border masks need the width only; the height comes with NewC.
    const BorderImages masks = ComposeMaskBorders(mask, g, n, W);
    auto region = [](const QImage& img, int x, int y) {
        return img.isNull() ? QRegion() : MaskToRegion(img, x, y).value_or(QRegion());
    };
    const QRegion top = region(masks.top, 0, 0);
    const QRegion bottom = region(masks.bottom, 0, BottomEdge(NC));
    const QRegion left = region(masks.left, 0, NC.top());
    const QRegion right = region(masks.right, RightEdge(NC), NC.top());
    return top.united(bottom).united(left.united(right)).united(QRegion(NC));
}

}  // namespace skin
