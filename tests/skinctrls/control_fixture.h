#pragma once
// Shared pieces of the control tests: the carried skin, small hand-made skins, a shown
// host window and pixel reading.

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <memory>

#include "platform/Colors.h"
#include "skin/SkinData.h"
#include "skin/StoredSkin.h"
#include "skinctrls/Paint.h"
#include "skinctrls/test_print.h"
#include "support/QtTestApp.h"
#include "support/QtWidgetTest.h"

#include "skins/Carried.h"

namespace skinctrls::test {

// The skin the program carries.
inline std::unique_ptr<skin::TbsSkinData> LoadCarried() {
    auto data = std::make_unique<skin::TbsSkinData>();
    skins::LoadCarriedSkin(*data);
    return data;
}

// A skin of the given control sections (each "[name]" with its keys) and pictures;
// controls lists the "name:type" values of [SKINCONTROLS].
inline void LoadSkin(skin::TbsSkinData& data, const QStringList& controls, const QStringList& sections,
                     const QList<QImage>& pictures) {
    skin::TbsStoredSkin stored;
    QStringList ini{"[VERSION]", "skinname=test", "[PICTURES]", "[FORMINFO]", "[SKINOBJECTS]", "count=0",
                    "[SKINCONTROLS]", QStringLiteral("count=%1").arg(controls.size())};
    for (int i = 0; i < controls.size(); ++i) ini << QStringLiteral("%1=%2").arg(i).arg(controls[i]);
    ini << sections;
    stored.IniStrings = ini;
    stored.ActivePictures = pictures;
    data.LoadFromStoredSkin(stored);
}

// A picture of w x h whose every pixel encodes its position (red = x, green = y), so a
// pixel of a drawn control tells where in the picture it came from.
inline QImage PositionPicture(int w, int h) {
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, 77));
    return img;
}

// A shown top-level host for controls.
struct Host {
    QWidget window;
    Host(int w = 400, int h = 300) {
        window.resize(w, h);
        ShowOffscreen(&window);
    }
};

inline QImage Grab(QWidget* w) { return w->grab().toImage().convertToFormat(QImage::Format_RGB32); }

inline platform::TColor Px(const QImage& img, int x, int y) { return PixelColor(img, x, y); }
inline platform::TColor Sys(platform::TColor c) { return platform::ColorToRGB(c); }

// Whether two colours differ by at most tolerance in every channel.
inline bool Near(platform::TColor a, platform::TColor b, int tolerance) {
    for (int shift : {0, 8, 16})
        if (std::abs(((a >> shift) & 0xFF) - ((b >> shift) & 0xFF)) > tolerance) return false;
    return true;
}

// Pixels of colour c (within tolerance, for antialiased text) inside r.
inline int CountColor(const QImage& img, platform::TColor c, QRect r = {}, int tolerance = 0) {
    if (r.isNull()) r = img.rect();
    r &= img.rect();
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Near(Px(img, x, y), c, tolerance)) ++n;
    return n;
}

// Text pixels: close to the text colour (antialiased edges fall away).
inline int CountText(const QImage& img, platform::TColor c, QRect r = {}) { return CountColor(img, c, r, 40); }

// Bounding box of the pixels close to colour c inside r.
inline QRect BoundsOfColor(const QImage& img, platform::TColor c, QRect r = {}, int tolerance = 40) {
    if (r.isNull()) r = img.rect();
    r &= img.rect();
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Near(Px(img, x, y), c, tolerance)) box |= QRect(x, y, 1, 1);
    return box;
}

// Shows a form as a real (offscreen) window and makes it the active one, so that focus
// and keys reach its controls.
using testsupport::ShowActive;

}  // namespace skinctrls::test
