// The containers: the group box (its own picture and a copy in the controls picture),
// panels, the extended panel, labels, bevels and splitters, and tabs.

#include "DesignParts.h"

namespace skinauthor {

// Picture 6 (and a copy in the controls picture): the group box, 39 x 17. A slate
// caption band over rows 1..13, a separator on row 14, one client row, a bottom edge.

void DrawGroupBox(QImage& img, int x, int y) {
    const Rect r{x, y, x + kGroupW, y + kGroupH};
    Fill(img, r, kPanel);
    Frame(img, r, Rgb(0x8F9DB0));
    SlateBand(img, {x + 1, y + 1, x + kGroupW - 1, y + 14});
    HLine(img, x + 1, x + kGroupW - 1, y + 14, kSlateEdge);
    VLine(img, x + 1, y + 15, y + kGroupH - 1, kPanelHi);
}

void GroupBoxEntry(Section& s, int picture, const Rect& r) {
    s.i("pictureindex", picture).r("skinrect", r);
    s.p("lefttoppoint", {2, 15}).p("righttoppoint", {kGroupW - 2, 15});
    s.p("leftbottompoint", {2, 16}).p("rightbottompoint", {kGroupW - 2, 16});
    s.r("clientrect", {2, 15, kGroupW - 2, 16});
    s.i("bgpictureindex", -1).r("captionrect", {1, 1, kGroupW - 1, 14});
    s.s("alignment", QStringLiteral("tacenter")).font(MakeFont(kWhite, true));
}

// Panels and the other containers.
void Controls::panels(const Rect& checkedMark, const Rect& uncheckedMark) {
    const Rect p = at.place(40, 40);
    Fill(img(), p, kPanel);
    Bevel(img(), p, kPanelHi, kPanelLo);
    Section& s = entry("panel", "panel", p);
    both(s, {2, 2, 38, 38});
    s.r("clientrect", {1, 1, 39, 39}).i("bgpictureindex", -1).r("captionrect", {});
    s.s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kInk));

    // Group box copies (the radio group reads picture 6, the check group this copy).
    const Rect gb = at.place(kGroupW, kGroupH);
    DrawGroupBox(img(), gb.l, gb.t);
    Section& cg = def.control("checkgroupbox", "panel");
    GroupBoxEntry(cg, kControls, gb);
    cg.r("checkimagerect", checkedMark).r("uncheckimagerect", uncheckedMark);

    // Caption panel: a slate band for its caption, text left-aligned in white.
    auto captioned = [&](int w, int rightAnchor, bool rollMarker) {
        const Rect r = at.place(w, 40);
        Fill(img(), r, kPanel);
        Bevel(img(), r, kPanelHi, kPanelLo);
        SlateBand(img(), {r.l + 1, r.t + 1, r.r - 1, r.t + 21});
        HLine(img(), r.l + 1, r.r - 1, r.t + 21, kSlateEdge);
        if (rollMarker) ArrowGlyph(img(), {r.l + 46, r.t + 6, r.l + 56, r.t + 16}, Arrow::Up, 4, kWhite);
        return std::pair{r, rightAnchor};
    };
    auto [cp, cpr] = captioned(40, 32, false);
    Section& c = entry("captionpanel", "panel", cp);
    both(c, {8, 22, cpr, 38});
    c.r("clientrect", {1, 22, 39, 39}).r("captionrect", {6, 1, 36, 21});
    c.s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kWhite, true));

    auto [rp, rpr] = captioned(60, 44, true);
    const Rect restore = at.place(10, 10);
    Copy(img(), restore.l, restore.t, img(), {rp.l + 20, rp.t + 6, rp.l + 30, rp.t + 16});
    ArrowGlyph(img(), restore, Arrow::Down, 4, kWhite);
    Section& rl = entry("rollpanel", "panel", rp);
    both(rl, {8, 22, rpr, 38});
    rl.r("clientrect", {1, 22, 59, 39}).r("captionrect", {6, 1, 44, 21});
    rl.r("rollupmarkerrect", {46, 6, 56, 16}).r("restoremarkerrect", restore);
    rl.s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kWhite, true));

    // Tool panel and status bar: fixed height, stretch along.
    const Rect tp = at.place(40, 30);
    VGradient(img(), tp, Rgb(0xF5F7F9), Rgb(0xDDE3EA), 8);
    HLine(img(), tp.l, tp.r, tp.t, kPanelHi);
    HLine(img(), tp.l, tp.r, tp.b - 1, kPanelLo);
    Section& t = entry("toolpanel", "panel", tp);
    horizontal(t, 2, 38);
    t.r("clientrect", {2, 1, 38, 29}).s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kInk));

    const Rect sb = at.place(40, 22);
    Fill(img(), sb, kPanel);
    HLine(img(), sb.l, sb.r, sb.t, kPanelLo);
    HLine(img(), sb.l, sb.r, sb.t + 1, kPanelHi);
    Section& st = entry("statusbar", "panel", sb);
    horizontal(st, 2, 38);
    st.r("clientrect", {2, 3, 38, 21}).s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kInk));

    const Rect spn = at.place(40, 20);
    Fill(img(), spn, kPanel);
    Bevel(img(), spn, kPanelLo, kPanelHi);
    Section& sp = entry("statuspanel", "panel", spn);
    both(sp, {3, 3, 37, 17});
    sp.r("clientrect", {2, 2, 38, 18}).r("captionrect", {3, 2, 37, 18});
    sp.s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kInk));
    at.newShelf();

    const Rect ts = at.place(20, 20);
    Fill(img(), ts, kPanel);
    Section& tsh = entry("tabsheet", "panel", ts);
    both(tsh, {1, 1, 19, 19});
    tsh.r("clientrect", {1, 1, 19, 19}).s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kInk));

    const Rect ip = at.place(40, 40);
    Fill(img(), ip, Rgb(0xF3F6FA));
    Frame(img(), ip, Rgb(0xB9C7D8));
    Fill(img(), {ip.l + 1, ip.t + 1, ip.l + 4, ip.b - 1}, kAccent);
    Section& in = entry("infopanel", "panel", ip);
    both(in, {6, 2, 38, 38});
    in.r("clientrect", {5, 1, 39, 39}).s("alignment", QStringLiteral("taleftjustify")).font(MakeFont(kInk));

    const Rect cal = at.place(40, 40);
    Fill(img(), cal, kField);
    Frame(img(), cal, kFieldBorder);
    Section& ca = entry("calendar", "panel", cal);
    both(ca, {2, 2, 38, 38});
    ca.r("clientrect", {1, 1, 39, 39}).s("alignment", QStringLiteral("tacenter")).font(MakeFont(kInk));

    const Rect sbx = at.place(40, 40);
    Fill(img(), sbx, kPanel);
    Bevel(img(), sbx, kPanelLo, kPanelHi);
    Bevel(img(), sbx.inset(1), Rgb(0xC4CCD7), kPanel);
    Section& sx = def.control("scrollbox", "scrollbox");
    sx.i("pictureindex", kControls).r("skinrect", sbx);
    both(sx, {3, 3, 37, 37});
    sx.r("clientrect", {2, 2, 38, 38}).i("bgpictureindex", -1);

    // Control bar: a raised ground and a band item with a gripper.
    const Rect cb = at.place(40, 40), cbi = at.place(40, 26);
    Fill(img(), cb, kPanel);
    Bevel(img(), cb, kPanelHi, kPanelLo);
    Fill(img(), cbi, kPanel);
    Bevel(img(), cbi, kPanelHi, kPanelLo);
    GripDots(img(), {cbi.l + 2, cbi.t + 3, cbi.l + 10, cbi.b - 3}, kPanelHi, kPanelLo, false);
    Section& cbs = def.control("controlbar", "controlbar");
    cbs.i("pictureindex", kControls).r("skinrect", cb);
    both(cbs, {2, 2, 38, 38});
    cbs.r("clientrect", {1, 1, 39, 39}).r("itemrect", cbi).i("bgpictureindex", -1);
    at.newShelf();
}

