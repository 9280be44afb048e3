#pragma once
// The form: a top-level window of the product with a client area (the child widget
// where its controls live), a registry of the open forms, activation events, a modal run
// and a deferred release.
//
// A window frame component (the skinned frame) takes over the rest of the window: it
// paints the border and caption around the client area, tells the form where the client
// area goes for a window size, paints the client background and hears skin changes
// first. Without a frame the client area fills the whole form.

#include <QList>
#include <QPointer>
#include <QWidget>

#include "platform/Align.h"
#include "platform/Colors.h"

class QEventLoop;

namespace skin {
class TbsSkinData;
enum class SkinChange;
}

namespace platform {

class Form;

// Modal results of a form's modal run.
enum TModalResult : int { mrNone = 0, mrOk, mrCancel, mrAbort, mrRetry, mrIgnore, mrYes, mrNo, mrAll, mrNoToAll, mrYesToAll };

// What a window frame component provides to the form it serves.
class FormFrame {
public:
    virtual ~FormFrame() = default;
    // The client rectangle (window coordinates) of a window of the given size.
    virtual QRect ClientRectFor(QSize windowSize) const = 0;
    // Paints the client area's background; clientSize is the client area's size.
    virtual void PaintClientBackground(QPainter& painter, QSize clientSize) = 0;
    // A skin-change message for the form (the frame passes it on to the controls).
    virtual void FormSkinMessage(skin::SkinChange message, skin::TbsSkinData* data) = 0;
    // The form is being destroyed: the frame must not touch it any more.
    virtual void FormDestroying() = 0;
};

// Border styles of a form. "Sizeable" means bsSizeable or bsSizeToolWin; the tool-window
// styles have the smaller caption.
enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };

// The client area: a Control whose background the form (or its frame) paints.
class ClientArea : public Control {
    Q_OBJECT

public:
    explicit ClientArea(Form* form);

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    Form* form_;
};

class Form : public QWidget {
    Q_OBJECT

public:
    // A top-level window; with an owner it is freed with its owner.
    explicit Form(QWidget* owner = nullptr);
    ~Form() override;

    // The child widget the form's controls live in.
    ClientArea* Client() const { return client_; }

    // Open forms in the order they were created; the first one is the main form (the
    // application's main window, whose minimizing minimizes the application).
    static QList<Form*> OpenForms();
    static Form* MainForm();

    // The window frame serving this form, or none. The frame must clear itself before it
    // is destroyed.
    void SetFrame(FormFrame* frame);
    FormFrame* Frame() const { return frame_; }
    // Places the client area for the present size (the frame calls it when its rule
    // changes without a resize).
    void UpdateClientGeometry();

    TFormBorderStyle BorderStyle() const { return borderStyle_; }
    void SetBorderStyle(TFormBorderStyle style) { borderStyle_ = style; }
    bool IsSizeable() const { return borderStyle_ == bsSizeable || borderStyle_ == bsSizeToolWin; }
    bool IsToolWindow() const { return borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin; }
    bool HasBorder() const { return borderStyle_ != bsNone; }

    // The client background without a frame.
    TColor Color() const { return color_; }
    void SetColor(TColor c);

    bool IsActive() const { return isActiveWindow(); }

    // Modal run: shows the form modal and returns when a modal result is set or the form
    // is closed (closing counts as mrCancel). The form is hidden, not freed.
    int ShowModal();
    int ModalResult() const { return modalResult_; }
    // Setting a result other than mrNone ends a modal run.
    void SetModalResult(int result);
    bool InModalRun() const { return modalLoop_ != nullptr; }

    // Frees the form once the events now pending have been handled.
    void Release();

    // The control that takes the keyboard when the focused control is disabled or
    // hidden (a command button that disables itself while it runs), instead of the next
    // control of the tab order, which may be one where stray typing changes data. None:
    // the tab order decides.
    void SetFocusHome(QWidget* control) { focusHome_ = control; }
    QWidget* FocusHome() const { return focusHome_; }

signals:
    void Activated();
    void Deactivated();
    void Closed();

protected:
    void resizeEvent(QResizeEvent* e) override;
    void changeEvent(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;
    bool focusNextPrevChild(bool next) override;

    friend class ClientArea;
    void PaintClientBackground(QPainter& painter, QSize clientSize);

private:
    ClientArea* client_;
    FormFrame* frame_ = nullptr;
    TColor color_ = clBtnFace;
    TFormBorderStyle borderStyle_ = bsSizeable;
    int modalResult_ = mrNone;
    QEventLoop* modalLoop_ = nullptr;
    QPointer<QWidget> focusHome_;
};

// Gives the keyboard back after a dialog. Made before the dialog, it remembers the
// active window and its focused control; when it goes, it makes that window active again
// and gives the control the focus, as the desktop the design assumes does on closing a
// dialog, also where nothing else would (an X server without a window manager leaves
// the keyboard on the root window): the clerk types on where they were without a click.
// Nothing is given back to a window or control closed, hidden or disabled meanwhile.
// A form's modal run keeps one; the platform's own dialogs (file, print) are wrapped in
// one by their caller.
class FocusReturn {
public:
    FocusReturn();
    ~FocusReturn();
    FocusReturn(const FocusReturn&) = delete;
    FocusReturn& operator=(const FocusReturn&) = delete;

private:
    QPointer<QWidget> window_;
    QPointer<QWidget> control_;
};

// The hourglass cursor for as long as the guard lives (nesting is fine).
class HourglassCursor {
public:
    HourglassCursor();
    ~HourglassCursor();
    HourglassCursor(const HourglassCursor&) = delete;
    HourglassCursor& operator=(const HourglassCursor&) = delete;

private:
    bool set_ = false;
};

// The desktop work area (the screen without task bars) and the whole screen of the
// screen that shows w (the primary screen when w is null or not placed yet).
QRect WorkArea(const QWidget* w = nullptr);
QRect ScreenRect(const QWidget* w = nullptr);

}  // namespace platform
