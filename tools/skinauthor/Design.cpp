// The carried skin put together: its version, the pictures in the order the definition
// numbers them, and the definition entries that cut them up.

#include "DesignParts.h"

namespace skinauthor {

// ---------------------------------------------------------------------------------------
// Element painters that several pictures use.

void LightButton(QImage& img, const Rect& r, const Look& k, QRgb bg) {
    Fill(img, r, bg);
    RoundRect(img, r, 2, k.border);
    const Rect in = r.inset(1);
    RoundRectSolid(img, in, 1, VShade(in, k.top, k.bottom, 6));
}

void FieldBox(QImage& img, const Rect& r, QRgb border, QRgb shade) {
    Fill(img, r, kField);
    Frame(img, r, border);
    HLine(img, r.l + 1, r.r - 1, r.t + 1, shade);
}

void SlateBand(QImage& img, const Rect& r) {
    VGradient(img, r, kSlateTop, kSlateBottom, 8);
    HLine(img, r.l, r.r, r.t, Mix(kSlateTop, kWhite, 1, 4));
}

namespace {

// ---------------------------------------------------------------------------------------
// Picture 4: the controls. The order of the groups is the picture's layout.

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
