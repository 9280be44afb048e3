#pragma once
// TrueType font files made in memory, for Qt's application fonts: a font of outlines given
// here (the placeholder of the user-defined characters), and the copy of a site's font that
// answers for a chosen set of code points only.

#include <QByteArray>
#include <QPoint>
#include <QString>

#include <functional>
#include <map>
#include <vector>

namespace userchars {

// A glyph of straight lines in font units (y up, baseline at 0). Outer contours run
// clockwise, holes counter-clockwise; overlapping outer contours fill as one.
struct OutlineGlyph {
    std::vector<std::vector<QPoint>> contours;
    // Or, when parts is not empty, the glyph is made of other glyphs (by index among
    // the font's glyphs, the empty glyph 0 first) moved by their offsets.
    std::vector<std::pair<int, QPoint>> parts;
    int advance = 1000;
};

struct FontMetrics {
    int unitsPerEm = 1000;
    int ascent = 880;
    int descent = 120;  // below the baseline, positive
};

// A TrueType font named family whose glyph 0 is empty and glyphs 1.. are glyphs, and
// whose character map gives each code point its glyph (an index into glyphs).
QByteArray BuildFont(const QString& family, const FontMetrics& metrics, const std::vector<OutlineGlyph>& glyphs,
                     const std::map<char32_t, int>& characterMap);

// The font file (TrueType or OpenType, the first font of a collection) renamed family,
// with a character map that keeps only the code points keep accepts: every other
// character is left to the fonts after it. Empty, with the reason in error, when data is
// no font this can read or maps none of those code points.
QByteArray RestrictFont(const QByteArray& data, const QString& family, const std::function<bool(char32_t)>& keep,
                        QString* error);

}  // namespace userchars
