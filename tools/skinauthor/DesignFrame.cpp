// The window frame: the form picture that frames every window, and the caption picture
// (24 bits) with the title plates and the horizontal gauge.

#include "DesignParts.h"

namespace skinauthor {

namespace {

// The form picture: 191 x 140, border 4, caption band 29 rows high.
constexpr int kFormW = 191, kFormH = 140, kBand = 29, kBorder = 4;

QRgb BandColour(int y) { return GradientAt(kBandTop, kBandBottom, y - 1, kBand - 2, 0); }

}  // namespace

QImage DrawFormPicture() {
    QImage img = NewCanvas(kFormW, kFormH, kPanel);
    const Rect all{0, 0, kFormW, kFormH};
    // Sides: outer dark line, a light line, slate body, an inner dark line at the client.
    Fill(img, all, kFrameSide);
    for (int y = 1; y < kBand - 1; ++y) HLine(img, 1, kFormW - 1, y, BandColour(y));
    Frame(img, all, kFrameOuter);
    HLine(img, 1, kFormW - 1, 1, kFrameLight);
    VLine(img, 1, 1, kFormH - 1, Mix(kFrameLight, kFrameSide, 1, 2));
    Frame(img, {kBorder - 1, kBand - 1, kFormW - kBorder + 1, kFormH - kBorder + 1}, kFrameInner);
    Fill(img, {kBorder, kBand, kFormW - kBorder, kFormH - kBorder}, kPanel);
    return img;
}

void FormInfo(Definition& def) {
    Section& f = def.formInfo();
    // The anchors sit well inside the client area: everything between them is uniform,
    // so the tiled edges repeat cleanly at any window size.
    f.p("lefttoppoint", {30, 40}).p("righttoppoint", {160, 40});
    f.p("leftbottompoint", {30, 100}).p("rightbottompoint", {160, 100});
    f.r("clientrect", {kBorder, kBand, kFormW - kBorder, kFormH - kBorder});
    f.i("bgpictureindex", -1);
    f.r("maskrectarea", {});
    f.p("hittestlefttoppoint", {12, 12}).p("hittestrighttoppoint", {kFormW - 13, 12});
    f.p("hittestleftbottompoint", {12, kFormH - 13}).p("hittestrightbottompoint", {kFormW - 13, kFormH - 13});
    f.r("buttonsrect", {});
    f.r("captionrect", {4, 5, kFormW - 5, 24});
    f.i("buttonsoffset", 0).b("buttonsinleft", false).b("mainmenupopupup", false);
    f.i("borderwidth", kBorder);
    f.b("autorenderinginactiveimage", false).s("inactiveeffect", QStringLiteral("iebrightness"));
}

// Picture 3 (24 bits): the caption plates and the gauge.
QImage DrawCaptionPicture(GaugePictures& gauge) {
    QImage img = NewCanvas(103, 66, kPanel);
    auto plate = [&](int y, const Look& k, QRgb shine) {
        const Rect r{0, y, 103, y + 19};
        // The plate is drawn opaquely over the caption band, so its rounded ends stand on
        // the band's colours of the rows a 16-pixel title puts them on (window rows 5..23;
        // a title a pixel taller or shorter moves them by one gradient step, invisibly).
        for (int j = 0; j < r.h(); ++j) HLine(img, r.l, r.r, r.t + j, BandColour(5 + j));
        RoundRect(img, r, 4, k.border);
        RoundRectSolid(img, r.inset(1), 3, VShade(r.inset(1), k.top, k.bottom));
        HLine(img, r.l + 4, r.r - 4, r.t + 1, shine);
    };
    plate(0, Look{Rgb(0x42576F), Rgb(0xF5F8FB), Rgb(0xD3DDE9)}, kWhite);
    plate(22, Look{Rgb(0x6C7C90), Rgb(0xE3E7EC), Rgb(0xC8CFD7)}, Rgb(0xF1F3F5));

    // Horizontal gauge: a sunken field and a glossy blue bar that tiles along.
    const Rect frame{0, 44, 60, 62};
    FieldBox(img, frame, kFieldBorder, kFieldShade);
    Fill(img, frame.inset(1, 2, 1, 1), Rgb(0xF1F4F7));
    const Rect bar{62, 46, 102, 60};
    VGradient(img, {bar.l, bar.t, bar.r, bar.t + 6}, Rgb(0x9DBFE5), Rgb(0x6797CE));
    VGradient(img, {bar.l, bar.t + 6, bar.r, bar.b}, Rgb(0x4A80BE), Rgb(0x3A6AA5));
    HLine(img, bar.l, bar.r, bar.t, Rgb(0xC4D8EF));
    gauge = {frame, bar};
    return img;
}

void GaugeEntry(Definition& def, const GaugePictures& gp) {
    Section& g = def.control("gauge", "gauge");
    g.i("pictureindex", kCaption).r("skinrect", gp.frame);
    g.p("lefttoppoint", {3, 0}).p("righttoppoint", {57, 0}).r("clientrect", {2, 2, 58, 16});
    g.r("progressarea", {2, 2, 58, 16}).r("progressrect", gp.bar).i("beginoffset", 0).i("endoffset", 0);
    g.b("vertical", false).font(MakeFont(kInk));
}

void Caption(Definition& def) {
    Section& c = def.object("caption", "caption");
    c.s("hint", {}).i("activepictureindex", kCaption).b("skinrectinapicture", false);
    c.r("skinrect", {4, 5, kFormW - 5, 24}).r("activeskinrect", {});
    c.b("morphing", false).s("morphkind", QStringLiteral("mkdefault"));
    c.r("textrect", {0, 0, kFormW - 9, 19});
    c.font(Font{QStringLiteral("Arial"), 14, true, Rgb(0x47525F)});
    c.c("activefontcolor", Rgb(0x1B2C42));
    c.s("alignment", QStringLiteral("tacenter"));
    c.b("shadow", false).c("shadowcolor", kWhite).c("activeshadowcolor", kWhite);
    c.r("framerect", {0, 22, 103, 41}).r("activeframerect", {0, 0, 103, 19});
    c.r("frametextrect", {18, 2, 85, 17});
    c.i("frameleftoffset", 6).i("framerightoffset", 6);
}

}  // namespace skinauthor
