// The small drawing helpers pixel by pixel: default glyphs and arrows (lines leave out
// their end points), the 3D border, glyph-strip frames with their transparent colour,
// middle-left text, and the window transparency hook.

#include <gtest/gtest.h>

#include "skin/Effects.h"
#include "skin/Glyphs.h"
#include "draw_test_util.h"

#include <QPainter>
#include <QWindow>

#include <string>
#include <vector>

namespace skin {
namespace {

using Rows = std::vector<std::string>;

constexpr QRgb kInk = 0xFF102030u;
constexpr QRgb kPaper = 0xFFE0E0E0u;

template <class Draw>
Rows Canvas(int w, int h, Draw draw) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(kPaper);
    {
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);  // must not matter
        draw(p);
    }
    return testing::Marks(img, kInk, kPaper);
}

struct GlyphCase {
    DefaultGlyph glyph;
    Rows expected;  // the glyph drawn at (0, 0) on 11 by 10
};

TEST(DrawGlyphs, DefaultGlyphs) {
    const std::string blank = "...........";
    const GlyphCase cases[] = {
        {DefaultGlyph::Close,
         {blank, ".##.....##.", "..##...##..", "...##.##...", "....###....", "....###....",
          "...##.##...", "..##...##..", ".##.....##.", blank}},
        {DefaultGlyph::Minimize,
         {blank, blank, blank, blank, blank, blank, blank, blank, ".########..", ".########.."}},
        {DefaultGlyph::Maximize,
         {"###########", "###########", "#.........#", "#.........#", "#.........#", "#.........#",
          "#.........#", "#.........#", "#.........#", "###########"}},
        {DefaultGlyph::Restore,
         {"..########.", "..########.", "..#......#.", "..#......#.", "#######..#.", "##########.",
          "#.....#....", "#.....#....", "#.....#....", "#######...."}},
        {DefaultGlyph::SystemMenu,
         {blank, blank, blank, ".########..", ".#......#..", ".########..", blank, blank, blank,
          blank}},
        {DefaultGlyph::RollUp,
         {blank, blank, blank, "....##.....", "...####....", "..######...", ".########..", blank,
          blank, blank}},
        {DefaultGlyph::RollDown,  // the same upward triangle
         {blank, blank, blank, "....##.....", "...####....", "..######...", ".########..", blank,
          blank, blank}},
        {DefaultGlyph::Bullet,
         {blank, blank, "..#####....", "..#####....", "..#####....", "..#####....", "..#####....",
          blank, blank, blank}},
        {DefaultGlyph::Check,
         {blank, "......#....", ".....##....", "#...###....", "##.###.....", "#####......",
          ".###.......", "..#........", blank, blank}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.glyph));
        EXPECT_EQ(Canvas(11, 10, [&](QPainter& p) { DrawDefaultGlyph(p, c.glyph, 0, 0, kInk); }),
                  c.expected);
    }
    // The position is the glyph's top-left corner.
    const Rows moved = Canvas(13, 13, [](QPainter& p) { DrawDefaultGlyph(p, DefaultGlyph::Bullet, 2, 3, kInk); });
    EXPECT_EQ(moved[5], "....#####....");
    EXPECT_EQ(moved[4], ".............");
}

TEST(DrawGlyphs, ArrowsInARectangle) {
    const std::string blank = "...........";
    const std::pair<int, Rows> cases[] = {
        {1, {blank, blank, "......#....", ".....##....", "....###....", "...####....", "....###....",
             ".....##....", "......#....", blank, blank}},
        {2, {blank, blank, "....#......", "....##.....", "....###....", "....####...", "....###....",
             "....##.....", "....#......", blank, blank}},
        {3, {blank, blank, blank, ".....#.....", "....###....", "...#####...", "..#######..", blank,
             blank, blank, blank}},
        {4, {blank, blank, blank, blank, "..#######..", "...#####...", "....###....", ".....#.....",
             blank, blank, blank}},
        {0, Rows(11, blank)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.first);
        EXPECT_EQ(Canvas(11, 11, [&](QPainter& p) { DrawArrowGlyph(p, QRect(0, 0, 11, 11), c.first, kInk); }),
                  c.second);
    }
}

TEST(DrawGlyphs, ThreeDBorder) {
    QImage img(7, 6, QImage::Format_RGB32);
    img.fill(kPaper);
    const QRgb topLeft = 0xFFFFFFFFu, bottomRight = 0xFF404040u;
    {
        QPainter p(&img);
        Draw3DBorder(p, QRect(1, 1, 5, 4), topLeft, bottomRight);
    }
    Rows rows;
    for (int y = 0; y < img.height(); ++y) {
        std::string row;
        for (int x = 0; x < img.width(); ++x)
            row += img.pixel(x, y) == topLeft ? 'T' : img.pixel(x, y) == bottomRight ? 'B' : '.';
        rows.push_back(row);
    }
    EXPECT_EQ(rows, (Rows{".......", ".TTTTB.", ".T...B.", ".T...B.", ".BBBBB.", "......."}));
}

