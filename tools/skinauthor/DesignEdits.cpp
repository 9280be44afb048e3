// The controls picture's edits: the plain edit, the edits with a button, the memo, the
// spin edit and the combo boxes.

#include "DesignParts.h"

namespace skinauthor {

namespace {

// The button inside an edit's right fixed part: a separator column then a light face.
void EditButton(QImage& img, const Rect& r, const Look& k, const std::function<void(QImage&, const Rect&, QRgb)>& glyph,
                QRgb glyphColour, bool pressed) {
    VLine(img, r.l, r.t, r.b, k.border);
    const Rect face{r.l + 1, r.t, r.r, r.b};
    VGradient(img, face, k.top, k.bottom, 6);
    glyph(img, pressed ? face.moved(1, 1) : face, glyphColour);
}

void CalendarGlyph(QImage& img, const Rect& box, QRgb c) {
    const int x0 = box.l + (box.w() - 10) / 2, y0 = box.t + (box.h() - 9) / 2;
    Frame(img, {x0, y0, x0 + 10, y0 + 9}, c);
    HLine(img, x0, x0 + 10, y0 + 1, c);
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) img.setPixel(x0 + 2 + 3 * i, y0 + 3 + 3 * j, c);
}

}  // namespace

Rect Controls::editButtonImages(const Glyph& glyph, Rect out[3]) {
    const Look* looks[3] = {&kLightHot, &kLightDown, &kLightOff};
    for (int k = 0; k < 3; ++k) {
        out[k] = at.place(16, 16);
        EditButton(img(), out[k], *looks[k], glyph, k == 2 ? Rgb(0xA3ACB8) : kInkSoft, k == 1);
    }
    return out[0];
}

