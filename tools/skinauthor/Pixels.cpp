#include "Pixels.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>
#include <string>

namespace skinauthor {

QRgb Rgb(int hex) { return qRgb((hex >> 16) & 0xFF, (hex >> 8) & 0xFF, hex & 0xFF); }

QRgb Mix(QRgb a, QRgb b, int num, int den) {
    if (den <= 0) return a;
    auto ch = [&](int x, int y) { return (x * (den - num) + y * num + den / 2) / den; };
    return qRgb(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)));
}

int ColourValue(QRgb c) { return qRed(c) + qGreen(c) * 256 + qBlue(c) * 65536; }

QImage NewCanvas(int w, int h, QRgb fill) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(fill);
    return img;
}

namespace {

bool Inside(const QImage& img, int x, int y) { return x >= 0 && y >= 0 && x < img.width() && y < img.height(); }

void Put(QImage& img, int x, int y, QRgb c) {
    if (Inside(img, x, y)) reinterpret_cast<QRgb*>(img.scanLine(y))[x] = c;
}

QRgb Get(const QImage& img, int x, int y) { return reinterpret_cast<const QRgb*>(img.constScanLine(y))[x]; }

}  // namespace

void Fill(QImage& img, const Rect& r, QRgb c) {
    for (int y = r.t; y < r.b; ++y)
        for (int x = r.l; x < r.r; ++x) Put(img, x, y, c);
}

void HLine(QImage& img, int x0, int x1, int y, QRgb c) { Fill(img, {x0, y, x1, y + 1}, c); }
void VLine(QImage& img, int x, int y0, int y1, QRgb c) { Fill(img, {x, y0, x + 1, y1}, c); }

void Frame(QImage& img, const Rect& r, QRgb c) { Bevel(img, r, c, c); }

void Bevel(QImage& img, const Rect& r, QRgb light, QRgb dark) {
    if (r.empty()) return;
    HLine(img, r.l, r.r, r.t, light);
    VLine(img, r.l, r.t, r.b, light);
    HLine(img, r.l, r.r, r.b - 1, dark);
    VLine(img, r.r - 1, r.t, r.b, dark);
    // The bottom-left and top-right corner pixels belong to neither edge alone; a plain
    // bevel gives them to the dark side, as a raised edge lit from the top left looks.
}

QRgb GradientAt(QRgb from, QRgb to, int index, int count, int steps) {
    if (count <= 1) return from;
    int num = index, den = count - 1;
    if (steps > 1 && steps < count) {
        num = (index * (steps - 1) * 2 + den) / (2 * den);
        den = steps - 1;
    }
    return Mix(from, to, num, den);
}

void VGradient(QImage& img, const Rect& r, QRgb top, QRgb bottom, int steps) {
    for (int y = r.t; y < r.b; ++y) HLine(img, r.l, r.r, y, GradientAt(top, bottom, y - r.t, r.h(), steps));
}

void HGradient(QImage& img, const Rect& r, QRgb left, QRgb right, int steps) {
    for (int x = r.l; x < r.r; ++x) VLine(img, x, r.t, r.b, GradientAt(left, right, x - r.l, r.w(), steps));
}

void Copy(QImage& dst, int dx, int dy, const QImage& src, const Rect& from) {
    for (int y = from.t; y < from.b; ++y)
        for (int x = from.l; x < from.r; ++x)
            if (Inside(src, x, y)) Put(dst, dx + x - from.l, dy + y - from.t, Get(src, x, y));
}

namespace {

// Coverage in quarters (0..4) of pixel (x, y) by a shape given as a point test.
template <typename InsideFn>
int Coverage(int x, int y, InsideFn inside) {
    int n = 0;
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i)
            if (inside(x + (i + 0.5) / 4.0, y + (j + 0.5) / 4.0)) ++n;
    return (n + 2) / 4;
}

template <typename InsideFn>
void Shape(QImage& img, const Rect& bounds, InsideFn inside, const Shader& fill, bool solid = false) {
    for (int y = bounds.t; y < bounds.b; ++y)
        for (int x = bounds.l; x < bounds.r; ++x) {
            if (!Inside(img, x, y)) continue;
            const int q = Coverage(x, y, inside);
            if (solid) {
                if (q >= 2) Put(img, x, y, fill(x, y));
                continue;
            }
            if (q == 0) continue;
            Put(img, x, y, q == 4 ? fill(x, y) : Mix(Get(img, x, y), fill(x, y), q, 4));
        }
}

auto RoundRectTest(const Rect& r, int radius) {
    const double rad = radius;
    return [r, rad](double px, double py) {
        const double cx = std::clamp(px, r.l + rad, r.r - rad);
        const double cy = std::clamp(py, r.t + rad, r.b - rad);
        const double dx = px - cx, dy = py - cy;
        return px >= r.l && px <= r.r && py >= r.t && py <= r.b && dx * dx + dy * dy <= rad * rad;
    };
}

}  // namespace

void RoundRect(QImage& img, const Rect& r, int radius, const Shader& fill) { Shape(img, r, RoundRectTest(r, radius), fill); }

void RoundRectSolid(QImage& img, const Rect& r, int radius, const Shader& fill) {
    Shape(img, r, RoundRectTest(r, radius), fill, true);
}

