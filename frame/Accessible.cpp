#include "frame/Accessible.h"

#include <QPointer>
#include <QWindow>

#include "frame/FrameObjects.h"
#include "frame/PopupMenu.h"
#include "frame/SkinFrame.h"
#include "platform/Form.h"

namespace frame {

namespace {

// A press from a screen reader runs once its call has been answered: a command that opens
// a modal window would otherwise hold the answer (and the screen reader) until it closes.
template <class F>
void PressLater(QObject* context, F&& press) {
    QMetaObject::invokeMethod(context, std::forward<F>(press), Qt::QueuedConnection);
}

QRect GlobalRect(const QWidget* w, const skin::Rect& r) {
    return w ? QRect(w->mapToGlobal(QPoint(r.left, r.top)), r.ToQRect().size()) : QRect();
}

// --- caption buttons ---------------------------------------------------------------------

class AccessibleCaptionButton : public AccessiblePressablePart {
public:
    AccessibleCaptionButton(platform::Form* form, QString id) : AccessiblePressablePart(form), id_(std::move(id)) {}

    TbsSkinStdButtonObject* Object() const {
        auto* form = qobject_cast<platform::Form*>(owner_.data());
        auto* frame = form ? dynamic_cast<TbsSkinFrame*>(form->Frame()) : nullptr;
        return frame ? dynamic_cast<TbsSkinStdButtonObject*>(frame->FindObject(id_)) : nullptr;
    }
    bool isValid() const override {
        const TbsSkinStdButtonObject* o = Object();
        return o && o->Visible;
    }
    QString text(QAccessible::Text t) const override {
        const TbsSkinStdButtonObject* o = Object();
        if (!o || t != QAccessible::Name) return {};
        switch (o->Command) {
        case skin::cmClose: return QStringLiteral("關閉");
        case skin::cmMaximize: return o->InAlternateState() ? QStringLiteral("還原") : QStringLiteral("最大化");
        case skin::cmMinimize: return o->InAlternateState() ? QStringLiteral("還原") : QStringLiteral("最小化");
        case skin::cmRollUp: return o->InAlternateState() ? QStringLiteral("展開") : QStringLiteral("捲起");
        case skin::cmSysMenu: return QStringLiteral("系統功能表");
        case skin::cmDefault: break;
        }
        return o->IDName;
    }
    QRect rect() const override {
        const TbsSkinStdButtonObject* o = Object();
        return o ? GlobalRect(owner_, o->ObjectRect) : QRect();
    }
    QAccessible::Role role() const override {
        const TbsSkinStdButtonObject* o = Object();
        return o && o->Command == skin::cmSysMenu ? QAccessible::ButtonMenu : QAccessible::Button;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (const TbsSkinStdButtonObject* o = Object()) {
            s.disabled = !o->Enabled;
            s.pressed = o->Down;
            s.hotTracked = o->MouseIn;
            s.hasPopup = o->Command == skin::cmSysMenu;
        }
        return s;
    }
    void doAction(const QString& action) override {
        if (action != pressAction() || !owner_) return;
        PressLater(owner_, [form = owner_, id = id_] {
            if (!form) return;
            AccessibleCaptionButton again(qobject_cast<platform::Form*>(form.data()), id);
            if (TbsSkinStdButtonObject* o = again.Object(); o && o->Visible) o->Press();
        });
    }

private:
    QString id_;
};

// --- popup menus ---------------------------------------------------------------------------

class AccessibleMenuItem : public AccessiblePressablePart {
public:
    AccessibleMenuItem(TbsSkinPopupWindow* level, int index) : AccessiblePressablePart(level), index_(index) {}

    TbsSkinPopupWindow* Level() const { return static_cast<TbsSkinPopupWindow*>(owner_.data()); }
    const TbsSkinMenuItem* Item() const {
        const TbsSkinPopupWindow* l = Level();
        return l && index_ < int(l->Items().size()) ? &l->Items()[size_t(index_)] : nullptr;
    }
    bool isValid() const override { return Item() != nullptr; }
    QString text(QAccessible::Text t) const override {
        const TbsSkinMenuItem* it = Item();
        if (!it) return {};
        if (t == QAccessible::Name) return it->item->IsSeparator() ? QString() : WithoutAccelerator(it->item->Caption);
        if (t == QAccessible::Accelerator) return it->item->ShortCut;
        return {};
    }
    QRect rect() const override {
        const TbsSkinMenuItem* it = Item();
        return it && it->inView ? GlobalRect(owner_, it->rect) : QRect();
    }
    QAccessible::Role role() const override {
        const TbsSkinMenuItem* it = Item();
        return it && it->item->IsSeparator() ? QAccessible::Separator : QAccessible::MenuItem;
    }
    QAccessible::State state() const override {
        QAccessible::State s;
        const TbsSkinMenuItem* it = Item();
        if (!it) return s;
        s.disabled = !it->item->Enabled;
        s.focusable = it->selectable();
        s.focused = it->hot;
        s.hotTracked = it->hot;
        s.checkable = it->item->Checked || it->item->RadioItem;
        s.checked = it->item->Checked;
        s.hasPopup = !it->item->Items.empty();
        s.expanded = it->open;
        s.invisible = s.offscreen = !it->inView;
        return s;
    }
    QStringList actionNames() const override {
        const TbsSkinMenuItem* it = Item();
        return it && it->selectable() ? QStringList{pressAction()} : QStringList{};
    }
    void doAction(const QString& action) override {
        if (action != pressAction() || !Level()) return;
        PressLater(Level(), [level = QPointer<TbsSkinPopupWindow>(Level()), index = index_] {
            if (level) level->ChooseItem(index);
        });
    }

private:
    int index_;
};

class AccessibleMenuLevel : public QAccessibleWidget {
public:
    explicit AccessibleMenuLevel(TbsSkinPopupWindow* level) : QAccessibleWidget(level, QAccessible::PopupMenu) {}
    ~AccessibleMenuLevel() override {
        for (const auto& [index, id] : items_) QAccessible::deleteAccessibleInterface(id);
    }
    TbsSkinPopupWindow* Level() const { return static_cast<TbsSkinPopupWindow*>(widget()); }

