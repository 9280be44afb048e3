// The popup menu's geometry and rules as plain functions: sizes, item places, scrolling,
// placement in the work area, arrow-key moves and accelerators.

#include <gtest/gtest.h>

#include "frame/PopupLayout.h"

namespace frame {
namespace {

using namespace skin;

// The carried skin's popup window and menu item: a 67 x 59 window picture with a 2-pixel
// border, items 20 high (87 wide, text 5..84), dividers 5 high.
PopupSkinGeometry SkinnedGeometry() {
    PopupSkinGeometry s;
    s.window = true;
    s.picture = QSize(67, 59);
    s.anchors = {{2, 2}, {65, 2}, {2, 57}, {65, 57}, Rect{2, 2, 65, 57}};
    s.item = true;
    s.skinrect = {0, 0, 87, 20};
    s.textrect = {5, 0, 84, 20};
    s.dividerrect = {0, 42, 87, 47};
    return s;
}

// Minimize, Maximize, a separator, Close: the system menu of a normal window.
const std::vector<bool> kSeparators = {false, false, true, false};
const std::vector<int> kTextWidths = {60, 64, 0, 90};

std::vector<int> HeightsOf(const PopupSkinGeometry& s, int itemHeight) {
    std::vector<int> h;
    for (bool separator : kSeparators) h.push_back(PopupItemHeight(s, separator, itemHeight));
    return h;
}

TEST(PopupLayout, LevelSizeFromTextAndSkin) {
    const PopupSkinGeometry plain;
    const PopupSkinGeometry skinned = SkinnedGeometry();
    struct Case {
        const char* what;
        PopupSkinGeometry geo;
        int itemHeight, workArea;
        std::vector<int> heights;
        QSize size;
        bool scrolling;
    } cases[] = {
        // widest text 90 + glyph column 19 + 19, and 10 more; three items of 20, a separator of 4, 4 more
        {"plain", plain, 20, 600, {20, 20, 4, 20}, {138, 68}, false},
        {"plain, taller items", plain, 24, 600, {24, 24, 4, 24}, {138, 80}, false},
        // 67 + 128 + 5 + 87 - 84 + 2 - 65; 59 + 65 + 2 - 57
        {"skinned", skinned, 20, 600, {20, 20, 5, 20}, {140, 69}, false},
        {"taller than the work area", plain, 20, 50, {20, 20, 4, 20}, {138, 50}, true},
    };
    for (const Case& c : cases) {
        const std::vector<int> heights = HeightsOf(c.geo, c.itemHeight);
        EXPECT_EQ(heights, c.heights) << c.what;
        const PopupLevelSize s = PopupLevelSizeFor(c.geo, kTextWidths, heights, kPlainGlyphColumn, c.workArea);
        EXPECT_EQ(s.size, c.size) << c.what;
        EXPECT_EQ(s.scrolling, c.scrolling) << c.what;
    }
}

TEST(PopupLayout, ItemsRectAndScrollMarkers) {
    const QSize size(140, 90);
    EXPECT_EQ(PopupItemsRect({}, size), (Rect{2, 2, 138, 88}));
    const Rect skinned = PopupItemsRect(SkinnedGeometry(), size);
    EXPECT_EQ(skinned, (Rect{2, 2, 138, 88}));  // the border keeps its width as the window grows
    EXPECT_EQ(PopupTopMarker(false, skinned, size), (Rect{3, 3, 137, 13}));
    EXPECT_EQ(PopupBottomMarker(false, skinned, size), (Rect{3, 80, 137, 87}));
    const Rect items{5, 6, 120, 80};
    EXPECT_EQ(PopupTopMarker(true, items, size), (Rect{5, 6, 120, 16}));
    EXPECT_EQ(PopupBottomMarker(true, items, size), (Rect{5, 70, 120, 80}));
}

TEST(PopupLayout, ItemsStackAndScrollingShowsWhatFits) {
    const Rect items{2, 2, 138, 66};
    const std::vector<int> heights{20, 20, 4, 20};
    // Not scrolling: one below the other from the top, all in view.
    PopupLayout l = LayOutPopupItems(heights, items, false, 0);
    EXPECT_EQ(l.rects[0], (Rect{2, 2, 138, 22}));
    EXPECT_EQ(l.rects[2], (Rect{2, 42, 138, 46}));
    EXPECT_EQ(l.rects[3], (Rect{2, 46, 138, 66}));
    EXPECT_EQ(l.visibleCount, 4);
    EXPECT_EQ(PopupItemAt(l, {50, 45}), 2);
    EXPECT_EQ(PopupItemAt(l, {50, 66}), -1);
    // Scrolling: below the top marker, up to the bottom marker (56); item 2 ends at 56.
    l = LayOutPopupItems(heights, items, true, 0);
    EXPECT_EQ(l.rects[0], (Rect{2, 12, 138, 32}));
    EXPECT_EQ(l.inView, (std::vector<bool>{true, true, true, false}));
    EXPECT_FALSE(l.LastInView());
    // From the second item on: the first is out of view and the last comes in.
    l = LayOutPopupItems(heights, items, true, 1);
    EXPECT_EQ(l.inView, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(l.rects[1], (Rect{2, 12, 138, 32}));
    EXPECT_EQ(PopupItemAt(l, {50, 5}), -1);  // the top marker holds no item
    EXPECT_EQ(LastStartPosition(heights, items), 1);
}

TEST(PopupLayout, PlacementInTheWorkArea) {
    const Rect screen{0, 0, 800, 600};
    const QSize size(100, 68);
    auto at = [](int x, int y) { return Rect{x, y, x, y}; };
    struct Case {
        const char* what;
        Rect anchor, area;
        bool sub, upward, scrolling;
        QPoint pos;
        bool flipped;
    } cases[] = {
        {"below the point", at(300, 200), screen, false, false, false, {300, 200}, false},
        {"near the bottom, lower half: above the point", at(300, 580), screen, false, false, false, {300, 512}, false},
        {"upper half of a small area: pushed to its bottom", at(300, 40), {0, 0, 800, 100}, false, false, false,
         {301, 32}, true},
        {"lower half of a small area, no room above", at(300, 60), {0, 0, 800, 100}, false, false, false, {301, 0},
         true},
        {"past the right edge", at(750, 100), screen, false, false, false, {700, 100}, false},
        {"left of the area", at(-5, 100), screen, false, false, false, {0, 100}, false},
        {"upward", at(300, 200), screen, false, true, false, {300, 132}, false},
        {"upward without room above: below", at(300, 30), screen, false, true, false, {300, 30}, false},
        {"upward, neither: to the bottom", at(300, 40), {0, 0, 800, 100}, false, true, false, {301, 32}, true},
        {"sub-level beside the parent item", {400, 100, 500, 120}, screen, true, false, false, {501, 98}, false},
        {"sub-level on the left near the right edge", {750, 100, 790, 120}, screen, true, false, false,
         {649, 98}, false},
        {"sub-level near the bottom", {400, 570, 500, 590}, screen, true, false, false, {501, 524}, false},
        {"sub-level in a small area's upper half", {400, 40, 500, 60}, {0, 0, 800, 100}, true, false, false,
         {501, 32}, false},
        {"scrolling: at the top, beside the point", at(300, 200), screen, false, false, true, {301, 0}, false},
    };
    for (const Case& c : cases) {
        const PopupPlacement p = PlacePopupLevel(c.anchor, c.area, size, 2, c.sub, c.upward, c.scrolling);
        EXPECT_EQ(p.pos, c.pos) << c.what;
        EXPECT_EQ(p.flipped, c.flipped) << c.what;
    }
}

TEST(PopupLayout, ArrowKeysSkipSeparatorsAndDisabledItemsAndWrap) {
    // 0 item, 1 item, 2 separator, 3 item, 4 disabled, 5 item
    const std::vector<bool> sel{true, true, false, true, false, true};
    struct Case {
        int hot, down, up;
    } cases[] = {
        {-1, 0, 5}, {0, 1, 5}, {1, 3, 0}, {3, 5, 1}, {5, 0, 3},
        {2, 3, 1},  // a separator the mouse left as the hot index
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NextItemDown(sel, c.hot), c.down) << c.hot;
        EXPECT_EQ(NextItemUp(sel, c.hot), c.up) << c.hot;
    }
    EXPECT_EQ(NextItemDown({false, false}, -1), -1);
    // Down searches only to the last item; it wraps when the hot item is the last one.
    EXPECT_EQ(NextItemDown({true, true, false}, 1), 1);
    EXPECT_EQ(NextItemUp({false, true, true}, 1), 1);
}

TEST(PopupLayout, KeyboardScrollKeepsTheHotItemInView) {
    // Ten items of 20 in a view of 80 (items 12..92): four in view.
    const std::vector<int> heights(10, 20);
    const Rect items{2, 2, 98, 102};
    EXPECT_EQ(LastStartPosition(heights, items), 6);
    struct Case {
        const char* what;
        int first, index;
        bool down;
        int expect;
    } cases[] = {
        {"in view: no scroll", 0, 3, true, 0},
        {"past the bottom edge: one item", 0, 4, true, 1},
        {"two past (a separator skipped)", 0, 5, true, 2},
        {"wrapped to the top", 6, 0, true, 0},
        {"above the top edge: one item", 3, 2, false, 2},
        {"wrapped to the end", 0, 9, false, 6},
    };
    for (const Case& c : cases) EXPECT_EQ(KeyboardScrollFirst(heights, items, c.first, c.index, c.down), c.expect) << c.what;
}

TEST(PopupLayout, Accelerators) {
    EXPECT_EQ(AcceleratorOf("Mi&nimize"), QChar('n'));
    EXPECT_EQ(AcceleratorOf("&&Save"), QChar());
    EXPECT_EQ(AcceleratorOf("A&&B&c"), QChar('c'));
    EXPECT_EQ(AcceleratorOf("End&"), QChar());
    EXPECT_EQ(CaptionText("Ro&llUp"), "RollUp");
    EXPECT_EQ(CaptionText("A&&B"), "A&B");
    const std::vector<QString> captions{"Mi&nimize", "Ma&ximize", "-", "&Close", "&Copy"};
    EXPECT_EQ(MatchAccelerator(captions, 'c'), 3);  // the first of two
    EXPECT_EQ(MatchAccelerator(captions, 'X'), 1);
    EXPECT_EQ(MatchAccelerator(captions, 'q'), -1);
    EXPECT_EQ(MatchAccelerator(captions, QChar()), -1);
}

}  // namespace
}  // namespace frame
