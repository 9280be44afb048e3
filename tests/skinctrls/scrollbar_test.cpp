// The skinned scroll bar on real widgets: setters and their clamping, buttons and track
// with their repeat, thumb dragging, the shared corner, keys and wheel.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QWheelEvent>

#include "platform/Form.h"
#include "skinctrls/SkinScrollBar.h"
#include "skinctrls/control_fixture.h"

namespace skinctrls {
namespace {

using namespace test;

void MoveHeld(QWidget* w, QPoint p) {
    QMouseEvent move(QEvent::MouseMove, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(w, &move);
}

TEST(ScrollBarValues, SettersClampAndRefuse) {
    Host host;
    auto* bar = new TbsSkinScrollBar(&host.window);
    int changes = 0;
    bar->OnChange = [&](QObject*) { ++changes; };

    bar->SetPosition(150);
    EXPECT_EQ(bar->Position(), 100);
    bar->SetPosition(-3);
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(changes, 2);
    bar->SetPosition(0);
    EXPECT_EQ(changes, 2) << "no change, no event";

    bar->SetPosition(60);
    bar->SetPageSize(41);
    EXPECT_EQ(bar->PageSize(), 41) << "60 + 41 - 1 = 100 still fits";
    bar->SetPageSize(42);
    EXPECT_EQ(bar->PageSize(), 41) << "a page beyond Max is refused";
    bar->SetPosition(100);
    EXPECT_EQ(bar->Position(), 60) << "the last position with a page is Max - PageSize + 1";
    bar->SetMax(80);
    EXPECT_EQ(bar->Position(), 40) << "a smaller Max pulls the page back";
    bar->SetMin(50);
    EXPECT_EQ(bar->Position(), 50) << "Min raises the position";
    const int before = changes;
    bar->SetBarRange(0, 10, 0, 99);
    EXPECT_EQ(bar->Position(), 10);
    EXPECT_EQ(changes, before) << "SetBarRange fires no OnChange";
    bar->SetMax(5);
    EXPECT_EQ(bar->Position(), 5) << "without a page the position is lowered to Max";
}

TEST(ScrollBarLook, ThumbPlacesAndDisabledBarHasNone) {
    Host host;
    auto* bar = new TbsSkinScrollBar(&host.window);
    bar->SetBarRange(7, 7, 0, 7);
    ScrollLayout l = bar->LayoutParts();
    EXPECT_EQ(l.thumb.left, l.track.left) << "Min = Max: the thumb at the track start";
    bar->SetBarRange(0, 100, 0, 50);
    const QImage on = bar->Render();
    l = bar->LayoutParts();
    EXPECT_EQ(Px(on, l.thumb.left, 5), Sys(platform::clBtnShadow)) << "plain thumb frame";
    bar->setEnabled(false);
    const QImage off = bar->Render();
    EXPECT_EQ(Px(off, l.thumb.left, 5), Sys(platform::clBtnFace)) << "a disabled bar draws no thumb";
    EXPECT_EQ(Px(off, 1, 1), Sys(platform::clBtnShadow)) << "but its buttons";

    // The shared corner of the plain look: the right-most 18 pixels stay button face.
    bar->setEnabled(true);
    bar->SetBothMarkerWidth(18);
    bar->SetBoth(true);
    const QImage both = bar->Render();
    for (int x = 182; x < 200; ++x)
        for (int y = 0; y < 20; y += 3) ASSERT_EQ(Px(both, x, y), Sys(platform::clBtnFace)) << x << "," << y;
    EXPECT_EQ(Px(both, 180, 5), Sys(platform::clBtnShadow)) << "the up button ends before the corner";
    bar->SetBothMarkerWidth(-1);
    EXPECT_EQ(bar->BothMarkerWidth(), 18) << "negative widths are ignored";
}

TEST(ScrollBarLook, BothSwitchesToTheCornerEntry) {
    auto skin = LoadCarried();
    Host host;
    auto* bar = new TbsSkinScrollBar(&host.window);
    bar->SetSkinData(skin.get());
    bar->SetBounds(0, 0, 200, 20);
    EXPECT_EQ(bar->size(), QSize(200, 17));
    EXPECT_EQ(bar->LayoutParts().up, (skin::Rect{183, 0, 200, 17}));
    bar->SetBoth(true);
    EXPECT_EQ(bar->SkinDataName(), "bothhscrollbar");
    EXPECT_EQ(bar->Anchors().SkinWidth(), 70);
    EXPECT_EQ(bar->size(), QSize(200, 17));
    EXPECT_EQ(bar->LayoutParts().up, (skin::Rect{166, 0, 183, 17})) << "the corner holds the extra 17 pixels";
    bar->SetBoth(false);
    EXPECT_EQ(bar->SkinDataName(), "hscrollbar");
    EXPECT_EQ(bar->Anchors().SkinWidth(), 53);
}

TEST(ScrollBarMouse, ButtonStepsAtOnceThenRepeatsAndPausesOffTheButton) {
    Host host;
    auto* bar = new TbsSkinScrollBar(&host.window);  // plain look: up button at 183..199
    int lastChanges = 0;
    bar->OnLastChange = [&](QObject*) { ++lastChanges; };
    const QPoint up(190, 10);
    QElapsedTimer t;
    QTest::mousePress(bar, Qt::LeftButton, {}, up);
    t.start();
    EXPECT_EQ(bar->Position(), 1) << "one step at once";
    EXPECT_EQ(bar->PressedPart(), ScrollPart::Up);
    QTest::qWait(300);
    if (t.elapsed() < 480) {
        EXPECT_EQ(bar->Position(), 1) << "nothing more before the first delay";
    }
    QTRY_VERIFY_WITH_TIMEOUT(bar->Position() >= 4, 5000);  // then every 50 ms

    // Off the button the repeat pauses; back on it, it goes on.
    MoveHeld(bar, QPoint(100, 10));
    EXPECT_FALSE(bar->RepeatTimerRunning());
    const int paused = bar->Position();
    QTest::qWait(200);
    EXPECT_EQ(bar->Position(), paused);
    MoveHeld(bar, up);
    QTRY_VERIFY_WITH_TIMEOUT(bar->Position() > paused, 5000);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, up);
    EXPECT_FALSE(bar->RepeatTimerRunning());
    EXPECT_EQ(lastChanges, 0) << "a button is not a last change";

    // The down button, and a handler that replaces the step.
    int handled = 0;
    bar->OnDownButtonClick = [&](QObject*) { ++handled; };
    const int at = bar->Position();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(5, 10));
    EXPECT_EQ(handled, 1);
    EXPECT_EQ(bar->Position(), at);
}

TEST(ScrollBarMouse, TrackPagesTowardTheMouseUntilTheThumbPassesIt) {
    Host host;
    auto* bar = new TbsSkinScrollBar(&host.window);
    bar->SetLargeChange(10);
    int lastChanges = 0;
    bar->OnLastChange = [&](QObject*) { ++lastChanges; };
    // Track 17..183, thumb 16 long: at position 0 the thumb is 17..33.
    const QPoint target(120, 10);  // thumb centre 120 at about position 63
    QTest::mousePress(bar, Qt::LeftButton, {}, target);
    EXPECT_EQ(bar->Position(), 10) << "one page at once";
    EXPECT_EQ(bar->RepeatMode(), 4);
    QTRY_VERIFY_WITH_TIMEOUT(!bar->RepeatTimerRunning(), 10000);
    const ScrollLayout l = bar->LayoutParts();
    EXPECT_LE(l.thumb.left, target.x()) << "paging stops once the thumb reaches the mouse";
    EXPECT_GE(bar->Position(), 50);
    EXPECT_LE(bar->Position(), 70);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, target);
    EXPECT_EQ(lastChanges, 1) << "a track click is a last change";
}

