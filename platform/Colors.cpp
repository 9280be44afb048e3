#include "platform/Colors.h"

#include <array>

namespace platform {

namespace {

// The classic desktop scheme ("Windows Classic" of the Windows 2000 era), by colour
// index. Index 25 has no colour of its own on the desktop; it is black here.
constexpr std::array<TColor, 31> kSystemPalette = {
    RGBColor(212, 208, 200),  // 0 scroll bar
    RGBColor(58, 110, 165),   // 1 desktop background
    RGBColor(10, 36, 106),    // 2 active caption
    RGBColor(128, 128, 128),  // 3 inactive caption
    RGBColor(212, 208, 200),  // 4 menu
    RGBColor(255, 255, 255),  // 5 window
    RGBColor(0, 0, 0),        // 6 window frame
    RGBColor(0, 0, 0),        // 7 menu text
    RGBColor(0, 0, 0),        // 8 window text
    RGBColor(255, 255, 255),  // 9 caption text
    RGBColor(212, 208, 200),  // 10 active border
    RGBColor(212, 208, 200),  // 11 inactive border
    RGBColor(128, 128, 128),  // 12 application work space
    RGBColor(10, 36, 106),    // 13 highlight
    RGBColor(255, 255, 255),  // 14 highlight text
    RGBColor(212, 208, 200),  // 15 button face
    RGBColor(128, 128, 128),  // 16 button shadow
    RGBColor(128, 128, 128),  // 17 gray text
    RGBColor(0, 0, 0),        // 18 button text
    RGBColor(212, 208, 200),  // 19 inactive caption text
    RGBColor(255, 255, 255),  // 20 button highlight
    RGBColor(64, 64, 64),     // 21 3-D dark shadow
    RGBColor(212, 208, 200),  // 22 3-D light
    RGBColor(0, 0, 0),        // 23 info text
    RGBColor(255, 255, 225),  // 24 info background
    RGBColor(0, 0, 0),        // 25 (none)
    RGBColor(0, 0, 128),      // 26 hot-tracked item
    RGBColor(166, 202, 240),  // 27 active caption gradient
    RGBColor(192, 192, 192),  // 28 inactive caption gradient
    RGBColor(10, 36, 106),    // 29 menu highlight
    RGBColor(212, 208, 200),  // 30 menu bar
};

}  // namespace

TColor ColorToRGB(TColor c) {
    if (c == clNone || c == clDefault) return c;
    if (IsSystemColor(c)) {
        const unsigned index = static_cast<std::uint32_t>(c) & 0xFFu;
        return index < kSystemPalette.size() ? kSystemPalette[index] : clBlack;
    }
    return static_cast<TColor>(static_cast<std::uint32_t>(c) & 0x00FFFFFFu);
}

QColor ToQColor(TColor c) {
    if (c == clNone) return QColor(0, 0, 0, 0);
    const TColor rgb = c == clDefault ? ColorToRGB(clWindow) : ColorToRGB(c);
    return QColor(rgb & 0xFF, (rgb >> 8) & 0xFF, (rgb >> 16) & 0xFF);
}

TColor FromQColor(const QColor& c) { return RGBColor(c.red(), c.green(), c.blue()); }

}  // namespace platform