// Edits, 18 high. Margins of the text area: "edit" 4,2,1,1; the edits with a button
// 1,1,17,1, their button in the right fixed part.
void Controls::edits() {
    const Rect e = at.place(40, 18), ea = at.place(40, 18);
    FieldBox(img(), e, kFieldBorder, kFieldShade);
    FieldBox(img(), ea, Rgb(0x5A86BC), Rgb(0xDCE7F4));
    Section& s = entry("edit", "edit", e);
    horizontal(s, 3, 37);
    s.r("clientrect", {4, 2, 39, 17}).r("activeskinrect", ea);
    s.font(MakeFont(kInk)).c("disabledfontcolor", kGreyText).c("activefontcolor", Rgb(0x10233D));

    auto withButton = [&](const char* name, const Glyph& glyph) {
        const Rect r = at.place(60, 18), ra = at.place(60, 18);
        FieldBox(img(), r, kFieldBorder, kFieldShade);
        FieldBox(img(), ra, Rgb(0x5A86BC), Rgb(0xDCE7F4));
        EditButton(img(), {r.l + 43, r.t + 1, r.l + 59, r.t + 17}, kLightNormal, glyph, kInkSoft, false);
        EditButton(img(), {ra.l + 43, ra.t + 1, ra.l + 59, ra.t + 17}, kLightNormal, glyph, kInkSoft, false);
        Rect imgs[3];
        editButtonImages(glyph, imgs);
        Section& b = entry(name, "edit", r);
        horizontal(b, 3, 43);
        b.r("clientrect", {1, 1, 43, 17}).r("activeskinrect", ra);
        b.font(MakeFont(kInk)).c("disabledfontcolor", kGreyText).c("activefontcolor", Rgb(0x10233D));
        b.r("buttonrect", {43, 1, 59, 17}).r("activebuttonrect", imgs[0]).r("downbuttonrect", imgs[1]);
        b.r("unenabledbuttonrect", imgs[2]);
    };
    withButton("buttonedit", [](QImage& i, const Rect& box, QRgb c) { DotsGlyph(i, box, c); });
    withButton("dateedit", [](QImage& i, const Rect& box, QRgb c) { CalendarGlyph(i, box, c); });
    at.newShelf();

    // Memo: a field that stretches both ways.
    const Rect m = at.place(40, 40), ma = at.place(40, 40);
    FieldBox(img(), m, kFieldBorder, kFieldShade);
    FieldBox(img(), ma, Rgb(0x5A86BC), Rgb(0xDCE7F4));
    Section& mo = entry("memo", "memo", m);
    both(mo, {3, 3, 37, 37});
    mo.r("clientrect", {3, 2, 39, 39}).r("activeskinrect", ma);
    mo.font(MakeFont(kInk)).c("disabledfontcolor", kGreyText).c("activefontcolor", Rgb(0x10233D));
    mo.c("bgcolor", kField).c("activebgcolor", kField);

    // Spin edit: two stacked buttons at the right.
    const Rect sp = at.place(50, 18);
    FieldBox(img(), sp, kFieldBorder, kFieldShade);
    auto spinButton = [&](const Rect& r, const Look& k, Arrow dir, bool pressed) {
        VLine(img(), r.l, r.t, r.b, k.border);
        const Rect face{r.l + 1, r.t, r.r, r.b};
        VGradient(img(), face, k.top, k.bottom, 4);
        ArrowGlyph(img(), pressed ? face.moved(1, 1) : face, dir, 3, &k == &kLightOff ? Rgb(0xA3ACB8) : kInkSoft);
    };
    const Rect up{sp.l + 37, sp.t + 1, sp.l + 49, sp.t + 9}, dn{sp.l + 37, sp.t + 9, sp.l + 49, sp.t + 17};
    spinButton(up, kLightNormal, Arrow::Up, false);
    spinButton(dn, kLightNormal, Arrow::Down, false);
    HLine(img(), up.l, up.r, up.b - 1, kLightNormal.border);
    Rect si[4];
    const Look* sl[4] = {&kLightHot, &kLightDown, &kLightHot, &kLightDown};
    for (int k = 0; k < 4; ++k) {
        si[k] = at.place(12, 8);
        spinButton(si[k], *sl[k], k < 2 ? Arrow::Up : Arrow::Down, k % 2 == 1);
        if (k < 2) HLine(img(), si[k].l, si[k].r, si[k].b - 1, sl[k]->border);
    }
    Section& se = entry("spinedit", "spinedit", sp);
    horizontal(se, 3, 37);
    se.r("clientrect", {4, 2, 37, 17}).font(MakeFont(kInk));
    se.r("upbuttonrect", up.relativeTo(sp)).r("activeupbuttonrect", si[0]).r("downupbuttonrect", si[1]);
    se.r("downbuttonrect", dn.relativeTo(sp)).r("activedownbuttonrect", si[2]).r("downdownbuttonrect", si[3]);

    // Combo boxes: an edit with a drop button, and the shown item's two looks.
    Glyph drop = [](QImage& i, const Rect& box, QRgb c) { ArrowGlyph(i, box, Arrow::Down, 4, c); };
    auto combo = [&](const char* name) {
        const Rect r = at.place(60, 18);
        FieldBox(img(), r, kFieldBorder, kFieldShade);
        EditButton(img(), {r.l + 43, r.t + 1, r.l + 59, r.t + 17}, kLightNormal, drop, kInkSoft, false);
        Rect imgs[3];
        editButtonImages(drop, imgs);
        const Rect item = at.place(30, 16), focus = at.place(30, 16);
        Fill(img(), item, kField);
        Fill(img(), focus, kField);
        RoundRectSolid(img(), focus.inset(1), 1, VShade(focus, Rgb(0x4F80BA), Rgb(0x3C6BA4), 6));
        Section& c = entry(name, "combobox", r);
        horizontal(c, 3, 43);
        c.r("clientrect", {1, 1, 43, 17});
        c.r("itemrect", item).r("focusitemrect", focus).i("itemleftoffset", 2).i("itemrightoffset", 2);
        c.r("itemtextrect", {3, 0, 27, 16}).font(MakeFont(kInk)).c("focusfontcolor", kWhite);
        c.s("listboxname", QStringLiteral("listbox"));
        c.r("buttonrect", {43, 1, 59, 17}).r("activebuttonrect", imgs[0]).r("downbuttonrect", imgs[1]);
        c.r("unenabledbuttonrect", imgs[2]);
    };
    combo("combobox");
    combo("colorcombobox");
    at.newShelf();
}

}  // namespace skinauthor
