// The skinned button on real widgets: looks from the carried skin and the plain look,
// mouse and keyboard clicks, groups, repeat, morph, default and cancel roles.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLineEdit>

#include "platform/Form.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

struct Clicks {
    int n = 0;
    TNotifyEvent handler() {
        return [this](QObject*) { ++n; };
    }
};

TEST(ButtonLook, CarriedSkinStatesAndCaptionOffset) {
    auto skin = LoadCarried();
    const auto* e = skin->FindControl<skin::TbsDataSkinButtonControl>("button");
    ASSERT_NE(e, nullptr);
    const QImage& pic = skin->ActivePictures[e->pictureindex];
    Host host;
    auto* b = new TbsSkinButton(&host.window);
    b->SetCaption("OK");
    b->SetSkinData(skin.get());

    auto picAt = [&](const skin::Rect& r, int x, int y) { return platform::FromQColor(QColor(pic.pixel(r.left + x, r.top + y))); };
    const QImage normal = b->Render();
    b->SetHot(true);
    const QImage hot = b->Render();
    b->SetDown(true);
    const QImage down = b->Render();
    b->SetDown(false);
    b->SetHot(false);
    b->setEnabled(false);
    const QImage disabled = b->Render();

    // The fixed left end is copied as it stands: it shows which image each look took.
    EXPECT_EQ(Px(normal, 2, 2), picAt(e->skinrect, 2, 2));
    EXPECT_EQ(Px(hot, 2, 2), picAt(e->skinrect, 2, 2)) << "no active image: hot shows the normal image";
    EXPECT_EQ(Px(down, 2, 2), picAt(e->downskinrect, 2, 2));
    EXPECT_EQ(Px(disabled, 2, 2), picAt(e->disabledskinrect, 2, 2));

    // Text colours: white when hot and down, the entry's colours otherwise.
    const platform::TColor white = 0xFFFFFF;
    const QRect inside(5, 3, 57, 22);
    EXPECT_GT(CountText(hot, white, inside), 5);
    EXPECT_GT(CountText(down, white, inside), 5);
    EXPECT_GT(CountText(normal, e->fontcolor, inside), 5);
    EXPECT_GT(CountText(disabled, e->disabledfontcolor, inside), 5);
    // Pressed, the caption moves by one pixel.
    const QRect hotText = BoundsOfColor(hot, white, inside);
    ASSERT_FALSE(hotText.isEmpty());
    EXPECT_EQ(BoundsOfColor(down, white, inside), hotText.translated(1, 1));
}

TEST(ButtonLook, PlainLookColours) {
    Host host;
    auto* b = new TbsSkinButton(&host.window);
    struct Case {
        std::function<void()> set;
        platform::TColor frame, fill;
        const char* what;
    } cases[] = {
        {[&] {}, Sys(platform::clBtnShadow), Sys(platform::clBtnFace), "normal"},
        {[&] { b->SetHot(true); }, 0x800000, 0xD2BDB6, "hot"},
        {[&] { b->SetDown(true); }, 0x800000, 0xB59385, "hot and down"},
        {[&] { b->SetDown(false); b->SetHot(false); b->SetGroupIndex(1); b->SetDown(true); }, 0x800000, 0xB59385,
         "a down group button"},
    };
    for (const Case& c : cases) {
        c.set();
        const QImage img = b->Render();
        EXPECT_EQ(Px(img, 0, 0), c.frame) << c.what;
        EXPECT_EQ(Px(img, 74, 24), c.frame) << c.what;
        EXPECT_EQ(Px(img, 2, 2), c.fill) << c.what;
    }
    // Disabled: the caption in the button-shadow colour.
    auto* d = new TbsSkinButton(&host.window);
    d->SetCaption("Off");
    d->setEnabled(false);
    EXPECT_GT(CountText(d->Render(), Sys(platform::clBtnShadow), QRect(2, 2, 70, 20)), 5);
}

