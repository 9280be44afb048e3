#include "db/Convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace db {

namespace {

bool IsBlank(QChar c) { return c == ' ' || c == '\t'; }

}  // namespace

double StrToFloatDef(const QString& text, double fallback) {
    qsizetype i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    if (i == n) return fallback;

    // Validate the grammar ourselves: strtod would also take hex, "inf" and "nan".
    std::string s;
    qsizetype p = i;
    if (text[p] == '+' || text[p] == '-') s += char(text[p++].unicode());
    int mantissaDigits = 0;
    while (p < n && text[p].isDigit() && text[p].unicode() < 128) { s += char(text[p++].unicode()); ++mantissaDigits; }
    if (p < n && text[p] == '.') {
        s += '.';
        ++p;
        while (p < n && text[p].unicode() < 128 && text[p].isDigit()) { s += char(text[p++].unicode()); ++mantissaDigits; }
    }
    if (mantissaDigits == 0) return fallback;
    if (p < n && (text[p] == 'e' || text[p] == 'E')) {
        s += 'e';
        ++p;
        if (p < n && (text[p] == '+' || text[p] == '-')) s += char(text[p++].unicode());
        int expDigits = 0;
        while (p < n && text[p].unicode() < 128 && text[p].isDigit()) { s += char(text[p++].unicode()); ++expDigits; }
        if (expDigits == 0) return fallback;
    }
    if (p != n) return fallback;
    // from_chars, not strtod: the same correctly rounded value, whatever the process's
    // locale says the decimal point is. It takes no "+".
    const char* first = s.data() + (s.front() == '+' ? 1 : 0);
    double v = 0;
    const auto r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec != std::errc() || !std::isfinite(v)) return fallback;
    return v;
}

std::optional<int> StrToInt(const QString& text) {
    qsizetype p = 0;
    const qsizetype n = text.size();
    while (p < n && IsBlank(text[p])) ++p;
    bool negative = false;
    if (p < n && (text[p] == '+' || text[p] == '-')) negative = text[p++] == '-';
    int base = 10;
    if (p < n && text[p] == '$') {
        base = 16;
        ++p;
    } else if (p < n && (text[p] == 'x' || text[p] == 'X')) {
        base = 16;
        ++p;
    } else if (p + 1 < n && text[p] == '0' && (text[p + 1] == 'x' || text[p + 1] == 'X')) {
        base = 16;
        p += 2;
    }
    if (p == n) return std::nullopt;
    qint64 value = 0;
    const qint64 limit = negative ? qint64(std::numeric_limits<int>::max()) + 1
                                  : std::numeric_limits<int>::max();
    for (; p < n; ++p) {
        const ushort c = text[p].unicode();
        int digit;
        if (c >= '0' && c <= '9') digit = c - '0';
        else if (base == 16 && c >= 'a' && c <= 'f') digit = c - 'a' + 10;
        else if (base == 16 && c >= 'A' && c <= 'F') digit = c - 'A' + 10;
        else return std::nullopt;
        value = value * base + digit;
        if (value > limit) return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

int StrToIntDef(const QString& text, int fallback) {
    const auto v = StrToInt(text);
    return v ? *v : fallback;
}

namespace {

// A finite, non-zero value as printf's "%.15g" writes it in the C locale ("1.5e-06"),
// into buf; returns the end. to_chars is that format, without printf's cost and without
// the process's locale.
char* FormatG15(double value, char* buf, char* end) {
    // A whole number below 10^15 is written as its digits, as that format writes it: the
    // quantities and divisors of a material list, without the general conversion.
    if (std::fabs(value) < 1e15 && value == std::trunc(value))
        return std::to_chars(buf, end, static_cast<long long>(value)).ptr;
    return std::to_chars(buf, end, value, std::chars_format::general, 15).ptr;
}

}  // namespace

int FloatToChars(double value, char* buf) {
    const auto literal = [buf](const char* text) {
        const size_t n = std::strlen(text);
        std::memcpy(buf, text, n);
        return static_cast<int>(n);
    };
    if (std::isnan(value)) return literal("NAN");
    if (std::isinf(value)) return literal(value > 0 ? "INF" : "-INF");
    if (value == 0) return literal("0");  // also -0
    char* end = FormatG15(value, buf, buf + kFloatTextMax);
    // printf writes "1.5e-06"; the program's form is "1.5E-6".
    char* e = std::find(buf, end, 'e');
    if (e != end) {
        char* digits = e + 1;
        const bool negative = *digits == '-';
        if (*digits == '+' || negative) ++digits;
        while (end - digits > 1 && *digits == '0') ++digits;
        char* out = e;
        *out++ = 'E';
        if (negative) *out++ = '-';
        end = std::copy(digits, end, out);
    }
    return static_cast<int>(end - buf);
}

QString FloatToText(double value) {
    char buf[kFloatTextMax];
    return QString::fromLatin1(buf, FloatToChars(value, buf));
}

double ThroughFifteenDigits(double value) {
    if (value == 0) return 0.0;  // "0", -0 included
    if (!std::isfinite(value)) return value;
    char buf[64];
    char* end = FormatG15(value, buf, buf + sizeof buf);
    double v = 0;
    const auto r = std::from_chars(buf, end, v);
    return r.ec == std::errc() && std::isfinite(v) ? v : value;
}

double RoundHalfEven(double value) {
    if (!std::isfinite(value)) return value;
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1;
    return std::fmod(floor, 2.0) == 0 ? floor : floor + 1;
}

}  // namespace db
