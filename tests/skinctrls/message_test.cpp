// The skinned message dialog: how it is built (sizes, roles, caption, icon) and how it
// answers when shown modally.

#include <gtest/gtest.h>

#include <QTimer>

#include <functional>

#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

TEST(MessageDialog, OneOkInformationDialogWithTheCarriedSkin) {
    auto skin = LoadCarried();
    TbsSkinMessage message;
    message.SetSkinData(skin.get());
    message.SetCtrlSkinData(skin.get());
    EXPECT_EQ(message.ButtonHeight(), 28);
    const QString text = QStringLiteral("資料寫入成功..!");
    auto form = message.CreateMessageForm(text, mtInformation, MsgButton(mbOK));
    EXPECT_EQ(form->windowTitle(), "Information");
    ASSERT_NE(form->Icon(), nullptr);
    EXPECT_EQ(form->Icon()->geometry(), QRect(5, 5, 32, 32));
    EXPECT_FALSE(form->Icon()->pixmap().isNull());

    TbsSkinStdLabel* label = form->Message();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->pos(), QPoint(50, 10));
    EXPECT_EQ(label->Caption(), text);
    EXPECT_EQ(label->size(), label->TextSize());
    const QSize client = form->ClientSize();
    const int wanted = std::max(60, 50 + label->width()) + 40;
    // The frame keeps the window at least as wide as its picture.
    const int minClient = form->Frame()->MinimumTrackSize().width() - (form->width() - client.width());
    EXPECT_EQ(client.width(), std::max(wanted, minClient));
    EXPECT_EQ(client.height(), 28 + label->height() + 45);

    TbsSkinButton* ok = form->Button(mbOK);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->size(), QSize(60, 28));
    EXPECT_EQ(ok->Caption(), "OK");
    EXPECT_EQ(ok->ModalResult(), 1);
    EXPECT_TRUE(ok->Default());
    EXPECT_TRUE(ok->Cancel()) << "a lone OK is also the cancel button";
    EXPECT_EQ(ok->x(), (client.width() - 60) / 2);
    EXPECT_EQ(ok->y() + ok->height(), client.height() - 10);
    EXPECT_GE(ok->EntryIndex(), 0);
}

TEST(MessageDialog, WithoutControlSkinAndWithoutButtons) {
    TbsSkinMessage message;
    EXPECT_EQ(message.ButtonHeight(), 25);
    auto form = message.CreateMessageForm("Plain", mtWarning, MsgButton(mbOK) | MsgButton(mbCancel));
    EXPECT_EQ(form->windowTitle(), "Warning");
    EXPECT_EQ(form->Button(mbOK)->size(), QSize(60, 25));
    EXPECT_EQ(form->Button(mbOK)->EntryIndex(), -1);
    EXPECT_EQ(form->Button(mbCancel)->x() - form->Button(mbOK)->x(), 70);
    EXPECT_TRUE(form->Button(mbCancel)->Cancel());
    EXPECT_FALSE(form->Button(mbOK)->Cancel());

    // No buttons: the width comes from the text alone.
    auto bare = message.CreateMessageForm("A longer text than any row of buttons would need", mtError, 0);
    EXPECT_TRUE(bare->Client()->findChildren<TbsSkinButton*>().isEmpty());
    EXPECT_EQ(bare->windowTitle(), "Error");
    const int textRight = 50 + bare->Message()->width();
    const int minClient = bare->Frame()->MinimumTrackSize().width() - (bare->width() - bare->ClientSize().width());
    EXPECT_EQ(bare->ClientSize().width(), std::max(textRight + 40, minClient));
    EXPECT_EQ(bare->ClientSize().height(), 25 + bare->Message()->height() + 45);
}

TEST(MessageDialog, CustomKindHasTheApplicationTitleAndNoIcon) {
    QGuiApplication::setApplicationDisplayName(QStringLiteral("物料需求計算"));
    TbsSkinMessage message;
    auto form = message.CreateMessageForm("Custom", mtCustom, MsgButton(mbYes) | MsgButton(mbNo) | MsgButton(mbHelp));
    EXPECT_EQ(form->windowTitle(), QStringLiteral("物料需求計算"));
    EXPECT_TRUE(form->Icon()->pixmap().isNull());
    // Buttons in bit order, left to right.
    EXPECT_LT(form->Button(mbYes)->x(), form->Button(mbNo)->x());
    EXPECT_LT(form->Button(mbNo)->x(), form->Button(mbHelp)->x());
    EXPECT_EQ(form->Button(mbHelp)->Caption(), "&Help");
    EXPECT_TRUE(form->Button(mbYes)->Default());
    EXPECT_TRUE(form->Button(mbNo)->Cancel());
    EXPECT_EQ(form->Button(mbYes)->ModalResult(), 6);
}

