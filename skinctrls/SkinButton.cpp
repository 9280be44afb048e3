#include "skinctrls/SkinButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include "platform/Form.h"
#include "platform/Timers.h"
#include "skin/DeviceImage.h"
#include "skin/Effects.h"
#include "skin/Glyphs.h"
#include "skinctrls/Paint.h"
#include "userchars/UserChars.h"

namespace skinctrls {

using skin::Rect;

TbsSkinButton::TbsSkinButton(QWidget* parent) : TbsSkinCustomControl(parent) {
    binding_.SetName(QStringLiteral("button"));
    resize(75, 25);
    UpdateFocusPolicy();
    repeatTimer_.setParent(this);
    morphTimer_.setParent(this);
    connect(&repeatTimer_, &QTimer::timeout, this, [this] { ButtonClick(); });
    connect(&morphTimer_, &QTimer::timeout, this, [this] { MorphTick(); });
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance())) {
        connect(app, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now && now->window() == window()) FocusChanged(now);
        });
    }
    EnsureDialogKeyFilter();
}

TbsSkinButton::~TbsSkinButton() = default;

// --- properties ----------------------------------------------------------------------

void TbsSkinButton::SetCaption(const QString& c) {
    if (caption_ == c) return;
    caption_ = c;
    update();
}

void TbsSkinButton::UpdateFocusPolicy() {
    setFocusPolicy(!canFocused_ ? Qt::NoFocus : tabStop_ ? Qt::StrongFocus : Qt::ClickFocus);
}

void TbsSkinButton::SetCanFocused(bool v) {
    canFocused_ = v;
    UpdateFocusPolicy();
}

void TbsSkinButton::SetTabStop(bool v) {
    tabStop_ = v;
    UpdateFocusPolicy();
}

void TbsSkinButton::SetGroupIndex(int v) {
    groupIndex_ = v;
    if (v != 0) SetCanFocused(false);
}

void TbsSkinButton::SetGlyph(const QImage& g) {
    glyph_ = g;
    update();
}

void TbsSkinButton::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 4);
    update();
}

void TbsSkinButton::SetMargin(int v) {
    if (v < -1) return;
    margin_ = v;
    update();
}

void TbsSkinButton::SetSpacing(int v) {
    if (spacing_ == v) return;
    spacing_ = v;
    update();
}

void TbsSkinButton::SetLayout(TbsButtonLayout l) {
    if (layout_ == l) return;
    layout_ = l;
    update();
}

void TbsSkinButton::SetDefault(bool v) {
    default_ = v;
    if (canFocused_) NotifyFormFocus();
}

void TbsSkinButton::SetDown(bool v) {
    down_ = v;
    if (buttonSkin_.morphing && binding_.HasEntry()) {
        morphFactor_ = 1;
        if (v)
            morphTimer_.stop();
        else if (!morphTimer_.isActive())
            morphTimer_.start(platform::kButtonMorphInterval);
    }
    update();
    if (groupIndex_ != 0 && v && !allowAllUp_ && parentWidget()) {
        for (QObject* o : parentWidget()->children()) {
            auto* b = qobject_cast<TbsSkinButton*>(o);
            if (b && b != this && b->groupIndex_ == groupIndex_ && b->down_) b->SetDown(false);
        }
    }
}

void TbsSkinButton::SetHot(bool v) {
    hot_ = v;
    morphFactor_ = v ? 1 : 0;
    update();
}

// --- state -----------------------------------------------------------------------------

bool TbsSkinButton::IsFocused() const { return hasFocus(); }

ButtonState TbsSkinButton::State() const {
    ButtonState s;
    s.enabled = isEnabled();
    s.down = down_;
    s.hot = hot_;
    s.focused = IsFocused();
    s.canFocused = canFocused_;
    s.pressed = pressed_;
    s.groupIndex = groupIndex_;
    s.morphing = buttonSkin_.morphing && binding_.HasEntry();
    s.morphFactor = morphFactor_;
    s.hasDisabledRect = !buttonSkin_.disabledRect.IsEmpty();
    return s;
}

ButtonLook TbsSkinButton::CurrentLook() const { return PickButtonLook(State()); }

bool TbsSkinButton::AcceptsEntry(const skin::TbsDataSkinControl& entry) const {
    return dynamic_cast<const skin::TbsDataSkinButtonControl*>(&entry) != nullptr;
}

