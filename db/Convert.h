#pragma once
// Text-to-number conversions with a fallback, and the text form of floats, as the
// workflow reads values: most numbers travel from fields as text and are converted here.

#include <QString>
#include <optional>

namespace db {

// The whole text, optionally surrounded by blanks, must be a decimal number: sign,
// digits, "." as the decimal separator, optional exponent. Anything else, empty text,
// and a value out of double range give the fallback.
double StrToFloatDef(const QString& text, double fallback);

// Leading blanks, an optional sign, then decimal digits or a hexadecimal number
// introduced by "$", "x" or "0x", and nothing after. Empty text, any other character
// ("2.5" included) and a value outside the 32-bit signed range give the fallback.
int StrToIntDef(const QString& text, int fallback);

// The same grammar as StrToIntDef, reporting failure as nullopt.
std::optional<int> StrToInt(const QString& text);

// Shortest general form with at most 15 significant digits: 3.0 -> "3", 2.5 -> "2.5",
// 1e20 -> "1E20", 1.5e-6 -> "1.5E-6".
QString FloatToText(double value);
// The same text written into buf (at least kFloatTextMax characters); returns its length.
inline constexpr int kFloatTextMax = 64;
int FloatToChars(double value, char* buf);

// The value as FloatToText writes it and StrToFloatDef reads it back (15 significant
// digits), without making the text: what a value handed over as text becomes.
double ThroughFifteenDigits(double value);

// Nearest whole number, a tie going to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);

}  // namespace db