// The extended panel: a caption band with close and roll buttons; rolled-up looks.
void Controls::exPanel() {
    const Rect r = at.place(60, 40);
    Fill(img(), r, kPanel);
    Bevel(img(), r, kPanelHi, kPanelLo);
    SlateBand(img(), {r.l + 1, r.t + 1, r.r - 1, r.t + 21});
    HLine(img(), r.l + 1, r.r - 1, r.t + 21, kSlateEdge);
    const Rect hroll = at.place(60, 22);
    Copy(img(), hroll.l, hroll.t, img(), {r.l, r.t, r.r, r.t + 22});
    HLine(img(), hroll.l, hroll.r, hroll.b - 1, kPanelLo);
    const Rect vroll = at.place(22, 60);
    Fill(img(), vroll, kPanel);
    Bevel(img(), vroll, kPanelHi, kPanelLo);
    HGradient(img(), vroll.inset(1), kSlateTop, kSlateBottom, 8);

    // Band buttons 12 x 12: normal (on the band), hot (lighter plate), pressed.
    auto bandButtons = [&](const std::function<void(const Rect&, QRgb)>& glyph, Rect out[3]) {
        for (int k = 0; k < 3; ++k) {
            out[k] = at.place(12, 12);
            Copy(img(), out[k].l, out[k].t, img(), {r.l + 20, r.t + 5, r.l + 32, r.t + 17});
            if (k == 1) RoundRect(img(), out[k], 2, Rgb(0x8BA1BD));
            if (k == 2) RoundRect(img(), out[k], 2, Rgb(0x3E5068));
            glyph(k == 2 ? out[k].moved(1, 1) : out[k], kWhite);
        }
    };
    Rect close[3], hr[3], hs[3], vr[3], vs[3];
    bandButtons([&](const Rect& b, QRgb c) { CrossGlyph(img(), b, 6, c); }, close);
    bandButtons([&](const Rect& b, QRgb c) { ArrowGlyph(img(), b, Arrow::Left, 4, c); }, hr);
    bandButtons([&](const Rect& b, QRgb c) { ArrowGlyph(img(), b, Arrow::Right, 4, c); }, hs);
    bandButtons([&](const Rect& b, QRgb c) { ArrowGlyph(img(), b, Arrow::Up, 4, c); }, vr);
    bandButtons([&](const Rect& b, QRgb c) { ArrowGlyph(img(), b, Arrow::Down, 4, c); }, vs);

    Section& s = def.control("expanel", "expanel");
    s.i("pictureindex", kControls).r("skinrect", r);
    both(s, {8, 22, 36, 38});
    s.r("clientrect", {1, 22, 59, 39});
    s.r("rollhskinrect", hroll).r("rollvskinrect", vroll);
    s.i("rollleftoffset", 8).i("rollrightoffset", 24).i("rolltopoffset", 24).i("rollbottomoffset", 8);
    s.r("rollvcaptionrect", {1, 26, 21, 52}).r("rollhcaptionrect", {6, 1, 36, 21});
    s.r("closebuttonrect", close[0]).r("closebuttonactiverect", close[1]).r("closebuttondownrect", close[2]);
    s.r("hrollbuttonrect", hr[0]).r("hrollbuttonactiverect", hr[1]).r("hrollbuttondownrect", hr[2]);
    s.r("hrestorebuttonrect", hs[0]).r("hrestorebuttonactiverect", hs[1]).r("hrestorebuttondownrect", hs[2]);
    s.r("vrollbuttonrect", vr[0]).r("vrollbuttonactiverect", vr[1]).r("vrollbuttondownrect", vr[2]);
    s.r("vrestorebuttonrect", vs[0]).r("vrestorebuttonactiverect", vs[1]).r("vrestorebuttondownrect", vs[2]);
    s.r("captionrect", {6, 1, 36, 21}).font(MakeFont(kWhite, true));
    at.newShelf();
}

