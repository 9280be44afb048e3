#include "platform/Align.h"

#include <QChildEvent>
#include <QEvent>
#include <QVariant>

namespace platform {

namespace {
constexpr char kAlignProperty[] = "marlithAlign";
}

void SetBounds(QWidget* w, int left, int top, int width, int height) {
    if (!w) return;
    if (auto* b = dynamic_cast<BoundsControl*>(w)) {
        b->SetBounds(left, top, width, height);
        return;
    }
    w->setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void SetAlign(QWidget* w, TAlign align) {
    if (!w || AlignOf(w) == align) return;
    w->setProperty(kAlignProperty, int(align));
    if (auto* c = qobject_cast<Control*>(w->parentWidget())) c->Realign();
}

TAlign AlignOf(const QWidget* w) {
    if (!w) return alNone;
    const QVariant v = w->property(kAlignProperty);
    const int a = v.isValid() ? v.toInt() : alNone;
    return a >= alNone && a <= alClient ? TAlign(a) : alNone;
}

QRect AlignChildren(QWidget* container, const QRect& area) {
    // Edges of the free area, right and bottom excluded.
    int left = area.x(), top = area.y(), right = area.x() + area.width(), bottom = area.y() + area.height();
    if (!container) return area;
    const QObjectList kids = container->children();
    for (TAlign kind : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (QObject* o : kids) {
            auto* w = qobject_cast<QWidget*>(o);
            if (!w || w->isWindow() || w->isHidden() || AlignOf(w) != kind) continue;
            const int freeW = std::max(0, right - left), freeH = std::max(0, bottom - top);
            switch (kind) {
            case alTop:
                SetBounds(w, left, top, freeW, w->height());
                top += w->height();
                break;
            case alBottom:
                SetBounds(w, left, bottom - w->height(), freeW, w->height());
                // A control that fitted its height to something else still sits on the edge.
                if (w->y() + w->height() != bottom) SetBounds(w, w->x(), bottom - w->height(), w->width(), w->height());
                bottom = w->y();
                break;
            case alLeft:
                SetBounds(w, left, top, w->width(), freeH);
                left += w->width();
                break;
            case alRight:
                SetBounds(w, right - w->width(), top, w->width(), freeH);
                if (w->x() + w->width() != right) SetBounds(w, right - w->width(), w->y(), w->width(), w->height());
                right = w->x();
                break;
            case alClient: SetBounds(w, left, top, freeW, freeH); break;
            case alNone: break;
            }
        }
    }
    return QRect(left, top, std::max(0, right - left), std::max(0, bottom - top));
}

Control::Control(QWidget* parent) : QWidget(parent) {}

void Control::SetBounds(int left, int top, int width, int height) {
    setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void Control::Realign() {
    if (aligning_) {
        realignAgain_ = true;
        return;
    }
    aligning_ = true;
    // A child that the pass itself shows or hides (a grid made smaller shows its scroll
    // bar) asks for a pass while this one runs, whose rectangles were counted without
    // it: run the pass again, a few times at most, so that the last one sees every child
    // as it ended up.
    for (int pass = 0; pass < 4; ++pass) {
        realignAgain_ = false;
        AlignChildren(this, AlignArea());
        if (!realignAgain_) break;
    }
    aligning_ = false;
}

void Control::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    Realign();
}

void Control::childEvent(QChildEvent* e) {
    QWidget::childEvent(e);
    if (!e->child()->isWidgetType()) return;
    if (e->added()) {
        e->child()->installEventFilter(this);
    } else if (e->removed()) {
        e->child()->removeEventFilter(this);
        Realign();
    }
}

bool Control::eventFilter(QObject* watched, QEvent* e) {
    if (watched->parent() == this && (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent)) {
        if (AlignOf(static_cast<QWidget*>(watched)) != alNone) Realign();
    }
    return QWidget::eventFilter(watched, e);
}

}  // namespace platform
