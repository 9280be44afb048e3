// The controls picture's lists and the data grid, and the text views that draw on their
// colours alone.

#include "DesignParts.h"

namespace skinauthor {

// Lists: a field frame; items plain, selected (soft blue) and selected with focus.
void Controls::lists() {
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

// The data grid: slate title cells, white rows, soft blue selection, blue focus cell.
void Controls::grid() {
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

void Controls::textViews() {
    for (const char* name : {"treeview", "listview", "richedit"}) {
        Section& s = def.control(name, name);
        s.i("pictureindex", -1).r("skinrect", {}).font(MakeFont(kInk)).c("bgcolor", kField);
    }
}

}  // namespace skinauthor
