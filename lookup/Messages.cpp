#include "lookup/Messages.h"

#include <QApplication>
#include <QMessageBox>

namespace lookup {

namespace {

MessageFunction& Current() {
    static MessageFunction f;
    return f;
}

}  // namespace

MessageFunction SetMessageFunction(MessageFunction f) {
    MessageFunction old = std::move(Current());
    Current() = std::move(f);
    return old;
}

void ShowPlainMessage(QWidget* parent, const QString& text) {
    if (Current()) {
        Current()(parent, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(), text, QMessageBox::Ok, parent);
    box.exec();
}

void ShowError(QWidget* parent, const std::exception& e) { ShowPlainMessage(parent, QString::fromUtf8(e.what())); }

}  // namespace lookup
