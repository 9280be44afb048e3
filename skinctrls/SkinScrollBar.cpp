#include "skinctrls/SkinScrollBar.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "platform/Timers.h"
#include "skin/Compose.h"
#include "skin/Glyphs.h"
#include "skinctrls/Paint.h"

namespace skinctrls {

using skin::Rect;

TbsSkinScrollBar::TbsSkinScrollBar(QWidget* parent) : TbsSkinCustomControl(parent) {
    binding_.SetName(QStringLiteral("hscrollbar"));
    resize(200, 20);
    Relayout();
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    timer_.setParent(this);
    connect(&timer_, &QTimer::timeout, this, [this] { Tick(); });
}

TbsSkinScrollBar::~TbsSkinScrollBar() = default;

// --- values ----------------------------------------------------------------------------

void TbsSkinScrollBar::SetKind(TScrollBarKind k) {
    kind_ = k;
    PartsChanged();
}

void TbsSkinScrollBar::SetPosition(int v) {
    v = ClampPosition(values_, v);
    if (v == values_.position) return;
    values_.position = v;
    PartsChanged();
    Fire(OnChange, this);
}

void TbsSkinScrollBar::SetMin(int v) {
    values_.min = v;
    if (values_.position < v) values_.position = v;
    PartsChanged();
}

void TbsSkinScrollBar::SetMax(int v) {
    values_.max = v;
    // The position keeps within the new range (the whole page with a page size).
    values_.position = ClampPosition(values_, values_.position);
    PartsChanged();
}

void TbsSkinScrollBar::SetPageSize(int v) {
    // A page is accepted only when it fits from the present position to Max.
    if (v >= 0 && values_.max - values_.position + 1 >= v) values_.pageSize = v;
    PartsChanged();
}

void TbsSkinScrollBar::SetSmallChange(int v) {
    smallChange_ = v;
    update();
}

void TbsSkinScrollBar::SetLargeChange(int v) {
    largeChange_ = v;
    update();
}

void TbsSkinScrollBar::SetBarRange(int min, int max, int pageSize, int position) {
    values_.min = min;
    values_.max = max;
    values_.pageSize = pageSize;
    values_.position = ClampPosition(values_, position);
    PartsChanged();
}

void TbsSkinScrollBar::SetBoth(bool v) {
    if (both_ == v) return;
    both_ = v;
    if (v) {
        savedSkinDataName_ = binding_.Name();
        binding_.SetName(bothSkinDataName_);
    } else {
        binding_.SetName(savedSkinDataName_);
    }
    LoadSkinEntry();
    if (!binding_.HasEntry())
        PartsChanged();
    else
        ApplySkin();
}

void TbsSkinScrollBar::SetBothMarkerWidth(int v) {
    if (v < 0) return;
    bothMarkerWidth_ = v;
    PartsChanged();
}

void TbsSkinScrollBar::SetCanFocused(bool v) {
    canFocused_ = v;
    setFocusPolicy(v ? Qt::StrongFocus : Qt::NoFocus);
}

// --- entry and layout --------------------------------------------------------------------

bool TbsSkinScrollBar::AcceptsEntry(const skin::TbsDataSkinControl& entry) const {
    return dynamic_cast<const skin::TbsDataSkinScrollBarControl*>(&entry) != nullptr;
}

void TbsSkinScrollBar::LoadSkinEntry() {
    TbsSkinCustomControl::LoadSkinEntry();
    const auto* e = dynamic_cast<const skin::TbsDataSkinScrollBarControl*>(binding_.Entry());
    if (!e) return;
    ScrollSkin& s = scrollSkin_;
    s.geometry.skinRect = e->skinrect;
    s.geometry.RT = e->righttoppoint;
    s.geometry.LB = e->leftbottompoint;
    s.geometry.trackArea = e->trackarea;
    s.geometry.upButton = e->upbuttonrect;
    s.geometry.downButton = e->downbuttonrect;
    s.geometry.thumbPicture = QSize(e->thumbrect.Width(), e->thumbrect.Height());
    s.activeUp = e->activeupbuttonrect;
    s.downUp = e->downupbuttonrect.IsEmpty() ? e->activeupbuttonrect : e->downupbuttonrect;
    s.activeDown = e->activedownbuttonrect;
    s.downDown = e->downdownbuttonrect.IsEmpty() ? e->activedownbuttonrect : e->downdownbuttonrect;
    s.thumb = e->thumbrect;
    s.activeThumb = e->activethumbrect.IsEmpty() ? s.thumb : e->activethumbrect;
    s.downThumb = e->downthumbrect.IsEmpty() ? s.activeThumb : e->downthumbrect;
    s.thumbOffset1 = e->thumboffset1;
    s.thumbOffset2 = e->thumboffset2;
    s.glyph = e->glyphrect;
    s.activeGlyph = e->activeglyphrect.IsEmpty() ? s.glyph : e->activeglyphrect;
    s.downGlyph = e->downglyphrect.IsEmpty() ? s.activeGlyph : e->downglyphrect;
}

void TbsSkinScrollBar::Relayout() {
    layout_ = binding_.HasEntry() ? LayoutSkinned(Horizontal(), size(), scrollSkin_.geometry, values_)
                                  : LayoutDefault(Horizontal(), size(), both_, bothMarkerWidth_, values_);
}

void TbsSkinScrollBar::PartsChanged() {
    Relayout();
    update();
}

int TbsSkinScrollBar::PositionFromOffset(int a) const {
    return skinctrls::PositionFromOffset(layout_, Horizontal(), values_, a);
}

// --- painting --------------------------------------------------------------------------

bool TbsSkinScrollBar::ThumbLit() const {
    return pressedPart_ == ScrollPart::Thumb || (hasFocus() && canFocused_);
}

void TbsSkinScrollBar::ShowPartState(ScrollPart part, bool hot, bool pressed) {
    hotPart_ = hot ? part : ScrollPart::None;
    pressedPart_ = pressed ? part : ScrollPart::None;
    update();
}

void TbsSkinScrollBar::DrawDefault(QImage& bmp) {
    TbsSkinCustomControl::DrawDefault(bmp);
    const ScrollLayout& l = layout_;
    QPainter p(&bmp);
    auto drawPart = [&](const Rect& r, ScrollPart part) {
        const bool pressed = pressedPart_ == part, hot = hotPart_ == part;
        const bool lit = (pressed && hot) || (part == ScrollPart::Thumb && ThumbLit());
        if (lit)
            FramedFill(p, r.ToQRect(), kDefaultFrameColor, kDefaultDownFill);
        else if (hot)
            FramedFill(p, r.ToQRect(), kDefaultFrameColor, kDefaultHotFill);
        else
            FramedFill(p, r.ToQRect(), platform::clBtnShadow, platform::clBtnFace);
    };
    if (isEnabled() && !l.thumb.IsEmpty()) drawPart(l.thumb, ScrollPart::Thumb);
    drawPart(l.up, ScrollPart::Up);
    drawPart(l.down, ScrollPart::Down);
    const QColor black = platform::ToQColor(platform::clBlack);
    skin::DrawArrowGlyph(p, l.up.ToQRect(), Horizontal() ? 2 : 4, black);
    skin::DrawArrowGlyph(p, l.down.ToQRect(), Horizontal() ? 1 : 3, black);
}

void TbsSkinScrollBar::DrawSkinned(QImage& bmp) {
    TbsSkinCustomControl::DrawSkinned(bmp);
    const ScrollLayout& l = layout_;
    const ScrollSkin& s = scrollSkin_;
    QPainter p(&bmp);
    auto drawButton = [&](const Rect& r, ScrollPart part, const Rect& active, const Rect& down) {
        const bool hot = hotPart_ == part, pressed = pressedPart_ == part;
        if (pressed && hot)
            CopyPicture(p, r.ToQRect(), picture_, down);
        else if (hot)
            CopyPicture(p, r.ToQRect(), picture_, active);
    };
    drawButton(l.up, ScrollPart::Up, s.activeUp, s.downUp);
    drawButton(l.down, ScrollPart::Down, s.activeDown, s.downDown);
    if (!isEnabled() || l.thumb.IsEmpty()) return;

    const bool pressed = ThumbLit(), hot = hotPart_ == ScrollPart::Thumb;
    const Rect& image = pressed ? s.downThumb : hot ? s.activeThumb : s.thumb;
    const Rect& glyph = pressed ? s.downGlyph : hot ? s.activeGlyph : s.glyph;
    const QRect t = l.thumb.ToQRect();
    if (values_.pageSize > 0) {
        const QImage img = Horizontal()
                               ? skin::ComposeHorizontalImage(picture_, image, s.thumbOffset1, s.thumbOffset2, t.width())
                               : skin::ComposeVerticalImage(picture_, image, s.thumbOffset1, s.thumbOffset2, t.height());
        DrawPicture(p, t.topLeft(), img);
    } else {
        CopyPicture(p, t, picture_, image);
    }
    if (!glyph.IsEmpty() && !picture_.isNull()) {
        const QPoint at(t.left() + t.width() / 2 - glyph.Width() / 2, t.top() + t.height() / 2 - glyph.Height() / 2);
        CopyPicture(p, QRect(at, glyph.ToQRect().size()), picture_, glyph);
    }
}

// --- stepping and repeat -----------------------------------------------------------------

void TbsSkinScrollBar::StepUp(int by, bool button) {
    if (button && OnUpButtonClick)
        OnUpButtonClick(this);
    else
        SetPosition(values_.position + by);
}

void TbsSkinScrollBar::StepDown(int by, bool button) {
    if (button && OnDownButtonClick)
        OnDownButtonClick(this);
    else
        SetPosition(values_.position - by);
}

bool TbsSkinScrollBar::BeforeThumb(const ScrollLayout& l, QPoint p) const {
    if (l.thumb.IsEmpty()) return Along(p) < (l.TrackStart(Horizontal()) + l.TrackEnd(Horizontal())) / 2;
    return Horizontal() ? p.x() < l.thumb.left : p.y() < l.thumb.top;
}

bool TbsSkinScrollBar::BeyondThumb(const ScrollLayout& l, QPoint p) const {
    if (l.thumb.IsEmpty()) return !BeforeThumb(l, p);
    return Horizontal() ? p.x() >= l.thumb.right : p.y() >= l.thumb.bottom;
}

void TbsSkinScrollBar::Tick() {
    if (firstTickPending_) {
        // The first delay is over: repeat at the fast rate from now on.
        firstTickPending_ = false;
        timer_.start(platform::kScrollRepeatInterval);
        return;
    }
    switch (repeatMode_) {
    case 1: StepDown(smallChange_, true); break;
    case 2: StepUp(smallChange_, true); break;
    case 3:
        UpdateHot(lastMouse_);
        if (BeforeThumb(layout_, lastMouse_))
            StepDown(largeChange_, false);
        else
            timer_.stop();
        break;
    case 4:
        UpdateHot(lastMouse_);
        if (BeyondThumb(layout_, lastMouse_))
            StepUp(largeChange_, false);
        else
            timer_.stop();
        break;
    default: timer_.stop();
    }
}

void TbsSkinScrollBar::UpdateHot(QPoint p) {
    ScrollPart part = PartAt(layout_, p);
    if (pressedPart_ != ScrollPart::None && part != pressedPart_) part = ScrollPart::None;
    if (part == hotPart_) return;
    const ScrollPart old = hotPart_;
    hotPart_ = part;
    update();
    const bool buttonPressed = pressedPart_ == ScrollPart::Up || pressedPart_ == ScrollPart::Down;
    if (buttonPressed && old == pressedPart_) timer_.stop();  // off the held button: pause
    if (buttonPressed && part == pressedPart_) timer_.start(platform::kScrollRepeatInterval);  // back on it
}

// --- mouse, keys and focus -----------------------------------------------------------------

void TbsSkinScrollBar::mousePressEvent(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) {
        TbsSkinCustomControl::mousePressEvent(e);
        return;
    }
    if (canFocused_ && !hasFocus()) setFocus(Qt::MouseFocusReason);
    const QPoint pt = e->position().toPoint();
    mouseDown_ = true;
    mouseInside_ = true;
    lastMouse_ = pt;
    trackClick_ = false;
    const ScrollLayout l = layout_;  // stepping below lays the parts out anew
    repeatMode_ = 0;
    firstTickPending_ = true;
    const ScrollPart part = PartAt(l, pt);
    if (part != ScrollPart::None) {
        pressedPart_ = part;
        hotPart_ = part;
        update();
        switch (part) {
        case ScrollPart::Up:
            StepUp(smallChange_, true);
            repeatMode_ = 2;
            timer_.start(platform::kScrollRepeatDelay);
            break;
        case ScrollPart::Down:
            StepDown(smallChange_, true);
            repeatMode_ = 1;
            timer_.start(platform::kScrollRepeatDelay);
            break;
        case ScrollPart::Thumb:
            dragStart_ = Along(pt);
            dragStartOffset_ = l.thumbOffset;
            dragStartPosition_ = values_.position;
            dragging_ = true;
            update();
            break;
        case ScrollPart::None: break;
        }
        return;
    }
    // Only the track pages; the frame and a shared corner do nothing.
    const Rect& t = l.track;
    if (pt.x() < t.left || pt.x() >= t.right || pt.y() < t.top || pt.y() >= t.bottom) return;
    trackClick_ = true;
    if (BeforeThumb(l, pt)) {
        StepDown(largeChange_, false);
        repeatMode_ = 3;
    } else {
        StepUp(largeChange_, false);
        repeatMode_ = 4;
    }
    timer_.start(platform::kScrollRepeatDelay);
}

