#include "Design.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace skinauthor {

namespace {

// ---------------------------------------------------------------------------------------
// Palette. A calm slate-blue frame, light panels, white fields, one blue accent.

const QRgb kInk = Rgb(0x1E2B3A);         // text on light grounds
const QRgb kInkSoft = Rgb(0x3A4C62);     // glyphs on light buttons
const QRgb kGreyText = Rgb(0x8A94A1);    // disabled text
const QRgb kPanel = Rgb(0xE7EBF0);       // panels, client area, dialog ground
const QRgb kPanelHi = Rgb(0xFFFFFF);     // raised edge, light side
const QRgb kPanelLo = Rgb(0xA3AEBD);     // raised edge, dark side
const QRgb kField = Rgb(0xFFFFFF);       // edit and list grounds
const QRgb kFieldBorder = Rgb(0x8C9AAD); // edit frame
const QRgb kFieldShade = Rgb(0xE6EAEF);  // inner top shadow of a field
const QRgb kLine = Rgb(0xC9D1DB);        // grid lines, separators
const QRgb kAccent = Rgb(0x3C6EA8);      // focus, hot frames
const QRgb kAccentDark = Rgb(0x2B5588);
const QRgb kAccentSoft = Rgb(0xD6E3F1);  // selection without focus
const QRgb kWhite = Rgb(0xFFFFFF);

// Window frame.
const QRgb kFrameOuter = Rgb(0x2A394B);
const QRgb kFrameLight = Rgb(0x9CAFC6);
const QRgb kBandTop = Rgb(0x8598B1);
const QRgb kBandBottom = Rgb(0x596E89);
const QRgb kFrameSide = Rgb(0x5B708B);
const QRgb kFrameInner = Rgb(0x3F5169);

// Slate bands (group box, caption panels, grid titles).
const QRgb kSlateTop = Rgb(0x6B819C);
const QRgb kSlateBottom = Rgb(0x4D627C);
const QRgb kSlateEdge = Rgb(0x3E5068);

// Light buttons (scroll bar arrows, edit buttons, spin buttons).
struct Look {
    QRgb border, top, bottom;
};
const Look kLightNormal{Rgb(0x9AA7B8), Rgb(0xF7F9FB), Rgb(0xDCE2E9)};
const Look kLightHot{Rgb(0x6F97C6), Rgb(0xEDF3FA), Rgb(0xC9DBEF)};
const Look kLightDown{Rgb(0x4F7DB4), Rgb(0xBFD2EA), Rgb(0xD8E4F2)};
const Look kLightOff{Rgb(0xBCC4CE), Rgb(0xF0F2F5), Rgb(0xE4E8EC)};

// The push button: soft raised slate blue, white lettering.
const Look kButtonNormal{Rgb(0x2C4766), Rgb(0x6787AF), Rgb(0x37577F)};
const Look kButtonDown{Rgb(0x213853), Rgb(0x34527A), Rgb(0x4C6C94)};
const Look kButtonOff{Rgb(0xA9B3BF), Rgb(0xDDE2E8), Rgb(0xC9D0D9)};
const QRgb kButtonShine = Rgb(0x97B0CE);
const QRgb kButtonOffShine = Rgb(0xEEF1F4);
const QRgb kButtonText = Rgb(0xF0F4F8);

// Scroll bar thumb.
const Look kThumbNormal{Rgb(0x61789A), Rgb(0xA9BBD0), Rgb(0x8199B6)};
const Look kThumbHot{Rgb(0x4F7DB4), Rgb(0xB6CCE6), Rgb(0x8CABD0)};
const Look kThumbDown{Rgb(0x3C6EA8), Rgb(0x7E98B9), Rgb(0x98AFCC)};
const QRgb kTrack = Rgb(0xE2E7ED);
const QRgb kTrackEdge = Rgb(0xCCD4DE);

enum PictureIndex { kMenuBarButtons = 0, kPopupWindow = 1, kMenus = 2, kCaption = 3, kControls = 4, kHint = 5, kGroupBox = 6 };

Font MakeFont(QRgb colour, bool bold = false) { return Font{QStringLiteral("Arial"), 14, bold, colour}; }

// Places the pictures of elements: each goes as high as it fits, then as far left
// ("skyline" packing), with a gap around it. Deterministic: the order of the calls is the
// layout. The first three elements placed (the push button's looks) land in a row at the
// top-left, where the definition's figures expect them.
class Atlas {
public:
    explicit Atlas(QImage& img, int margin = 3, int gap = 2)
        : img_(img), margin_(margin), gap_(gap), sky_(size_t(img.width()), margin) {}
    QImage& img() { return img_; }
    Rect place(int w, int h) {
        int bestX = -1, bestY = 0;
        for (int x = margin_; x + w <= img_.width() - margin_; ++x) {
            const int y = *std::max_element(sky_.begin() + x, sky_.begin() + x + w);
            if (bestX < 0 || y < bestY) bestX = x, bestY = y;
        }
        if (bestX < 0 || bestY + h > img_.height() - margin_)
            throw std::runtime_error("controls picture is full placing " + std::to_string(w) + "x" + std::to_string(h));
        const Rect r{bestX, bestY, bestX + w, bestY + h};
        if (std::getenv("SKINAUTHOR_TRACE")) std::fprintf(stderr, "place %dx%d at %d,%d\n", w, h, r.l, r.t);
        for (int x = r.l; x < std::min(r.r + gap_, img_.width()); ++x) sky_[size_t(x)] = r.b + gap_;
        return r;
    }
    void newShelf() {}  // kept as a marker of groups; the packing needs no shelves
    int usedHeight() const { return *std::max_element(sky_.begin(), sky_.end()); }

private:
    QImage& img_;
    int margin_, gap_;
    std::vector<int> sky_;
};

// ---------------------------------------------------------------------------------------
// Element painters. Each paints into a rectangle of a picture whose ground is `bg` (the
// colour the element sits on in the window, so its rounded corners blend into it).

void RaisedButton(QImage& img, const Rect& r, const Look& k, QRgb shine, int radius, QRgb bg) {
    Fill(img, r, bg);
    RoundRect(img, r, radius, k.border);
    const Rect in = r.inset(1);
    RoundRectSolid(img, in, radius - 1, VShade(in, k.top, k.bottom, 12));
    if (shine) HLine(img, in.l + radius - 1, in.r - radius + 1, in.t, shine);
}

void LightButton(QImage& img, const Rect& r, const Look& k, QRgb bg) {
    Fill(img, r, bg);
    RoundRect(img, r, 2, k.border);
    const Rect in = r.inset(1);
    RoundRectSolid(img, in, 1, VShade(in, k.top, k.bottom, 6));
}

// A text field: white ground, one-pixel frame, a soft shadow under its top edge.
void FieldBox(QImage& img, const Rect& r, QRgb border, QRgb shade) {
    Fill(img, r, kField);
    Frame(img, r, border);
    HLine(img, r.l + 1, r.r - 1, r.t + 1, shade);
}

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

// A slate band with a lighter top line: group box captions, caption panels.
void SlateBand(QImage& img, const Rect& r) {
    VGradient(img, r, kSlateTop, kSlateBottom, 8);
    HLine(img, r.l, r.r, r.t, Mix(kSlateTop, kWhite, 1, 4));
}

// ---------------------------------------------------------------------------------------
// The form picture: 191 x 140, border 4, caption band 29 rows high.

constexpr int kFormW = 191, kFormH = 140, kBand = 29, kBorder = 4;

QRgb BandColour(int y) { return GradientAt(kBandTop, kBandBottom, y - 1, kBand - 2, 0); }

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

// ---------------------------------------------------------------------------------------
// Picture 3 (24 bits): the caption plates and the gauge.

struct GaugePictures {
    Rect frame, bar;
};

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

// ---------------------------------------------------------------------------------------
// Picture 0: the menu bar's small buttons (and the animated caption buttons this program
// does not read). Cells of 18 x 11: normal at x 0, hot at x 19; rows close, maximize,
// minimize, roll-up, system menu.

const QRgb kBar = Rgb(0xE9EDF2);

QImage DrawMenuBarButtons() {
    QImage img = NewCanvas(37, 59, kBar);
    for (int row = 0; row < 5; ++row)
        for (int col = 0; col < 2; ++col) {
            const Rect r{col * 19, row * 12, col * 19 + 18, row * 12 + 11};
            if (col == 1) {
                Fill(img, r, kBar);
                RoundRect(img, r, 2, Rgb(0x8FA8C6));
                RoundRect(img, r.inset(1), 1, Rgb(0xF4F8FC));
            }
            const int gx = r.l + 5, gy = r.t + 1;  // a 9 x 9 glyph box
            const Rect box{gx - 1, gy, gx + 9, gy + 9};
            switch (row) {
            case 0: CrossGlyph(img, box, 7, kInkSoft); break;
            case 1: Frame(img, {gx, gy + 1, gx + 9, gy + 8}, kInkSoft); HLine(img, gx, gx + 9, gy + 2, kInkSoft); break;
            case 2: Fill(img, {gx + 1, gy + 6, gx + 8, gy + 8}, kInkSoft); break;
            case 3: ArrowGlyph(img, box, Arrow::Up, 4, kInkSoft); break;
            case 4: Frame(img, {gx + 1, gy + 3, gx + 8, gy + 6}, kInkSoft); break;
            }
        }
    return img;
}

Rect MenuBarCell(int row, bool hot) { return {hot ? 19 : 0, row * 12, (hot ? 19 : 0) + 18, row * 12 + 11}; }

void MenuBarButtons(Definition& def) {
    struct B {
        const char* name;
        const char* command;
        int row;
    };
    for (const B& b : {B{"menubarclosebutton", "cmclose", 0}, B{"menubarmaxbutton", "cmmaximize", 1},
                       B{"menubarminbutton", "cmminimize", 2}, B{"menubarsysmenubutton", "cmsysmenu", 4}}) {
        Section& s = def.object(b.name, "mainmenubarbutton");
        s.s("hint", {}).i("activepictureindex", kMenuBarButtons).b("skinrectinapicture", true);
        s.r("skinrect", MenuBarCell(b.row, false)).r("activeskinrect", MenuBarCell(b.row, true));
        s.b("morphing", false).s("morphkind", QStringLiteral("mkdefault"));
        s.r("downrect", MenuBarCell(b.row, true)).r("disableskinrsect", {});
        s.s("command", QString::fromLatin1(b.command));
    }
}

// Caption buttons of a kind this program does not read ("animate"): the frame shows no
// caption buttons. Their sections say what they would show, in the menu bar's cells.
void AnimatedCaptionButtons(Definition& def) {
    struct B {
        const char* name;
        const char* command;
        int row;
    };
    for (const B& b : {B{"sysmenuanimate", "cmsysmenu", 4}, B{"rollupanimate", "cmrollup", 3},
                       B{"minimizeanimate", "cmminimize", 2}, B{"maximizeanimate", "cmmaximize", 1},
                       B{"closeanimate", "cmclose", 0}}) {
        Section& s = def.object(b.name, "animate");
        s.i("activepictureindex", kMenuBarButtons).b("skinrectinapicture", true);
        s.r("skinrect", MenuBarCell(b.row, false)).r("activeskinrect", MenuBarCell(b.row, true));
        s.s("command", QString::fromLatin1(b.command)).i("framecount", 1).i("framesinterval", 0);
    }
}

// ---------------------------------------------------------------------------------------
// Picture 1: the popup menu window. Picture 5: the hint window.

QImage DrawPopupWindow(Definition& def) {
    QImage img = NewCanvas(67, 59, kField);
    Frame(img, {0, 0, 67, 59}, Rgb(0x5E728B));
    Frame(img, {1, 1, 66, 58}, kField);
    Section& p = def.popupWindow();
    p.i("windowpictureindex", kPopupWindow).i("maskpictureindex", -1);
    p.p("lefttoppoint", {2, 2}).p("righttoppoint", {65, 2}).p("leftbottompoint", {2, 57}).p("rightbottompoint", {65, 57});
    p.r("itemsrect", {2, 2, 65, 57});
    p.c("scrollmarkercolor", Rgb(0x8190A3)).c("scrollmarkeractivecolor", kAccent);
    return img;
}

QImage DrawHintWindow(Definition& def) {
    QImage img = NewCanvas(67, 59, Rgb(0xF6F8FB));
    Frame(img, {0, 0, 67, 59}, Rgb(0x6B7F98));
    HLine(img, 1, 66, 1, kWhite);
    Section& h = def.hintWindow();
    h.i("windowpictureindex", kHint).i("maskpictureindex", -1);
    h.p("lefttoppoint", {4, 3}).p("righttoppoint", {63, 3}).p("leftbottompoint", {4, 56}).p("rightbottompoint", {63, 56});
    h.r("clientrect", {4, 3, 63, 56});
    h.font(MakeFont(kInk));
    return img;
}

// ---------------------------------------------------------------------------------------
// Picture 2: menu items, the menu bar and its items.

QImage DrawMenus(Definition& def) {
    QImage img = NewCanvas(87, 216, kPanel);
    const QRgb gutter = Rgb(0xE8ECF1);
    auto item = [&](int y, int h) {
        Fill(img, {0, y, 87, y + h}, kField);
        Fill(img, {0, y, 18, y + h}, gutter);
    };
    item(0, 20);                     // normal item
    item(21, 20);                    // hot item: a soft blue box over the same ground
    RoundRect(img, {1, 22, 86, 40}, 2, Rgb(0x7FA2CC));
    RoundRectSolid(img, {2, 23, 85, 39}, 1, VShade({2, 23, 85, 39}, Rgb(0xE3ECF7), Rgb(0xCCDCEF), 6));
    item(42, 5);                     // divider
    HLine(img, 21, 85, 44, kLine);

    Section& m = def.object("MENUITEM", "menuitem");
    m.s("hint", {}).i("activepictureindex", kMenus).b("skinrectinapicture", true);
    m.r("skinrect", {0, 0, 87, 20}).r("activeskinrect", {0, 21, 87, 41});
    m.b("morphing", false).s("morphkind", QStringLiteral("mkdefault"));
    m.i("itemleftoffset", 20).i("itemrightoffset", 3);
    m.r("dividerrect", {0, 42, 87, 47}).i("dividerleftoffset", 21).i("dividerrightoffset", 2);
    m.r("textrect", {5, 0, 84, 20});
    m.font(MakeFont(kInk)).c("activefontcolor", kInk).c("unenabledfontcolor", kGreyText);

    // Menu bar ground and its items: flat, hot (raised), open (pressed).
    const Rect bar{0, 50, 87, 70};
    VGradient(img, bar, Rgb(0xF3F5F8), Rgb(0xE0E6ED), 6);
    HLine(img, bar.l, bar.r, bar.b - 1, Rgb(0xC3CCD7));
    const Rect normal{0, 72, 40, 92}, hot{41, 72, 81, 92}, down{0, 93, 40, 113};
    Copy(img, normal.l, normal.t, img, {0, 50, 40, 70});
    Copy(img, hot.l, hot.t, img, {0, 50, 40, 70});
    Copy(img, down.l, down.t, img, {0, 50, 40, 70});
    RoundRect(img, hot.inset(0, 1, 0, 2), 2, Rgb(0x9FB4CD));
    RoundRectSolid(img, hot.inset(1, 2, 1, 3), 1, VShade(hot, Rgb(0xF8FAFD), Rgb(0xE3EBF5), 6));
    RoundRect(img, down.inset(0, 1, 0, 2), 2, Rgb(0x7F9FC7));
    RoundRectSolid(img, down.inset(1, 2, 1, 3), 1, VShade(down, Rgb(0xCCDBED), Rgb(0xDCE6F2), 6));

    Section& bi = def.object("mainmenubaritem", "mainmenubaritem");
    bi.s("hint", {}).i("activepictureindex", kMenus).b("skinrectinapicture", true);
    bi.r("skinrect", normal).r("activeskinrect", hot).b("morphing", false).s("morphkind", QStringLiteral("mkdefault"));
    bi.i("itemleftoffset", 3).i("itemrightoffset", 3).r("downrect", down).r("textrect", {4, 0, 36, 20});
    bi.font(MakeFont(kInk)).c("activefontcolor", kInk).c("downfontcolor", kInk).c("unenabledfontcolor", kGreyText);
    return img;
}

void MainMenuBar(Definition& def) {
    Section& s = def.control("mainmenubar", "mainmenubar");
    s.i("pictureindex", kMenus).r("skinrect", {0, 50, 87, 70}).r("itemsrect", {2, 0, 85, 20});
    s.s("menubaritem", QStringLiteral("mainmenubaritem"));
    s.s("closebutton", QStringLiteral("menubarclosebutton")).s("minbutton", QStringLiteral("menubarminbutton"));
    s.s("maxbutton", QStringLiteral("menubarmaxbutton")).s("sysmenubutton", QStringLiteral("menubarsysmenubutton"));
    s.c("trackmarkcolor", Rgb(0x8190A3)).c("trackmarkactivecolor", kAccent);
}

// ---------------------------------------------------------------------------------------
// Picture 6 (and a copy in the controls picture): the group box, 39 x 17. A slate
// caption band over rows 1..13, a separator on row 14, one client row, a bottom edge.

constexpr int kGroupW = 39, kGroupH = 17;

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

// ---------------------------------------------------------------------------------------
// Picture 4: the controls.

struct Controls {
    Atlas& at;
    Definition& def;
    QImage& img() { return at.img(); }

