// Colours from the fixed classic palette and fonts by the designs' names and heights.

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "support/QtTestApp.h"

namespace platform {
namespace {

TEST(Colors, ResolveToFixedValues) {
    struct Case {
        TColor in;
        TColor rgb;
    } cases[] = {
        {clBtnFace, 0xC8D0D4},      {clBtnShadow, 0x808080},  {clBtnHighlight, 0xFFFFFF}, {cl3DDkShadow, 0x404040},
        {cl3DLight, 0xC8D0D4},      {clHighlight, 0x6A240A},  {clHighlightText, 0xFFFFFF}, {clWindow, 0xFFFFFF},
        {clWindowText, 0},          {clGrayText, 0x808080},   {clCaptionText, 0xFFFFFF},  {clBtnText, 0},
        {clSilver, 0xC0C0C0},       {clNavy, 0x800000},       {0x12345678, 0x345678},    {SystemColor(200), 0},
        {clNone, clNone},
    };
    for (const Case& c : cases) EXPECT_EQ(ColorToRGB(c.in), c.rgb) << std::hex << c.in;
}

TEST(Colors, QColorKeepsChannelOrder) {
    EXPECT_EQ(ToQColor(0x0000FF), QColor(255, 0, 0));
    EXPECT_EQ(ToQColor(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ToQColor(0xB59385), QColor(0x85, 0x93, 0xB5));
    EXPECT_EQ(ToQColor(clNone).alpha(), 0);
    EXPECT_EQ(FromQColor(QColor(0x85, 0x93, 0xB5)), 0xB59385);
}

TEST(Fonts, DesignNamesMapToInstalledFamilies) {
    struct Case {
        QString name;
        QString family;
    } cases[] = {
        {QStringLiteral("新細明體"), "AR PL UMing TW"},
        {"Arial", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"arial", "Liberation Sans"},
        {"DejaVu Sans", "DejaVu Sans"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MapFontFamily(c.name), c.family) << c.name.toStdString();
        // The family really is what Qt resolves to, not a silent fallback.
        EXPECT_EQ(QFontInfo(MakeFont(c.name, 14)).family(), c.family) << c.name.toStdString();
    }
}

TEST(Fonts, PositiveHeightIsCellHeightNegativeIsEmHeight) {
    for (const QString& name : {QStringLiteral("Arial"), QStringLiteral("新細明體")}) {
        for (int h : {11, 12, 13, 14, 16, 20, 24}) {
            const QFont f = MakeFont(name, h);
            const int cell = TextHeight(f);
            EXPECT_LE(cell, h) << name.toStdString() << " " << h;
            EXPECT_GE(cell, h - 1) << name.toStdString() << " " << h;
            // The next pixel size would overshoot the cell height.
            QFont bigger(f);
            bigger.setPixelSize(f.pixelSize() + 1);
            EXPECT_GT(TextHeight(bigger), h) << name.toStdString() << " " << h;
        }
        EXPECT_EQ(MakeFont(name, -11).pixelSize(), 11);
        EXPECT_GE(TextHeight(MakeFont(name, -11)), 11);  // the cell holds the em
    }
    EXPECT_GT(TextHeight(MakeFont("Arial", -11)), 11);  // Latin fonts keep leading above the em
    const QFont bold = MakeFont("Arial", 14, skin::FontStyle::fsBold | skin::FontStyle::fsUnderline);
    EXPECT_TRUE(bold.bold());
    EXPECT_TRUE(bold.underline());
    EXPECT_FALSE(bold.italic());
}

TEST(Fonts, EllipsisKeepsLongestPrefixThatFits) {
    const QFont f = MakeFont("Arial", 14);
    const QString text = QStringLiteral("Material requirements");
    EXPECT_EQ(ShortenWithEllipsis(f, text, TextWidth(f, text)), text);
    for (int width : {20, 40, 60, 100}) {
        const QString s = ShortenWithEllipsis(f, text, width);
        ASSERT_TRUE(s.endsWith("...")) << width;
        const QString prefix = s.chopped(3);
        EXPECT_TRUE(text.startsWith(prefix));
        EXPECT_LE(TextWidth(f, s), width);
        // One more character would not fit.
        EXPECT_GT(TextWidth(f, text.left(prefix.size() + 1) + "..."), width) << width;
    }
    EXPECT_EQ(ShortenWithEllipsis(f, text, 2), "...");
    const QString chinese = QStringLiteral("物料需求計算");
    const QFont ming = MakeFont(QStringLiteral("新細明體"), 16);
    const QString s = ShortenWithEllipsis(ming, chinese, TextWidth(ming, chinese) - 1);
    EXPECT_TRUE(s.endsWith("..."));
    EXPECT_TRUE(chinese.startsWith(s.chopped(3)));
}

// Lines as drawn: split at line feeds, and where wrapped words no longer fit; each line
// keeps its piece of the text with its mnemonic marks, so it can be drawn on its own.
TEST(Fonts, TextLinesSplitAtBreaksAndWrappedWords) {
    const QFont f = MakeFont("Arial", 14);
    const int word = TextWidth(f, "Project");
    struct Case {
        QString text;
        int flags, width;
        QStringList lines;
    } cases[] = {
        {"", 0, 0, {""}},
        {"專案代號", 0, 0, {"專案代號"}},
        {"A\n專案\nB", 0, 0, {"A", "專案", "B"}},
        {"A\r\nB", 0, 0, {"A\r", "B"}},
        {"A\n", 0, 0, {"A", ""}},
        {"a&&b\n&x", Qt::TextShowMnemonic, 0, {"a&&b", "&x"}},
        {"Project Project", Qt::TextWordWrap, word + 4, {"Project ", "Project"}},
        {"&Project &Project", Qt::TextWordWrap | Qt::TextShowMnemonic, word + 4, {"&Project ", "&Project"}},
        {"Project Project", Qt::TextWordWrap, 4 * word, {"Project Project"}},
        {"專案\nProject Project", Qt::TextWordWrap, word + 4, {"專案", "Project ", "Project"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextLines(f, c.text, c.flags, c.width), c.lines) << c.text.toStdString() << " " << c.width;
}

TEST(Fonts, TextRectOutClipsAndPlacesByCellTop) {
    QImage img(60, 30, QImage::Format_RGB32);
    img.fill(Qt::white);
    {
        QPainter p(&img);
        p.setFont(MakeFont("Arial", 14, skin::FontStyle::fsBold));
        p.setPen(Qt::black);
        TextRectOut(p, QRect(0, 0, 12, 30), 2, 5, QStringLiteral("WWWW"));
    }
    int minX = 99, maxX = -1, minY = 99, maxY = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    EXPECT_GE(minX, 2);
    EXPECT_LT(maxX, 12);  // clipped
    EXPECT_GE(minY, 5);   // cell top at y = 5
    EXPECT_LT(maxY, 5 + 14);
}

}  // namespace
}  // namespace platform
