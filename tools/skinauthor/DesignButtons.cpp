// The controls picture's buttons: push, menu, tool and speed buttons, and the marks of
// check boxes and radio buttons.

#include "DesignParts.h"

namespace skinauthor {

namespace {

void RaisedButton(QImage& img, const Rect& r, const Look& k, QRgb shine, int radius, QRgb bg) {
    Fill(img, r, bg);
    RoundRect(img, r, radius, k.border);
    const Rect in = r.inset(1);
    RoundRectSolid(img, in, radius - 1, VShade(in, k.top, k.bottom, 12));
    if (shine) HLine(img, in.l + radius - 1, in.r - radius + 1, in.t, shine);
}

void CheckBox(QImage& img, int x, int y, const Look& k, bool checked, QRgb tick, QRgb bg) {
    const Rect r{x, y, x + 13, y + 13};
    Fill(img, r, bg);
    RoundRect(img, r, 2, k.border);
    RoundRectSolid(img, r.inset(1), 1, VShade(r.inset(1), k.top, k.bottom, 3));
    if (checked) CheckGlyph(img, x + 3, y + 2, tick);
}

void RadioBox(QImage& img, int x, int y, const Look& k, bool checked, QRgb dot, QRgb bg) {
    Fill(img, {x, y, x + 13, y + 13}, bg);
    Disc(img, x + 6.5, y + 6.5, 6.5, k.border);
    const Rect in{x + 1, y + 1, x + 12, y + 12};
    DiscSolid(img, x + 6.5, y + 6.5, 5.5, VShade(in, k.top, k.bottom, 3));
    if (checked) DiscSolid(img, x + 6.5, y + 6.5, 2.6, [dot](int, int) { return dot; });
}

}  // namespace

// Push buttons: normal, down, disabled, side by side. The first three placements of
// the picture are the "button" entry's, at 3,3 / 72,3 / 141,3.
Rect Controls::pushButtons(const char* name, int w, int h, int radius, const Rect& client) {
    const Rect normal = at.place(w, h), down = at.place(w, h), off = at.place(w, h);
    RaisedButton(img(), normal, kButtonNormal, kButtonShine, radius, kPanel);
    RaisedButton(img(), down, kButtonDown, 0, radius, kPanel);
    HLine(img(), down.l + radius, down.r - radius, down.t + 1, Mix(kButtonDown.top, kButtonDown.border, 1, 2));
    RaisedButton(img(), off, kButtonOff, kButtonOffShine, radius, kPanel);
    Section& s = entry(name, "button", normal);
    horizontal(s, radius + 2, w - radius - 2);
    s.r("clientrect", client);
    s.font(MakeFont(kButtonText)).c("activefontcolor", kWhite).c("downfontcolor", kWhite).c("disabledfontcolor", Rgb(0x7B8593));
    s.r("activeskinrect", {}).r("downskinrect", down).r("disabledskinrect", off);
    s.b("morphing", false).s("morphkind", QStringLiteral("mkdefault"));
    return normal;
}

void Controls::buttons() {
    const Rect b = pushButtons("button", 67, 28, 3, {3, 3, 64, 25});
    if (b.l != 3 || b.t != 3) throw std::runtime_error("the button's picture moved");
    pushButtons("smallbutton", 48, 20, 2, {3, 2, 45, 18});
    at.newShelf();
    pushButtons("bigbutton", 80, 34, 4, {4, 4, 76, 30});

    // Menu button: the push button with a drop part on its right.
    const Rect mb[3] = {at.place(80, 28), at.place(80, 28), at.place(80, 28)};
    const Look* looks[3] = {&kButtonNormal, &kButtonDown, &kButtonOff};
    for (int k = 0; k < 3; ++k) {
        RaisedButton(img(), mb[k], *looks[k], k == 0 ? kButtonShine : k == 2 ? kButtonOffShine : 0, 3, kPanel);
        VLine(img(), mb[k].l + 62, mb[k].t + 4, mb[k].b - 4, looks[k]->border);
        VLine(img(), mb[k].l + 63, mb[k].t + 4, mb[k].b - 4, k == 2 ? kButtonOffShine : Mix(looks[k]->top, kWhite, 1, 3));
        ArrowGlyph(img(), {mb[k].l + 64, mb[k].t, mb[k].r - 1, mb[k].b}, Arrow::Down, 4,
                   k == 2 ? Rgb(0x7B8593) : kWhite);
    }
    Section& m = def.control("menubutton", "menubutton");
    m.i("pictureindex", kControls).r("skinrect", mb[0]);
    horizontal(m, 5, 60);
    m.r("clientrect", {3, 3, 61, 25});
    m.font(MakeFont(kButtonText)).c("activefontcolor", kWhite).c("downfontcolor", kWhite).c("disabledfontcolor", Rgb(0x7B8593));
    m.r("activeskinrect", {}).r("downskinrect", mb[1]).r("disabledskinrect", mb[2]);
    m.r("trackbuttonrect", {63, 0, 80, 28});
    at.newShelf();

    // Flat tool buttons: invisible until the mouse comes, flat fills so they stretch
    // both ways without seams.
    auto flat = [&](const Rect& r, int state) {
        Fill(img(), r, kPanel);
        if (state == 0) return;
        RoundRect(img(), r, 2, state == 1 ? Rgb(0x8FB0D6) : kAccent);
        RoundRect(img(), r.inset(1), 1, state == 1 ? Rgb(0xE6EEF8) : Rgb(0xCCDCEF));
    };
    const Rect tb[3] = {at.place(24, 24), at.place(24, 24), at.place(24, 24)};
    for (int k = 0; k < 3; ++k) flat(tb[k], k);
    Section& t = entry("toolbutton", "button", tb[0]);
    both(t, {4, 4, 20, 20});
    t.r("clientrect", {3, 3, 21, 21}).font(MakeFont(kInk)).c("activefontcolor", kInk).c("downfontcolor", kInk);
    t.c("disabledfontcolor", kGreyText).r("activeskinrect", tb[1]).r("downskinrect", tb[2]);

    const Rect tm[3] = {at.place(36, 24), at.place(36, 24), at.place(36, 24)};
    for (int k = 0; k < 3; ++k) {
        flat(tm[k], k);
        if (k) VLine(img(), tm[k].l + 23, tm[k].t + 3, tm[k].b - 3, k == 1 ? Rgb(0x8FB0D6) : kAccent);
        ArrowGlyph(img(), {tm[k].l + 24, tm[k].t, tm[k].r, tm[k].b}, Arrow::Down, 3, kInkSoft);
    }
    Section& tmb = def.control("toolmenubutton", "menubutton");
    tmb.i("pictureindex", kControls).r("skinrect", tm[0]);
    horizontal(tmb, 4, 20);
    tmb.r("clientrect", {3, 3, 22, 21}).font(MakeFont(kInk)).c("activefontcolor", kInk).c("downfontcolor", kInk);
    tmb.c("disabledfontcolor", kGreyText).r("activeskinrect", tm[1]).r("downskinrect", tm[2]);
    tmb.r("trackbuttonrect", {24, 0, 36, 24});

    // Speed button: the light raised look of the small arrow buttons.
    const Rect sb[4] = {at.place(22, 22), at.place(22, 22), at.place(22, 22), at.place(22, 22)};
    const Look* sl[4] = {&kLightNormal, &kLightHot, &kLightDown, &kLightOff};
    for (int k = 0; k < 4; ++k) LightButton(img(), sb[k], *sl[k], kPanel);
    Section& sp = entry("speedbutton", "button", sb[0]);
    horizontal(sp, 4, 18);
    sp.r("clientrect", {2, 2, 20, 20}).font(MakeFont(kInk)).c("activefontcolor", kInk).c("downfontcolor", kInk);
    sp.c("disabledfontcolor", kGreyText).r("activeskinrect", sb[1]).r("downskinrect", sb[2]).r("disabledskinrect", sb[3]);
    at.newShelf();
}

// Check boxes and radio buttons: 13 x 13 marks on the panel ground.
Controls::Marks Controls::marks(bool radio) {
    Marks m;
    Rect* order[6] = {&m.uncheck, &m.check, &m.activeUncheck, &m.activeCheck, &m.offUncheck, &m.offCheck};
    const Look normal{Rgb(0x7D8CA1), kField, Rgb(0xE8EDF2)};
    const Look hot{kAccent, Rgb(0xF4F8FC), Rgb(0xD9E6F4)};
    const Look off{Rgb(0xB8C0CA), Rgb(0xF1F3F5), Rgb(0xE7EAEE)};
    const Look* looks[3] = {&normal, &hot, &off};
    for (int k = 0; k < 6; ++k) {
        *order[k] = at.place(13, 13);
        const bool checked = k % 2 == 1;
        const QRgb mark = k >= 4 ? Rgb(0xA3ACB8) : kAccentDark;
        if (radio) RadioBox(img(), order[k]->l, order[k]->t, *looks[k / 2], checked, mark, kPanel);
        else CheckBox(img(), order[k]->l, order[k]->t, *looks[k / 2], checked, mark, kPanel);
    }
    return m;
}

void Controls::checks() {
    checkMarks = marks(false);
    const Marks radio = marks(true);
    const Rect ground = at.place(40, 17);
    Fill(img(), ground, kPanel);
    for (auto [name, m] : {std::pair{"checkbox", checkMarks}, std::pair{"radiobox", radio}}) {
        Section& s = entry(name, "checkradio", ground);
        horizontal(s, 17, 38);
        s.r("clientrect", {0, 0, 40, 17});
        s.font(MakeFont(kInk)).c("activefontcolor", kAccentDark).c("unenabledfontcolor", kGreyText);
        s.c("framefontcolor", kAccent).r("activeskinrect", {});
        s.r("checkimagearea", {1, 2, 14, 15}).r("textarea", {18, 0, 40, 17});
        s.r("checkimagerect", m.check).r("uncheckimagerect", m.uncheck);
        s.r("activecheckimagerect", m.activeCheck).r("activeuncheckimagerect", m.activeUncheck);
        s.r("unenabledcheckimagerect", m.offCheck).r("unenableduncheckimagerect", m.offUncheck);
        s.b("morphing", false).s("morphkind", QStringLiteral("mkdefault"));
    }
    at.newShelf();
}

}  // namespace skinauthor
