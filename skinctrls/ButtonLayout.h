#pragma once
// The pure rules of the skinned button: which look a state shows, which frame of the
// glyph strip goes with it, and where glyph and caption go inside the button.

#include <QPoint>
#include <QSize>

#include "skin/SkinValues.h"

namespace skinctrls {

enum TbsButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The state a button paints from.
struct ButtonState {
    bool enabled = true;
    bool down = false;        // Down property
    bool hot = false;         // shows its active look (mouse over it, or the default button's highlight)
    bool focused = false;
    bool canFocused = true;
    bool pressed = false;     // left button held down on it
    int groupIndex = 0;
    bool morphing = false;    // the entry cross-fades normal and active
    double morphFactor = 0;   // 0 normal, 1 active
    bool hasDisabledRect = false;
};

// The skinned looks, first match wins:
//   Disabled  disabled and the entry has a disabled image
//   Down      Down and (a group button, or hot, or focused while not pressed)
//   Focused   focused (and focusable)
//   Hot       hot
//   Normal    no morphing, or the fade is not complete
//   FadingOut the active image before its fade-out starts
enum class ButtonLook { Disabled, Down, Focused, Hot, Normal, FadingOut };
ButtonLook PickButtonLook(const ButtonState& s);

// The "down look" condition (the Down look above, and the pressed plain look).
bool ShowsDownLook(const ButtonState& s);

// Which image of the entry a look draws and how: the state rectangle to use and the
// active and down flags that choose font colour, glyph frame and caption offset.
enum class ButtonImage { Normal, Active, Down, Disabled };
struct LookDraw {
    ButtonImage image;
    bool active;
    bool down;
};
LookDraw DrawOfLook(ButtonLook look);

// Frame of a glyph strip of numGlyphs frames (1 up, 2 disabled, 3 down, 4 hot).
int GlyphFrame(bool active, bool down, bool disabled, int numGlyphs);

// Positions of glyph and caption (their top-left corners) inside r. margin -1 centres
// glyph and text together; otherwise the glyph stands margin pixels from its edge.
// glyph is the size of one frame (0 x 0 without glyph); the spacing counts even without
// a glyph.
struct GlyphCaptionPlaces {
    QPoint glyph;
    QPoint text;
};
GlyphCaptionPlaces LayoutGlyphCaption(const skin::Rect& r, TbsButtonLayout layout, int margin, int spacing,
                                      QSize glyph, QSize text);

}  // namespace skinctrls
