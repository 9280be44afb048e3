// The skinned edit on real widgets: the text box inside the skin's margins, the embedded
// button, colours for focus and hover, the disabled text, read-only, Chinese input.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QInputMethodEvent>
#include <QStyle>

#include <functional>

#include "platform/Form.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

TbsSkinEdit* MakeEdit(QWidget* parent, skin::TbsSkinData* data, bool buttonMode, int width = 121) {
    auto* e = new TbsSkinEdit(parent);
    e->SetButtonMode(buttonMode);
    e->SetSkinDataName(buttonMode ? "buttonedit" : "edit");
    e->SetBounds(0, 0, width, 20);
    e->SetSkinData(data);
    return e;
}

TEST(EditGeometry, TextBoxInsideTheMarginsAndTheButtonFollowsTheEdge) {
    auto skin = LoadCarried();
    const auto* be = skin->FindControl<skin::TbsDataSkinEditControl>("buttonedit");
    ASSERT_NE(be, nullptr);
    const QImage& pic = skin->ActivePictures[be->pictureindex];
    Host host;
    TbsSkinEdit* edit = MakeEdit(&host.window, skin.get(), false);
    TbsSkinEdit* code = MakeEdit(&host.window, skin.get(), true, 200);
    code->move(0, 30);
    EXPECT_EQ(edit->Margins(), QMargins(4, 2, 1, 1));
    EXPECT_EQ(edit->LineEdit()->geometry(), QRect(4, 2, 116, 15));
    EXPECT_EQ(code->Margins(), QMargins(1, 1, 17, 1));
    EXPECT_EQ(code->LineEdit()->geometry(), QRect(1, 1, 182, 16));
    EXPECT_EQ(code->Rects().button, (skin::Rect{183, 1, 199, 17}));

    // The hot and pressed button images land on the button wherever the edge is.
    for (int width : {200, 121, 300}) {
        code->SetBounds(0, 30, width, 18);
        const int left = width - 17;
        code->ShowState(true, true, false);
        EXPECT_EQ(QColor(code->RenderFrame().pixel(left + 3, 4)), QColor(pic.pixel(be->activebuttonrect.left + 3, be->activebuttonrect.top + 3)))
            << "width " << width;
        code->ShowState(true, true, true);
        EXPECT_EQ(QColor(code->RenderFrame().pixel(left + 3, 4)), QColor(pic.pixel(be->downbuttonrect.left + 3, be->downbuttonrect.top + 3)))
            << "width " << width;
    }
    // Disabled, the button shows its disabled image.
    code->ShowState(false, false, false);
    code->setEnabled(false);
    EXPECT_EQ(QColor(code->RenderFrame().pixel(300 - 17 + 3, 4)),
              QColor(pic.pixel(be->unenabledbuttonrect.left + 3, be->unenabledbuttonrect.top + 3)));
}

TEST(EditGeometry, PlainLookWithButton) {
    Host host;
    TbsSkinEdit* e = MakeEdit(&host.window, nullptr, true);
    EXPECT_EQ(e->size(), QSize(121, 20));
    EXPECT_EQ(e->Rects().button, (skin::Rect{101, 0, 121, 20}));
    EXPECT_EQ(e->Rects().text, (skin::Rect{2, 2, 99, 18}));
    EXPECT_EQ(e->LineEdit()->geometry(), QRect(2, 2, 97, 16));
    const QImage img = e->RenderFrame();
    EXPECT_EQ(Px(img, 101, 0), Sys(platform::clBtnShadow)) << "plain button frame";
    EXPECT_EQ(Px(img, 110, 10), Sys(platform::clBtnFace));
    EXPECT_EQ(Px(img, 0, 0), Sys(platform::clBtnFace)) << "outer frame, not hot";
    EXPECT_EQ(Px(img, 1, 1), Sys(platform::clBtnShadow)) << "inner frame, not hot";
    EXPECT_EQ(Px(img, 50, 10), Sys(platform::clWindow));
    e->ShowState(true, true, false);
    EXPECT_EQ(Px(e->RenderFrame(), 0, 0), Sys(platform::clBtnShadow)) << "hot: the frames swap";
    EXPECT_EQ(Px(e->RenderFrame(), 110, 10), 0xD2BDB6);
    e->ShowState(true, true, true);
    EXPECT_EQ(Px(e->RenderFrame(), 110, 10), 0xB59385);
    EXPECT_EQ(Px(e->RenderFrame(), 101, 0), 0x800000);
}