// The dialog is as high as its buttons, its text's lines in the label's font and 45: a
// one-line Chinese text is one line, as a Latin one is, in any font.
TEST(MessageDialog, HeightCountsTheTextsLines) {
    auto skin = LoadCarried();
    struct Text {
        const char* what;
        QString text;
        int lines;
    } texts[] = {
        {"Latin", "Written", 1},
        {"Chinese", "資料寫入成功..!", 1},
        {"mixed", "請購單號 202612100001", 1},
        {"two lines", "資料寫入成功..!\n請購單號 202612100001", 2},
    };
    for (bool skinned : {true, false}) {
        for (int height : {14, 19, 21}) {
            TbsSkinMessage message;
            platform::TFont font;
            font.height = height;
            message.SetDefaultFont(font);
            message.SetUseSkinFont(false);
            if (skinned) {
                message.SetSkinData(skin.get());
                message.SetCtrlSkinData(skin.get());
            }
            const int buttonHeight = skinned ? 28 : 25;
            const int cell = platform::TextHeight(font.ToQFont());
            for (const Text& t : texts) {
                auto form = message.CreateMessageForm(t.text, mtInformation, MsgButton(mbOK));
                const char* look = skinned ? "skinned" : "plain";
                EXPECT_EQ(form->Message()->height(), t.lines * cell) << look << " " << height << " " << t.what;
                EXPECT_EQ(form->ClientSize().height(), buttonHeight + t.lines * cell + 45)
                    << look << " " << height << " " << t.what;
                EXPECT_EQ(form->Button(mbOK)->y() + buttonHeight, form->ClientSize().height() - 10);
            }
        }
    }
}

// Shows the dialog modally and acts on it once it is up.
int RunDialog(TbsSkinMessage& message, const QString& text, TMsgDlgButtons buttons,
              std::function<void(TbsMessageForm*)> act) {
    QTimer::singleShot(0, [act] {
        auto* form = qobject_cast<TbsMessageForm*>(QApplication::activeModalWidget());
        if (!form) {
            ADD_FAILURE() << "no modal dialog";
            QApplication::activeModalWidget()->close();
            return;
        }
        act(form);
    });
    return message.ShowSkinMessage(text, mtConfirmation, buttons, 0);
}

TEST(MessageDialog, ModalResultsFromKeysAndClicks) {
    auto skin = LoadCarried();
    TbsSkinMessage message;
    message.SetSkinData(skin.get());
    message.SetCtrlSkinData(skin.get());
    const TMsgDlgButtons yesNo = MsgButton(mbYes) | MsgButton(mbNo);
    EXPECT_EQ(RunDialog(message, "Escape", yesNo, [](TbsMessageForm* f) { QTest::keyClick(f, Qt::Key_Escape); }), 7);
    EXPECT_EQ(RunDialog(message, "Enter", yesNo,
                        [](TbsMessageForm* f) { QTest::keyClick(f, Qt::Key_Return); }),
              6);
    EXPECT_EQ(RunDialog(message, "Click", yesNo,
                        [](TbsMessageForm* f) { QTest::mouseClick(f->Button(mbNo), Qt::LeftButton, {}, QPoint(5, 5)); }),
              7);
    // Help keeps the dialog open; closing the window answers Cancel.
    EXPECT_EQ(RunDialog(message, "Help", MsgButton(mbOK) | MsgButton(mbHelp),
                        [](TbsMessageForm* f) {
                            QTest::mouseClick(f->Button(mbHelp), Qt::LeftButton, {}, QPoint(5, 5));
                            EXPECT_TRUE(f->isVisible());
                            f->close();
                        }),
              2);
    // The dialog is freed after it closes.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (platform::Form* f : platform::Form::OpenForms()) EXPECT_EQ(qobject_cast<TbsMessageForm*>(f), nullptr);
}

// The clerk types into a window, a message comes up and is answered with a key or a
// click: the control that had the focus has it again and takes the next key typed into
// the window, with no click needed.
TEST(MessageDialog, FocusReturnsToTheControlThatHadItBeforeTheDialog) {
    auto skin = LoadCarried();
    platform::Form form;
    form.resize(300, 120);
    auto* first = new TbsSkinEdit(form.Client());
    first->SetBounds(10, 10, 120, 20);
    auto* code = new TbsSkinEdit(form.Client());
    code->SetBounds(10, 40, 120, 20);
    ASSERT_TRUE(ShowActive(&form));
    TbsSkinMessage message;
    message.SetSkinData(skin.get());
    message.SetCtrlSkinData(skin.get());

    struct Answer {
        const char* how;
        std::function<void(TbsMessageForm*)> act;
    } answers[] = {
        {"Enter", [](TbsMessageForm* f) { QTest::keyClick(f->windowHandle(), Qt::Key_Return); }},
        {"click", [](TbsMessageForm* f) { QTest::mouseClick(f->Button(mbOK), Qt::LeftButton, {}, QPoint(5, 5)); }},
        {"close box", [](TbsMessageForm* f) { f->close(); }},
    };
    for (const Answer& a : answers) {
        code->setFocus(Qt::OtherFocusReason);
        ASSERT_TRUE(code->LineEdit()->hasFocus()) << a.how;
        code->SetText("P1");
        code->LineEdit()->end(false);
        RunDialog(message, QStringLiteral("資料寫入成功..!"), MsgButton(mbOK), [&](TbsMessageForm* f) {
            EXPECT_TRUE(QTest::qWaitForWindowActive(f, 2000)) << a.how;
            EXPECT_NE(QApplication::focusWidget(), code->LineEdit()) << a.how << ": the dialog has the keyboard";
            a.act(f);
        });
        // The window system activates windows in its own time, as a desktop does.
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form, 2000)) << a.how << ": the window is active again";
        EXPECT_EQ(QApplication::focusWidget(), code->LineEdit()) << a.how;
        QTest::keyClick(form.windowHandle(), Qt::Key_7);
        EXPECT_EQ(code->Text(), "P17") << a.how << ": the typed key reached the edit";
        EXPECT_EQ(first->Text(), "") << a.how;
    }
}

}  // namespace
}  // namespace skinctrls
