#pragma once
// TbsSkinEdit: the single-line text box of the skinned windows, with an optional
// embedded button (the project code box opens the lookup dialog through it).
//
// The text is a real QLineEdit (input methods for Chinese, selection, clipboard, undo),
// transparent, placed in the control's client area; the control itself paints the frame
// around it and the background under it from the "edit" / "buttonedit" entries (or a
// plain two-pixel frame and a plain button without an entry). The margins between the
// control's edge and the text box are the skin's "non-client" margins.
//
// Class chain: TbsCustomEdit (the text box: read-only handling, password character,
// alignment, font), TbsSkinCustomEdit (skinning), TbsSkinEdit (the defaults).

#include <QLineEdit>

#include <functional>

#include "platform/Align.h"
#include "platform/Fonts.h"
#include "platform/SkinDispatch.h"
#include "skin/SkinData.h"
#include "skinctrls/EditGeometry.h"
#include "skinctrls/Events.h"
#include "skinctrls/SkinBinding.h"

class QProxyStyle;

namespace skinctrls {

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TbsCustomEdit : public platform::Control {
    Q_OBJECT

public:
    explicit TbsCustomEdit(QWidget* parent = nullptr);
    ~TbsCustomEdit() override;

    // The text box itself (selection, clipboard, input mask and the like).
    QLineEdit* LineEdit() const { return edit_; }

    QString Text() const { return edit_->text(); }
    // Text set by the program is neither checked nor refused (TextCheck is for the clerk's
    // typing), but MaxLength cuts it.
    void SetText(const QString& t);
    int MaxLength() const { return edit_->maxLength(); }
    void SetMaxLength(int n) { edit_->setMaxLength(n > 0 ? n : 32767); }
    // Says why a text may not stand in the box; empty when it may. What is typed, pasted
    // or composed that it refuses leaves the box as it was, and OnRefused says why.
    using TTextCheck = std::function<QString(const QString& text)>;
    void SetTextCheck(TTextCheck check);
    // Input mask in Qt's notation (empty for none).
    QString EditMask() const { return edit_->inputMask(); }
    void SetEditMask(const QString& m) { edit_->setInputMask(m); }
    TEditCharCase CharCase() const { return charCase_; }
    void SetCharCase(TEditCharCase c);
    // Typing, Delete, cut, paste and undo change nothing; moving and copying still work.
    bool ReadOnly() const { return edit_->isReadOnly(); }
    void SetReadOnly(bool v) { edit_->setReadOnly(v); }
    // When set, every character shows as this one (QChar() for none).
    QChar EditPasswordChar() const { return passwordChar_; }
    void SetEditPasswordChar(QChar c);
    skin::Alignment Alignment() const { return alignment_; }
    void SetAlignment(skin::Alignment a);
    // The working font; its colour is the text colour.
    platform::TFont Font() const { return font_; }
    void SetFont(const platform::TFont& f);

    TNotifyEvent OnChange;  // the text changed
    TNotifyEvent OnEnter;   // the text box took the focus
    TNotifyEvent OnExit;    // the focus went to another control
    // Typed or pasted text was refused: reason is the text check's, or empty when the
    // text went beyond MaxLength (what fitted was kept).
    std::function<void(QObject* sender, const QString& reason)> OnRefused;

protected:
    // The text box's focus moved (called after the box's own handling).
    virtual void EditFocusChanged(bool focused);
    // The text box's mouse moved (client-area move).
    virtual void EditMouseMoved() {}
    bool eventFilter(QObject* watched, QEvent* e) override;
    // The one validator of the box: the character case, then the text check.
    void InstallValidator();

    QLineEdit* edit_ = nullptr;  // null until the constructor has made it
    QProxyStyle* editStyle_ = nullptr;
    platform::TFont font_;  // the default font until one is set
    QChar passwordChar_;
    skin::Alignment alignment_ = skin::taLeftJustify;
    TEditCharCase charCase_ = ecNormal;
    TTextCheck textCheck_;
    // The reason the validator gave for the last text it refused; the program's SetText
    // under way (nothing is refused then).
    QString refusal_;
    bool settingText_ = false;
};

class TbsSkinCustomEdit : public TbsCustomEdit, public platform::SkinnedControl {
    Q_OBJECT

public:
    explicit TbsSkinCustomEdit(QWidget* parent = nullptr);
    ~TbsSkinCustomEdit() override;

