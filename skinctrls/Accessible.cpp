#include "skinctrls/Accessible.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWindow>

#include "frame/Accessible.h"
#include "skinctrls/AccessibleGrid.h"
#include "skinctrls/SkinButton.h"
#include "skinctrls/SkinEdit.h"
#include "skinctrls/SkinGrid.h"
#include "skinctrls/SkinLabel.h"
#include "skinctrls/SkinMessage.h"
#include "skinctrls/SkinPanel.h"

namespace skinctrls {

namespace {

constexpr char kEditButtonName[] = "marlithEditButtonName";

// A press from a screen reader runs once its call has been answered: a command that opens
// a modal dialog (a question, an outcome) would otherwise hold the answer, and the screen
// reader with it, until the dialog closes.
template <class F>
void PressLater(QObject* context, F&& press) {
    QMetaObject::invokeMethod(context, std::forward<F>(press), Qt::QueuedConnection);
}

// The accelerator as a screen reader announces it ("Alt+P"), or empty.
QString AcceleratorOf(const QString& caption) {
    for (qsizetype i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != QLatin1Char('&')) continue;
        if (caption[i + 1] != QLatin1Char('&')) return QStringLiteral("Alt+") + caption[i + 1].toUpper();
        ++i;
    }
    return {};
}

class AccessibleSkinButton : public QAccessibleWidget {
public:
    explicit AccessibleSkinButton(TbsSkinButton* b) : QAccessibleWidget(b, QAccessible::Button) {}
    TbsSkinButton* Button() const { return static_cast<TbsSkinButton*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return frame::WithoutAccelerator(Button()->Caption());
        if (t == QAccessible::Accelerator) return AcceleratorOf(Button()->Caption());
        return QAccessibleWidget::text(t);
    }
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.defaultButton = Button()->Default();
        s.pressed = Button()->Pressed() || Button()->Down();
        s.checkable = Button()->GroupIndex() != 0;
        s.checked = s.checkable && Button()->Down();
        s.focusable = s.focusable && Button()->CanFocused();
        s.hotTracked = Button()->Hot();
        return s;
    }
    QStringList actionNames() const override {
        QStringList names{pressAction()};
        for (const QString& a : QAccessibleWidget::actionNames())
            if (!names.contains(a)) names << a;
        return names;
    }
    void doAction(const QString& action) override {
        if (action != pressAction()) return QAccessibleWidget::doAction(action);
        PressLater(widget(), [b = QPointer<TbsSkinButton>(Button())] {
            if (b && b->isEnabled() && b->isVisible()) b->ButtonClick();
        });
    }
    QStringList keyBindingsForAction(const QString& action) const override {
        const QString accel = AcceleratorOf(Button()->Caption());
        if (action == pressAction() && !accel.isEmpty()) return {accel};
        return {};
    }
};

class AccessibleSkinLabel : public QAccessibleWidget {
public:
    explicit AccessibleSkinLabel(TbsSkinStdLabel* l) : QAccessibleWidget(l, QAccessible::StaticText) {}
    TbsSkinStdLabel* Label() const { return static_cast<TbsSkinStdLabel*>(widget()); }

    QString text(QAccessible::Text t) const override {
        if ((t == QAccessible::Name || t == QAccessible::Value) && widget()->accessibleName().isEmpty())
            return Label()->ShowAccelChar() ? frame::WithoutAccelerator(Label()->Caption()) : Label()->Caption();
        return QAccessibleWidget::text(t);
    }
    QList<std::pair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto rels = QAccessibleWidget::relations(match);
        QWidget* target = Label()->FocusControl();
        if (target && target->focusProxy()) target = target->focusProxy();
        if (target && (match & QAccessible::Labelled))
            if (QAccessibleInterface* t = QAccessible::queryAccessibleInterface(target))
                rels.append({t, QAccessible::Labelled});
        return rels;
    }
};