void Controls::labelsAndLines() {
    Section& sl = def.control("stdlabel", "stdlabel");
    sl.i("pictureindex", -1).r("skinrect", {}).font(MakeFont(kInk)).c("activefontcolor", kAccent);
    Section& bl = def.control("boldstdlabel", "stdlabel");
    bl.i("pictureindex", -1).r("skinrect", {}).font(MakeFont(kInk, true)).c("activefontcolor", kAccent);

    const Rect l = at.place(40, 20), cl = at.place(40, 20);
    Fill(img(), l, Rgb(0xF4F6F9));
    Frame(img(), l, Rgb(0xB7C1CD));
    VGradient(img(), cl, kSlateTop, kSlateBottom, 8);
    Frame(img(), cl, kSlateEdge);
    Section& la = entry("label", "label", l);
    horizontal(la, 3, 37);
    la.r("clientrect", {3, 1, 37, 19}).font(MakeFont(kInk));
    Section& cla = entry("captionlabel", "label", cl);
    horizontal(cla, 3, 37);
    cla.r("clientrect", {3, 1, 37, 19}).font(MakeFont(kWhite, true));

    Section& bv = def.control("bevel", "bevel");
    bv.i("pictureindex", -1).r("skinrect", {}).c("lightcolor", kPanelHi).c("darkcolor", kPanelLo);

    // Splitters: a raised bar with a dotted grip every 4 pixels along the repeat.
    const Rect hs = at.place(40, 6), vs = at.place(6, 40);
    Fill(img(), hs, kPanel);
    Bevel(img(), hs, kPanelHi, kPanelLo);
    for (int x = hs.l + 2; x < hs.r - 2; x += 4) {
        img().setPixel(x, hs.t + 2, kPanelLo);
        img().setPixel(x + 1, hs.t + 3, kPanelHi);
    }
    Fill(img(), vs, kPanel);
    Bevel(img(), vs, kPanelHi, kPanelLo);
    for (int y = vs.t + 2; y < vs.b - 2; y += 4) {
        img().setPixel(vs.l + 2, y, kPanelLo);
        img().setPixel(vs.l + 3, y + 1, kPanelHi);
    }
    Section& h = entry("hsplitter", "splitter", hs);
    horizontal(h, 2, 38);
    h.r("clientrect", {2, 1, 38, 5});
    Section& v = entry("vsplitter", "splitter", vs);
    vertical(v, 2, 38);
    v.r("clientrect", {1, 2, 5, 38});
}