void TbsSkinScrollBar::mouseMoveEvent(QMouseEvent* e) {
    TbsSkinCustomControl::mouseMoveEvent(e);
    const QPoint pt = e->position().toPoint();
    lastMouse_ = pt;
    // While the button is held the mouse is grabbed and no leave arrives: leaving the
    // bar is seen here, and a page repeat stops as the mouse goes.
    const bool inside = rect().contains(pt);
    if (mouseDown_ && mouseInside_ && !inside && (repeatMode_ == 3 || repeatMode_ == 4)) timer_.stop();
    mouseInside_ = inside;
    UpdateHot(pt);
    if (dragging_) SetPosition(PositionFromOffset(Along(pt) - dragStart_ + dragStartOffset_));
}

void TbsSkinScrollBar::mouseReleaseEvent(QMouseEvent* e) {
    TbsSkinCustomControl::mouseReleaseEvent(e);
    mouseDown_ = false;
    if (repeatMode_ == 3 || repeatMode_ == 4) timer_.stop();
    const ScrollPart released = pressedPart_;
    if (released != ScrollPart::None) {
        pressedPart_ = ScrollPart::None;
        if (released == ScrollPart::Thumb) dragging_ = false;
        else timer_.stop();
        update();
    }
    if (e->button() == Qt::LeftButton && (released == ScrollPart::Thumb || trackClick_)) Fire(OnLastChange, this);
    trackClick_ = false;
    repeatMode_ = 0;
    if (!rect().contains(e->position().toPoint()) && hotPart_ != ScrollPart::None) {
        hotPart_ = ScrollPart::None;
        update();
    }
}

