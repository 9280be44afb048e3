// The controls picture's scroll bars and the other controls of a value along a track:
// up-down buttons, gauges, track bars and the slider.

#include "DesignParts.h"

namespace skinauthor {

// Scroll bars of thickness t: images (2t+19) long, "both" (3t+19) with the corner in
// its right fixed part; left and right fixed parts t+3, a 13-pixel repeat between.
void Controls::scrollBars(int t, const std::string& prefix) {
    const int len = 2 * t + 19, thick = t - 2, thumbLen = t == 17 ? 24 : 18;
    const int arrow = t >= 15 ? 4 : 3;
    auto track = [&](const Rect& r, bool horizontalBar) {
        Fill(img(), r, kTrack);
        if (horizontalBar) HLine(img(), r.l, r.r, r.t, kTrackEdge);
        else VLine(img(), r.l, r.t, r.b, kTrackEdge);
    };
    auto button = [&](const Rect& r, const Look& k, Arrow dir, bool pressed) {
        LightButton(img(), r, k, kTrack);
        ArrowGlyph(img(), pressed ? r.moved(1, 1) : r, dir, arrow, kInkSoft);
    };

    const Rect h = at.place(len, t), hb = at.place(len + t, t);
    for (const Rect& r : {h, hb}) {
        track(r, true);
        button({r.l, r.t, r.l + t, r.b}, kLightNormal, Arrow::Left, false);
        button({r.l + t + 19, r.t, r.l + len, r.b}, kLightNormal, Arrow::Right, false);
    }
    Fill(img(), {hb.l + len, hb.t, hb.r, hb.b}, kPanel);  // the corner under the vertical bar
    const Rect v = at.place(t, len);
    track(v, false);
    button({v.l, v.t, v.r, v.t + t}, kLightNormal, Arrow::Up, false);
    button({v.l, v.t + t + 19, v.r, v.b}, kLightNormal, Arrow::Down, false);

    // Hot and pressed arrow buttons, four directions.
    Rect hot[4], down[4];
    const Arrow dirs[4] = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};
    for (int k = 0; k < 4; ++k) {
        hot[k] = at.place(t, t);
        button(hot[k], kLightHot, dirs[k], false);
        down[k] = at.place(t, t);
        button(down[k], kLightDown, dirs[k], true);
    }

    // Thumbs (normal, hot, pressed) and their grip glyphs, cut from the thumb's middle
    // so a glyph sits on exactly the colours of the thumb under it.
    const Look* looks[3] = {&kThumbNormal, &kThumbHot, &kThumbDown};
    Rect th[3], tv[3], gh[3], gv[3];
    for (int k = 0; k < 3; ++k) {
        th[k] = at.place(thumbLen, thick);
        Fill(img(), th[k], kTrack);
        RoundRect(img(), th[k], 2, looks[k]->border);
        RoundRectSolid(img(), th[k].inset(1), 1, VShade(th[k].inset(1), looks[k]->top, looks[k]->bottom, 8));
        tv[k] = at.place(thick, thumbLen);
        Fill(img(), tv[k], kTrack);
        RoundRect(img(), tv[k], 2, looks[k]->border);
        RoundRectSolid(img(), tv[k].inset(1), 1, HShade(tv[k].inset(1), looks[k]->top, looks[k]->bottom, 8));
    }
    const int glyphAcross = thick - 8;  // glyph height on a horizontal thumb
    const QRgb gripLight[3] = {Rgb(0xD3DEEA), Rgb(0xDCE7F4), Rgb(0xB3C4D9)};
    const QRgb gripDark[3] = {Rgb(0x5F7696), Rgb(0x4A73A6), Rgb(0x4B6688)};
    for (int k = 0; k < 3; ++k) {
        gh[k] = at.place(8, glyphAcross);
        Copy(img(), gh[k].l, gh[k].t, img(),
             {th[k].l + thumbLen / 2 - 4, th[k].t + thick / 2 - glyphAcross / 2, th[k].l + thumbLen / 2 + 4,
              th[k].t + thick / 2 - glyphAcross / 2 + glyphAcross});
        GripDots(img(), gh[k], gripLight[k], gripDark[k], false);
        gv[k] = at.place(glyphAcross, 8);
        Copy(img(), gv[k].l, gv[k].t, img(),
             {tv[k].l + thick / 2 - glyphAcross / 2, tv[k].t + thumbLen / 2 - 4,
              tv[k].l + thick / 2 - glyphAcross / 2 + glyphAcross, tv[k].t + thumbLen / 2 + 4});
        GripDots(img(), gv[k], gripLight[k], gripDark[k], true);
    }

