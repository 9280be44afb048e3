#pragma once
// Align layout: the product's windows are laid out by docking, not by Qt layouts. A
// child with an alignment other than alNone is placed by its container's align pass:
//   alTop     across the top of the free area, at its own height;
//   alBottom  across the bottom, at its own height;
//   alLeft    down the left side of what is left, at its own width;
//   alRight   down the right side, at its own width;
//   alClient  over whatever is left.
// Kinds are taken in that order, and children of one kind in creation order; hidden
// children take no room. Each child is placed through one SetBounds path that a control
// may override to fit the size it is given (skinned controls keep their skin's size),
// and the free area shrinks by the size the child actually took.

#include <QRect>
#include <QWidget>

namespace platform {

enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A widget that decides its own bounds: SetBounds is the one place where its position
// and size change, so it can fit the size to what it can show.
class BoundsControl {
public:
    virtual ~BoundsControl() = default;
    virtual void SetBounds(int left, int top, int width, int height) = 0;
};

// Sets a widget's bounds through its own SetBounds when it has one, else setGeometry.
void SetBounds(QWidget* w, int left, int top, int width, int height);
inline void SetBounds(QWidget* w, const QRect& r) { SetBounds(w, r.x(), r.y(), r.width(), r.height()); }

// Alignment of any widget (kept with the widget). Setting it realigns the parent when
// the parent is a Control.
void SetAlign(QWidget* w, TAlign align);
TAlign AlignOf(const QWidget* w);

// The align pass over container's children within area; returns the area left free.
QRect AlignChildren(QWidget* container, const QRect& area);

// A windowed control of the product: alignment, the SetBounds path, and an align pass
// over its own children whenever its size or its children change.
class Control : public QWidget, public BoundsControl {
    Q_OBJECT

public:
    explicit Control(QWidget* parent = nullptr);

    TAlign Align() const { return AlignOf(this); }
    void SetAlign(TAlign align) { platform::SetAlign(this, align); }

    void SetBounds(int left, int top, int width, int height) override;
    void SetLeft(int v) { SetBounds(v, y(), width(), height()); }
    void SetTop(int v) { SetBounds(x(), v, width(), height()); }
    void SetWidth(int v) { SetBounds(x(), y(), v, height()); }
    void SetHeight(int v) { SetBounds(x(), y(), width(), v); }

    // Lays the aligned children out again inside AlignArea().
    void Realign();
    // The rectangle the children are aligned in; the whole control unless a container
    // keeps a border or caption band of its own.
    virtual QRect AlignArea() const { return rect(); }

protected:
    void resizeEvent(QResizeEvent* e) override;
    void childEvent(QChildEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    bool aligning_ = false;
    bool realignAgain_ = false;  // asked for during a pass
};

}  // namespace platform
