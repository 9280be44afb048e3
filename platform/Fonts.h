#pragma once
// Fonts as the product names and sizes them, on the fonts this machine has.
//
// Names: the designs name desktop fonts that Linux does not ship. Each is mapped to an
// installed font with the same role and metrics: 新細明體 (and its Latin name PMingLiU)
// to the Ming style "AR PL UMing TW", Arial and MS Sans Serif to "Liberation Sans".
// Other names are used as they stand (fontconfig then picks its own fallback).
//
// Heights: a positive height is the font's cell height in pixels (ascent + descent), a
// negative one the character (em) height in pixels, as the designs write them. Pixel
// sizes keep text the same size whatever the screen's dots per inch.

#include <QFont>
#include <QString>
#include <QStringList>

#include "platform/Colors.h"
#include "skin/SkinValues.h"

class QLineEdit;
class QPainter;
class QRect;

namespace platform {

// The installed family for a design's font name.
QString MapFontFamily(const QString& name);

// Registers the name mapping with Qt's font substitutions, so fonts named the design's
// way anywhere (style sheets, rich text) land on the same families. Idempotent.
void InstallFontSubstitutions();

// A font of the design's name, height and style (see the height rule above). A height
// of 0 takes the default of 14; heights beyond 1000 pixels either way are cut to 1000.
QFont MakeFont(const QString& name, int height, skin::FontStyles style = {});

// A font as components keep it: name, height by the rule above, style and colour. Made
// without values it is the designs' default font of a component: Arial, 14 pixels,
// plain, in the window text colour.
struct TFont {
    QString name = QStringLiteral("Arial");
    int height = 14;
    skin::FontStyles style;
    TColor color = clWindowText;

    QFont ToQFont() const { return MakeFont(name, height, style); }
    friend bool operator==(const TFont&, const TFont&) = default;
};

// Cell height (ascent + descent) and advance width in pixels, as text is laid out.
int TextHeight(const QFont& font);
int TextWidth(const QFont& font, const QString& text);

// The lines of text as drawn with Qt text flags: one per line break, and with
// Qt::TextWordWrap as many as its words need within wrapWidth; each line is its piece of
// the text (mnemonic marks kept, the line feed dropped). Callers count them and stand
// them one cell (TextHeight) apart: a line in a script the font lacks is drawn with a
// taller fallback font, and the glyphs' height must not make it more than one line.
QStringList TextLines(const QFont& font, const QString& text, int flags, int wrapWidth);

// Text is measured and drawn with the font its user-defined characters need
// (userchars::FontFor); the functions here and below do so themselves.

// Gives a text box its font, drawing the user-defined characters of whatever text it
// comes to hold by the same rule; the text itself is never touched.
void SetTextBoxFont(QLineEdit* edit, const QFont& font);

// Text placed by the top-left corner of its cell, with the painter's font and pen and a
// clear background: at (x, y), and at (x, y) clipped to clip.
void TextOut(QPainter& painter, int x, int y, const QString& text);
void TextRectOut(QPainter& painter, const QRect& clip, int x, int y, const QString& text);

// The text as it fits into width pixels: itself when it fits; otherwise the longest
// prefix that fits with "..." appended, followed by "..." (just "..." when no character
// fits).
QString ShortenWithEllipsis(const QFont& font, const QString& text, int width);

}  // namespace platform
