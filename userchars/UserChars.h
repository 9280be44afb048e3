#pragma once
// How the user-defined characters (造字) of the Big5 data are drawn, everywhere text is:
// the windows, the previews and the printed pages.
//
// The code page reads them as private-use code points (db::UserDefinedCode), and the
// installed fonts give those code points glyphs of their own (the Ming face draws FA40
// as 有): text holding one would show another character. So a text holding one is drawn
// with a font whose families start with
//   - the site's font of its user-defined characters, when one is configured: the
//     TrueType or OpenType file the environment variable MARLITH_EUDC_FONT names (such
//     as the EUDC.TTE a Windows site made with its character editor), used for the
//     user-defined code points only, whatever else the file holds;
//   - the placeholder: a box holding the character's Big5 code (FA40 as FA over 40), for
//     every user-defined character the site's font lacks or when there is none;
// then the font's own families, for every other character. Text without one is drawn
// with its font as it stands. Only the drawing differs: the text keeps its code points,
// so an edit writes back the same bytes, and a PDF's text reads back the same.

#include <QFont>
#include <QString>

class QPainter;

namespace userchars {

inline constexpr const char* kSiteFontEnv = "MARLITH_EUDC_FONT";

bool HasUserDefined(const QString& text);

// The font that draws text (see above): font itself when text holds no user-defined
// character. Needs the GUI application (the fonts are loaded at the first such text).
QFont FontFor(const QFont& font, const QString& text);

// The painter draws text with FontFor(its font, text) while this lives.
class TextFont {
public:
    TextFont(QPainter& painter, const QString& text);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

private:
    QPainter* painter_ = nullptr;  // null when the font was left as it was
    QFont was_;
};

// Replaces the site's font with the file at path (empty: none) from the next text drawn
// on. Returns why the file cannot serve (the placeholder then draws every user-defined
// character), empty when it serves. A file named by MARLITH_EUDC_FONT that cannot serve
// is reported once on the standard error.
QString UseSiteFont(const QString& path);

// The families FontFor puts in front of a font's own: the site's (when it serves), then
// the placeholder's.
QStringList Families();

}  // namespace userchars
