#pragma once
// TbsSkinMessage: a component that shows a modal message box built from skinned parts:
// a dialog window with a skinned frame, the system icon of its kind, a skinned label
// holding the text and a row of skinned buttons. ShowSkinMessage returns the modal
// result of the button that closed it (2 when the window is closed otherwise).
//
// TbsMessageForm is the dialog window: a form with position screen-centre and the dialog
// border, owning a skinned frame without caption buttons.

#include <QLabel>
#include <QObject>
#include <QPointer>

#include <memory>

#include "frame/SkinFrame.h"
#include "platform/Form.h"
#include "skinctrls/MessageLayout.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinLabel.h"

namespace skinctrls {

class TbsMessageForm : public platform::Form {
    Q_OBJECT

public:
    explicit TbsMessageForm(QWidget* owner = nullptr);

    frame::TbsSkinFrame* Frame() const { return frame_; }
    TbsSkinStdLabel* Message() const { return message_; }
    void SetMessage(TbsSkinStdLabel* label) { message_ = label; }
    // The form's client size (the frame's borders added around it).
    void SetClientSize(QSize client);
    QSize ClientSize() const;
    // The button of that kind (component name "OK", "Yes", ...), or null.
    TbsSkinButton* Button(TMsgDlgBtn kind) const;
    QLabel* Icon() const;

private:
    frame::TbsSkinFrame* frame_;
    QPointer<TbsSkinStdLabel> message_;
};

class TbsSkinMessage : public QObject {
    Q_OBJECT

public:
    explicit TbsSkinMessage(QObject* owner = nullptr);

    // Skin of the dialog's frame.
    skin::TbsSkinData* SkinData() const { return skinData_; }
    void SetSkinData(skin::TbsSkinData* d) { skinData_ = d; }
    // Skin of the label and the buttons; also the frame's menu skin.
    skin::TbsSkinData* CtrlSkinData() const { return ctrlSkinData_; }
    void SetCtrlSkinData(skin::TbsSkinData* d) { ctrlSkinData_ = d; }
    QString ButtonSkinDataName() const { return buttonSkinDataName_; }
    void SetButtonSkinDataName(const QString& n) { buttonSkinDataName_ = n; }
    QString MessageLabelSkinDataName() const { return messageLabelSkinDataName_; }
    void SetMessageLabelSkinDataName(const QString& n) { messageLabelSkinDataName_ = n; }
    platform::TFont DefaultFont() const { return defaultFont_; }
    void SetDefaultFont(const platform::TFont& f) { defaultFont_ = f; }
    platform::TFont DefaultButtonFont() const { return defaultButtonFont_; }
    void SetDefaultButtonFont(const platform::TFont& f) { defaultButtonFont_ = f; }
    bool UseSkinFont() const { return useSkinFont_; }
    void SetUseSkinFont(bool v) { useSkinFont_ = v; }
    bool AlphaBlend() const { return alphaBlend_; }
    void SetAlphaBlend(bool v) { alphaBlend_ = v; }
    bool AlphaBlendAnimation() const { return alphaBlendAnimation_; }
    void SetAlphaBlendAnimation(bool v) { alphaBlendAnimation_ = v; }
    int AlphaBlendValue() const { return alphaBlendValue_; }
    void SetAlphaBlendValue(int v) { alphaBlendValue_ = std::clamp(v, 0, 255); }

    // Builds the dialog, shows it modally, frees it and returns its modal result. The
    // help context is accepted and not used.
    int ShowSkinMessage(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons, int helpContext = 0);

    // The dialog as ShowSkinMessage builds it, not shown; the caller owns it.
    std::unique_ptr<TbsMessageForm> CreateMessageForm(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons);

    // A caption of the dialog's own for one kind of button (its modal result stays the
    // kind's); empty gives the standard caption back.
    void SetButtonCaption(TMsgDlgBtn button, const QString& caption) { captions_[button] = caption; }

    // Height of the dialog's buttons: the button entry's, or 25 without one.
    int ButtonHeight() const;

private:
    QPointer<skin::TbsSkinData> skinData_, ctrlSkinData_;
    QString buttonSkinDataName_ = QStringLiteral("button");
    QString messageLabelSkinDataName_ = QStringLiteral("stdlabel");
    QString captions_[kMsgDlgButtonCount];
    // Both start as the default font of a component.
    platform::TFont defaultFont_;
    platform::TFont defaultButtonFont_;
    bool useSkinFont_ = true;
    bool alphaBlend_ = false;
    bool alphaBlendAnimation_ = false;
    int alphaBlendValue_ = 200;
};

}  // namespace skinctrls
