#include "skinctrls/ButtonLayout.h"

namespace skinctrls {

bool ShowsDownLook(const ButtonState& s) {
    if (!s.down) return false;
    if (s.groupIndex != 0) return true;
    return s.hot || (s.focused && s.canFocused && !s.pressed);
}

ButtonLook PickButtonLook(const ButtonState& s) {
    if (!s.enabled && s.hasDisabledRect) return ButtonLook::Disabled;
    if (ShowsDownLook(s)) return ButtonLook::Down;
    if (s.focused && s.canFocused) return ButtonLook::Focused;
    if (s.hot) return ButtonLook::Hot;
    if (!s.morphing || s.morphFactor != 1) return ButtonLook::Normal;
    return ButtonLook::FadingOut;
}

LookDraw DrawOfLook(ButtonLook look) {
    switch (look) {
    case ButtonLook::Disabled: return {ButtonImage::Disabled, false, false};
    case ButtonLook::Down: return {ButtonImage::Down, true, true};
    case ButtonLook::Focused:
    case ButtonLook::Hot:
    case ButtonLook::FadingOut: return {ButtonImage::Active, true, false};
    case ButtonLook::Normal: return {ButtonImage::Normal, false, false};
    }
    return {ButtonImage::Normal, false, false};
}

int GlyphFrame(bool active, bool down, bool disabled, int numGlyphs) {
    if (active && down && numGlyphs > 2) return 3;
    if (active && numGlyphs > 3) return 4;
    if (disabled && numGlyphs >= 2) return 2;
    return 1;
}

GlyphCaptionPlaces LayoutGlyphCaption(const skin::Rect& r, TbsButtonLayout layout, int m, int s, QSize glyph,
                                      QSize text) {
    const int gw = glyph.width(), gh = glyph.height();
    const int tw = text.width(), th = text.height();
    const int cx = r.left + r.Width() / 2;
    const int cy = r.top + r.Height() / 2;
    GlyphCaptionPlaces out;
    QPoint& g = out.glyph;
    QPoint& t = out.text;
    if (m == -1) {
        switch (layout) {
        case blGlyphLeft:
            g = {cx - (gw + tw + s) / 2, cy - gh / 2};
            t = {cx + (gw + tw + s) / 2 - tw, cy - th / 2};
            break;
        case blGlyphRight:
            t = {cx - (gw + tw + s) / 2, cy - th / 2};
            g = {cx + (gw + tw + s) / 2 - gw, cy - gh / 2};
            break;
        case blGlyphTop:
            g = {cx - gw / 2, cy - (th + gh + s) / 2};
            t = {cx - tw / 2, cy + (th + gh + s) / 2 - th};
            break;
        case blGlyphBottom:
            g = {cx - gw / 2, cy + (th + gh + s) / 2 - gh};
            t = {cx - tw / 2, cy - (th + gh + s) / 2};
            break;
        }
    } else {
        switch (layout) {
        case blGlyphLeft:
            g = {r.left + m, cy - gh / 2};
            t = {r.left + m + gw + s, cy - th / 2};
            break;
        case blGlyphRight:
            g = {r.right - gw - m, cy - gh / 2};
            t = {g.x() - s - tw, cy - th / 2};
            break;
        case blGlyphTop:
            g = {cx - gw / 2, r.top + m};
            t = {cx - tw / 2, g.y() + gh + s};
            break;
        case blGlyphBottom:
            g = {cx - gw / 2, r.bottom - gh - m};
            t = {cx - tw / 2, g.y() - s - th};
            break;
        }
    }
    return out;
}

}  // namespace skinctrls
