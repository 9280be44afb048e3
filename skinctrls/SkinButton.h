#pragma once
// TbsSkinButton: the push button of the skinned windows and of the message dialog,
// drawn from a "button" entry with separate images and font colours for the normal,
// active (hot), down and disabled looks, an optional cross-fade between normal and
// active, a glyph beside the caption, speed-button grouping (GroupIndex, Down,
// AllowAllUp), auto-repeat while held, and the dialog roles Default, Cancel and
// ModalResult.
//
// Every click (mouse, keys, repeat, accelerator) passes through ButtonClick, which sets
// the form's modal result for a focusable button and then fires OnClick.

#include <QImage>
#include <QTimer>

#include "skinctrls/ButtonLayout.h"
#include "skinctrls/DialogKeys.h"
#include "skinctrls/SkinControl.h"

namespace skinctrls {

class TbsSkinButton : public TbsSkinCustomControl, public DialogKeyReceiver {
    Q_OBJECT

public:
    explicit TbsSkinButton(QWidget* parent = nullptr);
    ~TbsSkinButton() override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);

    bool RepeatMode() const { return repeatMode_; }
    void SetRepeatMode(bool v) { repeatMode_ = v; }
    int RepeatInterval() const { return repeatInterval_; }
    void SetRepeatInterval(int ms) { repeatInterval_ = ms; }
    bool AllowAllUp() const { return allowAllUp_; }
    void SetAllowAllUp(bool v) { allowAllUp_ = v; }
    bool CanFocused() const { return canFocused_; }
    void SetCanFocused(bool v);
    bool TabStop() const { return tabStop_; }
    void SetTabStop(bool v);
    bool Down() const { return down_; }
    void SetDown(bool v);
    int GroupIndex() const { return groupIndex_; }
    void SetGroupIndex(int v);
    const QImage& Glyph() const { return glyph_; }
    void SetGlyph(const QImage& g);
    int NumGlyphs() const { return numGlyphs_; }
    void SetNumGlyphs(int n);  // 1..4
    int Margin() const { return margin_; }
    void SetMargin(int v);     // -1 or more
    int Spacing() const { return spacing_; }
    void SetSpacing(int v);
    TbsButtonLayout Layout() const { return layout_; }
    void SetLayout(TbsButtonLayout l);
    bool Default() const { return default_; }
    void SetDefault(bool v);
    bool Cancel() const { return cancel_; }
    void SetCancel(bool v) { cancel_ = v; }
    int ModalResult() const { return modalResult_; }
    void SetModalResult(int v) { modalResult_ = v; }

    TNotifyEvent OnClick;

    // Run-time state (for the main window's tests and the preview).
    bool Hot() const { return hot_; }
    bool Pressed() const { return pressed_; }
    bool ActiveDefault() const { return activeDefault_; }
    double MorphFactor() const { return morphFactor_; }
    bool RepeatTimerRunning() const { return repeatTimer_.isActive(); }
    bool MorphTimerRunning() const { return morphTimer_.isActive(); }
    // Shows the hot look as the mouse would (preview and demo of states).
    void SetHot(bool v);
    // The look the button paints now.
    ButtonLook CurrentLook() const;

    // --- virtual operations added after those of the custom control, in slot order ----
    virtual void DrawState(QImage& bmp, const skin::Rect& stateRect, bool active, bool down);
    virtual void ButtonClick();

    QImage Render() override;
    void LoadSkinEntry() override;
    void DrawDefault(QImage& bmp) override;
    void ApplySkin() override;

    // DialogKeyReceiver
    bool DialogKey(int key, Qt::KeyboardModifiers modifiers) override;
    bool DialogChar(QChar ch) override;

protected:
    bool AcceptsEntry(const skin::TbsDataSkinControl& entry) const override;

    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void keyReleaseEvent(QKeyEvent* e) override;
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // The button values of the entry.
    struct ButtonSkin {
        platform::TFont font;
        platform::TColor activefontcolor = 0, downfontcolor = 0, disabledfontcolor = 0;
        skin::Rect activeRect, downRect, disabledRect;
        bool morphing = false;
        int morphkind = 0;
    };

    ButtonState State() const;
    bool IsFocused() const;
    // The face in its present look, without the focus mark.
    QImage RenderFace();
    void MouseEntered();
    void MouseLeft();
    void Refresh();
    void MorphTick();
    void StartRepeat();
    void StopRepeat();
    void FocusChanged(QWidget* now);
    void NotifyFormFocus();
    void UpdateFocusPolicy();
    // Lays glyph and caption out in r and draws them.
    void DrawContent(QPainter& p, const skin::Rect& r, const QFont& font, platform::TColor color, int glyphFrame,
                     bool offset);

    QString caption_;
    bool repeatMode_ = false;
    int repeatInterval_ = 100;
    bool allowAllUp_ = false;
    bool canFocused_ = true;
    bool tabStop_ = true;
    bool down_ = false;
    int groupIndex_ = 0;
    QImage glyph_;
    int numGlyphs_ = 2;
    int margin_ = -1;
    int spacing_ = 1;
    TbsButtonLayout layout_ = blGlyphLeft;
    bool default_ = false;
    bool cancel_ = false;
    int modalResult_ = 0;

    ButtonSkin buttonSkin_;
    bool hot_ = false;
    bool mouseInside_ = false;
    bool pressed_ = false;
    bool raiseOnRelease_ = false;
    bool activeDefault_ = false;
    double morphFactor_ = 0;
    QTimer repeatTimer_;
    QTimer morphTimer_;
};

}  // namespace skinctrls
