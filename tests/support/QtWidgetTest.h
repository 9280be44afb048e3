#pragma once
// Small helpers for widget tests.

#include <QTest>
#include <QWidget>

namespace testsupport {

// Shows a widget without putting it on any screen: it gets its resize, show and paint
// events like a shown window (a hidden widget defers its resize events until shown).
inline void ShowOffscreen(QWidget* w) {
    w->setAttribute(Qt::WA_DontShowOnScreen);
    w->show();
}

// Shows a window on the (offscreen) screen and waits until it is the active window, for
// tests of focus and keyboard; false when it did not become active.
inline bool ShowActive(QWidget* w) {
    w->show();
    w->activateWindow();
    return QTest::qWaitForWindowActive(w, 2000);
}

// As the receiver of QTest's key functions: the keys go to the widget that has the
// keyboard, as typing does (a plain nullptr would not choose between widget and window).
inline QWidget* const kFocus = nullptr;

}  // namespace testsupport

using testsupport::kFocus;
using testsupport::ShowActive;
using testsupport::ShowOffscreen;
