// The frame's layout for the present window size and skin: the client rectangle, the
// minimum size, the form picture's geometry, where the frame objects lie, the window
// shape, and the hit code of a point.

#include "frame/SkinFrame.h"

#include <QApplication>
#include <QStyle>

#include "frame/FrameObjects.h"
#include "skin/Compose.h"

namespace frame {

using skin::Rect;

// ===== geometry ============================================================================

int TbsSkinFrame::DefaultCaptionHeightNow() const {
    return DefaultCaptionHeight(form_ && form_->IsToolWindow());
}

Rect TbsSkinFrame::ClientRectOf(QSize s) const {
    if (!form_ || !form_->HasBorder()) return Rect{0, 0, s.width(), s.height()};
    if (skinned_) return SkinnedClientRect(s, skinData_->FormInfo.clientrect, picture_.size());
    return DefaultClientRect(s, DefaultCaptionHeightNow());
}

QSize TbsSkinFrame::MinimumTrackSize() const {
    MinTrackInput in;
    in.skinned = skinned_;
    if (skinned_) {
        in.picture = picture_.size();
        in.clientrect = skinData_->FormInfo.clientrect;
    }
    in.captionHeight = DefaultCaptionHeightNow();
    in.minWidth = minWidth_;
    in.minHeight = minHeight_;
    in.minimized = frameState_ == wsMinimized;
    in.rolledUp = rolledUp_;
    return frame::MinimumTrackSize(in);
}

void TbsSkinFrame::UpdateTrackSizes() {
    if (form_) form_->setMinimumSize(MinimumTrackSize());
}

bool TbsSkinFrame::FitsMinimumTrackSize() const {
    const QSize min = MinimumTrackSize();
    return size_.width() >= min.width() && size_.height() >= min.height();
}

void TbsSkinFrame::LayOut() {
    size_ = form_->size();
    if (!skinned_) {
        ArrangeDefaultButtons();
        return;
    }
    UpdateFrameGeometry();
    ArrangeFrameObjects();
    // A window below the minimum size is not drawn and keeps the shape it had.
    if (FitsMinimumTrackSize()) UpdateFrameRegion();
}

void TbsSkinFrame::Relayout() {
    if (!form_) return;
    LayOut();
    form_->UpdateClientGeometry();
    form_->update();
    form_->Client()->update();
}

void TbsSkinFrame::OnSizeChanged() {
    LayOut();
    if (!skinned_ || FitsMinimumTrackSize()) form_->update();
}

void TbsSkinFrame::UpdateFrameGeometry() {
    if (!form_ || !skinned_) return;
    geo_ = ComputeFrameGeometry(skinData_->FormInfo, picture_.size(), size_);
}

void TbsSkinFrame::ArrangeFrameObjects() {
    if (!form_) return;
    if (!skinned_) {
        ArrangeDefaultButtons();
        return;
    }
    const skin::TbsDataSkinFormInfo& fi = skinData_->FormInfo;
    for (auto& o : objects_)
        if (!o->NormalFromActivePicture) o->ObjectRect = frame::MapFrameRect(o->SkinRect, geo_);

    const Rect area = !geo_.buttons.IsEmpty() ? geo_.buttons : geo_.caption;
    if (area.IsEmpty()) return;

    auto firstButton = [&](skin::StdCommand c) -> TbsSkinStdButtonObject* {
        for (auto& o : objects_)
            if (auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get()); b && b->Command == c) return b;
        return nullptr;
    };
    TbsSkinCaptionObject* caption = nullptr;
    for (auto& o : objects_)
        if ((caption = dynamic_cast<TbsSkinCaptionObject*>(o.get()))) break;
    auto sizeOf = [&](TbsSkinStdButtonObject* b) {
        if (b->Command == skin::cmSysMenu && showIcon_) {
            const int s = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
            return QSize(s, s);
        }
        return SizeOf(b->SkinRect);
    };
    const int gap = fi.buttonsoffset;
    const skin::StdCommand order[] = {skin::cmClose, skin::cmMaximize, skin::cmMinimize, skin::cmRollUp};
    TbsSkinStdButtonObject* sys = firstButton(skin::cmSysMenu);
    const bool sysFromActive = sys && sys->NormalFromActivePicture;