class AccessibleSkinPanel : public QAccessibleWidget {
public:
    AccessibleSkinPanel(TbsSkinPanel* p, QAccessible::Role role) : QAccessibleWidget(p, role) {}
    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty())
            return frame::WithoutAccelerator(static_cast<TbsSkinPanel*>(widget())->Caption());
        return QAccessibleWidget::text(t);
    }
};

// The embedded button of an edit: drawn by the edit, no widget of its own.
class AccessibleEditButton : public frame::AccessiblePressablePart {
public:
    explicit AccessibleEditButton(TbsSkinCustomEdit* edit) : AccessiblePressablePart(edit) {}
    TbsSkinCustomEdit* Edit() const { return static_cast<TbsSkinCustomEdit*>(owner_.data()); }

    bool isValid() const override { return Edit() && Edit()->ButtonMode(); }
    QString text(QAccessible::Text t) const override {
        if (!Edit()) return {};
        if (t == QAccessible::Name) {
            const QString name = Edit()->property(kEditButtonName).toString();
            return name.isEmpty() ? QStringLiteral("選擇") : name;
        }
        if (t == QAccessible::Accelerator) return QStringLiteral("F4");
        return {};
    }
    QRect rect() const override {
        if (!Edit()) return {};
        const QRect r = Edit()->Rects().button.ToQRect();
        return QRect(Edit()->mapToGlobal(r.topLeft()), r.size());
    }
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override {
        QAccessible::State s;
        if (!Edit()) return s;
        s.disabled = !Edit()->isEnabled();
        s.pressed = Edit()->ButtonPressed();
        s.hotTracked = Edit()->ButtonHot();
        s.hasPopup = true;
        return s;
    }
    void doAction(const QString& action) override {
        if (action != pressAction() || !Edit()) return;
        PressLater(Edit(), [e = QPointer<TbsSkinCustomEdit>(Edit())] {
            if (e && e->isEnabled() && e->ButtonMode()) Fire(e->OnButtonClick, e);
        });
    }
    QStringList keyBindingsForAction(const QString&) const override { return {QStringLiteral("F4")}; }
};

// The edit holds Qt's line edit (read as Qt reads it) and, in button mode, its button.
class AccessibleSkinEdit : public QAccessibleWidget {
public:
    explicit AccessibleSkinEdit(TbsCustomEdit* e) : QAccessibleWidget(e, QAccessible::Pane) {}
    ~AccessibleSkinEdit() override {
        if (button_) QAccessible::deleteAccessibleInterface(button_);
    }
    TbsSkinCustomEdit* SkinEdit() const { return qobject_cast<TbsSkinCustomEdit*>(widget()); }

    QAccessibleInterface* Button() const {
        TbsSkinCustomEdit* e = SkinEdit();
        if (!e || !e->ButtonMode()) return nullptr;
        if (!button_) button_ = QAccessible::registerAccessibleInterface(new AccessibleEditButton(e));
        return QAccessible::accessibleInterface(button_);
    }
    int childCount() const override { return QAccessibleWidget::childCount() + (Button() ? 1 : 0); }
    QAccessibleInterface* child(int index) const override {
        const int own = QAccessibleWidget::childCount();
        return index < own ? QAccessibleWidget::child(index) : index == own ? Button() : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (child && child == Button()) return QAccessibleWidget::childCount();
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    mutable QAccessible::Id button_ = 0;
};

class AccessibleMessageForm : public frame::AccessibleForm {
public:
    explicit AccessibleMessageForm(TbsMessageForm* f) : frame::AccessibleForm(f, QAccessible::AlertMessage) {}
    QString text(QAccessible::Text t) const override {
        const auto* form = static_cast<TbsMessageForm*>(widget());
        if (t == QAccessible::Description && form->Message()) return form->Message()->Caption();
        return frame::AccessibleForm::text(t);
    }
};

// The skinned data grid as a table: every row of its data set, the columns it shows.
class DBGridReading : public GridReading {
public:
    explicit DBGridReading(TbsSkinCustomDBGrid* g) : g_(g) {}

