// The background arithmetic of the result grid: the tint, the placement of the picture
// and which copies are prepared.

#include <gtest/gtest.h>

#include "lookup/GridPaintOptions.h"

using namespace lookup;

TEST(GridPaint, TintArithmetic) {
    struct Case {
        int c, k, out;
    } cases[] = {{0, 0, 0}, {255, 255, 254}, {255, 128, 191}, {236, 128, 172}, {100, 1, 0}, {10, 255, 9}};
    for (const Case& c : cases) EXPECT_EQ(TintChannel(c.c, c.k), c.out) << c.c << " " << c.k;

    QImage img(2, 1, QImage::Format_RGB32);
    img.setPixel(0, 0, qRgb(255, 255, 236));
    img.setPixel(1, 0, qRgb(0, 128, 255));
    TintImage(img, 8454143);  // red 255, green 255, blue 128
    EXPECT_EQ(img.pixel(0, 0), qRgb(254, 254, 172));
    EXPECT_EQ(img.pixel(1, 0), qRgb(0, 127, 191));
}

TEST(GridPaint, PicturePlacement) {
    EXPECT_EQ(CenteredOrigin({100, 50}, {16, 16}), QPoint(42, 17));
    EXPECT_EQ(CenteredOrigin({10, 10}, {16, 16}), QPoint(-3, -3));  // cut towards zero

    QImage pic(4, 4, QImage::Format_RGB32);
    pic.fill(qRgb(10, 20, 30));
    const QImage centred = DrawBackground(pic, bdsCenter, {10, 8});
    EXPECT_EQ(centred.pixel(3, 2), qRgb(10, 20, 30));
    EXPECT_EQ(centred.pixel(2, 2), qRgb(255, 255, 255));
    const QImage topLeft = DrawBackground(pic, bdsTopLeft, {10, 8});
    EXPECT_EQ(topLeft.pixel(3, 3), qRgb(10, 20, 30));
    EXPECT_EQ(topLeft.pixel(4, 0), qRgb(255, 255, 255));
    const QImage tiled = DrawBackground(pic, bdsTile, {10, 9});
    EXPECT_EQ(tiled.pixel(9, 8), qRgb(10, 20, 30));
    const QImage stretched = DrawBackground(pic, bdsStretch, {10, 9});
    EXPECT_EQ(stretched.pixel(9, 8), qRgb(10, 20, 30));
}

TEST(GridPaint, WhichCopiesArePrepared) {
    GridPictureSettings s;
    s.alternatingRowColor = 8454143;
    s.backgroundOptions = coFillDataCells | coBlendFixedColumn | coBlendActiveRecord | coBlendAlternatingRow;

    // No picture: no base, no copies.
    GridPictures none = PrepareGridPictures(s, {40, 30}, 18, false);
    EXPECT_FALSE(none.paint.isNull());
    EXPECT_TRUE(none.base.isNull() && none.alternating.isNull() && none.fixedColumn.isNull());

    s.background = QImage(16, 16, QImage::Format_RGB32);
    s.background.fill(qRgb(255, 255, 236));
    const GridPictures p = PrepareGridPictures(s, {40, 30}, 18, false);
    EXPECT_EQ(p.base.size(), QSize(40, 30));
    EXPECT_EQ(p.base.pixel(39, 29), qRgb(255, 255, 236));
    EXPECT_EQ(p.alternating.pixel(5, 5), qRgb(254, 254, 172));
    EXPECT_EQ(p.fixedColumn.pixel(5, 5), qRgb(233, 231, 208));  // tinted with the button face
    EXPECT_TRUE(p.activeRecord.isNull());  // no active record colour
    EXPECT_TRUE(p.titleRow.isNull());      // coBlendFixedRow not set

    // A low-colour screen keeps the copies it had.
    const GridPictures low = PrepareGridPictures(s, {50, 30}, 18, true, p);
    EXPECT_EQ(low.paint.size(), QSize(50, 30));
    EXPECT_EQ(low.alternating.size(), QSize(40, 30));
}
