#include "userchars/UserChars.h"

#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QStringList>

#include <cstdio>
#include <mutex>

#include "db/CodePage.h"
#include "userchars/FontFile.h"

namespace userchars {

namespace {

// Font units of the placeholder: the em square of the Ming face, the box filling its
// ideographs' cell, the code in two rows of two hexadecimal digits.
constexpr FontMetrics kPlaceholderMetrics{1000, 880, 120};
constexpr int kDigitWidth = 250, kDigitHeight = 330, kStroke = 48;

std::vector<QPoint> Rectangle(int x0, int y0, int x1, int y1, bool hole = false) {
    if (hole) return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
    return {{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}};
}

// A hexadecimal digit of seven bars, as a display shows it.
OutlineGlyph Digit(int value) {
    static const char* const kBars[16] = {"abcdef", "bc",     "abdeg", "abcdg", "bcfg", "acdfg", "acdefg", "abc",
                                          "abcdefg", "abcdfg", "abcefg", "cdefg", "adef", "bcdeg", "adefg",  "aefg"};
    constexpr int W = kDigitWidth, H = kDigitHeight, t = kStroke;
    OutlineGlyph g;
    for (const char* bar = kBars[value]; *bar; ++bar) {
        switch (*bar) {
        case 'a': g.contours.push_back(Rectangle(0, H - t, W, H)); break;
        case 'b': g.contours.push_back(Rectangle(W - t, H / 2, W, H)); break;
        case 'c': g.contours.push_back(Rectangle(W - t, 0, W, H / 2 + t / 2)); break;
        case 'd': g.contours.push_back(Rectangle(0, 0, W, t)); break;
        case 'e': g.contours.push_back(Rectangle(0, 0, t, H / 2 + t / 2)); break;
        case 'f': g.contours.push_back(Rectangle(0, H / 2, t, H)); break;
        case 'g': g.contours.push_back(Rectangle(0, (H - t) / 2, W, (H + t) / 2)); break;
        }
    }
    return g;
}

// Glyph 0 empty, 1 the box, 2-17 the digits, then one glyph per user-defined character:
// the box with the lead byte's digits over the trail byte's. Each character has a glyph
// of its own, so a PDF's text maps every glyph back to its own code point.
QByteArray PlaceholderFont(const QString& family) {
    std::vector<OutlineGlyph> glyphs(2);
    glyphs[1].contours = {Rectangle(50, -90, 950, 850), Rectangle(120, -20, 880, 780, true)};
    for (int d = 0; d < 16; ++d) glyphs.push_back(Digit(d));
    constexpr int kFirstDigit = 2;
    std::map<char32_t, int> map;
    for (char32_t c = db::FirstUserDefined(); c <= db::LastUserDefined(); ++c) {
        const unsigned code = db::UserDefinedCode(c);
        OutlineGlyph g;
        g.parts.push_back({1, QPoint()});
        // Cells of 380 by 400 inside the box, the digit in the middle of its cell.
        for (int i = 0; i < 4; ++i) {
            const int nibble = int(code >> (12 - 4 * i)) & 0xF;
            g.parts.push_back({kFirstDigit + nibble, QPoint(120 + (i % 2) * 380 + 65, -20 + (1 - i / 2) * 400 + 35)});
        }
        map[c] = int(glyphs.size());
        glyphs.push_back(std::move(g));
    }
    return BuildFont(family, kPlaceholderMetrics, glyphs, map);
}

struct Fonts {
    std::mutex mutex;
    bool placeholderLoaded = false;
    QString placeholder;
    bool siteChosen = false;  // the environment read, or UseSiteFont called
    int siteId = -1;
    QString site;
    int siteLoads = 0;  // each load has a family name of its own, so no cached face outlives its file
};

Fonts& TheFonts() {
    static Fonts fonts;
    return fonts;
}

// Loads the site's font from path; returns why it cannot serve. Under the mutex.
QString LoadSite(Fonts& f, const QString& path) {
    if (f.siteId >= 0) QFontDatabase::removeApplicationFont(f.siteId);
    f.siteId = -1;
    f.site.clear();
    f.siteChosen = true;
    if (path.isEmpty()) return {};
    QFile file(path);
    constexpr qint64 kLargest = 256 << 20;  // the largest CJK fonts are tens of megabytes
    if (!file.open(QIODevice::ReadOnly)) return QStringLiteral("無法讀取造字字型檔 %1：%2").arg(path, file.errorString());
    if (!file.isSequential() && file.size() > kLargest)
        return QStringLiteral("造字字型檔 %1 超過 256 MB，不是字型檔").arg(path);
    const QByteArray data = file.read(kLargest + 1);
    if (data.size() > kLargest) return QStringLiteral("造字字型檔 %1 超過 256 MB，不是字型檔").arg(path);
    const QString family = QStringLiteral("Marlith Site User-Defined Characters %1").arg(++f.siteLoads);
    QString why;
    const QByteArray font = RestrictFont(data, family, [](char32_t c) { return db::IsUserDefined(c); }, &why);
    if (font.isEmpty()) return QStringLiteral("造字字型檔 %1：%2").arg(path, why);
    f.siteId = QFontDatabase::addApplicationFontFromData(font);
    if (f.siteId < 0) return QStringLiteral("造字字型檔 %1：字型無法載入").arg(path);
    f.site = family;
    return {};
}

}  // namespace

bool HasUserDefined(const QString& text) {
    const char32_t first = db::FirstUserDefined(), last = db::LastUserDefined();
    for (QChar c : text)
        if (c.unicode() >= first && c.unicode() <= last && db::IsUserDefined(c.unicode())) return true;
    return false;
}

QString UseSiteFont(const QString& path) {
    Fonts& f = TheFonts();
    const std::lock_guard lock(f.mutex);
    return LoadSite(f, path);
}

QStringList Families() {
    Fonts& f = TheFonts();
    const std::lock_guard lock(f.mutex);
    if (!f.siteChosen) {
        const QString path = qEnvironmentVariable(kSiteFontEnv);
        if (const QString why = LoadSite(f, path); !why.isEmpty())
            std::fprintf(stderr, "marlith: %s；造字以方框內的 Big5 碼顯示\n", qUtf8Printable(why));
    }
    if (!f.placeholderLoaded) {
        f.placeholderLoaded = true;
        const QString family = QStringLiteral("Marlith User-Defined Character Placeholder");
        if (QFontDatabase::addApplicationFontFromData(PlaceholderFont(family)) >= 0) f.placeholder = family;
    }
    QStringList families;
    if (!f.site.isEmpty()) families << f.site;
    if (!f.placeholder.isEmpty()) families << f.placeholder;
    return families;
}

QFont FontFor(const QFont& font, const QString& text) {
    if (!HasUserDefined(text)) return font;
    QFont f(font);
    f.setFamilies(Families() + (font.families().isEmpty() ? QStringList{font.family()} : font.families()));
    return f;
}

TextFont::TextFont(QPainter& painter, const QString& text) {
    if (!HasUserDefined(text)) return;
    painter_ = &painter;
    was_ = painter.font();
    painter.setFont(FontFor(was_, text));
}

TextFont::~TextFont() {
    if (painter_) painter_->setFont(was_);
}

}  // namespace userchars
