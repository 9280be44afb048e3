#pragma once
// What the files of the carried skin's design share: the palette, the pictures' indexes,
// the packing of the controls picture, the element painters more than one picture uses,
// and the builders of each picture and its definition entries. Design.cpp puts them
// together into the skin; each Design*.cpp draws one group of pictures.

#include "Design.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

namespace skinauthor {

// ---------------------------------------------------------------------------------------
// Palette. A calm slate-blue frame, light panels, white fields, one blue accent.

inline const QRgb kInk = Rgb(0x1E2B3A);         // text on light grounds
inline const QRgb kInkSoft = Rgb(0x3A4C62);     // glyphs on light buttons
inline const QRgb kGreyText = Rgb(0x8A94A1);    // disabled text
inline const QRgb kPanel = Rgb(0xE7EBF0);       // panels, client area, dialog ground
inline const QRgb kPanelHi = Rgb(0xFFFFFF);     // raised edge, light side
inline const QRgb kPanelLo = Rgb(0xA3AEBD);     // raised edge, dark side
inline const QRgb kField = Rgb(0xFFFFFF);       // edit and list grounds
inline const QRgb kFieldBorder = Rgb(0x8C9AAD); // edit frame
inline const QRgb kFieldShade = Rgb(0xE6EAEF);  // inner top shadow of a field
inline const QRgb kLine = Rgb(0xC9D1DB);        // grid lines, separators
inline const QRgb kAccent = Rgb(0x3C6EA8);      // focus, hot frames
inline const QRgb kAccentDark = Rgb(0x2B5588);
inline const QRgb kAccentSoft = Rgb(0xD6E3F1);  // selection without focus
inline const QRgb kWhite = Rgb(0xFFFFFF);

// Window frame.
inline const QRgb kFrameOuter = Rgb(0x2A394B);
inline const QRgb kFrameLight = Rgb(0x9CAFC6);
inline const QRgb kBandTop = Rgb(0x8598B1);
inline const QRgb kBandBottom = Rgb(0x596E89);
inline const QRgb kFrameSide = Rgb(0x5B708B);
inline const QRgb kFrameInner = Rgb(0x3F5169);

// Slate bands (group box, caption panels, grid titles).
inline const QRgb kSlateTop = Rgb(0x6B819C);
inline const QRgb kSlateBottom = Rgb(0x4D627C);
inline const QRgb kSlateEdge = Rgb(0x3E5068);

// Light buttons (scroll bar arrows, edit buttons, spin buttons).
struct Look {
    QRgb border, top, bottom;
};
inline const Look kLightNormal{Rgb(0x9AA7B8), Rgb(0xF7F9FB), Rgb(0xDCE2E9)};
inline const Look kLightHot{Rgb(0x6F97C6), Rgb(0xEDF3FA), Rgb(0xC9DBEF)};
inline const Look kLightDown{Rgb(0x4F7DB4), Rgb(0xBFD2EA), Rgb(0xD8E4F2)};
inline const Look kLightOff{Rgb(0xBCC4CE), Rgb(0xF0F2F5), Rgb(0xE4E8EC)};

// The push button: soft raised slate blue, white lettering.
inline const Look kButtonNormal{Rgb(0x2C4766), Rgb(0x6787AF), Rgb(0x37577F)};
inline const Look kButtonDown{Rgb(0x213853), Rgb(0x34527A), Rgb(0x4C6C94)};
inline const Look kButtonOff{Rgb(0xA9B3BF), Rgb(0xDDE2E8), Rgb(0xC9D0D9)};
inline const QRgb kButtonShine = Rgb(0x97B0CE);
inline const QRgb kButtonOffShine = Rgb(0xEEF1F4);
inline const QRgb kButtonText = Rgb(0xF0F4F8);

// Scroll bar thumb.
inline const Look kThumbNormal{Rgb(0x61789A), Rgb(0xA9BBD0), Rgb(0x8199B6)};
inline const Look kThumbHot{Rgb(0x4F7DB4), Rgb(0xB6CCE6), Rgb(0x8CABD0)};
inline const Look kThumbDown{Rgb(0x3C6EA8), Rgb(0x7E98B9), Rgb(0x98AFCC)};
inline const QRgb kTrack = Rgb(0xE2E7ED);
inline const QRgb kTrackEdge = Rgb(0xCCD4DE);

enum PictureIndex { kMenuBarButtons = 0, kPopupWindow = 1, kMenus = 2, kCaption = 3, kControls = 4, kHint = 5, kGroupBox = 6 };

inline Font MakeFont(QRgb colour, bool bold = false) { return Font{QStringLiteral("Arial"), 14, bold, colour}; }

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
// Element painters that several pictures use. Each paints into a rectangle of a picture
// whose ground is `bg` (the colour the element sits on in the window, so its rounded
// corners blend into it).

void LightButton(QImage& img, const Rect& r, const Look& k, QRgb bg);
// A text field: white ground, one-pixel frame, a soft shadow under its top edge.
void FieldBox(QImage& img, const Rect& r, QRgb border, QRgb shade);
// A slate band with a lighter top line: group box captions, caption panels.
void SlateBand(QImage& img, const Rect& r);

// ---------------------------------------------------------------------------------------
// The form picture and the caption picture (DesignFrame.cpp).

QImage DrawFormPicture();
void FormInfo(Definition& def);

// Where the caption picture holds the horizontal gauge's pictures.
struct GaugePictures {
    Rect frame, bar;
};
QImage DrawCaptionPicture(GaugePictures& gauge);
void GaugeEntry(Definition& def, const GaugePictures& gp);
void Caption(Definition& def);

// ---------------------------------------------------------------------------------------
// The menu pictures: the menu bar's buttons, the popup and hint windows, the menu items
// and the menu bar (DesignMenus.cpp).

QImage DrawMenuBarButtons();
void MenuBarButtons(Definition& def);
void AnimatedCaptionButtons(Definition& def);
QImage DrawPopupWindow(Definition& def);
QImage DrawHintWindow(Definition& def);
QImage DrawMenus(Definition& def);
void MainMenuBar(Definition& def);

// ---------------------------------------------------------------------------------------
// The group box: picture 6, and a copy in the controls picture (DesignPanels.cpp).

constexpr int kGroupW = 39, kGroupH = 17;
void DrawGroupBox(QImage& img, int x, int y);
void GroupBoxEntry(Section& s, int picture, const Rect& r);

// ---------------------------------------------------------------------------------------
// Picture 4: the controls, placed group after group by the atlas (the order of the calls
// in Design.cpp is the picture's layout). Each group is drawn in the file named above it.

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

    // DesignButtons.cpp
    Rect pushButtons(const char* name, int w, int h, int radius, const Rect& client);
    void buttons();
    struct Marks {
        Rect check, uncheck, activeCheck, activeUncheck, offCheck, offUncheck;
    };
    Marks marks(bool radio);
    Marks checkMarks;  // the check box's, which the check group box and check list box show too
    void checks();

    // DesignEdits.cpp
    using Glyph = std::function<void(QImage&, const Rect&, QRgb)>;
    Rect editButtonImages(const Glyph& glyph, Rect out[3]);
    void edits();

    // DesignLists.cpp
    void lists();
    void grid();
    void textViews();

    // DesignScrollBars.cpp
    void scrollBars(int t, const std::string& prefix);
    void upDowns();
    void gaugesAndTracks();

    // DesignPanels.cpp
    void panels(const Rect& checkedMark, const Rect& uncheckedMark);
    void exPanel();
    void labelsAndLines();
    void tabs();
};

}  // namespace skinauthor