    QAccessibleInterface* Item(int index) const {
        if (index < 0 || index >= childCount()) return nullptr;
        if (const auto found = items_.find(index); found != items_.end())
            return QAccessible::accessibleInterface(found->second);
        auto* item = new AccessibleMenuItem(Level(), index);
        items_[index] = QAccessible::registerAccessibleInterface(item);
        return item;
    }
    int childCount() const override { return int(Level()->Items().size()); }
    QAccessibleInterface* child(int index) const override { return Item(index); }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (const auto& [index, id] : items_)
            if (QAccessible::accessibleInterface(id) == child) return index;
        return -1;
    }
    QAccessibleInterface* focusChild() const override { return Item(Level()->HotItem()); }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface* it = Item(i); it->rect().contains(x, y)) return it;
        return nullptr;
    }

private:
    mutable std::map<int, QAccessible::Id> items_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    if (className == QLatin1String("frame::TbsSkinPopupWindow"))
        return new AccessibleMenuLevel(static_cast<TbsSkinPopupWindow*>(object));
    if (className == QLatin1String("platform::Form")) {
        auto* form = static_cast<platform::Form*>(object);
        return new AccessibleForm(form, form->BorderStyle() == platform::bsDialog ? QAccessible::Dialog : QAccessible::Window);
    }
    return nullptr;
}

}  // namespace

QWindow* AccessibleDrawnPart::window() const { return owner_ ? owner_->window()->windowHandle() : nullptr; }

QString WithoutAccelerator(const QString& caption) {
    QString out;
    out.reserve(caption.size());
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) ++i;
        out += caption[i];
    }
    return out;
}

AccessibleForm::AccessibleForm(platform::Form* form, QAccessible::Role role) : QAccessibleWidget(form, role) {}

AccessibleForm::~AccessibleForm() {
    for (const auto& [name, id] : buttons_) QAccessible::deleteAccessibleInterface(id);
}

QStringList AccessibleForm::CaptionButtons() const {
    QStringList names;
    auto* frame = dynamic_cast<TbsSkinFrame*>(static_cast<platform::Form*>(widget())->Frame());
    if (!frame) return names;
    for (const auto& o : frame->Objects())
        if (auto* b = dynamic_cast<const TbsSkinStdButtonObject*>(o.get()); b && b->Visible && !b->ObjectRect.IsEmpty())
            names << b->IDName;
    return names;
}

int AccessibleForm::childCount() const { return QAccessibleWidget::childCount() + int(CaptionButtons().size()); }

QAccessibleInterface* AccessibleForm::child(int index) const {
    const int own = QAccessibleWidget::childCount();
    if (index < own) return QAccessibleWidget::child(index);
    const QStringList names = CaptionButtons();
    if (index - own >= names.size()) return nullptr;
    const QString& name = names[index - own];
    if (const auto found = buttons_.find(name); found != buttons_.end())
        if (QAccessibleInterface* b = QAccessible::accessibleInterface(found->second)) return b;
    auto* b = new AccessibleCaptionButton(static_cast<platform::Form*>(widget()), name);
    buttons_[name] = QAccessible::registerAccessibleInterface(b);
    return b;
}

int AccessibleForm::indexOfChild(const QAccessibleInterface* child) const {
    if (child && child->object()) return QAccessibleWidget::indexOfChild(child);
    const QStringList names = CaptionButtons();
    for (const auto& [name, id] : buttons_)
        if (QAccessible::accessibleInterface(id) == child && names.contains(name))
            return QAccessibleWidget::childCount() + int(names.indexOf(name));
    return -1;
}

void InstallAccessibility() {
    static bool installed = false;
    if (std::exchange(installed, true)) return;
    QAccessible::installFactory(Factory);
}

void AccessibleMenuItemHot(TbsSkinPopupWindow* level, int index) {
    if (!QAccessible::isActive() || !level->isVisible()) return;
    auto* menu = dynamic_cast<AccessibleMenuLevel*>(QAccessible::queryAccessibleInterface(level));
    if (QAccessibleInterface* item = menu ? menu->Item(index) : nullptr) {
        QAccessibleEvent focus(item, QAccessible::Focus);
        QAccessible::updateAccessibility(&focus);
    }
}

}  // namespace frame