void DiscSolid(QImage& img, double cx, double cy, double radius, const Shader& fill) {
    auto inside = [&](double px, double py) { return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius; };
    const Rect bounds{int(std::floor(cx - radius)), int(std::floor(cy - radius)), int(std::ceil(cx + radius)),
                      int(std::ceil(cy + radius))};
    Shape(img, bounds, inside, fill, true);
}

void RoundRect(QImage& img, const Rect& r, int radius, QRgb fill) {
    RoundRect(img, r, radius, [fill](int, int) { return fill; });
}

void Disc(QImage& img, double cx, double cy, double radius, const Shader& fill) {
    auto inside = [&](double px, double py) { return (px - cx) * (px - cx) + (py - cy) * (py - cy) <= radius * radius; };
    const Rect bounds{int(std::floor(cx - radius)), int(std::floor(cy - radius)), int(std::ceil(cx + radius)),
                      int(std::ceil(cy + radius))};
    Shape(img, bounds, inside, fill);
}

void Disc(QImage& img, double cx, double cy, double radius, QRgb fill) {
    Disc(img, cx, cy, radius, [fill](int, int) { return fill; });
}

Shader VShade(const Rect& r, QRgb top, QRgb bottom, int steps) {
    return [=](int, int y) { return GradientAt(top, bottom, std::clamp(y - r.t, 0, r.h() - 1), r.h(), steps); };
}

Shader HShade(const Rect& r, QRgb left, QRgb right, int steps) {
    return [=](int x, int) { return GradientAt(left, right, std::clamp(x - r.l, 0, r.w() - 1), r.w(), steps); };
}

void ArrowGlyph(QImage& img, const Rect& box, Arrow dir, int size, QRgb c) {
    const int cx = box.l + box.w() / 2;
    const int cy = box.t + box.h() / 2;
    for (int i = 0; i < size; ++i) {
        const int half = (dir == Arrow::Down || dir == Arrow::Right) ? size - 1 - i : i;
        switch (dir) {
        case Arrow::Down:
        case Arrow::Up: {
            const int y = cy - size / 2 + i;
            HLine(img, cx - half, cx + half + 1, y, c);
            break;
        }
        case Arrow::Right:
        case Arrow::Left: {
            const int x = cx - size / 2 + i;
            VLine(img, x, cy - half, cy + half + 1, c);
            break;
        }
        }
    }
}

void CheckGlyph(QImage& img, int x, int y, QRgb c) {
    static const char* rows[] = {".......", "......#", ".....##", "#...##.", "##.##..", ".###...", "..#...."};
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i)
            if (rows[j][i] == '#') Put(img, x + i, y + j, c);
}

void DotsGlyph(QImage& img, const Rect& box, QRgb c) {
    const int x0 = box.l + (box.w() - 10) / 2;
    const int y0 = box.t + (box.h() - 2) / 2 + 2;  // sits a little low, like the dots of a text
    for (int k = 0; k < 3; ++k) Fill(img, {x0 + 4 * k, y0, x0 + 4 * k + 2, y0 + 2}, c);
}

void CrossGlyph(QImage& img, const Rect& box, int size, QRgb c) {
    const int x0 = box.l + (box.w() - size - 1) / 2;
    const int y0 = box.t + (box.h() - size) / 2;
    for (int i = 0; i < size; ++i) {
        Put(img, x0 + i, y0 + i, c);
        Put(img, x0 + i + 1, y0 + i, c);
        Put(img, x0 + size - 1 - i, y0 + i, c);
        Put(img, x0 + size - i, y0 + i, c);
    }
}

void GripDots(QImage& img, const Rect& box, QRgb light, QRgb dark, bool vertical) {
    // Three raised ridges, 2 px each with a 1 px gap: 8 px across, centred.
    if (vertical) {  // ridges run horizontally (a vertical thumb)
        const int y0 = box.t + (box.h() - 8) / 2;
        for (int k = 0; k < 3; ++k) {
            HLine(img, box.l, box.r, y0 + 3 * k, light);
            HLine(img, box.l, box.r, y0 + 3 * k + 1, dark);
        }
    } else {
        const int x0 = box.l + (box.w() - 8) / 2;
        for (int k = 0; k < 3; ++k) {
            VLine(img, x0 + 3 * k, box.t, box.b, light);
            VLine(img, x0 + 3 * k + 1, box.t, box.b, dark);
        }
    }
}

int ColourCount(const QImage& rgb) {
    std::map<QRgb, int> seen;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) seen[Get(rgb, x, y) | 0xFF000000u] = 1;
    return int(seen.size());
}

QImage ToIndexed8(const QImage& rgb, const char* what) {
    std::map<QRgb, int> index;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) index[Get(rgb, x, y) | 0xFF000000u] = 0;
    if (index.size() > 256)
        throw std::runtime_error(std::string(what) + ": " + std::to_string(index.size()) +
                                 " colours, an 8-bit picture holds 256");
    QList<QRgb> table;
    for (auto& [colour, i] : index) {  // ascending colour order: stable from run to run
        i = int(table.size());
        table.append(colour);
    }
    QImage out(rgb.width(), rgb.height(), QImage::Format_Indexed8);
    out.setColorTable(table);
    for (int y = 0; y < rgb.height(); ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < rgb.width(); ++x) line[x] = uchar(index[Get(rgb, x, y) | 0xFF000000u]);
    }
    return out;
}

}  // namespace skinauthor