    auto bar = [&](const std::string& name, const Rect& skin, bool horizontalBar) {
        Section& s = entry(name.c_str(), "scrollbar", skin);
        if (horizontalBar) {
            horizontal(s, t + 3, t + 16);
            s.r("clientrect", {t, 0, t + 19, t});
            s.r("trackarea", {t, 0, t + 19, t});
            s.r("downbuttonrect", {0, 0, t, t}).r("activedownbuttonrect", hot[0]).r("downdownbuttonrect", down[0]);
            s.r("upbuttonrect", {t + 19, 0, len, t}).r("activeupbuttonrect", hot[1]).r("downupbuttonrect", down[1]);
            s.r("thumbrect", th[0]).r("activethumbrect", th[1]).r("downthumbrect", th[2]);
            s.r("glyphrect", gh[0]).r("activeglyphrect", gh[1]).r("downglyphrect", gh[2]);
        } else {
            vertical(s, t + 3, t + 16);
            s.r("clientrect", {0, t, t, t + 19});
            s.r("trackarea", {0, t, t, t + 19});
            s.r("downbuttonrect", {0, 0, t, t}).r("activedownbuttonrect", hot[2]).r("downdownbuttonrect", down[2]);
            s.r("upbuttonrect", {0, t + 19, t, len}).r("activeupbuttonrect", hot[3]).r("downupbuttonrect", down[3]);
            s.r("thumbrect", tv[0]).r("activethumbrect", tv[1]).r("downthumbrect", tv[2]);
            s.r("glyphrect", gv[0]).r("activeglyphrect", gv[1]).r("downglyphrect", gv[2]);
        }
        s.i("thumboffset1", 3).i("thumboffset2", 3);
    };
    bar(prefix + "hscrollbar", h, true);
    bar(prefix + "vscrollbar", v, false);
    bar(prefix + "bothhscrollbar", hb, true);
}

void Controls::upDowns() {
    Rect hot[4], down[4];
    const Arrow dirs[4] = {Arrow::Left, Arrow::Right, Arrow::Up, Arrow::Down};
    for (int k = 0; k < 4; ++k) {
        hot[k] = at.place(16, 16);
        LightButton(img(), hot[k], kLightHot, kPanel);
        ArrowGlyph(img(), hot[k], dirs[k], 3, kInkSoft);
        down[k] = at.place(16, 16);
        LightButton(img(), down[k], kLightDown, kPanel);
        ArrowGlyph(img(), down[k].moved(1, 1), dirs[k], 3, kInkSoft);
    }
    const Rect h = at.place(32, 16), v = at.place(16, 32);
    LightButton(img(), {h.l, h.t, h.l + 16, h.b}, kLightNormal, kPanel);
    ArrowGlyph(img(), {h.l, h.t, h.l + 16, h.b}, Arrow::Left, 3, kInkSoft);
    LightButton(img(), {h.l + 16, h.t, h.r, h.b}, kLightNormal, kPanel);
    ArrowGlyph(img(), {h.l + 16, h.t, h.r, h.b}, Arrow::Right, 3, kInkSoft);
    LightButton(img(), {v.l, v.t, v.r, v.t + 16}, kLightNormal, kPanel);
    ArrowGlyph(img(), {v.l, v.t, v.r, v.t + 16}, Arrow::Up, 3, kInkSoft);
    LightButton(img(), {v.l, v.t + 16, v.r, v.b}, kLightNormal, kPanel);
    ArrowGlyph(img(), {v.l, v.t + 16, v.r, v.b}, Arrow::Down, 3, kInkSoft);
    Section& hs = entry("hupdown", "updown", h);
    hs.r("downbuttonrect", {0, 0, 16, 16}).r("activedownbuttonrect", hot[0]).r("downdownbuttonrect", down[0]);
    hs.r("upbuttonrect", {16, 0, 32, 16}).r("activeupbuttonrect", hot[1]).r("downupbuttonrect", down[1]);
    Section& vs = entry("vupdown", "updown", v);
    vs.r("upbuttonrect", {0, 0, 16, 16}).r("activeupbuttonrect", hot[2]).r("downupbuttonrect", down[2]);
    vs.r("downbuttonrect", {0, 16, 16, 32}).r("activedownbuttonrect", hot[3]).r("downdownbuttonrect", down[3]);
}

