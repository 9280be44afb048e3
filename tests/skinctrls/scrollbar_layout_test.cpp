// The scroll bar's pure rules: clamping, part layout for both looks and both page-size
// modes, hit testing and the position a dragged thumb stands for.

#include <gtest/gtest.h>

#include "skinctrls/test_print.h"

#include "skinctrls/ScrollBarLayout.h"

namespace skinctrls {
namespace {

using skin::Rect;

ScrollValues Values(int min, int max, int pos, int page = 0) { return ScrollValues{min, max, pos, page}; }

TEST(ScrollClamp, ByRangeAndPage) {
    struct Case {
        ScrollValues v;
        int in, want;
    } cases[] = {
        {Values(0, 100, 0), -5, 0},   {Values(0, 100, 0), 150, 100}, {Values(0, 100, 0), 40, 40},
        {Values(0, 99, 0, 10), 95, 90}, {Values(0, 99, 0, 10), 90, 90}, {Values(10, 20, 0), 3, 10},
        {Values(5, 5, 0), 9, 5},
    };
    for (const Case& c : cases) EXPECT_EQ(ClampPosition(c.v, c.in), c.want) << c.in;
}

TEST(ScrollLayoutDefault, ButtonsTrackAndThumbForBothKinds) {
    const ScrollLayout h = LayoutDefault(true, {200, 20}, false, 0, Values(0, 100, 0));
    EXPECT_EQ(h.down, (Rect{1, 1, 17, 19}));
    EXPECT_EQ(h.up, (Rect{183, 1, 199, 19}));
    EXPECT_EQ(h.track, (Rect{17, 1, 183, 19}));
    EXPECT_EQ(h.thumb, (Rect{17, 1, 33, 19}));
    EXPECT_EQ(h.centreMin, 25);
    EXPECT_EQ(h.centreMax, 175);

    const ScrollLayout v = LayoutDefault(false, {20, 200}, false, 0, Values(0, 100, 100));
    EXPECT_EQ(v.down, (Rect{1, 1, 19, 17}));
    EXPECT_EQ(v.up, (Rect{1, 183, 19, 199}));
    EXPECT_EQ(v.track, (Rect{1, 17, 19, 183}));
    EXPECT_EQ(v.thumb, (Rect{1, 167, 19, 183}));

    // A corner shared with a vertical bar: buttons and track end before it.
    const ScrollLayout both = LayoutDefault(true, {200, 20}, true, 18, Values(0, 100, 0));
    EXPECT_EQ(both.up, (Rect{165, 1, 181, 19}));
    EXPECT_EQ(both.track, (Rect{17, 1, 165, 19}));
}

TEST(ScrollLayoutDefault, ThumbOffsetsWithAndWithoutPage) {
    struct Case {
        ScrollValues v;
        Rect thumb;
        const char* what;
    } cases[] = {
        {Values(0, 100, 50), {92, 1, 108, 19}, "fixed thumb in the middle"},
        {Values(5, 5, 5), {17, 1, 33, 19}, "Min = Max: thumb at the track start"},
        {Values(0, 99, 0, 10), {17, 1, 33, 19}, "page 10 of 100: 16.6 rounds to 17, half 8"},
        {Values(0, 99, 90, 10), {167, 1, 183, 19}, "last page position: thumb at the end"},
        {Values(0, 99, 25, 50), {59, 1, 141, 19}, "page of half: 83 long, 82 drawn, half way 42"},
        {Values(1, 0, 1, 1), {167, 1, 183, 19}, "no range: a horizontal thumb sits at the end"},
    };
    for (const Case& c : cases) EXPECT_EQ(LayoutDefault(true, {200, 20}, false, 0, c.v).thumb, c.thumb) << c.what;
    // The same empty range puts a vertical thumb at the start.
    EXPECT_EQ(LayoutDefault(false, {20, 200}, false, 0, Values(1, 0, 1, 1)).thumb, (Rect{1, 17, 19, 33}));
    // A track shorter than the thumb shows no thumb.
    EXPECT_TRUE(LayoutDefault(true, {40, 20}, false, 0, Values(0, 100, 50)).thumb.IsEmpty());
}

// The carried skin's entries.
ScrollSkinGeometry CarriedH(int skinWidth) {
    ScrollSkinGeometry g;
    g.skinRect = Rect{0, 0, skinWidth, 17};
    g.RT = QPoint(33, 0);
    g.trackArea = Rect{17, 0, 36, 17};
    g.upButton = Rect{36, 0, 53, 17};
    g.downButton = Rect{0, 0, 17, 17};
    g.thumbPicture = QSize(24, 15);
    return g;
}

TEST(ScrollLayoutSkinned, TrackAndFarButtonFollowTheSize) {
    const ScrollLayout h = LayoutSkinned(true, {200, 17}, CarriedH(53), Values(0, 100, 0));
    EXPECT_EQ(h.track, (Rect{17, 0, 183, 17}));
    EXPECT_EQ(h.up, (Rect{183, 0, 200, 17}));
    EXPECT_EQ(h.down, (Rect{0, 0, 17, 17}));
    EXPECT_EQ(h.thumb, (Rect{17, 1, 41, 16}));  // picture length, centred across: 17/2 - 15/2 = 1
    EXPECT_EQ(LayoutSkinned(true, {200, 17}, CarriedH(53), Values(0, 100, 100)).thumb, (Rect{159, 1, 183, 16}));

    // "bothhscrollbar": 17 more fixed pixels at the right hold the corner.
    const ScrollLayout both = LayoutSkinned(true, {200, 17}, CarriedH(70), Values(0, 100, 0));
    EXPECT_EQ(both.track, (Rect{17, 0, 166, 17}));
    EXPECT_EQ(both.up, (Rect{166, 0, 183, 17}));

    ScrollSkinGeometry v;
    v.skinRect = Rect{0, 0, 17, 53};
    v.LB = QPoint(0, 33);
    v.trackArea = Rect{0, 17, 17, 36};
    v.upButton = Rect{0, 36, 17, 53};
    v.downButton = Rect{0, 0, 17, 17};
    v.thumbPicture = QSize(15, 25);  // odd length: drawn one shorter
    const ScrollLayout vl = LayoutSkinned(false, {17, 200}, v, Values(0, 100, 0));
    EXPECT_EQ(vl.up, (Rect{0, 183, 17, 200}));
    EXPECT_EQ(vl.thumb, (Rect{1, 17, 16, 41}));
}

TEST(ScrollLayoutSkinned, PageSizeMakesTheThumbProportionalButNotShorterThanItsPicture) {
    EXPECT_EQ(LayoutSkinned(true, {200, 17}, CarriedH(53), Values(0, 99, 25, 50)).thumb, (Rect{59, 1, 141, 16}));
    EXPECT_EQ(LayoutSkinned(true, {200, 17}, CarriedH(53), Values(0, 999, 0, 10)).thumb.Width(), 24);
}

TEST(ScrollParts, HitTestOrderAndExcludedEdges) {
    const ScrollLayout l = LayoutDefault(true, {200, 20}, false, 0, Values(0, 100, 0));
    struct Case {
        QPoint p;
        ScrollPart want;
    } cases[] = {
        {{17, 5}, ScrollPart::Thumb}, {{32, 18}, ScrollPart::Thumb}, {{33, 5}, ScrollPart::None},
        {{16, 5}, ScrollPart::Down},  {{198, 5}, ScrollPart::Up},    {{199, 5}, ScrollPart::None},
        {{100, 5}, ScrollPart::None}, {{5, 0}, ScrollPart::None},
    };
    for (const Case& c : cases) EXPECT_EQ(PartAt(l, c.p), c.want) << c.p.x() << "," << c.p.y();
}

TEST(ScrollParts, PositionFromOffset) {
    const ScrollValues fixed = Values(0, 100, 0);
    const ScrollLayout l = LayoutDefault(true, {200, 20}, false, 0, fixed);  // centres 25..175
    struct Case {
        int a, want;
    } cases[] = {{75, 50}, {-10, 0}, {200, 100}, {1, 1}, {150, 100}};
    for (const Case& c : cases) EXPECT_EQ(PositionFromOffset(l, true, fixed, c.a), c.want) << c.a;

    const ScrollValues paged = Values(0, 99, 0, 10);
    const ScrollLayout lp = LayoutDefault(true, {200, 20}, false, 0, paged);
    EXPECT_EQ(PositionFromOffset(lp, true, paged, 75), 45);
    EXPECT_EQ(PositionFromOffset(lp, true, paged, 150), 90);
    // Halves go to the even neighbour: 2.5 -> 2, 3.5 -> 4.
    const ScrollValues small = Values(0, 5, 0);
    EXPECT_EQ(PositionFromOffset(l, true, small, 75), 2);
    EXPECT_EQ(PositionFromOffset(l, true, Values(0, 7, 0), 75), 4);
}

}  // namespace
}  // namespace skinctrls
