#pragma once
// Small helpers for widget tests.

#include <QWidget>

namespace testsupport {

// Shows a widget without putting it on any screen: it gets its resize, show and paint
// events like a shown window (a hidden widget defers its resize events until shown).
inline void ShowOffscreen(QWidget* w) {
    w->setAttribute(Qt::WA_DontShowOnScreen);
    w->show();
}

}  // namespace testsupport

using testsupport::ShowOffscreen;
