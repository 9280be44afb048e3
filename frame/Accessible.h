#pragma once
// What a screen reader reads of the frame's windows and menus (Qt's accessibility
// framework; InstallAccessibility registers the interfaces once at start):
//
// - a form: a window named by its title, whose children are its client area and the
//   caption buttons the skin shows (close, maximize or restore, minimize, roll-up, system
//   menu), each a button with a Press action that does what its click does;
// - a popup menu level (the system menu, the grids' context menu): a menu whose items are
//   its children, named by their captions without the accelerator mark, with their
//   shortcut, enabled, checked and sub-menu states and a Press action that chooses them.
//   The item the keyboard or the mouse makes hot is the focused one.

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>

#include <map>

namespace platform {
class Form;
}

namespace frame {

class TbsSkinPopupWindow;

// A part a control draws inside itself, with no widget of its own (a caption button, a
// menu item, an edit's button, a grid cell): a leaf in its owner's window whose parent is
// its owner's interface, unless the part says otherwise.
class AccessibleDrawnPart : public QAccessibleInterface {
public:
    explicit AccessibleDrawnPart(QWidget* owner) : owner_(owner) {}
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation = QAccessible::AllRelations) const override {
        return {};
    }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override { return QAccessible::queryAccessibleInterface(owner_.data()); }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    void setText(QAccessible::Text, const QString&) override {}

protected:
    QPointer<QWidget> owner_;
};

// A drawn part that is pressed: its one action is Press.
class AccessiblePressablePart : public AccessibleDrawnPart, public QAccessibleActionInterface {
public:
    using AccessibleDrawnPart::AccessibleDrawnPart;
    void* interface_cast(QAccessible::InterfaceType t) override {
        return t == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
    }
    QStringList actionNames() const override { return {pressAction()}; }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }
};

class AccessibleForm : public QAccessibleWidget {
public:
    explicit AccessibleForm(platform::Form* form, QAccessible::Role role = QAccessible::Window);
    ~AccessibleForm() override;

    // Children: the form's own widgets, then its caption buttons in their order.
    int childCount() const override;
    QAccessibleInterface* child(int index) const override;
    int indexOfChild(const QAccessibleInterface* child) const override;

private:
    // The caption buttons shown now, by their names in the skin.
    QStringList CaptionButtons() const;

    mutable std::map<QString, QAccessible::Id> buttons_;
};

void InstallAccessibility();

// The caption without its accelerator mark ("列印(&P)" reads "列印(P)", "&&" one "&").
QString WithoutAccelerator(const QString& caption);

// The hot item of a menu level changed (keyboard or mouse): the screen reader follows it.
void AccessibleMenuItemHot(TbsSkinPopupWindow* level, int index);

}  // namespace frame