TEST(DrawGlyphs, GlyphFrameCopiesOneFrameTransparently) {
    // A 64-pixel strip of 4 frames, 3 high; each column its own colour. In frame 2 the
    // bottom-left pixel's colour (white) also appears at (20, 0): both are left out.
    QImage strip(64, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 64; ++x) strip.setPixel(x, y, qRgb(x * 3, 100 + y, 7));
    strip.setPixel(16, 2, qRgb(255, 255, 255));
    strip.setPixel(20, 0, qRgb(255, 255, 255));

    QImage canvas(30, 8, QImage::Format_RGB32);
    canvas.fill(kPaper);
    {
        QPainter p(&canvas);
        DrawGlyphFrame(p, 5, 2, 2, 4, strip);
    }
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            const int sx = x - 5 + 16, sy = y - 2;
            const bool inside = x >= 5 && x < 21 && sy >= 0 && sy < 3;
            const bool keyed = inside && strip.pixel(sx, sy) == qRgb(255, 255, 255);
            const QRgb expected = inside && !keyed ? strip.pixel(sx, sy) : kPaper;
            ASSERT_EQ(canvas.pixel(x, y), expected) << x << "," << y;
        }
}

TEST(DrawGlyphs, GlyphFrameRefusesWhatItCannotCut) {
    QImage strip(8, 2, QImage::Format_RGB32);
    strip.fill(kInk);
    struct Case {
        const char* what;
        QImage strip;
        int frame, count;
    };
    const Case cases[] = {
        {"empty strip", QImage(), 1, 1},   {"frame 0", strip, 0, 2},
        {"frame past the count", strip, 3, 2}, {"no frames", strip, 1, 0},
        {"frames narrower than a pixel", strip, 1, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Rows out = Canvas(10, 3, [&](QPainter& p) { DrawGlyphFrame(p, 0, 0, c.frame, c.count, c.strip); });
        EXPECT_EQ(out, Rows(3, ".........."));
    }
}

TEST(DrawGlyphs, MonochromeGlyphFrameLeavesWhiteOut) {
    // Bottom-left is black, yet in a monochrome strip white is the transparent colour.
    QImage mono(4, 2, QImage::Format_Mono);
    mono.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mono.fill(1);
    mono.setPixel(1, 0, 0);
    QImage canvas(4, 2, QImage::Format_RGB32);
    canvas.fill(kPaper);
    {
        QPainter p(&canvas);
        DrawGlyphFrame(p, 0, 0, 1, 1, mono);
    }
    EXPECT_EQ(testing::Marks(canvas, qRgb(0, 0, 0), kPaper), (Rows{"#.##", "####"}));
}

TEST(DrawGlyphs, TextMiddleLeftIsClippedAndOffset) {
    ASSERT_TRUE(testing::EnsureGuiApplication());
    // The ink's bounding box on a canvas, drawn into rect with the given extra offset.
    auto ink = [](const QRect& rect, int extra) {
        QImage img(80, 40, QImage::Format_RGB32);
        img.fill(Qt::white);
        {
            QPainter p(&img);
            QFont f("Liberation Sans");
            f.setPixelSize(14);
            p.setFont(f);
            p.setPen(Qt::black);
            DrawTextMiddleLeft(p, "HWH", rect, extra);
        }
        QRect box;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x)
                if (img.pixel(x, y) != qRgb(255, 255, 255)) box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect rect(10, 5, 60, 24);
    const QRect plain = ink(rect, 0);
    ASSERT_FALSE(plain.isEmpty());
    EXPECT_TRUE(rect.contains(plain));
    EXPECT_GE(plain.left(), rect.left() + 2);
    EXPECT_LE(plain.left(), rect.left() + 4);
    // Vertically centred within a pixel or two (capital letters sit above the baseline).
    const int above = plain.top() - rect.top(), below = rect.bottom() - plain.bottom();
    EXPECT_LE(std::abs(above - below), 4) << above << " " << below;
    // The extra offset moves the text by exactly that much.
    EXPECT_EQ(ink(rect, 7), plain.translated(7, 0));
    // Clipped to the rectangle: a narrow rectangle cuts the text.
    const QRect narrow(10, 5, 12, 24);
    const QRect cut = ink(narrow, 0);
    EXPECT_TRUE(narrow.contains(cut));
    EXPECT_LT(cut.width(), plain.width());
}

TEST(DrawGlyphs, WindowAlphaIsWindowOpacity) {
    ASSERT_TRUE(testing::EnsureGuiApplication());
    EXPECT_TRUE(LayeredWindowsAvailable());
    QWindow window;
    for (auto [alpha, opacity] : {std::pair{255, 1.0}, {0, 0.0}, {51, 0.2}, {300, 1.0}, {-5, 0.0}}) {
        SetWindowAlpha(&window, alpha);
        EXPECT_NEAR(window.opacity(), opacity, 1e-6) << alpha;
    }
    SetWindowAlpha(nullptr, 10);  // ignored
}

}  // namespace
}  // namespace skin
