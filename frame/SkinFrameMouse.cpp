// The mouse on the frame: which object is under it, presses, releases, moves and double
// clicks on the non-client area, the frame's own moving and resizing, the cursor shape,
// and the tracking timer that notices the mouse leaving.

#include "frame/SkinFrame.h"

#include <QCursor>
#include <QMouseEvent>
#include <QWindow>

#include "frame/FrameObjects.h"

namespace frame {

using skin::Rect;

namespace {

bool IsEdge(int hit) { return hit >= HTLEFT && hit <= HTBOTTOMRIGHT; }

Qt::Edges EdgesOf(int hit) {
    switch (hit) {
    case HTLEFT: return Qt::LeftEdge;
    case HTRIGHT: return Qt::RightEdge;
    case HTTOP: return Qt::TopEdge;
    case HTBOTTOM: return Qt::BottomEdge;
    case HTTOPLEFT: return Qt::TopEdge | Qt::LeftEdge;
    case HTTOPRIGHT: return Qt::TopEdge | Qt::RightEdge;
    case HTBOTTOMLEFT: return Qt::BottomEdge | Qt::LeftEdge;
    case HTBOTTOMRIGHT: return Qt::BottomEdge | Qt::RightEdge;
    default: return {};
    }
}

}  // namespace

// ===== objects under the mouse =============================================================

void TbsSkinFrame::TrackFrameObjects(QPoint p, bool inside) {
    if ((!FormActive() && !activatingPress_) || objects_.empty()) return;
    prevHover_ = hover_;
    int found = -1;
    if (inside) {
        for (size_t i = 0; i < objects_.size(); ++i) {
            const auto& o = objects_[i];
            if (o->Enabled && o->Visible && PtInRect(o->ObjectRect, p)) {
                found = int(i);
                break;
            }
        }
    }
    if (captured_ >= 0 && found != captured_) found = -1;
    hover_ = found;
    if (hover_ == prevHover_) return;
    if (prevHover_ >= 0 && prevHover_ < int(objects_.size())) {
        TbsActiveSkinObject* o = objects_[size_t(prevHover_)].get();
        if (o->Enabled && o->Visible) o->ObjectMouseLeave();
    }
    if (hover_ >= 0) objects_[size_t(hover_)]->ObjectMouseEnter();
}

// ===== mouse ===============================================================================

void TbsSkinFrame::MousePress(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    const bool inside = !PtInRect(ClientRectOf(form_->size()), p);
    // A click on an inactive window activates it and acts at once, as on any desktop;
    // the window system reports the activation only afterwards.
    activatingPress_ = !FormActive();
    if (activatingPress_ && !activeOverride_) form_->activateWindow();
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{activatingPress_};
    if (e->button() == Qt::LeftButton) {
        const int hit = HitTest(p);
        // The window system's part comes first: caption drags and border resizing.
        if (hit == HTCAPTION && frameState_ != wsMaximized) {
            drag_ = Drag::PendingMove;
            dragStartGlobal_ = global;
            dragStartGeometry_ = form_->geometry();
        } else if (IsEdge(hit)) {
            BeginDrag(hit, global);
        }
        TrackFrameObjects(p, inside);
        captured_ = hover_;
        if (captured_ >= 0) objects_[size_t(captured_)]->ObjectMouseDown(p.x(), p.y(), Qt::LeftButton);
    } else if (e->button() == Qt::RightButton) {
        TrackFrameObjects(p, inside);
        captured_ = hover_;
        if (captured_ >= 0) objects_[size_t(captured_)]->ObjectMouseDown(p.x(), p.y(), Qt::RightButton);
        if (HitTest(p) == HTCAPTION) {
            // The menu takes the mouse from here on; the object hears no button-up.
            captured_ = -1;
            ShowSystemMenu(global);
        }
    }
}

void TbsSkinFrame::MouseRelease(QMouseEvent* e) {
    if (drag_ != Drag::None) EndDrag();
    if (captured_ < 0 || captured_ >= int(objects_.size())) {
        captured_ = -1;
        return;
    }
    TbsActiveSkinObject* o = objects_[size_t(captured_)].get();
    captured_ = -1;
    const QPoint p = e->position().toPoint();
    // Hover tracking pauses while the window is inactive; where the button comes up decides.
    if (!PtInRect(o->ObjectRect, p)) o->MouseIn = false;
    QPointer<TbsSkinFrame> self(this);
    o->ObjectMouseUp(p.x(), p.y(), e->button());
    if (!self || !form_) return;
    // The hover may have changed while the object was held.
    TrackFrameObjects(p, !PtInRect(ClientRectOf(form_->size()), p));
}

void TbsSkinFrame::MouseMove(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    const QPoint global = e->globalPosition().toPoint();
    if (drag_ == Drag::PendingMove && (e->buttons() & Qt::LeftButton) && global != dragStartGlobal_) {
        // A caption object hears no button-up once the drag has begun.
        if (captured_ >= 0 && dynamic_cast<TbsSkinCaptionObject*>(objects_[size_t(captured_)].get())) captured_ = -1;
        BeginDrag(HTCAPTION, global);
    }
    if (drag_ == Drag::Move) {
        QRect r = dragStartGeometry_.translated(global - dragStartGlobal_);
        if (magnetic_ && frameState_ != wsMaximized)
            r = MagneticSnap(r, Rect::FromQRect(platform::WorkArea(form_)), magneticSize_);
        form_->move(r.topLeft());
        return;
    }
    if (drag_ == Drag::Resize) {
        const QRect max = maximizeOnFullScreen_ ? platform::ScreenRect(form_) : platform::WorkArea(form_);
        form_->setGeometry(
            ResizeByHitCode(dragStartGeometry_, dragHit_, global - dragStartGlobal_, MinimumTrackSize(), max.size()));
        return;
    }
    TrackFrameObjects(p, !PtInRect(ClientRectOf(form_->size()), p));
    const int hit = HitTest(p);
    UpdateCursorShape(hit);
    if (hover_ >= 0 && !trackTimer_.isActive() && FormActive()) trackTimer_.start();
    const int target = captured_ >= 0 ? captured_ : hover_;
    if (target >= 0 && target < int(objects_.size())) objects_[size_t(target)]->ObjectMouseMove(p.x(), p.y());
}

void TbsSkinFrame::MouseDoubleClick(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton) return;
    const QPoint p = e->position().toPoint();
    const int hit = HitTest(p);
    const int hover = hover_;
    QPointer<TbsSkinFrame> self(this);
    if (hit == HTCAPTION) CaptionDoubleClick();
    if (!self || !form_) return;
    if (hover >= 0 && hover == hover_ && hover < int(objects_.size())) objects_[size_t(hover)]->ObjectDblClick();
}