void TbsSkinButton::LoadSkinEntry() {
    TbsSkinCustomControl::LoadSkinEntry();
    buttonSkin_ = ButtonSkin{};
    const auto* e = dynamic_cast<const skin::TbsDataSkinButtonControl*>(binding_.Entry());
    if (!e) return;
    buttonSkin_.font = EntryFont(*e);
    buttonSkin_.activefontcolor = e->activefontcolor;
    buttonSkin_.downfontcolor = e->downfontcolor;
    buttonSkin_.disabledfontcolor = e->disabledfontcolor;
    buttonSkin_.activeRect = e->activeskinrect.IsEmpty() ? e->skinrect : e->activeskinrect;
    buttonSkin_.downRect = e->downskinrect.IsEmpty() ? buttonSkin_.activeRect : e->downskinrect;
    buttonSkin_.disabledRect = e->disabledskinrect;
    buttonSkin_.morphing = e->morphing;
    buttonSkin_.morphkind = e->morphkind;
}

void TbsSkinButton::ApplySkin() {
    morphTimer_.stop();
    morphFactor_ = 0;
    TbsSkinCustomControl::ApplySkin();
    if (binding_.HasEntry() && buttonSkin_.morphing && (IsFocused() || hot_)) morphFactor_ = 1;
}

// --- painting --------------------------------------------------------------------------

void TbsSkinButton::DrawContent(QPainter& p, const Rect& r, const QFont& font, platform::TColor color, int glyphFrame,
                                bool offset) {
    const QFontMetrics m(userchars::FontFor(font, caption_));
    const QSize text(m.size(Qt::TextShowMnemonic, caption_).width(), platform::TextHeight(font));
    const QSize glyph = glyph_.isNull() ? QSize() : QSize(glyph_.width() / numGlyphs_, glyph_.height());
    GlyphCaptionPlaces at = LayoutGlyphCaption(r, layout_, margin_, spacing_, glyph, text);
    if (offset) {
        at.glyph += QPoint(1, 1);
        at.text += QPoint(1, 1);
    }
    if (!glyph_.isNull()) skin::DrawGlyphFrame(p, at.glyph.x(), at.glyph.y(), glyphFrame, numGlyphs_, glyph_);
    if (caption_.isEmpty()) return;
    p.setFont(font);
    p.setPen(platform::ToQColor(color));
    const userchars::TextFont udc(p, caption_);
    p.drawText(QRect(at.text.x(), at.text.y(), text.width() + 2, text.height()),
               Qt::AlignHCenter | Qt::AlignTop | Qt::TextShowMnemonic | Qt::TextDontClip, caption_);
}

void TbsSkinButton::DrawState(QImage& bmp, const Rect& stateRect, bool active, bool down) {
    DrawSkinImage(bmp, stateRect);
    const platform::TFont tf = binding_.FontFor(buttonSkin_.font);
    const bool disabled = !isEnabled();
    platform::TColor color = buttonSkin_.font.color;
    if (disabled)
        color = buttonSkin_.disabledfontcolor;
    else if (active && down)
        color = buttonSkin_.downfontcolor;
    else if (active)
        color = buttonSkin_.activefontcolor;
    const Rect area = stretchKind_ == StretchKind::NoImage ? Rect::FromQRect(skin::LogicalRect(bmp)) : newGeometry_.C;
    QPainter p(&bmp);
    DrawContent(p, area, tf.ToQFont(), color, GlyphFrame(active, down, disabled, numGlyphs_), active && down);
}

void TbsSkinButton::DrawDefault(QImage& bmp) {
    const ButtonState s = State();
    const QRect all = skin::LogicalRect(bmp);
    QPainter p(&bmp);
    bool offset = false;
    if (ShowsDownLook(s)) {
        FramedFill(p, all, kDefaultFrameColor, kDefaultDownFill);
        offset = true;
    } else if (s.hot || (s.focused && s.canFocused)) {
        FramedFill(p, all, kDefaultFrameColor, kDefaultHotFill);
    } else {
        FramedFill(p, all, platform::clBtnShadow, platform::clBtnFace);
    }
    const platform::TColor color = s.enabled ? binding_.DefaultFont().color : platform::clBtnShadow;
    DrawContent(p, Rect::FromQRect(all), binding_.DefaultFont().ToQFont(), color,
                GlyphFrame(hot_, down_, !s.enabled, numGlyphs_), offset);
}

QImage TbsSkinButton::Render() {
    QImage img = RenderFace();
    // The focused button carries the dotted mark inside its face, where the caption is
    // laid out: its focused look alone (the caption's active colour) is hard to tell.
    if (!img.isNull() && canFocused_ && isEnabled() && IsFocused()) {
        const bool face = binding_.HasEntry() && stretchKind_ != StretchKind::NoImage && !newGeometry_.C.IsEmpty();
        DrawFocusMark(img, face ? newGeometry_.C.ToQRect().adjusted(1, 1, -1, -1) : img.rect().adjusted(3, 3, -3, -3));
    }
    return img;
}

