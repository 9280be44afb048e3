#include "platform/Form.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace platform {

namespace {

// Open forms in creation order. Forms add themselves in their constructor and leave in
// their destructor, so the list never holds a dead form.
QList<Form*>& Registry() {
    static QList<Form*> forms;
    return forms;
}

}  // namespace

ClientArea::ClientArea(Form* form) : Control(form), form_(form) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ClientArea::paintEvent(QPaintEvent*) {
    QPainter p(this);
    form_->PaintClientBackground(p, size());
}

Form::Form(QWidget* owner) : QWidget(owner, Qt::Window), client_(new ClientArea(this)) {
    Registry().append(this);
    client_->setGeometry(rect());
}

Form::~Form() {
    Registry().removeAll(this);
    if (frame_) frame_->FormDestroying();
    frame_ = nullptr;
    if (modalLoop_) modalLoop_->exit();
}

QList<Form*> Form::OpenForms() { return Registry(); }

Form* Form::MainForm() { return Registry().isEmpty() ? nullptr : Registry().first(); }

void Form::SetFrame(FormFrame* frame) {
    frame_ = frame;
    UpdateClientGeometry();
    client_->update();
}

void Form::UpdateClientGeometry() {
    const QRect r = frame_ ? frame_->ClientRectFor(size()) : rect();
    if (client_->geometry() != r) client_->setGeometry(r);
}

void Form::SetColor(TColor c) {
    if (color_ == c) return;
    color_ = c;
    client_->update();
}

void Form::PaintClientBackground(QPainter& painter, QSize clientSize) {
    if (frame_)
        frame_->PaintClientBackground(painter, clientSize);
    else
        painter.fillRect(QRect(QPoint(0, 0), clientSize), ToQColor(color_));
}

FocusReturn::FocusReturn() : window_(QApplication::activeWindow()), control_(QApplication::focusWidget()) {
    if (control_ && control_->window() != window_) control_ = nullptr;
}

FocusReturn::~FocusReturn() {
    if (!window_ || !window_->isVisible() || !window_->isEnabled()) return;
    window_->activateWindow();
    if (control_ && control_->window() == window_ && control_->isVisible() && control_->isEnabled())
        control_->setFocus(Qt::ActiveWindowFocusReason);
}

int Form::ShowModal() {
    if (modalLoop_) return modalResult_;  // already in a modal run
    const FocusReturn focus;
    modalResult_ = mrNone;
    setWindowModality(Qt::ApplicationModal);
    show();
    raise();
    activateWindow();
    QEventLoop loop;
    modalLoop_ = &loop;
    QPointer<Form> self(this);
    if (modalResult_ == mrNone) loop.exec();
    if (!self) return mrCancel;  // freed while running
    modalLoop_ = nullptr;
    hide();
    setWindowModality(Qt::NonModal);
    return modalResult_;
}

void Form::SetModalResult(int result) {
    modalResult_ = result;
    if (result != mrNone && modalLoop_) modalLoop_->exit();
}

void Form::Release() { deleteLater(); }

void Form::resizeEvent(QResizeEvent* e) {
    QWidget::resizeEvent(e);
    UpdateClientGeometry();
}

void Form::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::ActivationChange) {
        if (isActiveWindow())
            emit Activated();
        else
            emit Deactivated();
    }
}

bool Form::focusNextPrevChild(bool next) {
    // Qt hands the keyboard on along the tab order when the focused control is disabled
    // or hidden (it asks the window for the next control); the form's home takes it
    // instead. Tab and Backtab from a control that stands go along the tab order.
    QWidget* focus = focusWidget();
    QWidget* home = focusHome_;
    if (home && focus && focus != home && !home->isAncestorOf(focus) && (!focus->isEnabled() || !focus->isVisible()) &&
        home->isEnabled() && home->isVisible()) {
        home->setFocus(Qt::OtherFocusReason);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

void Form::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (!e->isAccepted()) return;
    if (modalLoop_) {
        if (modalResult_ == mrNone) modalResult_ = mrCancel;
        modalLoop_->exit();
    }
    emit Closed();
}

HourglassCursor::HourglassCursor() {
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
        set_ = true;
    }
}

HourglassCursor::~HourglassCursor() {
    if (set_ && qobject_cast<QGuiApplication*>(QCoreApplication::instance())) QGuiApplication::restoreOverrideCursor();
}

namespace {
QScreen* ScreenOf(const QWidget* w) {
    QScreen* s = w ? w->screen() : nullptr;
    return s ? s : QGuiApplication::primaryScreen();
}
}  // namespace

QRect WorkArea(const QWidget* w) {
    QScreen* s = ScreenOf(w);
    return s ? s->availableGeometry() : QRect(0, 0, 1024, 768);
}

QRect ScreenRect(const QWidget* w) {
    QScreen* s = ScreenOf(w);
    return s ? s->geometry() : QRect(0, 0, 1024, 768);
}

}  // namespace platform