void TbsSkinFrame::UpdateCursorShape(int hit) {
    Qt::CursorShape shape = Qt::ArrowCursor;
    switch (hit) {
    case HTLEFT:
    case HTRIGHT: shape = Qt::SizeHorCursor; break;
    case HTTOP:
    case HTBOTTOM: shape = Qt::SizeVerCursor; break;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT: shape = Qt::SizeFDiagCursor; break;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT: shape = Qt::SizeBDiagCursor; break;
    default: break;
    }
    if (form_->cursor().shape() != shape) form_->setCursor(shape);
}

bool TbsSkinFrame::BeginDrag(int hit, QPoint globalPos) {
    if (drag_ != Drag::PendingMove) {
        dragStartGlobal_ = globalPos;
        dragStartGeometry_ = form_->geometry();
    }
    dragHit_ = hit;
    inSizeMove_ = true;
    QWindow* w = form_->windowHandle();
    if (hit == HTCAPTION) {
        // Magnetic snapping needs every step of the move, so the frame moves the window.
        if (!magnetic_ && w && w->startSystemMove()) {
            drag_ = Drag::None;
            inSizeMove_ = false;
            return true;
        }
        drag_ = Drag::Move;
        return false;
    }
    if (w && w->startSystemResize(EdgesOf(hit))) {
        drag_ = Drag::None;
        inSizeMove_ = false;
        return true;
    }
    drag_ = Drag::Resize;
    return false;
}

void TbsSkinFrame::EndDrag() {
    const bool moved = drag_ == Drag::Move || drag_ == Drag::Resize;
    drag_ = Drag::None;
    inSizeMove_ = false;
    if (moved && skinned_) form_->update();
}

// ===== tracking timer ======================================================================

void TbsSkinFrame::TrackingTimerTick() {
    if (!form_ || !FormActive()) {
        trackTimer_.stop();
        return;
    }
    const QPoint p = form_->mapFromGlobal(QCursor::pos());
    const bool over = form_->rect().contains(p) && (form_->mask().isEmpty() || form_->mask().contains(p));
    if (over) {
        if (inSizeMove_) return;
        if (!PtInRect(ClientRectOf(form_->size()), p))
            TrackFrameObjects(p, true);
        else if (hover_ >= 0)
            TrackFrameObjects(p, false);
    } else {
        TrackFrameObjects(p, false);
        trackTimer_.stop();
    }
}

}  // namespace frame