    skin::TbsSkinData* SkinData() const { return binding_.Data(); }
    void SetSkinData(skin::TbsSkinData* d) { AssignSkinData(d); }
    QString SkinDataName() const { return binding_.Name(); }
    // Stores the name; with a usable skin data the new entry applies at once.
    void SetSkinDataName(const QString& n);
    bool ButtonMode() const { return buttonMode_; }
    void SetButtonMode(bool v);
    platform::TFont DefaultFont() const { return binding_.DefaultFont(); }
    void SetDefaultFont(const platform::TFont& f);
    bool UseSkinFont() const { return binding_.UseSkinFont(); }
    void SetUseSkinFont(bool v) { binding_.SetUseSkinFont(v); }
    int DefaultWidth() const { return binding_.DefaultWidth(); }
    void SetDefaultWidth(int v);
    int DefaultHeight() const { return binding_.DefaultHeight(); }
    void SetDefaultHeight(int v);

    TNotifyEvent OnButtonClick;
    TNotifyEvent OnMouseEnter, OnMouseLeave;

    // Run-time state (tests and the preview).
    int EntryIndex() const { return binding_.Index(); }
    bool Hot() const { return hot_; }
    bool ButtonHot() const { return buttonHot_; }
    bool ButtonPressed() const { return buttonPressed_; }
    // Shows the hot / button states as the mouse would (preview and demo of states).
    void ShowState(bool hot, bool buttonHot, bool buttonPressed);
    // Text and button rectangles (window coordinates) and the margins around the text
    // box, laid out for the present size, button mode and entry.
    const EditRects& Rects() const { return rects_; }
    const QMargins& Margins() const { return margins_; }
    // The frame and background as painted (without the text box's own pixels).
    QImage RenderFrame() const;

    // --- virtual operations added here, in slot order ---------------------------------
    virtual void AssignSkinData(skin::TbsSkinData* d);
    virtual void ApplySkin();

    // Looks the entry up and keeps what the control draws from (when the skin data, the
    // entry name or the skin changes, never while painting).
    void LoadSkinEntry();
    void SetBounds(int left, int top, int width, int height) override;

    // platform::SkinnedControl
    skin::TbsSkinData* ControlSkinData() const override { return binding_.Data(); }
    void SkinChanging() override {
        binding_.Forget();
        Relayout();
    }
    void SkinChanged() override { ApplySkin(); }

protected:
    // Lays the rectangles and margins out again, and puts the text box inside them.
    void PlaceTextBox();
    void EditFocusChanged(bool focused) override;
    void EditMouseMoved() override;
    // F4 and Alt+Down in the text box press the embedded button, as a drop-down does.
    bool eventFilter(QObject* watched, QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    // The values copied from an "edit" entry.
    struct EditSkin {
        QImage picture;
        skin::Rect normalRect, hotRect;
        int leftWidth = 0, rightWidth = 0;
        EditSkinGeometry geometry;
        platform::TFont font;
        platform::TColor disabledfontcolor = 0, activefontcolor = 0;
        skin::Rect activeButton, downButton, unenabledButton;
    };

    bool HasEntry() const { return binding_.HasEntry(); }
    void CopyEntry(const skin::TbsDataSkinEditControl& e);
    // Rectangles and margins for the present size, button mode and entry.
    void Relayout();
    bool OnButton(QPoint p) const;
    void SetFontColor(platform::TColor c);
    void DrawDisabledText(QPainter& p, const EditRects& r, const QMargins& m) const;

    SkinBinding binding_;
    bool buttonMode_ = false;

    EditSkin editSkin_;
    EditRects rects_;
    QMargins margins_;
    bool hot_ = false;
    bool buttonHot_ = false;
    bool buttonPressed_ = false;
};

class TbsSkinEdit : public TbsSkinCustomEdit {
    Q_OBJECT

public:
    explicit TbsSkinEdit(QWidget* parent = nullptr);
};

}  // namespace skinctrls
