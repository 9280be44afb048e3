// The menus: the menu bar's small buttons, the popup menu and hint windows, the menu
// items, the menu bar and its items.

#include "DesignParts.h"

namespace skinauthor {

namespace {

// Picture 0: the menu bar's small buttons (and the animated caption buttons this program
// does not read). Cells of 18 x 11: normal at x 0, hot at x 19; rows close, maximize,
// minimize, roll-up, system menu.

const QRgb kBar = Rgb(0xE9EDF2);

Rect MenuBarCell(int row, bool hot) { return {hot ? 19 : 0, row * 12, (hot ? 19 : 0) + 18, row * 12 + 11}; }

// An entry shown in a row of those cells: its name and the command it gives.
struct CellEntry {
    const char* name;
    const char* command;
    int row;
};

}  // namespace

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

void MenuBarButtons(Definition& def) {
    for (const CellEntry& b : {CellEntry{"menubarclosebutton", "cmclose", 0}, CellEntry{"menubarmaxbutton", "cmmaximize", 1},
                               CellEntry{"menubarminbutton", "cmminimize", 2},
                               CellEntry{"menubarsysmenubutton", "cmsysmenu", 4}}) {
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
    for (const CellEntry& b : {CellEntry{"sysmenuanimate", "cmsysmenu", 4}, CellEntry{"rollupanimate", "cmrollup", 3},
                               CellEntry{"minimizeanimate", "cmminimize", 2},
                               CellEntry{"maximizeanimate", "cmmaximize", 1}, CellEntry{"closeanimate", "cmclose", 0}}) {
        Section& s = def.object(b.name, "animate");
        s.i("activepictureindex", kMenuBarButtons).b("skinrectinapicture", true);
        s.r("skinrect", MenuBarCell(b.row, false)).r("activeskinrect", MenuBarCell(b.row, true));
        s.s("command", QString::fromLatin1(b.command)).i("framecount", 1).i("framesinterval", 0);
    }
}

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

}  // namespace skinauthor