// Tabs: the page frame and four tab looks, 22 high.
void Controls::tabs() {
    const QRgb edge = Rgb(0x9AA7B8);
    const Rect page = at.place(40, 40);
    Fill(img(), page, kPanel);
    Frame(img(), page, edge);
    Rect look[4];  // normal, active, focused, mouse over
    for (int k = 0; k < 4; ++k) {
        look[k] = at.place(60, 22);
        // Drawn on a taller scratch canvas: the rounded body runs past the bottom
        // edge, so the tab's lower corners stay square.
        QImage tab = NewCanvas(60, 26, kPanel);
        const bool raised = k == 1 || k == 2;
        const Rect body{0, raised ? 0 : 2, 60, 26};
        RoundRect(tab, body, 2, edge);
        const Rect in = body.inset(1);
        if (raised) Fill(tab, {in.l, in.t + 1, in.r, 22}, kPanel);
        else VGradient(tab, {in.l, in.t + 1, in.r, 22}, k == 3 ? Rgb(0xF1F5FA) : Rgb(0xE2E8EF),
                       k == 3 ? Rgb(0xE0E8F2) : Rgb(0xD0D8E2), 6);
        HLine(tab, in.l + 1, in.r - 1, in.t, k == 2 ? kAccent : k == 3 ? Rgb(0x8FB0D6) : kPanelHi);
        if (k == 2) HLine(tab, in.l, in.r, in.t + 1, kAccent);
        if (!raised) HLine(tab, 0, 60, 21, edge);
        Copy(img(), look[k].l, look[k].t, tab, {0, 0, 60, 22});
    }
    const Rect bg = at.place(10, 22);
    Fill(img(), bg, kPanel);
    HLine(img(), bg.l, bg.r, bg.b - 1, edge);
    Section& s = def.control("tab", "tab");
    s.i("pictureindex", kControls).r("skinrect", page);
    s.r("tabrect", look[0]).r("activetabrect", look[1]).r("focustabrect", look[2]).r("mouseintabrect", look[3]);
    s.r("clientrect", {1, 1, 39, 39}).i("bgpictureindex", -1);
    both(s, {3, 3, 37, 37});
    s.i("tableftoffset", 3).i("tabrightoffset", 3).r("tabsbgrect", bg);
    s.font(MakeFont(kInk)).c("activefontcolor", kInk).c("focusfontcolor", kAccentDark).c("mouseinfontcolor", kAccent);
    s.s("updown", QStringLiteral("hupdown"));
    at.newShelf();
}

}  // namespace skinauthor
