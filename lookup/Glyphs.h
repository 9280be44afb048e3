#pragma once
// The small pictures of the lookup dialog's buttons, drawn rather than stored.
//
// Navigator glyphs are two images side by side, normal then disabled, 13 high: 14 wide
// each for FIRST, LAST and the editing actions, 10 wide for PRIOR and NEXT. The dialog
// glyphs (search, reset, accept, cancel) are one 16 x 16 image each.

#include <QImage>
#include <QString>

namespace lookup {

// By glyph word ("FIRST", "PRIOR", ...; without regard to case); an empty image for an
// unknown word.
QImage NavigatorGlyph(const QString& word);

enum class DialogGlyph { Search, Reset, Accept, Cancel };
QImage DialogGlyphImage(DialogGlyph glyph);

}  // namespace lookup
