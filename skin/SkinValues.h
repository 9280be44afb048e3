#pragma once
// The value syntaxes of a skin definition: how each kind of value is written in the
// text, how it is read back, and the in-memory types the entries hold.
//
// Reading never fails: text that does not convert yields the key's default, parsed from
// its written form (every key declares its default as text, e.g. "-1", "0,0,0,0",
// "tacenter"), so a bad value can never leave a field half-written.

#include <QFlags>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <optional>

#include "skin/Color.h"

namespace skin {

// A rectangle of the skin: left and top inside, right and bottom outside (width is
// right - left). Unlike QRect, whose right edge is inclusive, this is the form the
// definition writes and the drawing code computes with.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool IsEmpty() const { return right <= left || bottom <= top; }
    QRect ToQRect() const { return QRect(left, top, right - left, bottom - top); }
    static Rect FromQRect(const QRect& r) { return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()}; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

enum class FontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using FontStyles = QFlags<FontStyle>;

// Enumerations keep the ordinal values the definitions and the drawing code rely on.
enum Alignment : int { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };
enum MorphKind : int { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };
enum InactiveEffect : int { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };
enum StdCommand : int { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp };


// --- reading -------------------------------------------------------------------------

// Integer conversion: optional sign, then decimal digits, "$" + hex digits or "0x"/"0X"
// + hex digits. Decimal must fit in 32 bits; hex may use all 32 bits (so "$FFFFFFFF" is
// -1). Anything else, including empty text, gives def.
int ParseInteger(const QString& text, int def);
// Exactly `count` numbers scanned the skin way: "," separates numbers, every other
// character except the digits 0-9 is dropped (so "-5" reads as 5). nullopt when the value
// has too few or too many numbers, or a number is empty or does not fit in 32 bits.
std::optional<QList<int>> ScanNumbers(const QString& text, int count);
// Rect and point: a malformed value (see ScanNumbers) gives def as a whole.
Rect ParseRect(const QString& text, const Rect& def);
QPoint ParsePoint(const QString& text, const QPoint& def);
// "1" (as an integer) is true; everything else false.
bool ParseBoolean(const QString& text);
// Each style word anywhere in the text sets its style (case-sensitive substring test).
FontStyles ParseFontStyle(const QString& text);
// "tacenter" -> centre, "taleftjustify" -> left, anything else -> right.
Alignment ParseAlignment(const QString& text);
// Exact, case-sensitive words; unknown text gives the first value (mkDefault,
// ieBrightness). For commands, unknown text (and "cmrollup") gives cmRollUp.
MorphKind ParseMorphKind(const QString& text);
InactiveEffect ParseInactiveEffect(const QString& text);
StdCommand ParseCommand(const QString& text);

// --- writing (the forms SaveToIni uses; each reads back to the same value) ------------

QString FormatRect(const Rect& r);
QString FormatPoint(const QPoint& p);
QString FormatBoolean(bool b);
// The words of the set, in the order bold, italic, underline, strikeout, joined by ",".
QString FormatFontStyle(FontStyles s);
QStringList FontStyleWords(FontStyles s);
QString FormatAlignment(Alignment a);
QString FormatMorphKind(MorphKind k);
QString FormatInactiveEffect(InactiveEffect e);
QString FormatCommand(StdCommand c);

}  // namespace skin

Q_DECLARE_OPERATORS_FOR_FLAGS(skin::FontStyles)
