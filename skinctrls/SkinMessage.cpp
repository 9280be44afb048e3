#include "skinctrls/SkinMessage.h"

#include <QApplication>
#include <QGuiApplication>
#include <QStyle>

namespace skinctrls {

namespace {

// The desktop theme's standard icon of a dialog kind; none for the custom kind.
QPixmap KindIcon(TMsgDlgType kind) {
    QStyle::StandardPixmap sp;
    switch (kind) {
    case mtWarning: sp = QStyle::SP_MessageBoxWarning; break;
    case mtError: sp = QStyle::SP_MessageBoxCritical; break;
    case mtInformation: sp = QStyle::SP_MessageBoxInformation; break;
    case mtConfirmation: sp = QStyle::SP_MessageBoxQuestion; break;
    default: return {};
    }
    return QApplication::style()->standardIcon(sp).pixmap(32, 32);
}

}  // namespace

// ===== TbsMessageForm ========================================================================

TbsMessageForm::TbsMessageForm(QWidget* owner) : platform::Form(owner), frame_(new frame::TbsSkinFrame(this)) {
    SetBorderStyle(platform::bsDialog);
    frame_->SetBorderIcons({});
}

QSize TbsMessageForm::ClientSize() const { return Client()->size(); }

void TbsMessageForm::SetClientSize(QSize client) {
    // The frame's borders do not depend on the window size: measure them on a size
    // large enough for any frame.
    const QSize probe(4000, 4000);
    const QRect c = frame_->ClientRectFor(probe);
    resize(client.width() + probe.width() - c.width(), client.height() + probe.height() - c.height());
}

TbsSkinButton* TbsMessageForm::Button(TMsgDlgBtn kind) const {
    return Client()->findChild<TbsSkinButton*>(QString::fromLatin1(MsgButtonInfoOf(kind).name),
                                               Qt::FindDirectChildrenOnly);
}

QLabel* TbsMessageForm::Icon() const {
    return Client()->findChild<QLabel*>(QStringLiteral("Image"), Qt::FindDirectChildrenOnly);
}

// ===== TbsSkinMessage ========================================================================

TbsSkinMessage::TbsSkinMessage(QObject* owner) : QObject(owner) {}

int TbsSkinMessage::ButtonHeight() const {
    if (!ctrlSkinData_ || ctrlSkinData_->IsEmpty()) return kMsgPlainButtonHeight;
    const auto* e = ctrlSkinData_->FindControl<skin::TbsDataSkinButtonControl>(buttonSkinDataName_);
    return e ? e->skinrect.Height() : kMsgPlainButtonHeight;
}

std::unique_ptr<TbsMessageForm> TbsSkinMessage::CreateMessageForm(const QString& text, TMsgDlgType kind,
                                                                  TMsgDlgButtons buttons) {
    // 1. The dialog and its frame.
    auto form = std::make_unique<TbsMessageForm>();
    frame::TbsSkinFrame* frame = form->Frame();
    frame->SetSkinData(skinData_);
    frame->SetMenusSkinData(ctrlSkinData_);
    frame->SetAlphaBlend(alphaBlend_);
    frame->SetAlphaBlendAnimation(alphaBlendAnimation_);
    frame->SetAlphaBlendValue(alphaBlendValue_);

    // 2, 3. Buttons and their row.
    const int buttonHeight = ButtonHeight();
    const int n = MsgButtonCount(buttons);  // the row is MsgRowWidth(n) wide

    // 4. Centred on the screen (and again when shown).
    const QRect screen = platform::ScreenRect(form.get());
    form->move(screen.width() / 2 - form->width() / 2, screen.height() / 2 - form->height() / 2);

    // 5. Caption.
    form->setWindowTitle(MsgDialogCaption(kind, QGuiApplication::applicationDisplayName()));

    // 6. Icon.
    auto* icon = new QLabel(form->Client());
    icon->setObjectName(QStringLiteral("Image"));
    icon->setGeometry(5, 5, 32, 32);
    const QPixmap pm = KindIcon(kind);
    if (!pm.isNull()) icon->setPixmap(pm);

    // 7. The text.
    auto* label = new TbsSkinStdLabel(form->Client());
    label->setObjectName(QStringLiteral("Message"));
    label->SetFont(defaultFont_);
    label->SetDefaultFont(defaultFont_);
    label->SetUseSkinFont(useSkinFont_);
    label->SetSkinDataName(messageLabelSkinDataName_);
    label->SetSkinData(ctrlSkinData_);
    label->SetAutoSize(true);
    label->SetCaption(text);
    label->move(50, 10);
    form->SetMessage(label);

    // 8, 9. Sizes.
    const int textRight = label->x() + label->width();
    form->SetClientSize(MsgClientSize(n, buttonHeight, textRight, label->height()));

    // 10. Within the frame's widest and narrowest window.
    const QRect maxArea = frame->MaximizeOnFullScreen() ? platform::ScreenRect(form.get()) : platform::WorkArea(form.get());
    if (form->width() > maxArea.width())
        form->resize(maxArea.width(), form->height());
    else if (form->width() < frame->MinimumTrackSize().width())
        form->resize(frame->MinimumTrackSize().width(), form->height());
    form->UpdateClientGeometry();

    // 11. Roles.
    const int defaultButton = MsgDefaultButton(buttons);
    const int cancelButton = MsgCancelButton(buttons);

    // 12, 13. The row of buttons, centred, 10 pixels above the bottom.
    const QSize client = form->ClientSize();
    int x = MsgRowLeft(client.width(), n);
    const int top = MsgRowTop(client.height(), buttonHeight);
    for (int bit = 0; bit < kMsgDlgButtonCount; ++bit) {
        if (!(buttons & (1u << unsigned(bit)))) continue;
        const MsgButtonInfo& info = MsgButtonInfoOf(TMsgDlgBtn(bit));
        auto* b = new TbsSkinButton(form->Client());
        b->setObjectName(QString::fromLatin1(info.name));
        b->SetCaption(captions_[bit].isEmpty() ? QString::fromLatin1(info.caption) : captions_[bit]);
        b->SetModalResult(info.modalResult);
        b->SetCanFocused(true);
        b->SetDefault(bit == defaultButton);
        b->SetCancel(bit == cancelButton);
        b->SetDefaultHeight(buttonHeight);
        b->SetBounds(x, top, kMsgButtonWidth, buttonHeight);
        b->SetDefaultFont(defaultButtonFont_);
        b->SetUseSkinFont(useSkinFont_);
        x += kMsgButtonWidth + kMsgButtonGap;
        // Help has nothing to show: its result 0 leaves the dialog open.
        b->SetSkinDataName(buttonSkinDataName_);
        b->SetSkinData(ctrlSkinData_);
    }
    return form;
}

int TbsSkinMessage::ShowSkinMessage(const QString& text, TMsgDlgType kind, TMsgDlgButtons buttons, int) {
    std::unique_ptr<TbsMessageForm> form = CreateMessageForm(text, kind, buttons);
    const QRect screen = platform::ScreenRect(form.get());
    form->move(screen.x() + (screen.width() - form->width()) / 2, screen.y() + (screen.height() - form->height()) / 2);
    return form->ShowModal();
}

}  // namespace skinctrls