    Section& entry(const char* name, const char* type, const Rect& skin) {
        Section& s = def.control(name, type);
        s.i("pictureindex", kControls).i("maskpictureindex", -1).r("skinrect", skin);
        return s;
    }
    static void horizontal(Section& s, int left, int right) { s.p("lefttoppoint", {left, 0}).p("righttoppoint", {right, 0}); }
    static void vertical(Section& s, int top, int bottom) { s.p("lefttoppoint", {0, top}).p("leftbottompoint", {0, bottom}); }
    static void both(Section& s, const Rect& anchors) {
        s.p("lefttoppoint", {anchors.l, anchors.t}).p("righttoppoint", {anchors.r, anchors.t});
        s.p("leftbottompoint", {anchors.l, anchors.b}).p("rightbottompoint", {anchors.r, anchors.b});
    }

    // Push buttons: normal, down, disabled, side by side. The first three placements of
    // the picture are the "button" entry's, at 3,3 / 72,3 / 141,3.
    Rect pushButtons(const char* name, int w, int h, int radius, const Rect& client) {
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

    void buttons() {
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

    // Edits, 18 high. Margins of the text area: "edit" 4,2,1,1; the edits with a button
    // 1,1,17,1, their button in the right fixed part.
    using Glyph = std::function<void(QImage&, const Rect&, QRgb)>;

    Rect editButtonImages(const Glyph& glyph, Rect out[3]) {
        const Look* looks[3] = {&kLightHot, &kLightDown, &kLightOff};
        for (int k = 0; k < 3; ++k) {
            out[k] = at.place(16, 16);
            EditButton(img(), out[k], *looks[k], glyph, k == 2 ? Rgb(0xA3ACB8) : kInkSoft, k == 1);
        }
        return out[0];
    }

    void edits() {
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

    // Check boxes and radio buttons: 13 x 13 marks on the panel ground.
    struct Marks {
        Rect check, uncheck, activeCheck, activeUncheck, offCheck, offUncheck;
    };
    Marks marks(bool radio) {
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

    Marks checkMarks;

    void checks() {
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

    // Lists: a field frame; items plain, selected (soft blue) and selected with focus.
    void lists() {
        const Rect frame = at.place(40, 40);
        FieldBox(img(), frame, kFieldBorder, kFieldShade);
        const Rect item = at.place(40, 18), active = at.place(40, 18), focus = at.place(40, 18);
        Fill(img(), item, kField);
        Fill(img(), active, kField);
        RoundRect(img(), active.inset(1, 0, 1, 0), 1, kAccentSoft);
        Fill(img(), focus, kField);
        RoundRect(img(), focus.inset(1, 0, 1, 0), 1, Rgb(0x2F5D94));
        RoundRectSolid(img(), focus.inset(2, 1, 2, 1), 1, VShade(focus, Rgb(0x4A7CB8), Rgb(0x33609A), 6));
        auto list = [&](const char* name, const char* type, int textLeft) -> Section& {
            Section& s = entry(name, type, frame);
            both(s, {3, 3, 37, 37});
            s.r("clientrect", {1, 2, 39, 39});
            s.r("itemrect", item).r("activeitemrect", active).r("focusitemrect", focus);
            s.i("itemleftoffset", 3).i("itemrightoffset", 3).r("itemtextrect", {textLeft, 0, 37, 18});
            s.font(MakeFont(kInk)).c("activefontcolor", kInk).c("focusfontcolor", kWhite);
            s.r("captionrect", {}).font(MakeFont(kWhite, true), "caption");
            return s;
        };
        list("listbox", "listbox", 3);
        Section& cl = list("checklistbox", "checklistbox", 19);
        cl.r("itemcheckrect", {3, 2, 16, 15}).r("checkimagerect", checkMarks.check).r("uncheckimagerect", checkMarks.uncheck);
    }

    // Scroll bars of thickness t: images (2t+19) long, "both" (3t+19) with the corner in
    // its right fixed part; left and right fixed parts t+3, a 13-pixel repeat between.
    void scrollBars(int t, const std::string& prefix) {
        const int len = 2 * t + 19, thick = t - 2, thumbLen = t == 17 ? 24 : 18;
        const int arrow = t >= 15 ? 4 : 3;
        auto track = [&](const Rect& r, bool horizontalBar) {
            Fill(img(), r, kTrack);
            if (horizontalBar) HLine(img(), r.l, r.r, r.t, kTrackEdge);
            else VLine(img(), r.l, r.t, r.b, kTrackEdge);
        };
        auto button = [&](const Rect& r, const Look& k, Arrow dir, bool pressed) {
            LightButton(img(), r, k, kTrack);
            ArrowGlyph(img(), pressed ? r.moved(1, 1) : r, dir, arrow, kInkSoft);
        };

        const Rect h = at.place(len, t), hb = at.place(len + t, t);
        for (const Rect& r : {h, hb}) {
            track(r, true);
            button({r.l, r.t, r.l + t, r.b}, kLightNormal, Arrow::Left, false);
            button({r.l + t + 19, r.t, r.l + len, r.b}, kLightNormal, Arrow::Right, false);
        }
        Fill(img(), {hb.l + len, hb.t, hb.r, hb.b}, kPanel);  // the corner under the vertical bar
        const Rect v = at.place(t, len);
        track(v, false);
        button({v.l, v.t, v.r, v.t + t}, kLightNormal, Arrow::Up, false);
        button({v.l, v.t + t + 19, v.r, v.b}, kLightNormal, Arrow::Down, false);

        // Hot and pressed arrow buttons, four directions.
        Rect hot[4], down[4];
        const Arrow dirs[4] = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};
        for (int k = 0; k < 4; ++k) {
            hot[k] = at.place(t, t);
            button(hot[k], kLightHot, dirs[k], false);
            down[k] = at.place(t, t);
            button(down[k], kLightDown, dirs[k], true);
        }

        // Thumbs (normal, hot, pressed) and their grip glyphs, cut from the thumb's middle
        // so a glyph sits on exactly the colours of the thumb under it.
        const Look* looks[3] = {&kThumbNormal, &kThumbHot, &kThumbDown};
        Rect th[3], tv[3], gh[3], gv[3];
        for (int k = 0; k < 3; ++k) {
            th[k] = at.place(thumbLen, thick);
            Fill(img(), th[k], kTrack);
            RoundRect(img(), th[k], 2, looks[k]->border);
            RoundRectSolid(img(), th[k].inset(1), 1, VShade(th[k].inset(1), looks[k]->top, looks[k]->bottom, 8));
            tv[k] = at.place(thick, thumbLen);
            Fill(img(), tv[k], kTrack);
            RoundRect(img(), tv[k], 2, looks[k]->border);
            RoundRectSolid(img(), tv[k].inset(1), 1, HShade(tv[k].inset(1), looks[k]->top, looks[k]->bottom, 8));
        }
        const int glyphAcross = thick - 8;  // glyph height on a horizontal thumb
        const QRgb gripLight[3] = {Rgb(0xD3DEEA), Rgb(0xDCE7F4), Rgb(0xB3C4D9)};
        const QRgb gripDark[3] = {Rgb(0x5F7696), Rgb(0x4A73A6), Rgb(0x4B6688)};
        for (int k = 0; k < 3; ++k) {
            gh[k] = at.place(8, glyphAcross);
            Copy(img(), gh[k].l, gh[k].t, img(),
                 {th[k].l + thumbLen / 2 - 4, th[k].t + thick / 2 - glyphAcross / 2, th[k].l + thumbLen / 2 + 4,
                  th[k].t + thick / 2 - glyphAcross / 2 + glyphAcross});
            GripDots(img(), gh[k], gripLight[k], gripDark[k], false);
            gv[k] = at.place(glyphAcross, 8);
            Copy(img(), gv[k].l, gv[k].t, img(),
                 {tv[k].l + thick / 2 - glyphAcross / 2, tv[k].t + thumbLen / 2 - 4,
                  tv[k].l + thick / 2 - glyphAcross / 2 + glyphAcross, tv[k].t + thumbLen / 2 + 4});
            GripDots(img(), gv[k], gripLight[k], gripDark[k], true);
        }

        auto bar = [&](const std::string& name, const Rect& skin, bool horizontalBar) {
            Section& s = entry(name.c_str(), "scrollbar", skin);
            if (horizontalBar) {
                horizontal(s, t + 3, t + 16);
                s.r("clientrect", {t, 0, t + 19, t});
                s.r("trackarea", {t, 0, t + 19, t});
                s.r("downbuttonrect", {0, 0, t, t}).r("activedownbuttonrect", hot[0]).r("downdownbuttonrect", down[0]);
                s.r("upbuttonrect", {t + 19, 0, len, t}).r("activeupbuttonrect", hot[1]).r("downupbuttonrect", down[1]);
                s.r("thumbrect", th[0]).r("activethumbrect", th[1]).r("downthumbrect", th[2]);
                s.r("glyphrect", gh[0]).r("activeglyphrect", gh[1]).r("downglyphrect", gh[2]);
            } else {
                vertical(s, t + 3, t + 16);
                s.r("clientrect", {0, t, t, t + 19});
                s.r("trackarea", {0, t, t, t + 19});
                s.r("downbuttonrect", {0, 0, t, t}).r("activedownbuttonrect", hot[2]).r("downdownbuttonrect", down[2]);
                s.r("upbuttonrect", {0, t + 19, t, len}).r("activeupbuttonrect", hot[3]).r("downupbuttonrect", down[3]);
                s.r("thumbrect", tv[0]).r("activethumbrect", tv[1]).r("downthumbrect", tv[2]);
                s.r("glyphrect", gv[0]).r("activeglyphrect", gv[1]).r("downglyphrect", gv[2]);
            }
            s.i("thumboffset1", 3).i("thumboffset2", 3);
        };
        bar(prefix + "hscrollbar", h, true);
        bar(prefix + "vscrollbar", v, false);
        bar(prefix + "bothhscrollbar", hb, true);
    }

    // The data grid: slate title cells, white rows, soft blue selection, blue focus cell.
    void grid() {
        const Rect fixed = at.place(40, 22), select = at.place(40, 22), focus = at.place(40, 22);
        // Titles are written in light grey (12632256): the ground is a dark slate.
        VGradient(img(), fixed, Rgb(0x475A72), Rgb(0x374860), 8);
        HLine(img(), fixed.l, fixed.r, fixed.t, Rgb(0x62768F));
        VLine(img(), fixed.l, fixed.t, fixed.b, Rgb(0x5B7089));
        VLine(img(), fixed.r - 1, fixed.t, fixed.b, Rgb(0x2F3D4E));
        HLine(img(), fixed.l, fixed.r, fixed.b - 1, Rgb(0x2F3D4E));
        Fill(img(), select, kAccentSoft);
        Fill(img(), focus, Rgb(0x2F5D94));
        VGradient(img(), focus.inset(1), Rgb(0x4A7CB8), Rgb(0x33609A), 8);
        Section& g = def.control("grid", "grid");
        g.i("pictureindex", kControls).i("maskpictureindex", -1).r("skinrect", {});
        g.r("fixedcellrect", fixed).r("selectcellrect", select).r("focuscellrect", focus);
        g.i("fixedcellleftoffset", 1).i("fixedcellrightoffset", 1).r("fixedcelltextrect", {2, 0, 37, 21});
        g.i("cellleftoffset", 1).i("cellrightoffset", 1).r("celltextrect", {2, 0, 38, 22});
        g.c("linescolor", kLine).c("bgcolor", kField);
        g.font(MakeFont(kInk)).c("selectfontcolor", kInk).c("focusfontcolor", kWhite);
        g.font(Font{QStringLiteral("Arial"), 14, true, qRgb(0xC0, 0xC0, 0xC0)}, "fixed");
    }

    // Panels and the other containers.
    void panels(const Rect& checkedMark, const Rect& uncheckedMark) {
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
    void exPanel() {
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

    void labelsAndLines() {
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

    void gaugesAndTracks() {
        // Vertical gauge (the horizontal one lives in the 24-bit caption picture).
        const Rect vg = at.place(18, 60), bar = at.place(14, 40);
        FieldBox(img(), vg, kFieldBorder, kFieldShade);
        Fill(img(), vg.inset(1, 2, 1, 1), Rgb(0xF1F4F7));
        HGradient(img(), bar, Rgb(0x8DB3DE), Rgb(0x3A6AA5), 7);
        VLine(img(), bar.l, bar.t, bar.b, Rgb(0xC4D8EF));
        Section& g = entry("vgauge", "gauge", vg);
        vertical(g, 3, 57);
        g.r("clientrect", {2, 2, 16, 58}).r("progressarea", {2, 2, 16, 58}).r("progressrect", bar);
        g.i("beginoffset", 0).i("endoffset", 0).b("vertical", true).font(MakeFont(kInk));

        // Track bars: a sunken groove and a light thumb.
        const Rect ht = at.place(60, 22), vt = at.place(22, 60);
        Fill(img(), ht, kPanel);
        Fill(img(), vt, kPanel);
        const Rect hg{ht.l + 5, ht.t + 9, ht.r - 5, ht.t + 13}, vgv{vt.l + 9, vt.t + 5, vt.l + 13, vt.b - 5};
        for (const Rect& gr : {hg, vgv}) {
            Fill(img(), gr, Rgb(0xD3DAE3));
            Bevel(img(), gr, kFieldBorder, kPanelHi);
        }
        Rect thumbs[4];
        const Look hotThumb{kAccent, Rgb(0xF2F7FC), Rgb(0xCFE0F2)};
        const Look normalThumb{Rgb(0x61789A), Rgb(0xF7F9FB), Rgb(0xD5DDE7)};
        for (int k = 0; k < 4; ++k) {
            const bool vert = k >= 2;
            thumbs[k] = at.place(vert ? 19 : 11, vert ? 11 : 19);
            Fill(img(), thumbs[k], kPanel);
            const Look& lk = k % 2 ? hotThumb : normalThumb;
            RoundRect(img(), thumbs[k], 2, lk.border);
            RoundRectSolid(img(), thumbs[k].inset(1), 1,
                           vert ? VShade(thumbs[k], lk.top, lk.bottom, 5) : HShade(thumbs[k], lk.top, lk.bottom, 5));
        }
        Section& h = entry("htrackbar", "trackbar", ht);
        horizontal(h, 8, 52);
        h.r("clientrect", {0, 0, 60, 22}).r("trackarea", {5, 0, 55, 22});
        h.r("buttonrect", thumbs[0]).r("activebuttonrect", thumbs[1]).b("vertical", false);
        Section& v = entry("vtrackbar", "trackbar", vt);
        vertical(v, 8, 52);
        v.r("clientrect", {0, 0, 22, 60}).r("trackarea", {0, 5, 22, 55});
        v.r("buttonrect", thumbs[2]).r("activebuttonrect", thumbs[3]).b("vertical", true);

        // Slider: rulers and thumbs only; the control draws the rest on its colour.
        const Rect hr = at.place(40, 5), vr = at.place(5, 40), hth = at.place(11, 14), vth = at.place(14, 11);
        for (const Rect& rr : {hr, vr}) {
            Fill(img(), rr, Rgb(0xD3DAE3));
            Bevel(img(), rr, kFieldBorder, kPanelHi);
        }
        for (const Rect& rr : {hth, vth}) {
            Fill(img(), rr, kPanel);
            RoundRect(img(), rr, 2, normalThumb.border);
            RoundRectSolid(img(), rr.inset(1), 1, VShade(rr, normalThumb.top, normalThumb.bottom, 5));
        }
        Section& sl = def.control("slider", "slider");
        sl.i("pictureindex", kControls).r("skinrect", {}).c("bgcolor", kPanel);
        sl.r("hrulerrect", hr).r("hthumbrect", hth).r("vrulerrect", vr).r("vthumbrect", vth);
        sl.i("edgesize", 2).c("pointscolor", Rgb(0x7D8CA1));
    }

    void upDowns() {
        Rect hot[4], down[4];
        const Arrow dirs[4] = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};
        for (int k = 0; k < 4; ++k) {
            hot[k] = at.place(16, 16);
            LightButton(img(), hot[k], kLightHot, kPanel);
            ArrowGlyph(img(), hot[k], dirs[k], 3, kInkSoft);
            down[k] = at.place(16, 16);
            LightButton(img(), down[k], kLightDown, kPanel);
            ArrowGlyph(img(), down[k].moved(1, 1), dirs[k], 3, kInkSoft);
        }
        const Rect h = at.place(32, 16), v = at.place(16, 32);
        LightButton(img(), {h.l, h.t, h.l + 16, h.b}, kLightNormal, kPanel);
        ArrowGlyph(img(), {h.l, h.t, h.l + 16, h.b}, Arrow::Left, 3, kInkSoft);
        LightButton(img(), {h.l + 16, h.t, h.r, h.b}, kLightNormal, kPanel);
        ArrowGlyph(img(), {h.l + 16, h.t, h.r, h.b}, Arrow::Right, 3, kInkSoft);
        LightButton(img(), {v.l, v.t, v.r, v.t + 16}, kLightNormal, kPanel);
        ArrowGlyph(img(), {v.l, v.t, v.r, v.t + 16}, Arrow::Up, 3, kInkSoft);
        LightButton(img(), {v.l, v.t + 16, v.r, v.b}, kLightNormal, kPanel);
        ArrowGlyph(img(), {v.l, v.t + 16, v.r, v.b}, Arrow::Down, 3, kInkSoft);
        Section& hs = entry("hupdown", "updown", h);
        hs.r("downbuttonrect", {0, 0, 16, 16}).r("activedownbuttonrect", hot[0]).r("downdownbuttonrect", down[0]);
        hs.r("upbuttonrect", {16, 0, 32, 16}).r("activeupbuttonrect", hot[1]).r("downupbuttonrect", down[1]);
        Section& vs = entry("vupdown", "updown", v);
        vs.r("upbuttonrect", {0, 0, 16, 16}).r("activeupbuttonrect", hot[2]).r("downupbuttonrect", down[2]);
        vs.r("downbuttonrect", {0, 16, 16, 32}).r("activedownbuttonrect", hot[3]).r("downdownbuttonrect", down[3]);
    }

    // Tabs: the page frame and four tab looks, 22 high.
    void tabs() {
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

    void textViews() {
        for (const char* name : {"treeview", "listview", "richedit"}) {
            Section& s = def.control(name, name);
            s.i("pictureindex", -1).r("skinrect", {}).font(MakeFont(kInk)).c("bgcolor", kField);
        }
    }
};

QImage DrawControls(Definition& def, QImage& groupBoxPicture) {
    QImage img = NewCanvas(430, 357, kPanel);
    Atlas at(img);
    Controls c{at, def, {}};
    // Entry order in [SKINCONTROLS] follows these calls; the containers and labels of the
    // main window come first, as a reader of the file would look for them.
    c.buttons();
    c.checks();
    c.panels(c.checkMarks.check, c.checkMarks.uncheck);
    // Group box and radio group: picture 6.
    DrawGroupBox(groupBoxPicture, 0, 0);
    for (const char* name : {"groupbox", "radiogroup"}) GroupBoxEntry(def.control(name, "panel"), kGroupBox, {0, 0, kGroupW, kGroupH});
    c.exPanel();
    c.labelsAndLines();
    c.edits();
    c.lists();
    at.newShelf();
    c.scrollBars(17, "");
    at.newShelf();
    c.scrollBars(13, "small");
    at.newShelf();
    c.grid();
    c.gaugesAndTracks();
    at.newShelf();
    c.upDowns();
    c.tabs();
    c.textViews();
    return img;
}

}  // namespace

Skin BuildSkin() {
    Skin skin;
    Definition& def = skin.def;
    Section& v = def.version();
    v.s("skinname", QStringLiteral("Marlith Slate"));
    v.s("skinauthor", QStringLiteral("marlith"));
    v.s("authoremail", {});
    v.s("authorurl", {});
    v.s("skincomments", QStringLiteral("Calm slate-blue frame, light panels; drawn by tools/skinauthor"));

    skin.form = {QStringLiteral("form.bmp"), DrawFormPicture(), false};
    FormInfo(def);

    // Objects: the menu item first (the popup menus take the first menu-item entry), the
    // caption, the caption buttons of a kind this program does not read, the menu bar.
    QImage menuBarButtons = DrawMenuBarButtons();
    QImage popup = DrawPopupWindow(def);
    QImage hint = DrawHintWindow(def);
    QImage menus = DrawMenus(def);  // MENUITEM and mainmenubaritem
    Caption(def);
    AnimatedCaptionButtons(def);
    MenuBarButtons(def);

    GaugePictures gauge;
    QImage caption = DrawCaptionPicture(gauge);  // also holds the "gauge" control's pictures
    QImage groupBox = NewCanvas(kGroupW, kGroupH, kPanel);
    QImage controls = DrawControls(def, groupBox);
    GaugeEntry(def, gauge);
    MainMenuBar(def);
    // The main window's entries first, as a reader of the definition looks for them.
    def.moveControlsToFront({"panel", "groupbox", "stdlabel", "edit", "buttonedit", "button", "grid", "hscrollbar",
                             "vscrollbar", "bothhscrollbar", "listbox"});

    skin.active = {
        {QStringLiteral("menubarbuttons.bmp"), menuBarButtons, false},
        {QStringLiteral("popupwindow.bmp"), popup, false},
        {QStringLiteral("menus.bmp"), menus, false},
        {QStringLiteral("caption.bmp"), caption, true},
        {QStringLiteral("controls.bmp"), controls, false},
        {QStringLiteral("hintwindow.bmp"), hint, false},
        {QStringLiteral("groupbox.bmp"), groupBox, false},
    };

    Section& p = def.pictures();
    p.s("picture", skin.form.file).s("inactivepicture", {}).s("mask", {});
    p.i("activepicturescount", int(skin.active.size()));
    for (size_t k = 0; k < skin.active.size(); ++k) p.s(std::to_string(k), skin.active[k].file);
    return skin;
}

}  // namespace skinauthor