QImage TbsSkinButton::RenderFace() {
    if (width() <= 0 || height() <= 0) return {};
    if (!binding_.HasEntry()) return TbsSkinCustomControl::Render();
    // Made at the screen's pixel ratio, so the caption is drawn at the device's resolution.
    const qreal ratio = devicePixelRatioF();
    auto fresh = [this, ratio] {
        return skin::NewDeviceImage(size(), ratio, platform::ToQColor(platform::clBtnFace));
    };
    if (buttonSkin_.morphing && morphFactor_ > 0 && morphFactor_ < 1 && isEnabled()) {
        QImage normal = fresh(), active = fresh();
        DrawState(normal, anchors_.skinRect, false, false);
        DrawState(active, buttonSkin_.activeRect, true, false);
        skin::TbsEffectBmp a(normal);
        const skin::TbsEffectBmp b(active);
        skin::ApplyMorph(a, b, buttonSkin_.morphkind, morphFactor_);
        return skin::WithRatio(a.toImage().convertToFormat(QImage::Format_RGB32), ratio);
    }
    const LookDraw d = DrawOfLook(PickButtonLook(State()));
    Rect r = anchors_.skinRect;
    switch (d.image) {
    case ButtonImage::Normal: r = anchors_.skinRect; break;
    case ButtonImage::Active: r = buttonSkin_.activeRect; break;
    case ButtonImage::Down: r = buttonSkin_.downRect; break;
    case ButtonImage::Disabled: r = buttonSkin_.disabledRect; break;
    }
    QImage bmp = fresh();
    DrawState(bmp, r, d.active, d.down);
    return bmp;
}

// --- clicks, repeat and morph ---------------------------------------------------------

void TbsSkinButton::ButtonClick() {
    if (canFocused_)
        if (auto* form = qobject_cast<platform::Form*>(window())) form->SetModalResult(modalResult_);
    Fire(OnClick, this);
}

void TbsSkinButton::StartRepeat() {
    repeatTimer_.stop();
    repeatTimer_.setInterval(repeatInterval_);
    repeatTimer_.start();
}

void TbsSkinButton::StopRepeat() { repeatTimer_.stop(); }

void TbsSkinButton::Refresh() {
    if (buttonSkin_.morphing && binding_.HasEntry()) {
        if (!morphTimer_.isActive()) morphTimer_.start(platform::kButtonMorphInterval);
    } else {
        update();
    }
}

void TbsSkinButton::MorphTick() {
    const bool lit = hot_ || IsFocused();
    if (!binding_.HasEntry() || !buttonSkin_.morphing) {
        morphFactor_ = lit ? 1 : 0;
        morphTimer_.stop();
        return;
    }
    if (lit && morphFactor_ < 1) {
        morphFactor_ = std::min(1.0, morphFactor_ + 0.1);
    } else if (!lit && morphFactor_ > 0) {
        morphFactor_ = std::max(0.0, morphFactor_ - 0.1);
    } else {
        morphFactor_ = lit ? 1 : 0;
        morphTimer_.stop();
    }
    update();
}

// --- mouse -----------------------------------------------------------------------------

void TbsSkinButton::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        TbsSkinCustomControl::mousePressEvent(e);
        return;
    }
    if (canFocused_ && !IsFocused()) {
        setFocus(Qt::MouseFocusReason);
        if (window()->focusWidget() != this) return;  // could not take the focus: the press is lost
    }
    pressed_ = true;
    mouseInside_ = true;
    if (!down_) {
        hot_ = true;
        SetDown(true);
        if (repeatMode_ && groupIndex_ == 0)
            StartRepeat();
        else if (groupIndex_ != 0)
            ButtonClick();
        raiseOnRelease_ = false;
    } else if (groupIndex_ != 0) {
        raiseOnRelease_ = true;
    }
}

void TbsSkinButton::mouseReleaseEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || !pressed_) {
        TbsSkinCustomControl::mouseReleaseEvent(e);
        return;
    }
    pressed_ = false;
    if (groupIndex_ == 0) {
        if (hot_) {
            SetDown(false);
            StopRepeat();
            ButtonClick();
        } else {
            down_ = false;  // released outside: no click
            StopRepeat();
        }
    } else if (down_ && allowAllUp_ && raiseOnRelease_ && hot_) {
        SetDown(false);
        ButtonClick();
    }
}