void Controls::gaugesAndTracks() {
    // Vertical gauge (the horizontal one lives in the 24-bit caption picture).
    const Rect vg = at.place(18, 60), bar = at.place(14, 40);
    FieldBox(img(), vg, kFieldBorder, kFieldShade);
    Fill(img(), vg.inset(1, 2, 1, 1), Rgb(0xF1F4F7));
    HGradient(img(), bar, Rgb(0x8DB3DE), Rgb(0x3A6AA5), 7);
    VLine(img(), bar.l, bar.t, bar.b, Rgb(0xC4D8EF));
    Section& g = entry("vgauge", "gauge", vg);
    vertical(g, 3, 57);
    g.r("clientrect", {2, 2, 16, 58}).r("progressarea", {2, 2, 16, 58}).r("progressrect", bar);
    g.i("beginoffset", 0).i("endoffset", 0).b("vertical", true).font(MakeFont(kInk));

    // Track bars: a sunken groove and a light thumb.
    const Rect ht = at.place(60, 22), vt = at.place(22, 60);
    Fill(img(), ht, kPanel);
    Fill(img(), vt, kPanel);
    const Rect hg{ht.l + 5, ht.t + 9, ht.r - 5, ht.t + 13}, vgv{vt.l + 9, vt.t + 5, vt.l + 13, vt.b - 5};
    for (const Rect& gr : {hg, vgv}) {
        Fill(img(), gr, Rgb(0xD3DAE3));
        Bevel(img(), gr, kFieldBorder, kPanelHi);
    }
    Rect thumbs[4];
    const Look hotThumb{kAccent, Rgb(0xF2F7FC), Rgb(0xCFE0F2)};
    const Look normalThumb{Rgb(0x61789A), Rgb(0xF7F9FB), Rgb(0xD5DDE7)};
    for (int k = 0; k < 4; ++k) {
        const bool vert = k >= 2;
        thumbs[k] = at.place(vert ? 19 : 11, vert ? 11 : 19);
        Fill(img(), thumbs[k], kPanel);
        const Look& lk = k % 2 ? hotThumb : normalThumb;
        RoundRect(img(), thumbs[k], 2, lk.border);
        RoundRectSolid(img(), thumbs[k].inset(1), 1,
                       vert ? VShade(thumbs[k], lk.top, lk.bottom, 5) : HShade(thumbs[k], lk.top, lk.bottom, 5));
    }
    Section& h = entry("htrackbar", "trackbar", ht);
    horizontal(h, 8, 52);
    h.r("clientrect", {0, 0, 60, 22}).r("trackarea", {5, 0, 55, 22});
    h.r("buttonrect", thumbs[0]).r("activebuttonrect", thumbs[1]).b("vertical", false);
    Section& v = entry("vtrackbar", "trackbar", vt);
    vertical(v, 8, 52);
    v.r("clientrect", {0, 0, 22, 60}).r("trackarea", {0, 5, 22, 55});
    v.r("buttonrect", thumbs[2]).r("activebuttonrect", thumbs[3]).b("vertical", true);

    // Slider: rulers and thumbs only; the control draws the rest on its colour.
    const Rect hr = at.place(40, 5), vr = at.place(5, 40), hth = at.place(11, 14), vth = at.place(14, 11);
    for (const Rect& rr : {hr, vr}) {
        Fill(img(), rr, Rgb(0xD3DAE3));
        Bevel(img(), rr, kFieldBorder, kPanelHi);
    }
    for (const Rect& rr : {hth, vth}) {
        Fill(img(), rr, kPanel);
        RoundRect(img(), rr, 2, normalThumb.border);
        RoundRectSolid(img(), rr.inset(1), 1, VShade(rr, normalThumb.top, normalThumb.bottom, 5));
    }
    Section& sl = def.control("slider", "slider");
    sl.i("pictureindex", kControls).r("skinrect", {}).c("bgcolor", kPanel);
    sl.r("hrulerrect", hr).r("hthumbrect", hth).r("vrulerrect", vr).r("vthumbrect", vth);
    sl.i("edgesize", 2).c("pointscolor", Rgb(0x7D8CA1));
}

}  // namespace skinauthor
