#pragma once
// Dialog keys and accelerators of a form.
//
// Enter, Escape and accelerator characters are offered to the form's controls before
// the focused control sees them, as a dialog does: Enter to the default button, Escape
// to the cancel button, "&" accelerators of captions to their buttons and labels. One
// application-wide event filter, installed with the first control that needs it, routes
// each key press to the controls of the window it was sent to, in child order; the first
// control that takes the key consumes it.

#include <QChar>
#include <QWidget>

class QKeyEvent;

namespace skinctrls {

class DialogKeyReceiver {
public:
    virtual ~DialogKeyReceiver() = default;
    // Enter or Escape (with its modifiers); true when the control acted on it.
    virtual bool DialogKey(int key, Qt::KeyboardModifiers modifiers) = 0;
    // An accelerator character; true when the control acted on it.
    virtual bool DialogChar(QChar ch) = 0;
};

// Installs the application's filter once (needs an application object).
void EnsureDialogKeyFilter();

// True when ch is the accelerator of caption: the character after a single "&"
// (compared without regard to case).
bool IsAccel(QChar ch, const QString& caption);

}  // namespace skinctrls