TEST(EditButton, ClickOnReleaseOverTheButtonAfterTakingTheFocus) {
    auto skin = LoadCarried();
    platform::Form form;
    form.resize(300, 100);
    TbsSkinEdit* code = MakeEdit(form.Client(), skin.get(), true);
    auto* other = new TbsSkinButton(form.Client());
    other->move(0, 40);
    int clicks = 0;
    bool focusedAtClick = false;
    code->OnButtonClick = [&](QObject*) {
        ++clicks;
        focusedAtClick = code->LineEdit()->hasFocus();
    };
    ASSERT_TRUE(ShowActive(&form));
    other->setFocus();
    const QPoint onButton(112, 8), offButton(40, 0);
    QTest::mouseMove(code, onButton);
    QTest::mousePress(code, Qt::LeftButton, {}, onButton);
    EXPECT_TRUE(code->ButtonPressed());
    EXPECT_TRUE(code->ButtonHot());
    EXPECT_EQ(clicks, 0) << "pressing only changes the look";
    QTest::mouseRelease(code, Qt::LeftButton, {}, onButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(focusedAtClick);
    EXPECT_FALSE(code->ButtonPressed());

    QTest::mousePress(code, Qt::LeftButton, {}, onButton);
    QTest::mouseRelease(code, Qt::LeftButton, {}, offButton);
    EXPECT_EQ(clicks, 1) << "released elsewhere: no click";
    EXPECT_FALSE(code->ButtonPressed());
}

// F4 and Alt+Down in an edit with a button press the button, as a drop-down opens; other
// keys, and an edit without a button, take them as the text box does.
TEST(EditButton, F4AndAltDownPressTheButton) {
    auto skin = LoadCarried();
    platform::Form form;
    form.resize(300, 100);
    TbsSkinEdit* code = MakeEdit(form.Client(), skin.get(), true);
    TbsSkinEdit* plain = MakeEdit(form.Client(), skin.get(), false);
    plain->move(0, 40);
    int codeClicks = 0, plainClicks = 0;
    code->OnButtonClick = [&](QObject*) { ++codeClicks; };
    plain->OnButtonClick = [&](QObject*) { ++plainClicks; };
    ASSERT_TRUE(ShowActive(&form));
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int clicks;
    };
    for (const Case c : {Case{Qt::Key_F4, Qt::NoModifier, 1}, Case{Qt::Key_Down, Qt::AltModifier, 1},
                         Case{Qt::Key_Down, Qt::NoModifier, 0}, Case{Qt::Key_F4, Qt::ShiftModifier, 0},
                         Case{Qt::Key_F4, Qt::ControlModifier, 0}}) {
        SCOPED_TRACE(QKeySequence(c.key | c.modifiers).toString().toStdString());
        for (TbsSkinEdit* e : {code, plain}) {
            e->setFocus();
            QTest::keyClick(kFocus, c.key, c.modifiers);
        }
        EXPECT_EQ(codeClicks, c.clicks);
        EXPECT_EQ(plainClicks, 0);
        codeClicks = 0;
    }
}

TEST(EditColours, FocusAndHoverTakeTheActiveColour) {
    auto skin = LoadCarried();
    const auto* ee = skin->FindControl<skin::TbsDataSkinEditControl>("edit");
    platform::Form form;
    form.resize(300, 100);
    TbsSkinEdit* edit = MakeEdit(form.Client(), skin.get(), false);
    auto* next = new TbsSkinEdit(form.Client());
    next->move(0, 40);
    int exits = 0;
    edit->OnExit = [&](QObject*) { ++exits; };
    ASSERT_TRUE(ShowActive(&form));
    next->setFocus();
    // The window may open under the pointer: start with the pointer off the edit.
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(edit, &leave);
    exits = 0;
    EXPECT_EQ(edit->Font().color, ee->fontcolor);
    EXPECT_EQ(edit->Font().height, ee->fontheight);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), edit->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(edit, &enter);
    EXPECT_TRUE(edit->Hot());
    EXPECT_EQ(edit->Font().color, ee->activefontcolor);
    EXPECT_EQ(edit->LineEdit()->palette().color(QPalette::Text), platform::ToQColor(ee->activefontcolor));
    QApplication::sendEvent(edit, &leave);
    EXPECT_EQ(edit->Font().color, ee->fontcolor);

    edit->setFocus();
    EXPECT_EQ(edit->Font().color, ee->activefontcolor);
    QApplication::sendEvent(edit, &enter);
    QApplication::sendEvent(edit, &leave);
    EXPECT_EQ(edit->Font().color, ee->activefontcolor) << "focused: hover changes nothing";
    EXPECT_EQ(exits, 0);
    next->setFocus();
    EXPECT_EQ(edit->Font().color, ee->fontcolor);
    EXPECT_EQ(exits, 1) << "OnExit when the focus leaves for another control";
    edit->setFocus();
    delete edit;
    EXPECT_EQ(exits, 1) << "an edit freed with the focus does not report leaving";
}

