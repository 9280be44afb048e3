#include "skinctrls/SkinPanel.h"

#include <QMouseEvent>
#include <QPainter>

#include "skin/DeviceImage.h"
#include "skin/Glyphs.h"
#include "skinctrls/Paint.h"

namespace skinctrls {

using platform::ToQColor;
using skin::Rect;

TbsSkinPanel::TbsSkinPanel(QWidget* parent) : TbsSkinCustomControl(parent) {
    binding_.SetName(QStringLiteral("panel"));
    resize(185, 41);
}

TbsSkinPanel::~TbsSkinPanel() = default;

// --- properties ----------------------------------------------------------------------

void TbsSkinPanel::SetCaption(const QString& c) {
    if (caption_ == c) return;
    caption_ = c;
    update();
}

void TbsSkinPanel::SetCheckedMode(bool v) {
    checkedMode_ = v;
    update();
}

void TbsSkinPanel::SetChecked(bool v) {
    checked_ = v;
    if (checkedMode_) update();
    if (autoEnabledControls_ && checkedMode_) {
        for (QObject* o : children())
            if (auto* w = qobject_cast<QWidget*>(o); w && !w->isWindow()) w->setEnabled(v);
    }
    Fire(OnChecked, this);
}

void TbsSkinPanel::SetDefaultAlignment(skin::Alignment a) {
    defaultAlignment_ = a;
    update();
}

void TbsSkinPanel::SetDefaultCaptionHeight(int v) {
    defaultCaptionHeight_ = v;
    if (!binding_.HasEntry() && captionMode_) {
        update();
        Realign();
    }
}

void TbsSkinPanel::SetBorderStyle(TbsSkinBorderStyle s) {
    borderStyle_ = s;
    Relayout();
    update();
    if (!binding_.HasEntry()) Realign();
}

void TbsSkinPanel::SetCaptionMode(bool v) {
    captionMode_ = v;
    Relayout();
    update();
    Realign();
}

void TbsSkinPanel::SetRollUpMode(bool v) {
    rollUpMode_ = v;
    Relayout();
    update();
}

void TbsSkinPanel::SetRollUpState(bool v) {
    if (!rollUpMode_) {
        rollUpState_ = false;
        return;
    }
    if (rollUpState_ == v) return;
    rollUpState_ = v;
    RollUp(v);
    update();
}

void TbsSkinPanel::SetGlyph(const QImage& g) {
    glyph_ = g;
    update();
}

void TbsSkinPanel::SetNumGlyphs(int n) {
    numGlyphs_ = std::clamp(n, 1, 2);
    update();
}

void TbsSkinPanel::SetSpacing(int v) {
    spacing_ = v;
    update();
}

// --- roll-up ---------------------------------------------------------------------------

void TbsSkinPanel::RollUp(bool state) {
    if (state) {
        savedHeight_ = height();
        if (!hiddenChildren_) {
            QList<QPointer<QWidget>> hidden;
            for (QObject* o : children()) {
                auto* w = qobject_cast<QWidget*>(o);
                if (!w || w->isWindow() || w->isHidden()) continue;
                hidden.append(w);
                w->hide();
            }
            hiddenChildren_ = hidden;
        }
        const int h = !binding_.HasEntry() ? defaultCaptionHeight_ + 1 : height() - newGeometry_.C.Height();
        SetHeight(h);
    } else {
        if (savedHeight_ != -1) {
            SetHeight(savedHeight_);
            if (hiddenChildren_) {
                for (const QPointer<QWidget>& w : *hiddenChildren_)
                    if (w) w->show();
                hiddenChildren_.reset();
            }
        }
    }
}

// --- entry -----------------------------------------------------------------------------

void TbsSkinPanel::LoadSkinEntry() {
    TbsSkinCustomControl::LoadSkinEntry();
    panelSkin_ = PanelSkin{};
    if (const auto* e = dynamic_cast<const skin::TbsDataSkinPanelControl*>(binding_.Entry())) {
        // A background index outside the skin's pictures counts as none: the panel then
        // draws its skin image rather than reading past the list.
        if (e->bgpictureindex != -1)
            if (const QImage* pic = binding_.Picture(e->bgpictureindex); pic && !pic->isNull())
                panelSkin_.background = *pic;
        panelSkin_.captionrect = e->captionrect;
        panelSkin_.rollupmarkerrect = e->rollupmarkerrect;
        panelSkin_.restoremarkerrect = e->restoremarkerrect;
        panelSkin_.alignment = e->alignment;
        panelSkin_.font = EntryFont(*e);
        panelSkin_.checkimagerect = e->checkimagerect;
        panelSkin_.uncheckimagerect = e->uncheckimagerect;
    }
}

const QImage* TbsSkinPanel::BackgroundPicture() const {
    return binding_.HasEntry() && !panelSkin_.background.isNull() ? &panelSkin_.background : nullptr;
}

bool TbsSkinPanel::TilesClient() const {
    return borderStyle_ == bvNone && stretchKind_ == StretchKind::Both && !captionMode_ &&
           !anchors_.clientRect.IsEmpty();
}

void TbsSkinPanel::Relayout() {
    // The caption and the marker where the skinned look draws them (the mouse hits them
    // there); none in the looks without a caption.
    captionRect_ = markerRect_ = Rect{};
    if (!binding_.HasEntry() || BackgroundPicture() || TilesClient()) return;
    const bool fixed = stretchKind_ == StretchKind::Fixed || stretchKind_ == StretchKind::NoImage;
    captionRect_ = fixed ? panelSkin_.captionrect : MapSkinRect(panelSkin_.captionrect);
    if (!panelSkin_.rollupmarkerrect.IsEmpty() && rollUpMode_)
        markerRect_ = fixed ? panelSkin_.rollupmarkerrect : MapSkinRect(panelSkin_.rollupmarkerrect);
}

void TbsSkinPanel::ApplySkin() {
    const int saved = savedHeight_;
    TbsSkinCustomControl::ApplySkin();
    if (rollUpState_) {
        RollUp(true);
        savedHeight_ = saved;
    } else {
        Realign();
    }
}

void TbsSkinPanel::SetBounds(int left, int top, int w, int h) {
    TbsSkinCustomControl::SetBounds(left, top, w, h);
    if (!binding_.HasEntry()) update();
}

QRect TbsSkinPanel::AlignArea() const {
    if (!binding_.HasEntry()) {
        QRect r = rect();
        if (borderStyle_ != bvNone) r.adjust(1, 1, -1, -1);
        if (captionMode_) r.setTop(r.top() + defaultCaptionHeight_);
        return r;
    }
    if (BackgroundPicture() || (borderStyle_ == bvNone && !captionMode_ && stretchKind_ == StretchKind::Both) ||
        stretchKind_ == StretchKind::NoImage)
        return rect();
    return newGeometry_.C.ToQRect();
}

// --- painting --------------------------------------------------------------------------

QImage TbsSkinPanel::Render() {
    if (width() <= 0 || height() <= 0) return {};
    const QImage* bg = BackgroundPicture();
    if (!bg) return TbsSkinCustomControl::Render();
    QImage bmp = skin::NewDeviceImage(size(), devicePixelRatioF(), platform::ToQColor(platform::clBtnFace));
    QPainter p(&bmp);
    const skin::SmoothOnFinerDevice smooth(p);
    const int pw = bg->width(), ph = bg->height();
    for (int i = 0; i <= width() / pw; ++i)
        for (int j = 0; j <= height() / ph; ++j) p.drawImage(i * pw, j * ph, *bg);
    return bmp;
}

void TbsSkinPanel::DrawCaptionContent(QPainter& p, const QRect& area, int textLeft, const QFont& font,
                                      platform::TColor color) {
    p.setFont(font);
    const int th = platform::TextHeight(font);
    const int top = area.top() + area.height() / 2 - th / 2;
    int left = textLeft;
    if (!glyph_.isNull()) {
        const int gw = glyph_.width() / numGlyphs_;
        const int gy = area.top() + area.height() / 2 - glyph_.height() / 2;
        const int frame = (!isEnabled() && numGlyphs_ == 2) ? 2 : 1;
        skin::DrawGlyphFrame(p, left, gy, frame, numGlyphs_, glyph_);
        left += gw + spacing_;
    }
    p.setPen(ToQColor(color));
    platform::TextRectOut(p, area, left, top, caption_);
}

void TbsSkinPanel::DrawDefault(QImage& bmp) {
    TbsSkinCustomControl::DrawDefault(bmp);
    QPainter p(&bmp);
    const QColor hi = ToQColor(platform::clBtnHighlight), sh = ToQColor(platform::clBtnShadow),
                 face = ToQColor(platform::clBtnFace);
    switch (borderStyle_) {
    case bvRaised: skin::Draw3DBorder(p, rect(), hi, sh); break;
    case bvLowered: skin::Draw3DBorder(p, rect(), sh, hi); break;
    case bvFrame: skin::Draw3DBorder(p, rect(), sh, sh); break;
    case bvNone: break;
    }
    if (!captionMode_) return;

    // 1. Caption band: two nested frames; what is left inside them is the text area.
    QRect area;
    if (borderStyle_ == bvFrame) {
        area = QRect(0, 0, width(), defaultCaptionHeight_);
        skin::Draw3DBorder(p, area, sh, sh);
        area.adjust(1, 1, -1, -1);
        skin::Draw3DBorder(p, area, hi, face);
    } else {
        area = QRect(1, 1, width() - 2, defaultCaptionHeight_ - 1);
        skin::Draw3DBorder(p, area, sh, hi);
        area.adjust(1, 1, -1, -1);
        skin::Draw3DBorder(p, area, hi, sh);
    }
    area.adjust(1, 1, -1, -1);
    // 2. Room for the check box and the roll-up marker.
    if (checkedMode_) area.setLeft(area.left() + 20);
    if (rollUpMode_) area.setRight(area.right() - 10);

    // 3. Text position by the default alignment.
    const QFont font = binding_.DefaultFont().ToQFont();
    int content = platform::TextWidth(font, caption_);
    if (!glyph_.isNull()) content += glyph_.width() / numGlyphs_ + spacing_;
    const int areaRight = area.left() + area.width();
    int left = area.left() + 2;
    if (defaultAlignment_ == skin::taCenter)
        left = area.left() + 2 + area.width() / 2 - content / 2;
    else if (defaultAlignment_ == skin::taRightJustify)
        left = areaRight - content;

    // 4. Check box.
    if (checkedMode_) {
        const QRect box(5, area.top() + area.height() / 2 - 7, 14, 14);
        FrameRect(p, box, platform::clBtnShadow);
        if (checked_)
            skin::DrawDefaultGlyph(p, skin::DefaultGlyph::Check, box.left() + 3, box.top() + 2,
                                   ToQColor(platform::clBtnText));
    }
    // 5, 6. Glyph and text.
    DrawCaptionContent(p, area, left, font, binding_.DefaultFont().color);
    // 7. Roll-up marker in the strip right of the text area.
    if (rollUpMode_) {
        const QRect strip(areaRight, area.top(), 10, area.height());
        skin::DrawArrowGlyph(p, strip, rollUpState_ ? 4 : 3, ToQColor(platform::clBtnText));
    }
}

void TbsSkinPanel::DrawSkinnedCaption(QPainter& p, Rect caption) {
    if (checkedMode_) {
        const Rect& src = checked_ ? panelSkin_.checkimagerect : panelSkin_.uncheckimagerect;
        if (!src.IsEmpty() && !picture_.isNull()) {
            const QImage img = picture_.copy(src.ToQRect());
            const int top = caption.top + caption.Height() / 2 - img.height() / 2;
            skin::DrawGlyphFrame(p, caption.left, top, 1, 1, img);
            caption.left += img.width() + 2;
        }
    }
    const QFont font = binding_.FontFor(panelSkin_.font).ToQFont();
    int content = platform::TextWidth(font, caption_);
    if (!glyph_.isNull()) content += glyph_.width() / numGlyphs_ + spacing_;
    int left = caption.left;
    if (panelSkin_.alignment == skin::taCenter)
        left = caption.left + caption.Width() / 2 - content / 2;
    else if (panelSkin_.alignment == skin::taRightJustify)
        left = caption.right - content;
    DrawCaptionContent(p, caption.ToQRect(), left, font, panelSkin_.font.color);
}

void TbsSkinPanel::DrawSkinned(QImage& bmp) {
    const Rect& c = anchors_.clientRect;
    if (TilesClient()) {
        // The client part of the skin tiled over the whole panel.
        QPainter p(&bmp);
        const Rect src{anchors_.skinRect.left + c.left, anchors_.skinRect.top + c.top, anchors_.skinRect.left + c.right,
                       anchors_.skinRect.top + c.bottom};
        TilePicture(p, skin::LogicalRect(bmp), picture_, src);
        return;
    }
    TbsSkinCustomControl::DrawSkinned(bmp);
    QPainter p(&bmp);
    if (!caption_.isEmpty() && !panelSkin_.captionrect.IsEmpty()) DrawSkinnedCaption(p, captionRect_);
    if (!panelSkin_.rollupmarkerrect.IsEmpty() && rollUpMode_) {
        if (rollUpState_ && !panelSkin_.restoremarkerrect.IsEmpty())
            CopyPicture(p, markerRect_.ToQRect(), picture_, panelSkin_.restoremarkerrect);
    }
}

// --- mouse and state -------------------------------------------------------------------

void TbsSkinPanel::mouseReleaseEvent(QMouseEvent* e) {
    TbsSkinCustomControl::mouseReleaseEvent(e);
    if (e->button() != Qt::LeftButton || !(rollUpMode_ || checkedMode_) || !captionMode_) return;
    const QPoint pt = e->position().toPoint();
    auto touches = [&](const Rect& r) {
        return !r.IsEmpty() && pt.x() >= r.left && pt.x() <= r.right && pt.y() >= r.top && pt.y() <= r.bottom;
    };
    bool hit;
    if (binding_.HasEntry())
        hit = touches(captionRect_) || touches(markerRect_);
    else
        hit = QRect(1, 1, width() - 2, defaultCaptionHeight_ - 1).contains(pt);
    if (!hit) return;
    if (checkedMode_) SetChecked(!checked_);
    if (rollUpMode_) SetRollUpState(!rollUpState_);
}

void TbsSkinPanel::changeEvent(QEvent* e) {
    TbsSkinCustomControl::changeEvent(e);
    if (e->type() == QEvent::EnabledChange) update();
}

// ===== TbsSkinGroupBox ======================================================================

TbsSkinGroupBox::TbsSkinGroupBox(QWidget* parent) : TbsSkinPanel(parent) {
    binding_.SetName(QStringLiteral("groupbox"));
    SetCaptionMode(true);
}

}  // namespace skinctrls
