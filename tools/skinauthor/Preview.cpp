// A rough composite of the main window in the carried skin, for the skin's author to look
// at. It tiles the pictures the way the skin engine does (fixed parts copied once, repeat
// segments tiled, never stretched) but is deliberately small and separate from the
// engine: its job is to show the design, not to be the drawing code.

#include "Preview.h"

#include <QPainter>

#include <map>

namespace skinauthor {

namespace {

// Values of a written definition, parsed back from its lines (keys lower case).
using Values = std::map<QString, std::map<QString, QString>>;

Values Parse(const QStringList& lines) {
    Values v;
    QString section;
    for (QString line : lines) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';')) continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = line.mid(1, line.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) v[section][line.left(eq).trimmed().toLower()] = line.mid(eq + 1).trimmed();
    }
    return v;
}

std::vector<int> Numbers(const QString& s) {
    std::vector<int> out;
    for (const QString& part : s.split(',')) out.push_back(part.trimmed().toInt());
    return out;
}

Rect R(const Values& v, const QString& sec, const QString& key) {
    const auto n = Numbers(v.at(sec).at(key));
    return {n[0], n[1], n[2], n[3]};
}
Pt P(const Values& v, const QString& sec, const QString& key) {
    const auto n = Numbers(v.at(sec).at(key));
    return {n[0], n[1]};
}
int I(const Values& v, const QString& sec, const QString& key) { return v.at(sec).at(key).toInt(); }
QColor C(const Values& v, const QString& sec, const QString& key) {
    const int c = I(v, sec, key);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// Tiles src's rectangle `from` over dst's rectangle `to`, last tiles cut, never stretched.
void Tile(QImage& dst, const Rect& to, const QImage& src, const Rect& from) {
    if (from.empty() || to.empty()) return;
    for (int y = to.t; y < to.b; y += from.h())
        for (int x = to.l; x < to.r; x += from.w())
            Copy(dst, x, y, src, {from.l, from.t, from.l + std::min(from.w(), to.r - x), from.t + std::min(from.h(), to.b - y)});
}

QImage Horizontal(const QImage& pic, const Rect& s, int left, int right, int w) {
    QImage out = NewCanvas(w, s.h(), 0);
    Copy(out, 0, 0, pic, {s.l, s.t, s.l + left, s.b});
    Copy(out, w - right, 0, pic, {s.r - right, s.t, s.r, s.b});
    Tile(out, {left, 0, w - right, s.h()}, pic, {s.l + left, s.t, s.r - right, s.b});
    return out;
}

// Nine parts: corners fixed, edges and middle tiled (enough for the mock's panels).
QImage Both(const QImage& pic, const Rect& s, const Rect& c, int w, int h) {
    QImage out = NewCanvas(w, h, 0);
    const int l = c.l, t = c.t, r = s.w() - c.r, b = s.h() - c.b;
    const int xs[4] = {0, l, w - r, w}, ys[4] = {0, t, h - b, h};
    const int sx[4] = {s.l, s.l + l, s.r - r, s.r}, sy[4] = {s.t, s.t + t, s.b - b, s.b};
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 3; ++i) Tile(out, {xs[i], ys[j], xs[i + 1], ys[j + 1]}, pic, {sx[i], sy[j], sx[i + 1], sy[j + 1]});
    return out;
}

QFont SkinFont(const Values& v, const QString& sec, const QString& prefix = {}) {
    QFont f(v.at(sec).at(prefix + "fontname"));
    // A definition's font height is the cell height; the em is about 6/7 of it.
    f.setPixelSize(I(v, sec, prefix + "fontheight") * 6 / 7);
    f.setBold(v.at(sec).at(prefix + "fontstyle").contains(QLatin1String("fsbold")));
    return f;
}

}  // namespace

