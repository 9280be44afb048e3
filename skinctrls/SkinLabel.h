#pragma once
// TbsSkinStdLabel: a transparent text label (it paints no background of its own) whose
// font and colour come from a "stdlabel" entry of the skin when one is found.

#include <QPointer>
#include <QWidget>

#include "platform/Fonts.h"
#include "platform/SkinDispatch.h"
#include "skinctrls/DialogKeys.h"
#include "skinctrls/Events.h"
#include "skinctrls/SkinBinding.h"

namespace skinctrls {

enum TTextLayout { tlTop, tlCenter, tlBottom };

class TbsSkinStdLabel : public QWidget, public platform::SkinnedControl, public DialogKeyReceiver {
    Q_OBJECT

public:
    explicit TbsSkinStdLabel(QWidget* parent = nullptr);

    QString Caption() const { return caption_; }
    void SetCaption(const QString& c);
    skin::Alignment Alignment() const { return alignment_; }
    void SetAlignment(skin::Alignment a);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool v);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout l);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool v);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool v);
    // The control an accelerator of the caption focuses.
    QWidget* FocusControl() const { return focusControl_; }
    void SetFocusControl(QWidget* w) { focusControl_ = w; }
    platform::TFont Font() const { return font_; }
    void SetFont(const platform::TFont& f);
    platform::TFont DefaultFont() const { return binding_.DefaultFont(); }
    void SetDefaultFont(const platform::TFont& f);
    bool UseSkinFont() const { return binding_.UseSkinFont(); }
    void SetUseSkinFont(bool v);

    skin::TbsSkinData* SkinData() const { return binding_.Data(); }
    void SetSkinData(skin::TbsSkinData* d);
    QString SkinDataName() const { return binding_.Name(); }
    void SetSkinDataName(const QString& n);

    TNotifyEvent OnMouseEnter, OnMouseLeave;

    // Index of the entry as last looked up, -1 for none.
    int EntryIndex() const { return binding_.Index(); }
    // The font the label draws with now (skin font or its own), colour included.
    platform::TFont DrawFont() const;
    // The caption's size as drawn (the size auto-sizing gives the label).
    QSize TextSize() const;
    // Sets the size to the text's when AutoSize is on (the right edge stays for
    // right-aligned text).
    void AdjustBounds();

    // platform::SkinnedControl
    skin::TbsSkinData* ControlSkinData() const override { return binding_.Data(); }
    void SkinChanging() override { binding_.Forget(); }
    void SkinChanged() override;

    // DialogKeyReceiver: the caption's accelerator focuses FocusControl.
    bool DialogKey(int, Qt::KeyboardModifiers) override { return false; }
    bool DialogChar(QChar ch) override;

protected:
    void paintEvent(QPaintEvent* e) override;
    void changeEvent(QEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;

private:
    void LoadEntry();
    int TextFlags() const;
    QString TextToDraw(bool measuring) const;

    QString caption_;
    skin::Alignment alignment_ = skin::taLeftJustify;
    bool autoSize_ = true;
    TTextLayout layout_ = tlTop;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    QPointer<QWidget> focusControl_;
    platform::TFont font_;
    SkinBinding binding_;
    bool entryFont_ = false;
    platform::TFont skinFont_;
};

}  // namespace skinctrls