void TbsSkinButton::mouseMoveEvent(QMouseEvent* e) {
    TbsSkinCustomControl::mouseMoveEvent(e);
    // While the button is held the mouse is grabbed and no enter or leave arrives:
    // follow the pointer in and out of the button here.
    if (!pressed_) return;
    const bool inside = rect().contains(e->position().toPoint());
    if (inside && !mouseInside_)
        MouseEntered();
    else if (!inside && mouseInside_)
        MouseLeft();
}

void TbsSkinButton::enterEvent(QEnterEvent* e) {
    platform::Control::enterEvent(e);
    if (!mouseInside_) MouseEntered();
}

void TbsSkinButton::leaveEvent(QEvent* e) {
    platform::Control::leaveEvent(e);
    if (mouseInside_) MouseLeft();
}

void TbsSkinButton::MouseEntered() {
    mouseInside_ = true;
    Fire(OnMouseEnter, this);
    hot_ = true;
    if ((groupIndex_ != 0 && !down_) || (groupIndex_ == 0 && (!IsFocused() || down_))) {
        if (down_) {
            if (buttonSkin_.morphing && binding_.HasEntry()) morphFactor_ = 1;
            update();
        } else {
            Refresh();
        }
    }
    if (down_ && pressed_ && repeatMode_ && groupIndex_ == 0) StartRepeat();
}

void TbsSkinButton::MouseLeft() {
    mouseInside_ = false;
    Fire(OnMouseLeave, this);
    const bool keepsHighlight = canFocused_ && default_ && activeDefault_ && !IsFocused();
    if (!keepsHighlight) hot_ = false;
    if ((groupIndex_ != 0 && !down_) || (groupIndex_ == 0 && (!IsFocused() || down_))) Refresh();
    if (down_ && repeatMode_ && groupIndex_ == 0) StopRepeat();
}

// --- keyboard and focus ------------------------------------------------------------------

void TbsSkinButton::keyPressEvent(QKeyEvent* e) {
    if (!canFocused_) {
        TbsSkinCustomControl::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Space:
        SetDown(true);
        if (repeatMode_) ButtonClick();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter: ButtonClick(); return;
    default: TbsSkinCustomControl::keyPressEvent(e);
    }
}

void TbsSkinButton::keyReleaseEvent(QKeyEvent* e) {
    if (canFocused_ && e->key() == Qt::Key_Space) {
        if (e->isAutoRepeat()) return;  // the key is still held
        SetDown(false);
        ButtonClick();
        return;
    }
    TbsSkinCustomControl::keyReleaseEvent(e);
}

bool TbsSkinButton::DialogKey(int key, Qt::KeyboardModifiers modifiers) {
    if (!canFocused_ || !isVisible()) return false;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && activeDefault_ && isEnabled()) {
        ButtonClick();
        return true;
    }
    const Qt::KeyboardModifiers shifts = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key == Qt::Key_Escape && cancel_ && !(modifiers & shifts) && isEnabled()) {
        ButtonClick();
        return true;
    }
    return false;
}

bool TbsSkinButton::DialogChar(QChar ch) {
    if (!canFocused_ || !isEnabled() || !isVisible() || !IsAccel(ch, caption_)) return false;
    setFocus(Qt::ShortcutFocusReason);
    ButtonClick();
    return true;
}

void TbsSkinButton::FocusChanged(QWidget* now) {
    auto* button = qobject_cast<TbsSkinButton*>(now);
    activeDefault_ = button ? button == this : default_;
    if (!canFocused_ || !default_) return;
    if (button && button != this && hot_) {
        hot_ = false;
        Refresh();
    } else if (!button && !hot_) {
        hot_ = true;
        if (buttonSkin_.morphing && binding_.HasEntry()) morphFactor_ = 1;
        Refresh();
    }
}

void TbsSkinButton::NotifyFormFocus() {
    QWidget* form = window();
    QWidget* focus = form->focusWidget();
    for (TbsSkinButton* b : form->findChildren<TbsSkinButton*>())
        if (b->window() == form) b->FocusChanged(focus);
    if (form == this) FocusChanged(focus);
}

void TbsSkinButton::focusInEvent(QFocusEvent* e) {
    TbsSkinCustomControl::focusInEvent(e);
    if (canFocused_) Refresh();
}

void TbsSkinButton::focusOutEvent(QFocusEvent* e) {
    TbsSkinCustomControl::focusOutEvent(e);
    if (canFocused_) Refresh();
}

void TbsSkinButton::changeEvent(QEvent* e) {
    TbsSkinCustomControl::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) {
        morphTimer_.stop();
        morphFactor_ = 0;
        hot_ = false;
        update();
    }
}

}  // namespace skinctrls