// The focused button carries a dotted mark inside its face, with the carried skin and in
// the plain look: its pixels differ from the hot look (which the focused look is besides
// the mark) only on an outline inside the button, away from its edges, and the mark goes
// with the focus.
TEST(ButtonLook, FocusedButtonShowsADottedMarkInsideItsFace) {
    auto skin = LoadCarried();
    for (skin::TbsSkinData* data : {skin.get(), static_cast<skin::TbsSkinData*>(nullptr)}) {
        SCOPED_TRACE(data ? "carried skin" : "plain");
        platform::Form form;
        form.resize(200, 100);
        auto* b = new TbsSkinButton(form.Client());
        b->SetCaption("OK");
        b->SetSkinData(data);
        b->move(100, 40);  // away from where the pointer is
        auto* other = new QLineEdit(form.Client());
        ASSERT_TRUE(ShowActive(&form));
        other->setFocus();
        b->SetHot(false);
        const QImage normal = Grab(b);
        b->SetHot(true);
        const QImage hot = Grab(b);
        b->SetHot(false);
        b->setFocus();
        ASSERT_TRUE(b->hasFocus());
        const QImage focused = Grab(b);
        ASSERT_EQ(focused.size(), hot.size());
        // The pixels where two pictures differ: their bounds and their number.
        auto differ = [](const QImage& a, const QImage& b) {
            std::pair<QRect, int> d{QRect(), 0};
            for (int y = 0; y < a.height(); ++y)
                for (int x = 0; x < a.width(); ++x)
                    if (a.pixel(x, y) != b.pixel(x, y)) {
                        d.first |= QRect(x, y, 1, 1);
                        ++d.second;
                    }
            return d;
        };
        const auto [changed, differing] = differ(focused, hot);
        // Dots along every side of an outline a few pixels inside the button.
        EXPECT_GT(differing, (changed.width() + changed.height()) / 2) << differing;
        EXPECT_GE(changed.left(), 2);
        EXPECT_GE(changed.top(), 2);
        EXPECT_LE(changed.right(), focused.width() - 3);
        EXPECT_LE(changed.bottom(), focused.height() - 3);
        EXPECT_GT(changed.width(), focused.width() / 2);
        EXPECT_GT(changed.height(), focused.height() / 3);
        for (int x = changed.left(); x <= changed.right(); x += 2)
            EXPECT_NE(focused.pixel(x, changed.top()), hot.pixel(x, changed.top())) << x;

        other->setFocus();
        b->SetHot(false);
        const auto [left, count] = differ(Grab(b), normal);
        EXPECT_EQ(count, 0) << "the mark goes with the focus; differs in " << left.x() << "," << left.y() << " "
                            << left.width() << "x" << left.height();
    }
}

TEST(ButtonMouse, ClickOnlyWhenReleasedInside) {
    Host host;
    auto* b = new TbsSkinButton(&host.window);
    b->SetCanFocused(false);
    Clicks clicks;
    b->OnClick = clicks.handler();
    QTest::mouseClick(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.n, 1);
    EXPECT_FALSE(b->Down());

    // Pressed, dragged off and released outside: no click, and the button comes up.
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(b->Down());
    EXPECT_EQ(b->CurrentLook(), ButtonLook::Down);
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 10), b->mapToGlobal(QPointF(200, 10)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &move);
    EXPECT_FALSE(b->Hot());
    EXPECT_EQ(b->CurrentLook(), ButtonLook::Normal);
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(clicks.n, 1);
    EXPECT_FALSE(b->Down());

    // Other buttons do nothing.
    QTest::mouseClick(b, Qt::RightButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.n, 1);
}

