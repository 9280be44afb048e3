#pragma once
// TbsSkinScrollBar: a stand-alone scroll bar drawn from a scroll-bar entry ("hscrollbar",
// "vscrollbar", "bothhscrollbar"), with a thumb to drag, up and down buttons that step
// and repeat while held, a track that pages toward the mouse, and an optional page size
// that makes the thumb proportional. The data grid drives it through SetBarRange and
// listens to OnChange and OnLastChange.

#include <QTimer>

#include "skinctrls/ScrollBarLayout.h"
#include "skinctrls/SkinControl.h"

namespace skinctrls {

enum TScrollBarKind { sbHorizontal, sbVertical };

class TbsSkinScrollBar : public TbsSkinCustomControl {
    Q_OBJECT

public:
    explicit TbsSkinScrollBar(QWidget* parent = nullptr);
    ~TbsSkinScrollBar() override;

    TScrollBarKind Kind() const { return kind_; }
    void SetKind(TScrollBarKind k);
    int Min() const { return values_.min; }
    void SetMin(int v);
    int Max() const { return values_.max; }
    void SetMax(int v);
    int Position() const { return values_.position; }
    void SetPosition(int v);
    int PageSize() const { return values_.pageSize; }
    void SetPageSize(int v);
    int SmallChange() const { return smallChange_; }
    void SetSmallChange(int v);
    int LargeChange() const { return largeChange_; }
    void SetLargeChange(int v);
    bool Both() const { return both_; }
    void SetBoth(bool v);
    int BothMarkerWidth() const { return bothMarkerWidth_; }
    void SetBothMarkerWidth(int v);
    QString BothSkinDataName() const { return bothSkinDataName_; }
    void SetBothSkinDataName(const QString& n) { bothSkinDataName_ = n; }
    bool CanFocused() const { return canFocused_; }
    void SetCanFocused(bool v);

    // Range, page and position at once (position clamped); fires no OnChange.
    void SetBarRange(int min, int max, int pageSize, int position);

    TNotifyEvent OnChange;      // Position changed
    TNotifyEvent OnLastChange;  // left button released after a thumb drag or a track click
    // When assigned they replace the buttons' own step.
    TNotifyEvent OnUpButtonClick, OnDownButtonClick;

    // The parts as laid out for the present size, values and entry.
    const ScrollLayout& LayoutParts() const { return layout_; }
    // The position a thumb dragged to offset a from the track start stands for.
    int PositionFromOffset(int a) const;

    // Run-time state (tests and the preview).
    ScrollPart HotPart() const { return hotPart_; }
    ScrollPart PressedPart() const { return pressedPart_; }
    bool Dragging() const { return dragging_; }
    int RepeatMode() const { return repeatMode_; }
    bool RepeatTimerRunning() const { return timer_.isActive(); }
    // Shows a part hot or pressed as the mouse would (preview and demo of states).
    void ShowPartState(ScrollPart part, bool hot, bool pressed);

    void LoadSkinEntry() override;
    void Relayout() override;
    void DrawDefault(QImage& bmp) override;
    void DrawSkinned(QImage& bmp) override;

protected:
    bool AcceptsEntry(const skin::TbsDataSkinControl& entry) const override;

    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // Pictures of the entry (picture rectangles) with the empty ones substituted.
    struct ScrollSkin {
        ScrollSkinGeometry geometry;
        skin::Rect activeUp, downUp, activeDown, downDown;
        skin::Rect thumb, activeThumb, downThumb;
        int thumbOffset1 = 0, thumbOffset2 = 0;
        skin::Rect glyph, activeGlyph, downGlyph;
    };

    bool Horizontal() const { return kind_ == sbHorizontal; }
    // Lays the parts out again for a new value, kind or corner, and repaints.
    void PartsChanged();
    int Along(QPoint p) const { return Horizontal() ? p.x() : p.y(); }
    void StepUp(int by, bool button);
    void StepDown(int by, bool button);
    void UpdateHot(QPoint p);
    void Tick();
    bool ThumbLit() const;
    bool BeforeThumb(const ScrollLayout& l, QPoint p) const;
    bool BeyondThumb(const ScrollLayout& l, QPoint p) const;

    TScrollBarKind kind_ = sbHorizontal;
    ScrollValues values_;
    int smallChange_ = 1;
    int largeChange_ = 1;
    bool both_ = false;
    int bothMarkerWidth_ = 0;
    QString bothSkinDataName_ = QStringLiteral("bothhscrollbar");
    QString savedSkinDataName_;
    bool canFocused_ = false;

    ScrollSkin scrollSkin_;
    ScrollLayout layout_;
    ScrollPart pressedPart_ = ScrollPart::None;
    ScrollPart hotPart_ = ScrollPart::None;
    bool dragging_ = false;
    int dragStart_ = 0, dragStartOffset_ = 0, dragStartPosition_ = 0;
    bool mouseDown_ = false;
    bool mouseInside_ = false;
    bool trackClick_ = false;
    QPoint lastMouse_;
    int repeatMode_ = 0;  // 0 none, 1 down button, 2 up button, 3 page down, 4 page up
    bool firstTickPending_ = false;
    QTimer timer_;
};

}  // namespace skinctrls