TEST(ScrollBarMouse, ThumbDragFollowsTheOffset) {
    Host host;
    auto* bar = new TbsSkinScrollBar(&host.window);  // centres 25..175: 150 pixels for 0..100
    int lastChanges = 0, changes = 0;
    bar->OnLastChange = [&](QObject*) { ++lastChanges; };
    bar->OnChange = [&](QObject*) { ++changes; };
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_TRUE(bar->Dragging());
    MoveHeld(bar, QPoint(95, 10));
    EXPECT_EQ(bar->Position(), 50);
    MoveHeld(bar, QPoint(500, 10));
    EXPECT_EQ(bar->Position(), 100);
    MoveHeld(bar, QPoint(-50, 10));
    EXPECT_EQ(bar->Position(), 0);
    EXPECT_EQ(lastChanges, 0);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(-50, 10));
    EXPECT_FALSE(bar->Dragging());
    EXPECT_EQ(lastChanges, 1);
    EXPECT_EQ(changes, 3);
}

TEST(ScrollBarKeys, ArrowsAndWheelOnlyWhenFocusable) {
    platform::Form form;
    form.resize(300, 100);
    auto* bar = new TbsSkinScrollBar(form.Client());
    bar->SetPosition(50);
    ASSERT_TRUE(ShowActive(&form));
    QTest::keyClick(bar, Qt::Key_Right);
    EXPECT_EQ(bar->Position(), 50) << "not focusable: keys do nothing";
    bar->SetCanFocused(true);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(100, 3));  // a press focuses it
    EXPECT_TRUE(bar->hasFocus());
    const int at = bar->Position();
    QTest::keyClick(bar, Qt::Key_Right);
    QTest::keyClick(bar, Qt::Key_Down);
    EXPECT_EQ(bar->Position(), at + 2);
    QTest::keyClick(bar, Qt::Key_Left);
    EXPECT_EQ(bar->Position(), at + 1);
    QWheelEvent away(QPointF(50, 5), bar->mapToGlobal(QPointF(50, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                     Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(bar, &away);
    EXPECT_EQ(bar->Position(), at) << "wheel away from the user steps down";
}

}  // namespace
}  // namespace skinctrls