TEST(ButtonMouse, GroupButtonsAndAllowAllUp) {
    Host host;
    TbsSkinButton* g[3];
    Clicks clicks[3];
    for (int i = 0; i < 3; ++i) {
        g[i] = new TbsSkinButton(&host.window);
        g[i]->move(i * 80, 0);
        g[i]->SetGroupIndex(1);
        g[i]->OnClick = clicks[i].handler();
    }
    EXPECT_FALSE(g[0]->CanFocused()) << "group buttons do not take the focus";
    QTest::mouseClick(g[0], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(g[0]->Down());
    EXPECT_EQ(clicks[0].n, 1) << "a group button clicks on the press";
    QTest::mouseClick(g[1], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(g[1]->Down());
    EXPECT_FALSE(g[0]->Down()) << "the other down button of the group comes up";
    EXPECT_EQ(clicks[0].n, 1) << "coming up is not a click";

    // Without AllowAllUp a down button stays down when clicked again.
    QTest::mouseClick(g[1], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(g[1]->Down());
    EXPECT_EQ(clicks[1].n, 1);

    // With AllowAllUp: the click raises it and clicks; pressing another leaves the rest.
    for (TbsSkinButton* b : g) b->SetAllowAllUp(true);
    QTest::mouseClick(g[1], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(g[1]->Down());
    EXPECT_EQ(clicks[1].n, 2);
    QTest::mouseClick(g[0], Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseClick(g[2], Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(g[0]->Down());
    EXPECT_TRUE(g[2]->Down());
}

TEST(ButtonMouse, RepeatWhileHeldThenOneOnRelease) {
    Host host;
    auto* b = new TbsSkinButton(&host.window);
    b->SetCanFocused(false);
    b->SetRepeatMode(true);
    b->SetRepeatInterval(100);
    Clicks clicks;
    b->OnClick = clicks.handler();
    QElapsedTimer held;
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
    held.start();
    EXPECT_EQ(clicks.n, 0) << "the first repeated click comes one period after the press";
    QTest::qWait(350);
    const int whileHeld = clicks.n;
    const qint64 ms = held.elapsed();
    // About three in 350 ms; a busy machine may deliver fewer ticks, never more.
    EXPECT_GE(whileHeld, 1);
    EXPECT_LE(whileHeld, int(ms / 100));
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.n, whileHeld + 1);
    EXPECT_FALSE(b->RepeatTimerRunning());

    // Leaving while held stops the repeat; coming back starts it again.
    QTest::mousePress(b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_TRUE(b->RepeatTimerRunning());
    QMouseEvent out(QEvent::MouseMove, QPointF(300, 10), b->mapToGlobal(QPointF(300, 10)), Qt::NoButton,
                    Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &out);
    EXPECT_FALSE(b->RepeatTimerRunning());
    QMouseEvent in(QEvent::MouseMove, QPointF(10, 10), b->mapToGlobal(QPointF(10, 10)), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
    QApplication::sendEvent(b, &in);
    EXPECT_TRUE(b->RepeatTimerRunning());
    QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(10, 10));
}

TEST(ButtonMorph, FadesInOverAboutTenTicks) {
    skin::TbsSkinData data;
    QImage pic(60, 40, QImage::Format_RGB32);
    pic.fill(Qt::black);
    QPainter(&pic).fillRect(0, 20, 60, 20, Qt::white);
    LoadSkin(data, {"fade:button"},
             {"[fade]", "pictureindex=0", "skinrect=0,0,60,20", "activeskinrect=0,20,60,40", "lefttoppoint=2,0",
              "righttoppoint=58,0", "clientrect=2,2,58,18", "morphing=1", "morphkind=mkdefault"},
             {pic});
    Host host;
    auto* b = new TbsSkinButton(&host.window);
    b->SetSkinDataName("fade");
    b->SetSkinData(&data);
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), b->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(b, &enter);
    EXPECT_TRUE(b->Hot());
    EXPECT_TRUE(b->MorphTimerRunning());
    EXPECT_EQ(b->MorphFactor(), 0);
    QTRY_VERIFY_WITH_TIMEOUT(b->MorphFactor() > 0.25 && b->MorphFactor() < 0.75, 2000);
    // Half way the picture is a blend of black and white.
    const int grey = qRed(b->Render().pixel(30, 1));
    EXPECT_GT(grey, 40);
    EXPECT_LT(grey, 215);
    QTRY_VERIFY_WITH_TIMEOUT(!b->MorphTimerRunning(), 3000);
    EXPECT_EQ(b->MorphFactor(), 1);
    EXPECT_EQ(qRed(b->Render().pixel(30, 1)), 255);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(b, &leave);
    QTRY_VERIFY_WITH_TIMEOUT(!b->MorphTimerRunning(), 3000);
    EXPECT_EQ(b->MorphFactor(), 0);
}

TEST(ButtonKeys, SpaceEnterEscapeAndAccelerators) {
    platform::Form form;
    form.resize(300, 200);
    auto* edit = new QLineEdit(form.Client());
    auto* ok = new TbsSkinButton(form.Client());
    ok->SetCaption("&Yes");
    ok->SetModalResult(platform::mrYes);
    ok->SetDefault(true);
    ok->move(0, 40);
    auto* cancel = new TbsSkinButton(form.Client());
    cancel->SetCaption("Cancel");
    cancel->SetModalResult(platform::mrCancel);
    cancel->SetCancel(true);
    cancel->move(80, 40);
    Clicks okClicks, cancelClicks;
    ok->OnClick = okClicks.handler();
    cancel->OnClick = cancelClicks.handler();
    ASSERT_TRUE(ShowActive(&form));

    // Focus in an edit: Enter presses the default button, which keeps its highlight.
    edit->setFocus();
    EXPECT_TRUE(ok->ActiveDefault());
    EXPECT_TRUE(ok->Hot());
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks.n, 1);
    EXPECT_EQ(form.ModalResult(), platform::mrYes);
    QTest::keyClick(edit, Qt::Key_Escape);
    EXPECT_EQ(cancelClicks.n, 1);
    EXPECT_EQ(form.ModalResult(), platform::mrCancel);
    QTest::keyClick(edit, Qt::Key_Escape, Qt::ShiftModifier);
    EXPECT_EQ(cancelClicks.n, 1) << "Escape with a shift key is not the cancel key";

    // Focus on the other button: it is the active default now, and Enter clicks it once.
    cancel->setFocus();
    EXPECT_FALSE(ok->ActiveDefault());
    EXPECT_TRUE(cancel->ActiveDefault());
    EXPECT_FALSE(ok->Hot()) << "the default loses its highlight to a focused button";
    QTest::keyClick(cancel, Qt::Key_Return);
    EXPECT_EQ(cancelClicks.n, 2);
    EXPECT_EQ(okClicks.n, 1);

    // Space: down while held, a click when released.
    QTest::keyPress(cancel, Qt::Key_Space);
    EXPECT_TRUE(cancel->Down());
    EXPECT_EQ(cancelClicks.n, 2);
    QTest::keyRelease(cancel, Qt::Key_Space);
    EXPECT_FALSE(cancel->Down());
    EXPECT_EQ(cancelClicks.n, 3);

    // The accelerator: plain "y" while a button has the focus, Alt+Y anywhere.
    QTest::keyClick(cancel, Qt::Key_Y, Qt::NoModifier);
    EXPECT_EQ(okClicks.n, 2);
    EXPECT_TRUE(ok->hasFocus());
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_Y, Qt::NoModifier);
    EXPECT_EQ(okClicks.n, 2) << "a plain letter typed into an edit is text";
    EXPECT_EQ(edit->text(), "y");
    QTest::keyClick(edit, Qt::Key_Y, Qt::AltModifier);
    EXPECT_EQ(okClicks.n, 3);

    // A disabled default button does not answer Enter.
    edit->setFocus();
    ok->setEnabled(false);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(okClicks.n, 3);
}

TEST(ButtonKeys, ModalResultOnlyFromFocusableButtons) {
    platform::Form form;
    ShowOffscreen(&form);
    auto* help = new TbsSkinButton(form.Client());
    help->SetModalResult(0);
    auto* speed = new TbsSkinButton(form.Client());
    speed->SetModalResult(platform::mrOk);
    speed->SetCanFocused(false);
    speed->move(0, 30);
    form.SetModalResult(platform::mrNone);
    QTest::mouseClick(speed, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.ModalResult(), platform::mrNone);
    QTest::mouseClick(help, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(form.ModalResult(), platform::mrNone) << "result 0 keeps a dialog open";
}

}  // namespace
}  // namespace skinctrls
