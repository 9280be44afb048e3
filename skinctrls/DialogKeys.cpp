#include "skinctrls/DialogKeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace skinctrls {

namespace {

class DialogKeyFilter final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() != QEvent::KeyPress || !watched->isWidgetType()) return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        auto* target = static_cast<QWidget*>(watched);
        QWidget* window = target->window();
        if (!window) return false;
        const int key = ke->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            for (QWidget* w : Receivers(window))
                if (auto* r = dynamic_cast<DialogKeyReceiver*>(w); r && r->DialogKey(key, ke->modifiers())) return true;
            return false;
        }
        // Accelerators: with Alt, or while the focused control takes no characters.
        const QString text = ke->text();
        if (text.size() != 1 || !text.at(0).isPrint()) return false;
        const bool alt = ke->modifiers().testFlag(Qt::AltModifier);
        if (!alt && TakesCharacters(QApplication::focusWidget())) return false;
        for (QWidget* w : Receivers(window))
            if (auto* r = dynamic_cast<DialogKeyReceiver*>(w); r && r->DialogChar(text.at(0))) return true;
        return false;
    }

private:
    static QList<QPointer<QWidget>> Receivers(QWidget* window) {
        QList<QPointer<QWidget>> out;
        for (QWidget* w : window->findChildren<QWidget*>())
            if (w->window() == window && dynamic_cast<DialogKeyReceiver*>(w)) out.append(w);
        return out;
    }
    static bool TakesCharacters(QWidget* focus) {
        if (!focus) return false;
        if (dynamic_cast<DialogKeyReceiver*>(focus)) return false;
        return true;
    }
};

}  // namespace

void EnsureDialogKeyFilter() {
    static QPointer<DialogKeyFilter> filter;
    if (filter || !QCoreApplication::instance()) return;
    filter = new DialogKeyFilter(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(filter);
}

bool IsAccel(QChar ch, const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption.at(i) != QLatin1Char('&')) continue;
        const QChar next = caption.at(i + 1);
        if (next == QLatin1Char('&')) {
            ++i;  // "&&" is a literal ampersand
            continue;
        }
        return next.toUpper() == ch.toUpper();
    }
    return false;
}

}  // namespace skinctrls
