#include "frame/FrameObjects.h"

#include <QApplication>
#include <QIcon>
#include <QPainter>
#include <QStyle>

#include <cmath>

#include "frame/SkinFrame.h"
#include "platform/Colors.h"
#include "platform/Fonts.h"
#include "skin/DeviceImage.h"
#include "skin/Effects.h"
#include "skin/Glyphs.h"

namespace frame {

using skin::Rect;

namespace {

// A piece of a picture; null when the picture or the rectangle is missing. Rectangles
// reaching outside the picture are cut to it.
QImage Cut(const QImage& picture, const Rect& r) {
    if (picture.isNull() || r.IsEmpty()) return {};
    const QRect inside = r.ToQRect() & picture.rect();
    if (inside.isEmpty()) return {};
    return picture.copy(inside);
}

QColor Color(skin::TColor c) { return platform::ToQColor(c); }

}  // namespace

// ===== TbsActiveSkinObject =================================================================

TbsActiveSkinObject::TbsActiveSkinObject(TbsSkinFrame* frame, const skin::TbsDataSkinObject* entry)
    : HasEntry(entry != nullptr), frame_(frame) {
    if (!entry) return;
    IDName = entry->IDName;
    SkinRect = entry->skinrect;
    ActiveSkinRect = entry->activeskinrect;
    SkinRectInAPicture = entry->skinrectinapicture;
    Morphing = entry->morphing;
    MorphKind = entry->morphkind;
    const QImage active = frame->ActivePictureAt(entry->activepictureindex);
    if (SkinRectInAPicture && !active.isNull()) {
        Picture = active;
        NormalFromActivePicture = true;
    } else {
        Picture = frame->FramePicture();
    }
    ActivePicture = active;
    // Without an active picture there is no active look.
    if (ActivePicture.isNull()) ActiveSkinRect = Rect{};
    if (ActiveSkinRect.IsEmpty()) Morphing = false;
}

bool TbsActiveSkinObject::IsMorphing() const {
    return Morphing && ((Active && MorphKf < 1) || (!Active && MorphKf > 0));
}

QImage TbsActiveSkinObject::NormalImage() const { return Cut(Picture, SkinRect); }
QImage TbsActiveSkinObject::ActiveImage() const { return Cut(ActivePicture, ActiveSkinRect); }

void TbsActiveSkinObject::DrawNormalActiveMorph(QPainter& surface, bool force) {
    const QPoint at = TopLeft(ObjectRect);
    if (IsMorphing()) {
        skin::TbsEffectBmp shown(NormalImage());
        skin::ApplyMorph(shown, skin::TbsEffectBmp(ActiveImage()), MorphKind, MorphKf);
        shown.draw(surface, at.x(), at.y());
    } else if (Active && !ActiveSkinRect.IsEmpty()) {
        surface.drawImage(at, ActiveImage());
    } else if (force || NormalFromActivePicture) {
        // An image of the form picture is already part of the painted frame.
        const QImage normal = NormalImage();
        if (!normal.isNull()) surface.drawImage(at, normal);
    }
}

void TbsActiveSkinObject::DrawObject(QPainter& surface, bool force) { DrawNormalActiveMorph(surface, force); }

void TbsActiveSkinObject::Redraw() { frame_->RedrawObject(this); }

void TbsActiveSkinObject::SetActive(bool active) {
    if (Active == active) return;
    Active = active;
    if (ActiveSkinRect.IsEmpty()) return;
    if (Morphing)
        frame_->StartMorphTimer();
    else
        Redraw();
}

bool TbsActiveSkinObject::MorphStep() {
    if (!IsMorphing()) return false;
    // Whole tenths, so ten steps reach the end exactly.
    const double next = std::round((MorphKf + (Active ? 0.1 : -0.1)) * 10) / 10;
    MorphKf = std::clamp(next, 0.0, 1.0);
    Redraw();
    return IsMorphing();
}

void TbsActiveSkinObject::ObjectMouseDown(int x, int y, Qt::MouseButton button) {
    if (frame_->OnMouseDownEvent) frame_->OnMouseDownEvent(IDName, x, y, ObjectRect, button);
}

void TbsActiveSkinObject::ObjectMouseUp(int x, int y, Qt::MouseButton button) {
    if (MouseIn && frame_->OnMouseUpEvent) frame_->OnMouseUpEvent(IDName, x, y, ObjectRect, button);
}

void TbsActiveSkinObject::ObjectMouseMove(int x, int y) {
    if (frame_->OnMouseMoveEvent) frame_->OnMouseMoveEvent(IDName, x, y, ObjectRect);
}

void TbsActiveSkinObject::ObjectMouseEnter() {
    MouseIn = true;
    SetActive(true);
    if (frame_->OnMouseEnterEvent) frame_->OnMouseEnterEvent(IDName);
}

void TbsActiveSkinObject::ObjectMouseLeave() {
    MouseIn = false;
    SetActive(false);
    if (frame_->OnMouseLeaveEvent) frame_->OnMouseLeaveEvent(IDName);
}

// ===== TbsUserObject =======================================================================

void TbsUserObject::DrawObject(QPainter& surface, bool) {
    if (frame_->OnPaintEvent) frame_->OnPaintEvent(IDName, surface, ObjectRect);
}

// ===== TbsSkinButtonObject =================================================================

TbsSkinButtonObject::TbsSkinButtonObject(TbsSkinFrame* frame, const skin::TbsDataSkinButton* entry)
    : TbsActiveSkinObject(frame, entry) {
    if (!entry) return;
    DownRect = entry->downrect;
    DisableSkinRect = entry->disableskinrsect;
}

bool TbsSkinButtonObject::DrawDisabledOrDown(QPainter& surface) {
    // The looks of a button lie in its active picture (the form picture when it has none).
    const QImage& looks = ActivePicture.isNull() ? Picture : ActivePicture;
    Rect source;
    if (!Enabled && !DisableSkinRect.IsEmpty())
        source = DisableSkinRect;
    else if (Down && MouseIn && !DownRect.IsEmpty())
        source = DownRect;
    else
        return false;
    const QImage img = Cut(looks, source);
    if (!img.isNull()) surface.drawImage(TopLeft(ObjectRect), img);
    return true;
}

void TbsSkinButtonObject::DrawObject(QPainter& surface, bool force) {
    if (!DrawDisabledOrDown(surface)) DrawNormalActiveMorph(surface, force);
}

void TbsSkinButtonObject::SetDown(bool down) {
    if (Down == down) return;
    Down = down;
    Redraw();
}

void TbsSkinButtonObject::ObjectMouseDown(int x, int y, Qt::MouseButton button) {
    if (Enabled && button == Qt::LeftButton) SetDown(true);
    TbsActiveSkinObject::ObjectMouseDown(x, y, button);
}

// A pressed button looks down only while the mouse is over it, and a default button
// shows the mouse over it: both change their look on entering and leaving.
void TbsSkinButtonObject::ObjectMouseEnter() {
    TbsActiveSkinObject::ObjectMouseEnter();
    if (Down || !HasEntry) Redraw();
}

void TbsSkinButtonObject::ObjectMouseLeave() {
    TbsActiveSkinObject::ObjectMouseLeave();
    if (Down || !HasEntry) Redraw();
}

void TbsSkinButtonObject::ObjectMouseUp(int x, int y, Qt::MouseButton button) {
    if (button == Qt::LeftButton) SetDown(false);
    TbsActiveSkinObject::ObjectMouseUp(x, y, button);
}

// ===== TbsSkinStdButtonObject ==============================================================

TbsSkinStdButtonObject::TbsSkinStdButtonObject(TbsSkinFrame* frame, const skin::TbsDataSkinStdButton* entry)
    : TbsSkinButtonObject(frame, entry) {
    if (!entry) return;
    Command = entry->command;
    RestoreRect = entry->restorerect;
    RestoreActiveRect = entry->restoreactiverect;
    RestoreDownRect = entry->restoredownrect;
    RestoreInactiveRect = entry->restoreinactiverect;
}

TbsSkinStdButtonObject::TbsSkinStdButtonObject(TbsSkinFrame* frame, const QString& name, skin::StdCommand command)
    : TbsSkinButtonObject(frame, nullptr) {
    IDName = name;
    Command = command;
}

bool TbsSkinStdButtonObject::InAlternateState() const {
    switch (Command) {
    case skin::cmMaximize: return frame_->FrameState() == wsMaximized;
    case skin::cmMinimize: return frame_->FrameState() == wsMinimized;
    case skin::cmRollUp: return frame_->RolledUp();
    default: return false;
    }
}

void TbsSkinStdButtonObject::DrawObject(QPainter& surface, bool force) {
    if (!HasEntry) {
        DrawDefaultButton(surface);
        return;
    }
    if (Command == skin::cmSysMenu && frame_->ShowIcon()) {
        DrawIcon(surface);
        return;
    }
    if (!Enabled && !DisableSkinRect.IsEmpty()) {
        DrawDisabledOrDown(surface);
        return;
    }
    if (InAlternateState() && !RestoreRect.IsEmpty()) {
        DrawRestoreLook(surface);
        return;
    }
    TbsSkinButtonObject::DrawObject(surface, force);
}

void TbsSkinStdButtonObject::DrawRestoreLook(QPainter& surface) {
    // restorerect pairs with skinrect (same picture); the other restore looks pair with
    // the active looks and lie in the active picture.
    const QImage& looks = ActivePicture.isNull() ? Picture : ActivePicture;
    const QPoint at = TopLeft(ObjectRect);
    QImage img;
    if (!frame_->FormActive() && !RestoreInactiveRect.IsEmpty())
        img = Cut(looks, RestoreInactiveRect);
    else if (Down && MouseIn && !RestoreDownRect.IsEmpty())
        img = Cut(looks, RestoreDownRect);
    else if (Morphing && IsMorphing() && !RestoreActiveRect.IsEmpty()) {
        skin::TbsEffectBmp shown(Cut(Picture, RestoreRect));
        skin::ApplyMorph(shown, skin::TbsEffectBmp(Cut(looks, RestoreActiveRect)), MorphKind, MorphKf);
        shown.draw(surface, at.x(), at.y());
        return;
    } else if (Active && !RestoreActiveRect.IsEmpty())
        img = Cut(looks, RestoreActiveRect);
    else
        img = Cut(Picture, RestoreRect);
    if (!img.isNull()) surface.drawImage(at, img);
}

void TbsSkinStdButtonObject::DrawIcon(QPainter& surface) {
    const int size = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    const QIcon icon = frame_->Form()->windowIcon();
    if (!icon.isNull()) icon.paint(&surface, QRect(TopLeft(ObjectRect), QSize(size, size)));
}

void TbsSkinStdButtonObject::DrawDefaultButton(QPainter& surface) {
    if (Command == skin::cmSysMenu && frame_->ShowIcon()) {
        DrawIcon(surface);
        return;
    }
    const int w = ObjectRect.Width(), h = ObjectRect.Height();
    if (w < 1 || h < 1) return;
    QImage img(w, h, QImage::Format_RGB32);
    const bool hot = MouseIn && Enabled;
    const bool pressed = Down && hot;
    {
        QPainter p(&img);
        if (hot) {
            img.fill(Color(pressed ? 0xB59385 : 0xD2BDB6));
            skin::Draw3DBorder(p, img.rect(), Color(0x800000), Color(0x800000));
        } else {
            img.fill(Color(platform::clBtnFace));
        }
        skin::DefaultGlyph glyph = skin::DefaultGlyph::Close;
        switch (Command) {
        case skin::cmClose: glyph = skin::DefaultGlyph::Close; break;
        case skin::cmMaximize:
            glyph = InAlternateState() ? skin::DefaultGlyph::Restore : skin::DefaultGlyph::Maximize;
            break;
        case skin::cmMinimize:
            glyph = InAlternateState() ? skin::DefaultGlyph::Restore : skin::DefaultGlyph::Minimize;
            break;
        case skin::cmSysMenu: glyph = skin::DefaultGlyph::SystemMenu; break;
        case skin::cmRollUp:
            glyph = InAlternateState() ? skin::DefaultGlyph::RollDown : skin::DefaultGlyph::RollUp;
            break;
        case skin::cmDefault: glyph = skin::DefaultGlyph::SystemMenu; break;
        }
        const int shift = pressed ? 1 : 0;
        skin::DrawDefaultGlyph(p, glyph, w / 2 - 5 + shift, h / 2 - 4 + shift,
                               Color(Enabled ? platform::clBtnText : platform::clBtnShadow));
    }
    surface.drawImage(TopLeft(ObjectRect), img);
}

void TbsSkinStdButtonObject::ObjectDblClick() {
    if (Command == skin::cmSysMenu) frame_->CloseForm();
}

void TbsSkinStdButtonObject::ObjectMouseDown(int, int, Qt::MouseButton button) {
    // Std buttons raise no mouse-down event.
    if (!Enabled || button != Qt::LeftButton) return;
    if (Command == skin::cmSysMenu) {
        frame_->ShowSystemMenu(frame_->Form()->mapToGlobal(QPoint(ObjectRect.left, ObjectRect.bottom)));
        return;
    }
    SetDown(true);
}

void TbsSkinStdButtonObject::Press() {
    if (!Enabled) return;
    if (Command == skin::cmSysMenu)
        frame_->ShowSystemMenu(frame_->Form()->mapToGlobal(QPoint(ObjectRect.left, ObjectRect.bottom)));
    else if (Command == skin::cmClose)
        frame_->CloseForm();
    else
        Act();
}

void TbsSkinStdButtonObject::Act() {
    TbsSkinFrame* f = frame_;
    switch (Command) {
    case skin::cmMaximize: f->SetFrameState(f->FrameState() == wsMaximized ? wsNormal : wsMaximized); break;
    case skin::cmMinimize: f->SetFrameState(f->FrameState() == wsMinimized ? wsNormal : wsMinimized); break;
    case skin::cmRollUp: f->SetRolledUp(!f->RolledUp()); break;
    default: break;
    }
}

void TbsSkinStdButtonObject::ObjectMouseUp(int x, int y, Qt::MouseButton button) {
    if (button != Qt::LeftButton) {
        TbsActiveSkinObject::ObjectMouseUp(x, y, button);
        return;
    }
    const bool acts = Down && MouseIn && Enabled;
    if (acts && Command == skin::cmClose) {
        // Released first, so the button does not stay down on a form that refuses to close.
        SetDown(false);
        TbsActiveSkinObject::ObjectMouseUp(x, y, button);
        frame_->CloseForm();
        return;
    }
    if (acts) Act();
    SetDown(false);
    TbsActiveSkinObject::ObjectMouseUp(x, y, button);
}

// ===== TbsSkinCaptionObject ================================================================

TbsSkinCaptionObject::TbsSkinCaptionObject(TbsSkinFrame* frame, const skin::TbsDataSkinCaption* entry)
    : TbsActiveSkinObject(frame, entry) {
    if (!entry) return;
    TextRect = entry->textrect;
    FontName = entry->fontname;
    FontHeight = entry->fontheight;
    Style = entry->fontstyle;
    FontColor = entry->fontcolor;
    ActiveFontColor = entry->activefontcolor;
    TextAlignment = entry->alignment;
    Shadow = entry->shadow;
    ShadowColor = entry->shadowcolor;
    ActiveShadowColor = entry->activeshadowcolor;
    FrameRect = entry->framerect;
    ActiveFrameRect = entry->activeframerect;
    FrameTextRect = entry->frametextrect;
    FrameLeftOffset = entry->frameleftoffset;
    FrameRightOffset = entry->framerightoffset;
}

TbsSkinCaptionObject::TextLayout TbsSkinCaptionObject::LayoutText(bool active) const {
    TextLayout l;
    const int growth = ObjectRect.Width() - SkinRect.Width();
    Rect tr{TextRect.left, TextRect.top, TextRect.right + growth, TextRect.bottom};
    if (!FrameRect.IsEmpty()) {
        tr.left += FrameTextRect.left;
        tr.top += FrameTextRect.top;
        tr.right += FrameTextRect.right - FrameRect.Width();
    }
    tr = OffsetRect(tr, ObjectRect.left, ObjectRect.top);
    const QFont font = platform::MakeFont(FontName, FontHeight, Style);
    const QString title = frame_->Form()->windowTitle();
    l.text = platform::TextWidth(font, title) > tr.Width() ? platform::ShortenWithEllipsis(font, title, tr.Width()) : title;
    const int tw = platform::TextWidth(font, l.text), th = platform::TextHeight(font);
    const int y = tr.top + tr.Height() / 2 - th / 2;
    int x = tr.left;
    if (TextAlignment == skin::taRightJustify)
        x = tr.right - tw;
    else if (TextAlignment == skin::taCenter)
        x = tr.left + tr.Width() / 2 - tw / 2;
    l.textRect = tr;
    l.pos = QPoint(x, y);
    if (!FrameRect.IsEmpty()) {
        const Rect& source = active && !ActiveFrameRect.IsEmpty() ? ActiveFrameRect : FrameRect;
        l.plate = RectAt(QPoint(x - FrameTextRect.left, y - FrameTextRect.top),
                         QSize(FrameRect.Width() + tw - FrameTextRect.Width(), source.Height()));
    }
    return l;
}

void TbsSkinCaptionObject::DrawText(QPainter& surface, bool active) const {
    const TextLayout l = LayoutText(active);
    if (!l.plate.IsEmpty() && !ActivePicture.isNull()) {
        const Rect& source = active && !ActiveFrameRect.IsEmpty() ? ActiveFrameRect : FrameRect;
        const QImage plate =
            skin::ComposeHorizontalImage(ActivePicture, source, FrameLeftOffset, FrameRightOffset, l.plate.Width());
        const skin::SmoothOnFinerDevice smooth(surface);
        if (!plate.isNull()) surface.drawImage(TopLeft(l.plate), plate);
    }
    surface.save();
    surface.setFont(platform::MakeFont(FontName, FontHeight, Style));
    if (Shadow) {
        surface.setPen(Color(active ? ActiveShadowColor : ShadowColor));
        platform::TextOut(surface, l.pos.x() + 1, l.pos.y() + 1, l.text);
    }
    surface.setPen(Color(active ? ActiveFontColor : FontColor));
    platform::TextOut(surface, l.pos.x(), l.pos.y(), l.text);
    surface.restore();
}

QImage TbsSkinCaptionObject::ComposeCaptionImage(const QImage& picture, const Rect& source) const {
    const int W = ObjectRect.Width();
    if (picture.isNull() || source.IsEmpty() || W < 1) return {};
    // The ends of the caption that lie in the frame's fixed corners stay; the rest tiles.
    int leftW = 0, rightW = 0;
    if (const skin::TbsDataSkinFormInfo* fi = frame_->FormInfo()) {
        leftW = std::clamp(fi->lefttoppoint.x() - SkinRect.left, 0, source.Width());
        rightW = std::clamp(SkinRect.right - fi->righttoppoint.x(), 0, source.Width() - leftW);
    }
    if (leftW == 0 && rightW == 0) {
        QImage out(W, source.Height(), QImage::Format_RGB32);
        skin::CopyRect(out, Rect{0, 0, W, source.Height()}, picture, source);  // stretched
        return out;
    }
    QImage out = skin::ComposeHorizontalImage(picture, source, leftW, rightW, W);
    return out.format() == QImage::Format_RGB32 ? out : out.convertToFormat(QImage::Format_RGB32);
}

void TbsSkinCaptionObject::DrawObject(QPainter& surface, bool force) {
    const bool active = Active;
    if (ActiveSkinRect.IsEmpty() || (!active && !IsMorphing())) {
        // A caption image of its own (not part of the frame) is laid under the text.
        if (force || NormalFromActivePicture) {
            const QImage normal = ComposeCaptionImage(Picture, SkinRect);
            if (!normal.isNull()) surface.drawImage(TopLeft(ObjectRect), normal);
        }
        DrawText(surface, active);
        return;
    }
    // The caption image at the object's size with the title drawn into it, at the pixel
    // ratio of what it is drawn on, so the title is as sharp as the device allows.
    const qreal ratio = surface.device() ? surface.device()->devicePixelRatio() : 1.0;
    auto withText = [&](const QImage& picture, const Rect& source, bool activeLook) {
        QImage img = skin::AtRatio(ComposeCaptionImage(picture, source), ratio);
        if (img.isNull()) return img;
        QPainter p(&img);
        p.translate(-TopLeft(ObjectRect));
        DrawText(p, activeLook);
        return img;
    };
    const QImage activeImg = withText(ActivePicture, ActiveSkinRect, true);
    if (activeImg.isNull()) return;
    if (!IsMorphing()) {
        surface.drawImage(TopLeft(ObjectRect), activeImg);
        return;
    }
    QImage normalImg = withText(Picture, SkinRect, false);
    skin::TbsEffectBmp shown(normalImg);
    const skin::TbsDataSkinFormInfo* fi = frame_->FormInfo();
    if (!frame_->FormActive() && fi && fi->autorenderinginactiveimage)
        skin::ApplyInactiveEffect(shown, fi->inactiveeffect);
    skin::ApplyMorph(shown, skin::TbsEffectBmp(activeImg), MorphKind, MorphKf);
    if (ratio > 1)
        surface.drawImage(TopLeft(ObjectRect), skin::WithRatio(shown.toImage(), ratio));
    else
        shown.draw(surface, ObjectRect.left, ObjectRect.top);
}

}  // namespace frame