    if (!fi.buttonsinleft) {
        int x = area.right;
        for (skin::StdCommand c : order) {
            TbsSkinStdButtonObject* b = firstButton(c);
            if (!b || !b->Visible || !b->NormalFromActivePicture) continue;
            const QSize s = sizeOf(b);
            b->ObjectRect = RectAt(QPoint(x - s.width(), area.top), s);
            x -= s.width() + gap;
        }
        if (geo_.buttons.IsEmpty() && caption) caption->ObjectRect.right = x + gap;
        if (sysFromActive && sys->Visible) {
            const QSize s = sizeOf(sys);
            const Rect& cr = geo_.caption;
            sys->ObjectRect = RectAt(QPoint(cr.left, cr.top + cr.Height() / 2 - s.height() / 2), s);
            if (caption) caption->ObjectRect.left = sys->ObjectRect.right;  // the x after it, less the gap
        }
    } else {
        int x = area.left;
        for (skin::StdCommand c : order) {
            TbsSkinStdButtonObject* b = firstButton(c);
            if (!b || !b->Visible || !b->NormalFromActivePicture) continue;
            const QSize s = sizeOf(b);
            b->ObjectRect = RectAt(QPoint(x, area.top), s);
            x += s.width() + gap;
        }
        if (geo_.buttons.IsEmpty() && sysFromActive && sys->Visible) {
            const QSize s = sizeOf(sys);
            sys->ObjectRect = RectAt(QPoint(x, area.top), s);
            x += s.width() + gap;
        }
        if (geo_.buttons.IsEmpty() && caption) caption->ObjectRect.left = x + gap;
    }
}

void TbsSkinFrame::ArrangeDefaultButtons() {
    if (!form_ || skinned_) return;
    const int size = DefaultButtonSize(form_->IsToolWindow());
    int x = size_.width() - 3;
    for (skin::StdCommand c : {skin::cmClose, skin::cmMaximize, skin::cmMinimize, skin::cmRollUp}) {
        for (auto& o : objects_) {
            auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
            if (!b || b->Command != c || !b->Visible) continue;
            b->ObjectRect = Rect{x - size, 4, x, 4 + size};
            x -= size;
        }
    }
    for (auto& o : objects_) {
        auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
        if (!b || b->Command != skin::cmSysMenu || !b->Visible) continue;
        const int s = showIcon_ ? QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize) : size;
        b->ObjectRect = Rect{3, 4, 3 + s, 4 + s};
    }
    // The caption lies between the system-menu button and the others.
    int left = 3, right = size_.width() - 3;
    for (const auto& o : objects_) {
        auto* b = dynamic_cast<TbsSkinStdButtonObject*>(o.get());
        if (!b || !b->Visible) continue;
        if (b->Command == skin::cmSysMenu)
            left = std::max(left, b->ObjectRect.right);
        else
            right = std::min(right, b->ObjectRect.left);
    }
    captionArea_ = Rect{left, 3, std::max(left, right), 3 + DefaultCaptionHeightNow()};
}

void TbsSkinFrame::UpdateFrameRegion() {
    if (!form_ || !form_->HasBorder()) return;
    if (!skinned_ || mask_.isNull()) {
        if (shape_) {
            form_->clearMask();
            shape_.reset();
        }
        return;
    }
    const skin::TbsDataSkinFormInfo& fi = skinData_->FormInfo;
    skin::AnchorGeometry g = geo_.g;
    g.C = fi.maskrectarea;
    skin::AnchorGeometry n = geo_.n;
    n.C = geo_.maskArea;
    FrameShape shape;
    shape.maskArea = geo_.maskArea;
    shape.masks = skin::ComposeMaskBorders(mask_, g, n, size_.width());
    QRegion region(geo_.maskArea.ToQRect());
    auto add = [&](const QImage& m, int x, int y) {
        if (auto r = skin::MaskToRegion(m, x, y)) region += *r;
    };
    add(shape.masks.top, 0, 0);
    add(shape.masks.bottom, 0, geo_.maskArea.bottom);
    add(shape.masks.left, 0, geo_.maskArea.top);
    add(shape.masks.right, geo_.maskArea.right, geo_.maskArea.top);
    form_->setMask(region);
    shape_ = std::move(shape);
}

int TbsSkinFrame::HitTest(QPoint p) const {
    if (!form_) return HTNOWHERE;
    HitTestInput in;
    in.window = size_;
    in.skinned = skinned_;
    in.sizeable = form_->IsSizeable();
    in.maximized = frameState_ == wsMaximized;
    in.minimized = frameState_ == wsMinimized;
    in.rolledUp = rolledUp_;
    in.hoverObject = hover_ >= 0;
    for (const auto& o : objects_)
        if (dynamic_cast<const TbsSkinCaptionObject*>(o.get())) in.captionObjects.push_back(o->ObjectRect);
    if (skinned_) {
        in.newC = geo_.n.C;
        in.borderWidth = skinData_->FormInfo.borderwidth;
        in.hitLT = geo_.hitLT;
        in.hitRT = geo_.hitRT;
        in.hitLB = geo_.hitLB;
        in.hitRB = geo_.hitRB;
        in.shape = shape_ ? &*shape_ : nullptr;
    } else {
        in.captionHeight = DefaultCaptionHeightNow();
        in.captionArea = captionArea_;
    }
    return FrameHitTest(in, p);
}

}  // namespace frame
