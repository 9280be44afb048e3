// Stretch kinds, size fitting and skin-rectangle mapping of the control bases.

#include <gtest/gtest.h>

#include "skinctrls/test_print.h"

#include "skinctrls/SkinGeometry.h"

namespace skinctrls {
namespace {

using skin::Rect;

SkinAnchors Anchors(Rect s, QPoint lt, QPoint rt, QPoint lb, QPoint rb, Rect c) {
    SkinAnchors a;
    a.skinRect = s;
    a.LT = lt;
    a.RT = rt;
    a.LB = lb;
    a.RB = rb;
    a.clientRect = c;
    return a;
}

TEST(StretchKind, FromTheAnchorPointsThatAreSet) {
    const Rect s{10, 10, 50, 28};
    struct Case {
        Rect skin;
        QPoint rt, lb, rb;
        StretchKind want;
        const char* what;
    } cases[] = {
        {Rect{5, 5, 5, 20}, {3, 0}, {0, 0}, {0, 0}, StretchKind::NoImage, "empty skin rectangle"},
        {s, {30, 2}, {2, 15}, {30, 15}, StretchKind::Both, "right-bottom point set in both coordinates"},
        {s, {30, 0}, {0, 0}, {30, 0}, StretchKind::Horizontal, "right-bottom with one coordinate is not Both"},
        {s, {0, 1}, {0, 0}, {0, 0}, StretchKind::Horizontal, "any coordinate of the right-top point"},
        {s, {0, 0}, {0, 9}, {0, 0}, StretchKind::Vertical, "only the left-bottom point"},
        {s, {0, 0}, {0, 0}, {0, 0}, StretchKind::Fixed, "no anchor point"},
    };
    for (const Case& c : cases) {
        const SkinAnchors a = Anchors(c.skin, {2, 2}, c.rt, c.lb, c.rb, Rect{});
        EXPECT_EQ(StretchKindOf(a), c.want) << c.what;
    }
}

TEST(FitSize, EachKindKeepsWhatItCannotStretch) {
    // A 40 x 18 image; the anchors are read only by the kinds that use them.
    const SkinAnchors a = Anchors(Rect{100, 50, 140, 68}, {3, 2}, {37, 2}, {3, 16}, {37, 16}, Rect{4, 2, 39, 17});
    struct Case {
        StretchKind kind;
        QSize asked, got;
        QPoint rt, lb, rb;
        Rect c;
    } cases[] = {
        {StretchKind::Fixed, {75, 25}, {40, 18}, {0, 0}, {0, 0}, {0, 0}, Rect{4, 2, 39, 17}},
        {StretchKind::Both, {100, 30}, {100, 30}, {97, 2}, {3, 28}, {97, 28}, Rect{4, 2, 99, 29}},
        {StretchKind::Horizontal, {100, 25}, {100, 18}, {97, 2}, {0, 0}, {0, 0}, Rect{4, 2, 99, 17}},
        {StretchKind::Vertical, {75, 50}, {40, 50}, {0, 0}, {3, 48}, {0, 0}, Rect{4, 2, 39, 49}},
        {StretchKind::NoImage, {75, 25}, {75, 25}, {0, 0}, {0, 0}, {0, 0}, Rect{}},
    };
    for (const Case& c : cases) {
        int w = c.asked.width(), h = c.asked.height();
        skin::AnchorGeometry n;
        FitSize(c.kind, a, w, h, n);
        const int k = int(c.kind);
        EXPECT_EQ(QSize(w, h), c.got) << "kind " << k;
        EXPECT_EQ(n.RT, c.rt) << "kind " << k;
        EXPECT_EQ(n.LB, c.lb) << "kind " << k;
        EXPECT_EQ(n.RB, c.rb) << "kind " << k;
        EXPECT_EQ(n.C, c.c) << "kind " << k;
    }
}

struct MapCase {
    Rect in, out;
    const char* what;
};

TEST(MapSkinRect, BothMovesCornerPiecesAndGrowsSpanningOnes) {
    // 40 x 40 skin, corner zones 10 pixels wide, shown at 100 x 80 (dx 60, dy 40).
    const SkinAnchors a = Anchors(Rect{0, 0, 40, 40}, {10, 10}, {30, 10}, {10, 30}, {30, 30}, Rect{10, 10, 30, 30});
    const MapCase cases[] = {
        {{2, 2, 8, 8}, {2, 2, 8, 8}, "inside the top-left zone"},
        {{32, 2, 38, 8}, {92, 2, 98, 8}, "inside the top-right zone"},
        {{2, 32, 8, 38}, {2, 72, 8, 78}, "inside the bottom-left zone"},
        {{32, 32, 38, 38}, {92, 72, 98, 78}, "inside the bottom-right zone"},
        {{2, 2, 38, 38}, {2, 2, 98, 78}, "top-left to bottom-right"},
        {{2, 2, 38, 8}, {2, 2, 98, 8}, "top-left to top-right"},
        {{2, 32, 38, 38}, {2, 72, 98, 78}, "bottom-left to bottom-right"},
        {{2, 2, 8, 38}, {2, 2, 8, 78}, "top-left to bottom-left"},
        {{32, 2, 38, 38}, {92, 2, 98, 78}, "top-right to bottom-right"},
        {{15, 15, 20, 20}, {15, 15, 20, 20}, "in the middle"},
        {{0, 0, 10, 10}, {0, 0, 10, 10}, "the whole top-left zone: its far corner is on the excluded edge"},
        {{30, 0, 40, 10}, {30, 0, 40, 10}, "the whole top-right zone stays: its far corner is on the excluded edge"},
    };
    for (const MapCase& c : cases) EXPECT_EQ(MapSkinRect(StretchKind::Both, a, c.in, 100, 80), c.out) << c.what;
}

TEST(MapSkinRect, CarriedGroupBoxCaptionWidensWithTheBox) {
    const SkinAnchors a = Anchors(Rect{0, 0, 39, 17}, {2, 15}, {37, 15}, {2, 16}, {37, 16}, Rect{2, 15, 37, 16});
    EXPECT_EQ(MapSkinRect(StretchKind::Both, a, Rect{1, 1, 38, 14}, 300, 128), (Rect{1, 1, 299, 14}));
}

TEST(MapSkinRect, OneDirectionAndFixedKinds) {
    const SkinAnchors h = Anchors(Rect{0, 0, 40, 18}, {3, 0}, {37, 0}, {}, {}, Rect{});
    const SkinAnchors v = Anchors(Rect{0, 0, 18, 40}, {0, 3}, {}, {0, 37}, {}, Rect{});
    const MapCase horizontal[] = {
        {{1, 1, 38, 14}, {1, 1, 98, 14}, "spans the repeat segment"},
        {{37, 1, 40, 17}, {97, 1, 100, 17}, "in the right fixed part"},
        {{5, 1, 20, 17}, {5, 1, 20, 17}, "in the middle"},
    };
    for (const MapCase& c : horizontal) EXPECT_EQ(MapSkinRect(StretchKind::Horizontal, h, c.in, 100, 18), c.out) << c.what;
    const MapCase vertical[] = {
        {{1, 1, 14, 38}, {1, 1, 14, 98}, "spans the repeat segment"},
        {{1, 37, 17, 40}, {1, 97, 17, 100}, "in the bottom fixed part"},
        {{1, 5, 17, 20}, {1, 5, 17, 20}, "in the middle"},
    };
    for (const MapCase& c : vertical) EXPECT_EQ(MapSkinRect(StretchKind::Vertical, v, c.in, 18, 100), c.out) << c.what;
    EXPECT_EQ(MapSkinRect(StretchKind::Fixed, h, Rect{37, 1, 40, 17}, 100, 18), (Rect{37, 1, 40, 17}));
}

TEST(MaskRegionAnchors, OneDirectionHoldsTheOtherFixed) {
    const SkinAnchors h = Anchors(Rect{0, 0, 40, 18}, {3, 0}, {37, 0}, {0, 0}, {0, 0}, Rect{3, 0, 37, 18});
    skin::AnchorGeometry present;
    present.C = Rect{3, 0, 97, 18};
    const MaskAnchors m = MaskRegionAnchors(StretchKind::Horizontal, h, present, 100, 18);
    EXPECT_EQ(m.g.LB, h.LT);
    EXPECT_EQ(m.g.RB, h.RT);
    EXPECT_EQ(m.n.LT, h.LT);
    EXPECT_EQ(m.n.LB, h.LT);
    EXPECT_EQ(m.n.RT, QPoint(97, 0));
    EXPECT_EQ(m.n.RB, QPoint(97, 0));
    EXPECT_EQ(m.n.C, present.C);

    const SkinAnchors v = Anchors(Rect{0, 0, 18, 40}, {0, 3}, {0, 0}, {0, 37}, {0, 0}, Rect{0, 3, 18, 37});
    const MaskAnchors mv = MaskRegionAnchors(StretchKind::Vertical, v, present, 18, 90);
    EXPECT_EQ(mv.g.RT, v.LT);
    EXPECT_EQ(mv.g.RB, v.LB);
    EXPECT_EQ(mv.n.RT, v.LT);
    EXPECT_EQ(mv.n.LB, QPoint(0, 87));
    EXPECT_EQ(mv.n.RB, QPoint(0, 87));
}

}  // namespace
}  // namespace skinctrls