QImage MockWindow(const Skin& skin, int w, int h) {
    const Values v = Parse(skin.def.lines({}));
    auto pic = [&](int index) -> const QImage& { return index < 0 ? skin.form.image : skin.active.at(size_t(index)).image; };
    const QImage& form = skin.form.image;
    const Rect client = R(v, "FORMINFO", "clientrect");
    const Rect full{0, 0, form.width(), form.height()};
    QImage out = Both(form, full, client, w, h);
    const Rect nc{client.l, client.t, w - (form.width() - client.r), h - (form.height() - client.b)};

    QPainter p(&out);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Caption: the plate from the caption's picture, sized to the title, centred.
    {
        const QString title = QString::fromUtf8("物料需求計算");
        const QFont f = SkinFont(v, "caption");
        p.setFont(f);
        const QFontMetrics fm(f);
        const Rect cap = R(v, "caption", "skinrect");
        const Rect obj{cap.l, cap.t, w - (form.width() - cap.r), cap.b};
        const Rect plate = R(v, "caption", "activeframerect"), ft = R(v, "caption", "frametextrect");
        const int tw = fm.horizontalAdvance(title), th = fm.height();
        const Rect text{obj.l + ft.l, obj.t + ft.t, obj.r + ft.r - plate.w(), obj.b};
        const int x = text.l + text.w() / 2 - tw / 2, y = text.t + text.h() / 2 - th / 2;
        const QImage pl = Horizontal(pic(I(v, "caption", "activepictureindex")), plate, I(v, "caption", "frameleftoffset"),
                                     I(v, "caption", "framerightoffset"), plate.w() + tw - ft.w());
        p.drawImage(x - ft.l, y - ft.t, pl);
        p.setPen(C(v, "caption", "activefontcolor"));
        p.drawText(QRect(x, y, tw + 2, th), Qt::AlignLeft | Qt::AlignTop, title);
    }

    auto panel = [&](const Rect& r, const QString& name) {
        const Rect s = R(v, name, "skinrect");
        p.drawImage(r.l, r.t, Both(pic(I(v, name, "pictureindex")), s, R(v, name, "clientrect"), r.w(), r.h()));
    };
    auto horizontal = [&](int x, int y, int width, const QString& name, const QString& stateKey = {}) {
        const Rect s = stateKey.isEmpty() ? R(v, name, "skinrect") : R(v, name, stateKey);
        const Rect s0 = R(v, name, "skinrect");
        const QImage img = Horizontal(pic(I(v, name, "pictureindex")), s, P(v, name, "lefttoppoint").x,
                                      s0.w() - P(v, name, "righttoppoint").x, width);
        p.drawImage(x, y, img);
        return Rect{x, y, x + width, y + s.h()};
    };
    auto vertical = [&](int x, int y, int height, const QString& name) {
        const Rect s = R(v, name, "skinrect");
        const QImage& src = pic(I(v, name, "pictureindex"));
        const int top = P(v, name, "lefttoppoint").y, bottom = s.h() - P(v, name, "leftbottompoint").y;
        QImage img = NewCanvas(s.w(), height, 0);
        Copy(img, 0, 0, src, {s.l, s.t, s.r, s.t + top});
        Copy(img, 0, height - bottom, src, {s.l, s.b - bottom, s.r, s.b});
        Tile(img, {0, top, s.w(), height - bottom}, src, {s.l, s.t + top, s.r, s.b - bottom});
        p.drawImage(x, y, img);
    };
    auto text = [&](const Rect& r, const QString& s, const QFont& f, const QColor& c, Qt::Alignment a) {
        p.setFont(f);
        p.setPen(c);
        p.drawText(QRect(r.l, r.t, r.w(), r.h()), a | Qt::AlignVCenter, s);
    };
    auto button = [&](int x, int y, int width, const QString& caption, const QString& state = {}) {
        const QString key = state.isEmpty() || state == "hot" ? QStringLiteral("skinrect") : state;  // no active image: hot is the normal image
        const Rect r = horizontal(x, y, width, "button", key);
        const QColor c = state == "downskinrect" ? C(v, "button", "downfontcolor")
                         : state == "disabledskinrect" ? C(v, "button", "disabledfontcolor")
                         : state == "hot" ? C(v, "button", "activefontcolor")
                                          : C(v, "button", "fontcolor");
        const int off = state == "downskinrect" ? 1 : 0;
        text(r.moved(off, off), caption, SkinFont(v, "button"), c, Qt::AlignHCenter);
    };

    // Layout after the main window: top band, project row, order area with the group box
    // and its grid, command band, material grid, bottom band.
    const int L = nc.l, T = nc.t, Rr = nc.r, B = nc.b;
    panel({L, T, Rr, T + 8}, "panel");
    panel({L, B - 41, Rr, B}, "panel");
    panel({L, T + 8, Rr, B - 41}, "panel");
    const int rowTop = T + 9;
    panel({L + 1, rowTop, Rr - 1, rowTop + 32}, "panel");
    text({L + 10, rowTop, L + 80, rowTop + 32}, QString::fromUtf8("專案代號"), SkinFont(v, "stdlabel"), C(v, "stdlabel", "fontcolor"),
         Qt::AlignLeft);
    const Rect be = horizontal(L + 80, rowTop + 7, 120, "buttonedit");
    text(be.inset(3, 0, 17, 0), QStringLiteral("P0001"), SkinFont(v, "buttonedit"), C(v, "buttonedit", "fontcolor"), Qt::AlignLeft);
    const Rect ed = horizontal(L + 206, rowTop + 7, 200, "edit", "activeskinrect");
    text(ed.inset(5, 0, 1, 0), QString::fromUtf8("台北門市改裝工程"), SkinFont(v, "edit"), C(v, "edit", "activefontcolor"),
         Qt::AlignLeft);
    button(L + 420, rowTop + 2, 75, QString::fromUtf8("確定"));

    // Group box with the order grid.
    const Rect gb{L + 1, rowTop + 33, Rr - 1, rowTop + 33 + 128};
    panel(gb, "groupbox");
    const Rect cap = R(v, "groupbox", "captionrect");
    const Rect gs = R(v, "groupbox", "skinrect");
    text({gb.l + cap.l, gb.t + cap.t, gb.r - (gs.w() - cap.r), gb.t + cap.b}, QString::fromUtf8("訂購商品統計"),
         SkinFont(v, "groupbox"), C(v, "groupbox", "fontcolor"), Qt::AlignHCenter);
    const Rect gc = R(v, "groupbox", "clientrect");
    const Rect grid{gb.l + gc.l, gb.t + gc.t, gb.r - (gs.w() - gc.r), gb.b - (gs.h() - gc.b)};
    {
        const QImage& gp = pic(I(v, "grid", "pictureindex"));
        const Rect fixed = R(v, "grid", "fixedcellrect"), sel = R(v, "grid", "selectcellrect"), foc = R(v, "grid", "focuscellrect");
        const int rowH = sel.h();
        const int cols[] = {12, 90, 130, 90, 70, 80};
        const char* titles[] = {"", "訂單編號", "商品名稱", "數量", "單位", "交貨日"};
        const char* rows[3][5] = {{"A0001", "鋁框門片", "12", "片", "2024/05/02"},
                                  {"A0002", "強化玻璃 8mm", "24", "片", "2024/05/03"},
                                  {"A0003", "不鏽鋼把手", "36", "支", "2024/05/03"}};
        p.fillRect(QRect(grid.l, grid.t, grid.w() - 17, grid.h() - 17), C(v, "grid", "bgcolor"));
        int x = grid.l;
        for (int c = 0; c < 6 && x < grid.r - 17; ++c) {
            const int cw = cols[c];
            p.drawImage(x, grid.t, Horizontal(gp, fixed, I(v, "grid", "fixedcellleftoffset"), I(v, "grid", "fixedcellrightoffset"), cw));
            text({x + 3, grid.t, x + cw, grid.t + rowH}, QString::fromUtf8(titles[c]), SkinFont(v, "grid", "fixed"),
                 C(v, "grid", "fixedfontcolor"), Qt::AlignLeft);
            for (int r = 0; r < 3; ++r) {
                const int y = grid.t + rowH * (r + 1);
                if (c == 0) {
                    p.drawImage(x, y, Horizontal(gp, fixed, 1, 1, cw));
                    if (r == 0) ArrowGlyph(out, {x, y, x + cw, y + rowH}, Arrow::Right, 5, qRgb(0, 0, 0));
                    continue;
                }
                QColor tc = C(v, "grid", "fontcolor");
                if (r == 0 && c == 2) {
                    p.drawImage(x, y, Horizontal(gp, foc, 1, 1, cw));
                    tc = C(v, "grid", "focusfontcolor");
                } else if (r == 0) {
                    p.drawImage(x, y, Horizontal(gp, sel, 1, 1, cw));
                    tc = C(v, "grid", "selectfontcolor");
                }
                text({x + 3, y, x + cw, y + rowH}, QString::fromUtf8(rows[r][c - 1]), SkinFont(v, "grid"), tc, Qt::AlignLeft);
                p.setPen(C(v, "grid", "linescolor"));
                p.drawLine(x, y + rowH - 1, x + cw - 1, y + rowH - 1);
                p.drawLine(x + cw - 1, y, x + cw - 1, y + rowH - 1);
            }
            x += cw;
        }
        vertical(grid.r - 17, grid.t, grid.h() - 17, "vscrollbar");
        horizontal(grid.l, grid.b - 17, grid.w(), "bothhscrollbar");
        // Thumbs.
        const Rect tv = R(v, "vscrollbar", "thumbrect"), th = R(v, "bothhscrollbar", "thumbrect");
        const Rect gv = R(v, "vscrollbar", "glyphrect"), gh = R(v, "bothhscrollbar", "glyphrect");
        p.drawImage(grid.r - 17 + 1, grid.t + 17 + 10, gp, tv.l, tv.t, tv.w(), tv.h());
        p.drawImage(grid.r - 17 + 1 + tv.w() / 2 - gv.w() / 2, grid.t + 27 + tv.h() / 2 - gv.h() / 2, gp, gv.l, gv.t, gv.w(), gv.h());
        p.drawImage(grid.l + 17 + 30, grid.b - 17 + 1, gp, th.l, th.t, th.w(), th.h());
        p.drawImage(grid.l + 47 + th.w() / 2 - gh.w() / 2, grid.b - 16 + th.h() / 2 - gh.h() / 2, gp, gh.l, gh.t, gh.w(), gh.h());
    }

    // Command band.
    const int band = gb.b + 1;
    panel({L + 1, band, Rr - 1, band + 44}, "panel");
    button(L + 12, band + 8, 90, QString::fromUtf8("物料展開"), "hot");
    button(L + 110, band + 8, 90, QString::fromUtf8("轉請購單"), "downskinrect");
    button(L + 208, band + 8, 90, QString::fromUtf8("轉請購單"), "disabledskinrect");
    panel({L + 1, band + 45, Rr - 1, B - 42}, "panel");
    button(Rr - 90, B - 36, 75, QString::fromUtf8("離開"));
    return out;
}

}  // namespace skinauthor