    bool Active() const { return g_ && g_->DataLink().Active() && g_->DataSet(); }
    TbsColumn* Column(int c) const { return g_ ? g_->ColumnAt(c + g_->IndicatorOffset()) : nullptr; }

    int Rows() const override { return Active() ? g_->DataSet()->RecordCount() : 0; }
    int Columns() const override { return g_ ? std::max(0, g_->ColCount() - g_->IndicatorOffset()) : 0; }
    QString Title(int c) const override {
        const TbsColumn* col = Column(c);
        return col ? col->Title().Caption() : QString();
    }
    QString Text(int row, int c) const override {
        const TbsColumn* col = Column(c);
        if (!Active() || !col || !col->Field()) return {};
        return g_->DataLink().RowDisplayText(row, *col->Field());
    }
    int CurrentRow() const override { return Active() && !g_->DataSet()->IsEmpty() ? g_->DataSet()->RecNo() - 1 : -1; }
    int CurrentColumn() const override { return CurrentRow() >= 0 ? g_->SelectedIndex() : -1; }
    void MakeCurrent(int row, int column) override {
        if (!Active()) return;
        try {
            g_->DataSet()->SetRecNo(row + 1);
        } catch (const data::DataError&) {
            return;  // a row being edited that cannot be posted stays current
        }
        g_->SetSelectedIndex(column);
    }
    QRect CellRect(int row, int c) const override {
        if (!Active()) return {};
        const int slot = row - g_->DataLink().FirstRecord();
        if (slot < 0 || slot >= g_->DataLink().RecordCount()) return {};
        return Visible(g_->CellRect(c + g_->IndicatorOffset(), slot + g_->TitleOffset()));
    }
    QRect TitleRect(int c) const override {
        if (!g_ || !g_->TitleOffset()) return {};
        return Visible(g_->CellRect(c + g_->IndicatorOffset(), 0));
    }

private:
    QRect Visible(const QRect& r) const { return r.intersected(g_->rect()); }
    QPointer<TbsSkinCustomDBGrid> g_;
};

QAccessibleInterface* Factory(const QString& className, QObject* object) {
    const QLatin1String prefix("skinctrls::");
    if (!className.startsWith(prefix)) return nullptr;
    const QStringView name = QStringView(className).mid(prefix.size());
    if (name == u"TbsSkinButton") return new AccessibleSkinButton(static_cast<TbsSkinButton*>(object));
    if (name == u"TbsSkinStdLabel") return new AccessibleSkinLabel(static_cast<TbsSkinStdLabel*>(object));
    if (name == u"TbsSkinGroupBox") return new AccessibleSkinPanel(static_cast<TbsSkinPanel*>(object), QAccessible::Grouping);
    if (name == u"TbsSkinPanel") return new AccessibleSkinPanel(static_cast<TbsSkinPanel*>(object), QAccessible::Pane);
    if (name == u"TbsCustomEdit") return new AccessibleSkinEdit(static_cast<TbsCustomEdit*>(object));
    if (name == u"TbsMessageForm") return new AccessibleMessageForm(static_cast<TbsMessageForm*>(object));
    if (name == u"TbsSkinCustomDBGrid") {
        auto* grid = static_cast<TbsSkinCustomDBGrid*>(object);
        return new AccessibleGrid(grid, std::make_unique<DBGridReading>(grid));
    }
    return nullptr;
}

}  // namespace

void InstallAccessibility() {
    static bool installed = false;
    if (std::exchange(installed, true)) return;
    QAccessible::installFactory(Factory);
}

void SetAccessibleName(QWidget* control, const QString& name) {
    // The part that takes the keyboard is the one the screen reader names when it gets it.
    (control->focusProxy() ? control->focusProxy() : control)->setAccessibleName(name);
}

void SetLabelFor(TbsSkinStdLabel* label, QWidget* control) {
    label->SetFocusControl(control);
    SetAccessibleName(control, frame::WithoutAccelerator(label->Caption()));
}

void SetEditButtonName(TbsSkinCustomEdit* edit, const QString& name) { edit->setProperty(kEditButtonName, name); }

}  // namespace skinctrls