void TbsSkinScrollBar::leaveEvent(QEvent* e) {
    TbsSkinCustomControl::leaveEvent(e);
    mouseInside_ = false;
    if (hotPart_ != ScrollPart::None && pressedPart_ == ScrollPart::None && !dragging_) {
        hotPart_ = ScrollPart::None;
        update();
    }
    if (mouseDown_ && (repeatMode_ == 3 || repeatMode_ == 4)) timer_.stop();
}

void TbsSkinScrollBar::keyPressEvent(QKeyEvent* e) {
    if (!canFocused_) {
        TbsSkinCustomControl::keyPressEvent(e);
        return;
    }
    switch (e->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up: SetPosition(values_.position - smallChange_); return;
    case Qt::Key_Right:
    case Qt::Key_Down: SetPosition(values_.position + smallChange_); return;
    default: TbsSkinCustomControl::keyPressEvent(e);
    }
}

void TbsSkinScrollBar::wheelEvent(QWheelEvent* e) {
    if (!canFocused_ || !hasFocus()) {
        e->ignore();
        return;
    }
    const int dy = e->angleDelta().y();
    if (dy > 0)
        SetPosition(values_.position - smallChange_);
    else if (dy < 0)
        SetPosition(values_.position + smallChange_);
    e->accept();
}

void TbsSkinScrollBar::focusInEvent(QFocusEvent* e) {
    TbsSkinCustomControl::focusInEvent(e);
    update();
}

void TbsSkinScrollBar::focusOutEvent(QFocusEvent* e) {
    TbsSkinCustomControl::focusOutEvent(e);
    update();
}

void TbsSkinScrollBar::changeEvent(QEvent* e) {
    TbsSkinCustomControl::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) update();
}

}  // namespace skinctrls
