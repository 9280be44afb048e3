#pragma once
// Colours as the product stores them: one 32-bit number holding blue, green and red
// (0x00BBGGRR), the value clNone for "no colour", and the system colours (high byte 0x80,
// low byte the desktop's colour index) that are resolved only when something is drawn.
//
// System colours resolve from one fixed table, the classic desktop scheme, rather than
// from the running desktop's theme: a skinned window and its default looks must give the
// same pixels on every machine.

#include <QColor>
#include <QRgb>

#include <cstdint>

#include "skin/Color.h"

namespace platform {

using skin::TColor;
using skin::clNone;
inline constexpr TColor clDefault = 0x20000000;

// Plain colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;

// System colours: 0x80000000 plus the desktop's colour index.
constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | static_cast<unsigned>(index)); }
inline constexpr TColor clScrollBar = SystemColor(0);
inline constexpr TColor clBackground = SystemColor(1);
inline constexpr TColor clActiveCaption = SystemColor(2);
inline constexpr TColor clInactiveCaption = SystemColor(3);
inline constexpr TColor clMenu = SystemColor(4);
inline constexpr TColor clWindow = SystemColor(5);
inline constexpr TColor clWindowFrame = SystemColor(6);
inline constexpr TColor clMenuText = SystemColor(7);
inline constexpr TColor clWindowText = SystemColor(8);
inline constexpr TColor clCaptionText = SystemColor(9);
inline constexpr TColor clActiveBorder = SystemColor(10);
inline constexpr TColor clInactiveBorder = SystemColor(11);
inline constexpr TColor clAppWorkSpace = SystemColor(12);
inline constexpr TColor clHighlight = SystemColor(13);
inline constexpr TColor clHighlightText = SystemColor(14);
inline constexpr TColor clBtnFace = SystemColor(15);
inline constexpr TColor clBtnShadow = SystemColor(16);
inline constexpr TColor clGrayText = SystemColor(17);
inline constexpr TColor clBtnText = SystemColor(18);
inline constexpr TColor clInactiveCaptionText = SystemColor(19);
inline constexpr TColor clBtnHighlight = SystemColor(20);
inline constexpr TColor cl3DDkShadow = SystemColor(21);
inline constexpr TColor cl3DLight = SystemColor(22);
inline constexpr TColor clInfoText = SystemColor(23);
inline constexpr TColor clInfoBk = SystemColor(24);
inline constexpr TColor clHotLight = SystemColor(26);
inline constexpr TColor clGradientActiveCaption = SystemColor(27);
inline constexpr TColor clGradientInactiveCaption = SystemColor(28);
inline constexpr TColor clMenuHighlight = SystemColor(29);
inline constexpr TColor clMenuBar = SystemColor(30);

inline constexpr bool IsSystemColor(TColor c) { return (static_cast<std::uint32_t>(c) & 0xFF000000u) == 0x80000000u; }

// The plain 0x00BBGGRR value of a colour: system colours through the fixed table (an
// index outside it gives black), clNone and clDefault as they are, anything else with its
// high byte cleared.
TColor ColorToRGB(TColor c);

// A QColor for drawing. clNone gives a fully transparent colour.
QColor ToQColor(TColor c);
inline QRgb ToQRgb(TColor c) { return ToQColor(c).rgba(); }

// The 0x00BBGGRR value of a QColor (its alpha is dropped).
TColor FromQColor(const QColor& c);
constexpr TColor RGBColor(int red, int green, int blue) {
    return (red & 0xFF) | ((green & 0xFF) << 8) | ((blue & 0xFF) << 16);
}

}  // namespace platform