TEST(EditText, DisabledPasswordShowsOneMaskPerCharacterInTheDisabledColour) {
    auto skin = LoadCarried();
    const auto* ee = skin->FindControl<skin::TbsDataSkinEditControl>("edit");
    Host host;
    TbsSkinEdit* secret = MakeEdit(&host.window, skin.get(), false);
    secret->SetText("abc");
    secret->SetEditPasswordChar('*');
    EXPECT_EQ(secret->LineEdit()->echoMode(), QLineEdit::Password);
    EXPECT_EQ(secret->LineEdit()->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, secret->LineEdit()),
              '*');
    EXPECT_EQ(secret->LineEdit()->displayText(), "***") << "shown as the chosen character";
    TbsSkinEdit* stars = MakeEdit(&host.window, skin.get(), false);
    stars->SetText("***");
    stars->move(0, 30);
    const QImage enabledFrame = secret->RenderFrame();
    secret->setEnabled(false);
    stars->setEnabled(false);
    const QImage disabled = secret->RenderFrame();
    EXPECT_FALSE(secret->LineEdit()->isVisible()) << "the control draws a disabled text itself";
    EXPECT_EQ(disabled, stars->RenderFrame()) << "drawn as three stars";
    EXPECT_GT(CountText(disabled, ee->disabledfontcolor, QRect(4, 2, 116, 15)), 3);
    EXPECT_EQ(CountText(enabledFrame, ee->disabledfontcolor, QRect(4, 2, 116, 15)), 0);
    secret->setEnabled(true);
    EXPECT_TRUE(secret->LineEdit()->isVisibleTo(secret));
}

TEST(EditText, ChineseFromTheInputMethodAndReadOnly) {
    auto skin = LoadCarried();
    platform::Form form;
    form.resize(300, 100);
    TbsSkinEdit* edit = MakeEdit(form.Client(), skin.get(), false);
    ASSERT_TRUE(ShowActive(&form));
    edit->setFocus();
    QLineEdit* box = edit->LineEdit();
    ASSERT_TRUE(box->hasFocus());

    // An input method composes, then commits.
    QInputMethodEvent compose(QStringLiteral("wu"), {});
    QApplication::sendEvent(box, &compose);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("物料"));
    QApplication::sendEvent(box, &commit);
    // Characters typed one by one.
    for (QChar ch : QStringLiteral("需求")) QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(ch), {});
    EXPECT_EQ(edit->Text(), QStringLiteral("物料需求"));

    // Read-only: typing, Delete, cut, paste and input methods change nothing; copy works.
    edit->SetReadOnly(true);
    QApplication::clipboard()->setText(QStringLiteral("X"));
    box->selectAll();
    QTest::keyClick(box, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("物料需求"));
    QApplication::clipboard()->setText(QStringLiteral("X"));
    QTest::keyClick(box, Qt::Key_A);
    QTest::keyClick(box, Qt::Key_Delete);
    QTest::keyClick(box, Qt::Key_X, Qt::ControlModifier);
    QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(box, &commit);
    EXPECT_EQ(edit->Text(), QStringLiteral("物料需求"));
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("X")) << "nothing was cut";
    QTest::keyClick(box, Qt::Key_Home);
    EXPECT_EQ(box->cursorPosition(), 0) << "moving still works";
}

// A text check refuses what the clerk types or an input method commits, after the
// character case has made it what would stand in the box; the box stays as it was and
// says why. Text cut at the maximum length says so without a reason; text the program
// sets is taken as it is.
TEST(EditText, ACheckRefusesTypedAndComposedTextWithItsReason) {
    platform::Form form;
    form.resize(300, 100);
    auto* edit = new TbsSkinEdit(form.Client());
    edit->SetBounds(0, 0, 121, 20);
    edit->SetCharCase(ecUpperCase);
    edit->SetMaxLength(4);
    edit->SetTextCheck([](const QString& t) { return t.contains('X') ? QStringLiteral("no X") : QString(); });
    QStringList refused;
    edit->OnRefused = [&](QObject* sender, const QString& reason) {
        EXPECT_EQ(sender, edit);
        refused << reason;
    };
    ASSERT_TRUE(ShowActive(&form));
    edit->setFocus();
    QLineEdit* box = edit->LineEdit();
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("x物"));
    struct Case {
        const char* what;
        std::function<void()> input;
        QString text;
        QStringList refused;
    } cases[] = {
        {"typed and upper-cased", [&] { QTest::keyClicks(box, "ab"); }, "AB", {}},
        {"x, upper-cased to X", [&] { QTest::keyClicks(box, "x"); }, "AB", {"no X"}},
        {"composed", [&] { QApplication::sendEvent(box, &commit); }, "AB", {"no X", "no X"}},
        {"beyond the length", [&] { QTest::keyClicks(box, "cde"); }, "ABCD", {"no X", "no X", ""}},
        {"set by the program", [&] { edit->SetText("xy"); }, "XY", {"no X", "no X", ""}},
    };
    for (const Case& c : cases) {
        c.input();
        EXPECT_EQ(edit->Text(), c.text) << c.what;
        EXPECT_EQ(refused, c.refused) << c.what;
    }
}

}  // namespace
}  // namespace skinctrls
