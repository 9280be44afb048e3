#include "skin/SkinValues.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <span>

#include "skin/Bmp.h"

namespace skin {

namespace {

int HexDigit(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9') return u - '0';
    if (u >= 'a' && u <= 'f') return u - 'a' + 10;
    if (u >= 'A' && u <= 'F') return u - 'A' + 10;
    return -1;
}

// The words of each enumeration in ordinal order.
constexpr std::array<const char*, 7> kMorphWords = {"mkdefault", "mkgradient", "mkleftgradient", "mkrightgradient",
                                                    "mkleftslide", "mkrightslide", "mkpush"};
constexpr std::array<const char*, 6> kEffectWords = {"iebrightness", "iedarkness", "iegrayscale",
                                                     "ienoise", "iesplitblur", "ieinvert"};
constexpr std::array<const char*, 6> kCommandWords = {"cmclose", "cmmaximize", "cmminimize",
                                                      "cmsysmenu", "cmdefault", "cmrollup"};
constexpr std::array<const char*, 4> kStyleWords = {"fsbold", "fsitalic", "fsunderline", "fsstrikeout"};

// Position of text among the first `searched` words, or -1.
int WordIndex(std::span<const char* const> words, const QString& text, size_t searched) {
    for (size_t i = 0; i < searched && i < words.size(); ++i)
        if (text == QLatin1StringView(words[i])) return int(i);
    return -1;
}

}  // namespace

int ParseInteger(const QString& text, int def) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    bool negative = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';

    int base = 10;
    if (i < n && text[i] == '$') {
        base = 16;
        ++i;
    } else if (n - i > 2 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    if (i == n) return def;

    uint64_t value = 0;
    for (; i < n; ++i) {
        const int d = base == 16 ? HexDigit(text[i]) : (text[i] >= '0' && text[i] <= '9' ? text[i].unicode() - '0' : -1);
        if (d < 0) return def;
        value = value * uint64_t(base) + uint64_t(d);
        if (value > 0xFFFFFFFFull) return def;
    }
    if (base == 10) {
        if (value > (negative ? uint64_t(INT_MAX) + 1 : uint64_t(INT_MAX))) return def;
        return negative ? int(-int64_t(value)) : int(value);
    }
    // Hex fills all 32 bits, as colour values like $1FFFFFFF or $FFFFFFFF are written.
    const uint32_t bits = negative ? uint32_t(0) - uint32_t(value) : uint32_t(value);
    return int(int32_t(bits));
}

std::optional<QList<int>> ScanNumbers(const QString& text, int count) {
    QList<int> numbers;
    int64_t current = 0;
    bool hasDigits = false;
    auto close = [&]() {
        if (!hasDigits) return false;
        numbers.append(int(current));
        current = 0;
        hasDigits = false;
        return true;
    };
    for (QChar c : text) {
        if (c == ',') {
            if (!close() || numbers.size() >= count) return std::nullopt;
        } else if (c >= '0' && c <= '9') {
            current = current * 10 + (c.unicode() - '0');
            if (current > INT_MAX) return std::nullopt;
            hasDigits = true;
        }
    }
    if (!close() || numbers.size() != count) return std::nullopt;
    return numbers;
}

namespace {

// Rectangles and points address the skin's pictures, which are never larger than the
// picture decoder accepts: a coordinate beyond that addresses nothing, and taken as it
// stands it would size a control or a window to millions of pixels.
int PictureCoordinate(int v) { return std::clamp(v, -kMaxBmpDimension, kMaxBmpDimension); }

}  // namespace

Rect ParseRect(const QString& text, const Rect& def) {
    const auto n = ScanNumbers(text, 4);
    if (!n) return def;
    return {PictureCoordinate((*n)[0]), PictureCoordinate((*n)[1]), PictureCoordinate((*n)[2]),
            PictureCoordinate((*n)[3])};
}

QPoint ParsePoint(const QString& text, const QPoint& def) {
    const auto n = ScanNumbers(text, 2);
    if (!n) return def;
    return {PictureCoordinate((*n)[0]), PictureCoordinate((*n)[1])};
}

bool ParseBoolean(const QString& text) { return ParseInteger(text, 0) == 1; }

FontStyles ParseFontStyle(const QString& text) {
    FontStyles s;
    for (size_t i = 0; i < kStyleWords.size(); ++i)
        if (text.contains(QLatin1StringView(kStyleWords[i]), Qt::CaseSensitive)) s |= FontStyle(1u << i);
    return s;
}

Alignment ParseAlignment(const QString& text) {
    if (text == QLatin1StringView("tacenter")) return taCenter;
    if (text == QLatin1StringView("taleftjustify")) return taLeftJustify;
    return taRightJustify;
}

MorphKind ParseMorphKind(const QString& text) {
    const int i = WordIndex(kMorphWords, text, kMorphWords.size());
    return i < 0 ? mkDefault : MorphKind(i);
}

InactiveEffect ParseInactiveEffect(const QString& text) {
    const int i = WordIndex(kEffectWords, text, kEffectWords.size());
    return i < 0 ? ieBrightness : InactiveEffect(i);
}

StdCommand ParseCommand(const QString& text) {
    const int i = WordIndex(kCommandWords, text, 5);  // "cmrollup" is reached as "anything else"
    return i < 0 ? cmRollUp : StdCommand(i);
}

QString FormatRect(const Rect& r) { return QStringLiteral("%1,%2,%3,%4").arg(r.left).arg(r.top).arg(r.right).arg(r.bottom); }

QString FormatPoint(const QPoint& p) { return QStringLiteral("%1,%2").arg(p.x()).arg(p.y()); }

QString FormatBoolean(bool b) { return b ? QStringLiteral("1") : QStringLiteral("0"); }

QStringList FontStyleWords(FontStyles s) {
    QStringList words;
    for (size_t i = 0; i < kStyleWords.size(); ++i)
        if (s.testFlag(FontStyle(1u << i))) words << QLatin1StringView(kStyleWords[i]);
    return words;
}

QString FormatFontStyle(FontStyles s) { return FontStyleWords(s).join(','); }

QString FormatAlignment(Alignment a) {
    switch (a) {
    case taLeftJustify: return QStringLiteral("taleftjustify");
    case taRightJustify: return QStringLiteral("tarightjustify");
    case taCenter: break;
    }
    return QStringLiteral("tacenter");
}

QString FormatMorphKind(MorphKind k) {
    return QLatin1StringView(size_t(k) < kMorphWords.size() ? kMorphWords[size_t(k)] : kMorphWords[0]);
}

QString FormatInactiveEffect(InactiveEffect e) {
    return QLatin1StringView(size_t(e) < kEffectWords.size() ? kEffectWords[size_t(e)] : kEffectWords[0]);
}

QString FormatCommand(StdCommand c) {
    return QLatin1StringView(size_t(c) < kCommandWords.size() ? kCommandWords[size_t(c)] : kCommandWords[5]);
}

}  // namespace skin
