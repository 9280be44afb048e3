// The skinned button's pure rules: the look each state shows, the glyph frame that goes
// with it, and the glyph and caption layout table.

#include <gtest/gtest.h>

#include "skinctrls/test_print.h"

#include "skinctrls/ButtonLayout.h"

namespace skinctrls {
namespace {

TEST(ButtonLook, FirstMatchingLookInOrder) {
    auto st = [](auto f) {
        ButtonState s;
        f(s);
        return s;
    };
    struct Case {
        ButtonState s;
        ButtonLook want;
        const char* what;
    } cases[] = {
        {st([](ButtonState& s) { s.enabled = false; s.hasDisabledRect = true; s.down = true; s.hot = true; }),
         ButtonLook::Disabled, "a) disabled with a disabled image beats everything"},
        {st([](ButtonState& s) { s.enabled = false; s.hot = true; }), ButtonLook::Hot,
         "without a disabled image a disabled button falls through"},
        {st([](ButtonState& s) { s.down = true; s.hot = true; s.pressed = true; }), ButtonLook::Down,
         "b) held down with the mouse over it"},
        {st([](ButtonState& s) { s.down = true; s.pressed = true; s.focused = true; }), ButtonLook::Focused,
         "held down but the mouse went off: focused look"},
        {st([](ButtonState& s) { s.down = true; s.pressed = true; }), ButtonLook::Normal,
         "held down, mouse off, not focused: normal"},
        {st([](ButtonState& s) { s.down = true; s.focused = true; }), ButtonLook::Down,
         "b) Down by Space on the focused button (not pressed)"},
        {st([](ButtonState& s) { s.down = true; s.focused = true; s.canFocused = false; }), ButtonLook::Normal,
         "focus does not count without CanFocused"},
        {st([](ButtonState& s) { s.down = true; s.groupIndex = 3; }), ButtonLook::Down,
         "b) a down group button always shows down"},
        {st([](ButtonState& s) { s.focused = true; s.hot = true; }), ButtonLook::Focused, "c) focused before hot"},
        {st([](ButtonState& s) { s.hot = true; }), ButtonLook::Hot, "d) hot"},
        {st([](ButtonState& s) { s.morphing = true; s.morphFactor = 1; }), ButtonLook::FadingOut,
         "f) morphing at factor 1: the active image until the fade-out starts"},
        {st([](ButtonState& s) { s.morphing = true; s.morphFactor = 0.5; }), ButtonLook::Normal,
         "e) mid-fade falls to normal here (the paint cross-fades)"},
        {st([](ButtonState&) {}), ButtonLook::Normal, "e) nothing"},
    };
    for (const Case& c : cases) EXPECT_EQ(PickButtonLook(c.s), c.want) << c.what;

    EXPECT_EQ(DrawOfLook(ButtonLook::Down).image, ButtonImage::Down);
    EXPECT_TRUE(DrawOfLook(ButtonLook::Down).active && DrawOfLook(ButtonLook::Down).down);
    EXPECT_EQ(DrawOfLook(ButtonLook::FadingOut).image, ButtonImage::Active);
    EXPECT_FALSE(DrawOfLook(ButtonLook::Disabled).active);
}

TEST(ButtonLook, GlyphFrameByStateAndStrip) {
    struct Case {
        bool active, down, disabled;
        int n, want;
    } cases[] = {
        {true, true, false, 4, 3}, {true, true, false, 2, 1}, {true, false, false, 4, 4}, {true, false, false, 3, 1},
        {false, false, true, 2, 2}, {false, false, true, 1, 1}, {true, true, false, 3, 3}, {false, true, false, 4, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GlyphFrame(c.active, c.down, c.disabled, c.n), c.want)
            << c.active << c.down << c.disabled << " of " << c.n;
}

TEST(ButtonLayout, TableForAllLayoutsAndBothMarginModes) {
    // 75 x 28 button, 16 x 16 glyph frame, 30 x 14 caption, spacing 1: cx 37, cy 14.
    const skin::Rect r{0, 0, 75, 28};
    const QSize g(16, 16), t(30, 14);
    struct Case {
        TbsButtonLayout layout;
        int margin;
        QPoint glyph, text;
    } cases[] = {
        {blGlyphLeft, -1, {14, 6}, {30, 7}},   {blGlyphRight, -1, {44, 6}, {14, 7}},
        {blGlyphTop, -1, {29, -1}, {22, 15}},  {blGlyphBottom, -1, {29, 13}, {22, -1}},
        {blGlyphLeft, 4, {4, 6}, {21, 7}},     {blGlyphRight, 4, {55, 6}, {24, 7}},
        {blGlyphTop, 4, {29, 4}, {22, 21}},    {blGlyphBottom, 4, {29, 8}, {22, -7}},
    };
    for (const Case& c : cases) {
        const GlyphCaptionPlaces p = LayoutGlyphCaption(r, c.layout, c.margin, 1, g, t);
        EXPECT_EQ(p.glyph, c.glyph) << "layout " << c.layout << " margin " << c.margin;
        EXPECT_EQ(p.text, c.text) << "layout " << c.layout << " margin " << c.margin;
    }
    // The spacing counts without a glyph, and the rectangle's origin is honoured.
    EXPECT_EQ(LayoutGlyphCaption(r, blGlyphLeft, -1, 1, QSize(), t).text, QPoint(22, 7));
    EXPECT_EQ(LayoutGlyphCaption(skin::Rect{3, 3, 64, 25}, blGlyphLeft, -1, 1, QSize(), t).text, QPoint(18, 7));
}

}  // namespace
}  // namespace skinctrls
