#pragma once
// A speed button bound to a data source: each button performs one data set action
// (first, prior, next, last, insert, delete, edit, post, cancel, refresh, or a custom
// action left to its click handler) and enables itself from the data set's state and
// the disable reasons chosen for it. It can drive a menu item, which follows its
// enabled state and performs its action. Prior and Next repeat while held.

#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>

#include "data/DataSource.h"
#include "lookup/SpeedButton.h"

class QAction;

namespace lookup {

enum TDBSpeedButtonType {
    nbCustom = 0,
    nbFirst,
    nbPrior,
    nbNext,
    nbLast,
    nbInsert,
    nbDelete,
    nbEdit,
    nbPost,
    nbCancel,
    nbRefresh
};

enum TDBSBDisableReason { drBOF = 0, drEOF, drReadonly, drNotEditing, drEditing, drEmpty };

// A set of reasons: bit n for reason n.
class TDBSBDisableReasons {
public:
    constexpr TDBSBDisableReasons() = default;
    constexpr TDBSBDisableReasons(std::initializer_list<TDBSBDisableReason> reasons) {
        for (TDBSBDisableReason r : reasons) Add(r);
    }
    constexpr void Add(TDBSBDisableReason r) { bits_ |= static_cast<std::uint8_t>(1u << r); }
    constexpr bool Has(TDBSBDisableReason r) const { return (bits_ >> r) & 1u; }
    constexpr bool Intersects(TDBSBDisableReasons o) const { return (bits_ & o.bits_) != 0; }
    friend constexpr bool operator==(TDBSBDisableReasons, TDBSBDisableReasons) = default;

private:
    std::uint8_t bits_ = 0;
};

// Per type: default caption ("First", ...), glyph word ("FIRST", ...), default reasons,
// whether it repeats while held.
QString DefaultCaption(TDBSpeedButtonType type);
QString GlyphWord(TDBSpeedButtonType type);
TDBSBDisableReasons DefaultReasons(TDBSpeedButtonType type);
bool RepeatsWhileHeld(TDBSpeedButtonType type);

// The reasons that hold for a data source now: with an active source, drBOF / drEOF at
// the beginning / end, drReadonly when the set cannot be modified, drEmpty at both,
// drEditing in edit, insert or key entry else drNotEditing; without one (or an
// inactive one) every reason but drEditing.
TDBSBDisableReasons CurrentReasons(const data::DataSource* source);

class TDBSpeedButton : public TSpeedButton {
    Q_OBJECT

public:
    explicit TDBSpeedButton(QWidget* parent = nullptr);
    ~TDBSpeedButton() override;

    bool ConfirmDelete() const { return confirmDelete_; }
    void SetConfirmDelete(bool on) { confirmDelete_ = on; }
    TDBSpeedButtonType DataButtonType() const { return type_; }
    void SetDataButtonType(TDBSpeedButtonType type);
    data::DataSource* DataSource() const;
    void SetDataSource(data::DataSource* source);
    QAction* MenuItem() const { return menuItem_; }
    void SetMenuItem(QAction* item);
    TDBSBDisableReasons DisableReasons() const { return disableReasons_; }
    void SetDisableReasons(TDBSBDisableReasons reasons) { disableReasons_ = reasons; }
    bool RuntimeEnabled() const { return runtimeEnabled_; }
    bool CustomGlyph() const { return customGlyph_; }

    // May perform or veto the action: set ActionIsDone to stop it (it starts true for
    // nbCustom, false otherwise).
    std::function<void(TDBSpeedButton* sender, bool& actionIsDone)> OnBeforeAction;
    // The enabling rule changed the enabled state.
    std::function<void(TDBSpeedButton* sender)> OnEnabledChanged;
    // Answers the delete confirmation ("Delete record?"); the default asks in a message
    // box with OK and Cancel.
    std::function<bool(TDBSpeedButton* sender)> ConfirmDeleteQuestion;

    void SetGlyph(const QImage& glyph) override;
    void LoadDefaultGlyph();

    // Re-evaluates the enabling rule.
    virtual void UpdateEnabled();
    // Performs the data action.
    virtual void DoAction();
    void Click() override;

    bool Repeating() const { return holdTimer_ != nullptr; }

protected:
    void changeEvent(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void paintEvent(QPaintEvent* e) override;

private:
    class Link;
    void ApplyDefaultReasons();
    void StopRepeat();

    std::unique_ptr<Link> link_;
    TDBSpeedButtonType type_ = nbCustom;
    bool confirmDelete_ = true;
    TDBSBDisableReasons disableReasons_;
    bool runtimeEnabled_ = true;
    bool customGlyph_ = false;
    bool loadingGlyph_ = false;
    bool destroying_ = false;
    QPointer<QAction> menuItem_;
    QMetaObject::Connection menuConnection_;
    QTimer* holdTimer_ = nullptr;
};

}  // namespace lookup
