#include "platform/Fonts.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QLineEdit>
#include <QPainter>
#include <QRect>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

#include "userchars/UserChars.h"

namespace platform {

namespace {

struct FamilyMap {
    const char16_t* name;
    const char* family;
};

constexpr FamilyMap kFamilies[] = {
    {u"新細明體", "AR PL UMing TW"},
    {u"細明體", "AR PL UMing TW"},
    {u"PMingLiU", "AR PL UMing TW"},
    {u"MingLiU", "AR PL UMing TW"},
    {u"Arial", "Liberation Sans"},
    {u"MS Sans Serif", "Liberation Sans"},
    {u"Microsoft Sans Serif", "Liberation Sans"},
    {u"Tahoma", "Liberation Sans"},
    {u"Times New Roman", "Liberation Serif"},
    {u"Courier New", "Liberation Mono"},
};

int CellHeightAt(const QFont& base, int pixelSize) {
    QFont f(base);
    f.setPixelSize(pixelSize);
    const QFontMetrics m(f);
    return m.ascent() + m.descent();
}

// The pixel (em) size whose cell height is the largest not above cellHeight (at least
// 1). Found from the family's cell-to-em ratio, then corrected by whole pixels, since
// rounding of ascent and descent differs from size to size.
int PixelSizeForCellHeight(const QFont& base, int cellHeight) {
    static QHash<QString, int> cache;
    const QString key = base.family() + QLatin1Char('/') + QString::number(base.weight()) + QLatin1Char('/') +
                        QString::number(base.italic()) + QLatin1Char('/') + QString::number(cellHeight);
    if (auto it = cache.constFind(key); it != cache.constEnd()) return *it;

    QFont probe(base);
    probe.setPixelSize(1000);
    const QFontMetricsF mf(probe);
    const double ratio = (mf.ascent() + mf.descent()) / 1000.0;
    int px = ratio > 0 ? std::max(1, int(std::lround(cellHeight / ratio))) : cellHeight;
    while (px > 1 && CellHeightAt(base, px) > cellHeight) --px;
    while (CellHeightAt(base, px + 1) <= cellHeight) ++px;
    cache.insert(key, px);
    return px;
}

}  // namespace

QString MapFontFamily(const QString& name) {
    const QString trimmed = name.trimmed();
    for (const FamilyMap& m : kFamilies)
        if (trimmed.compare(QString::fromUtf16(m.name), Qt::CaseInsensitive) == 0) return QString::fromLatin1(m.family);
    return trimmed.isEmpty() ? QStringLiteral("Liberation Sans") : trimmed;
}

void InstallFontSubstitutions() {
    static bool done = false;
    if (done) return;
    done = true;
    for (const FamilyMap& m : kFamilies)
        QFont::insertSubstitution(QString::fromUtf16(m.name), QString::fromLatin1(m.family));
}

QFont MakeFont(const QString& name, int height, skin::FontStyles style) {
    QFont f(MapFontFamily(name));
    f.setBold(style.testFlag(skin::FontStyle::fsBold));
    f.setItalic(style.testFlag(skin::FontStyle::fsItalic));
    f.setUnderline(style.testFlag(skin::FontStyle::fsUnderline));
    f.setStrikeOut(style.testFlag(skin::FontStyle::fsStrikeOut));
    f.setKerning(false);
    if (height == 0) height = 14;
    // Heights come from skin files; keep them to sizes a window can show.
    height = std::clamp(height, -1000, 1000);
    f.setPixelSize(height < 0 ? -height : PixelSizeForCellHeight(f, height));
    return f;
}

int TextHeight(const QFont& font) {
    const QFontMetrics m(font);
    return m.ascent() + m.descent();
}

int TextWidth(const QFont& font, const QString& text) {
    return QFontMetrics(userchars::FontFor(font, text)).horizontalAdvance(text);
}

QStringList TextLines(const QFont& font, const QString& text, int flags, int wrapWidth) {
    // Lines break as Qt's text drawing breaks them: at line feeds, and with word wrap
    // where the words no longer fit. The layout sees the text as drawn (a carriage
    // return is a blank; with mnemonics shown "&" marks the next character and takes no
    // room); each drawn character remembers where its piece of the text starts.
    const bool mnemonics = flags & Qt::TextShowMnemonic;
    QString s;
    QList<qsizetype> pieceStart;
    s.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype at = i;
        QChar c = text.at(i);
        if (mnemonics && c == QLatin1Char('&')) {
            if (++i == text.size()) break;
            c = text.at(i);
        }
        if (c == QLatin1Char('\n'))
            c = QChar::LineSeparator;
        else if (c == QLatin1Char('\r'))
            c = QLatin1Char(' ');
        s.append(c);
        pieceStart.append(at);
    }
    // Where each line starts in the drawn text.
    QList<qsizetype> starts{0};
    if (flags & Qt::TextWordWrap) {
        QTextLayout layout(s, userchars::FontFor(font, s));
        QTextOption option;
        option.setWrapMode(QTextOption::WordWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(std::max(1, wrapWidth));
            if (line.textStart() > 0) starts.append(line.textStart());
        }
        layout.endLayout();
    } else {
        for (qsizetype i = 0; i < s.size(); ++i)
            if (s.at(i) == QChar::LineSeparator) starts.append(i + 1);
    }
    QStringList lines;
    for (qsizetype n = 0; n < starts.size(); ++n) {
        const qsizetype from = starts[n] < s.size() ? pieceStart[starts[n]] : text.size();
        const qsizetype to = n + 1 < starts.size() && starts[n + 1] < s.size() ? pieceStart[starts[n + 1]] : text.size();
        QString line = text.mid(from, to - from);
        if (line.endsWith(QLatin1Char('\n'))) line.chop(1);
        lines.append(line);
    }
    return lines;
}

void TextOut(QPainter& painter, int x, int y, const QString& text) {
    const userchars::TextFont udc(painter, text);
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

void TextRectOut(QPainter& painter, const QRect& clip, int x, int y, const QString& text) {
    if (clip.isEmpty()) return;
    painter.save();
    painter.setClipRect(clip, Qt::IntersectClip);
    TextOut(painter, x, y, text);
    painter.restore();
}

QString ShortenWithEllipsis(const QFont& font, const QString& text, int width) {
    const QFontMetrics m(userchars::FontFor(font, text));
    if (m.horizontalAdvance(text) <= width) return text;
    static const QString dots = QStringLiteral("...");
    QString s = text;
    while (!s.isEmpty()) {
        // Never split a surrogate pair: drop whole characters.
        s.chop(s.size() >= 2 && s.back().isLowSurrogate() && s.at(s.size() - 2).isHighSurrogate() ? 2 : 1);
        if (m.horizontalAdvance(s + dots) <= width) break;
    }
    return s + dots;
}

void SetTextBoxFont(QLineEdit* edit, const QFont& font) {
    static const char* const kOwnFont = "marlithTextBoxFont";
    const bool followed = edit->property(kOwnFont).isValid();
    edit->setProperty(kOwnFont, font);
    edit->setFont(userchars::FontFor(font, edit->text()));
    if (followed) return;
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
        const QFont own = edit->property(kOwnFont).value<QFont>();
        const QFont drawn = userchars::FontFor(own, text);
        if (edit->font() != drawn) edit->setFont(drawn);
    });
}

}  // namespace platform
