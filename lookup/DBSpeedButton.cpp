#include "lookup/DBSpeedButton.h"

#include <QAction>
#include <QMessageBox>
#include <QMouseEvent>

#include "lookup/Glyphs.h"
#include "lookup/Messages.h"
#include "platform/Timers.h"

namespace lookup {

namespace {

struct TypeInfo {
    const char* caption;
    const char* glyphWord;
    TDBSBDisableReasons reasons;
    bool repeats;
};

const TypeInfo& Info(TDBSpeedButtonType type) {
    static const TypeInfo kTypes[] = {
        {"", "", {}, false},
        {"First", "FIRST", {drBOF, drEditing, drEmpty}, false},
        {"Prior", "PRIOR", {drBOF, drEditing, drEmpty}, true},
        {"Next", "NEXT", {drEOF, drEditing, drEmpty}, true},
        {"Last", "LAST", {drEOF, drEditing, drEmpty}, false},
        {"New", "INSERT", {drReadonly, drEditing}, false},
        {"Delete", "DELETE", {drReadonly, drEditing, drEmpty}, false},
        {"Edit", "EDIT", {drReadonly, drEditing, drEmpty}, false},
        {"Save", "POST", {drNotEditing}, false},
        {"Cancel", "CANCEL", {drNotEditing}, false},
        {"Refresh", "REFRESH", {drEditing}, false},
    };
    const int i = static_cast<int>(type);
    return kTypes[i >= 0 && i <= nbRefresh ? i : 0];
}

}  // namespace

QString DefaultCaption(TDBSpeedButtonType type) { return QString::fromLatin1(Info(type).caption); }
QString GlyphWord(TDBSpeedButtonType type) { return QString::fromLatin1(Info(type).glyphWord); }
TDBSBDisableReasons DefaultReasons(TDBSpeedButtonType type) { return Info(type).reasons; }
bool RepeatsWhileHeld(TDBSpeedButtonType type) { return Info(type).repeats; }

TDBSBDisableReasons CurrentReasons(const data::DataSource* source) {
    const data::DataSet* ds = source ? source->dataSet() : nullptr;
    if (!source || !ds || source->State() == data::DataSetState::Inactive)
        return {drBOF, drEOF, drReadonly, drNotEditing, drEmpty};
    TDBSBDisableReasons now;
    if (ds->Bof()) now.Add(drBOF);
    if (ds->Eof()) now.Add(drEOF);
    if (!ds->CanModify()) now.Add(drReadonly);
    if (ds->Bof() && ds->Eof()) now.Add(drEmpty);
    now.Add(data::IsEditState(source->State()) ? drEditing : drNotEditing);
    return now;
}

// The button's view of its data source: every notification re-evaluates the rule
// (scrolling and layout changes arrive as data set changes).
class TDBSpeedButton::Link : public data::DataLink {
public:
    explicit Link(TDBSpeedButton* button) : button_(button) {}
    void Detach() { button_ = nullptr; }

protected:
    void ActiveChanged() override { Update(); }
    void DataSetChanged() override { Update(); }
    void EditingChanged() override { Update(); }

private:
    void Update() {
        if (button_) button_->UpdateEnabled();
    }
    TDBSpeedButton* button_;
};

TDBSpeedButton::TDBSpeedButton(QWidget* parent) : TSpeedButton(parent), link_(std::make_unique<Link>(this)) {}

TDBSpeedButton::~TDBSpeedButton() {
    destroying_ = true;
    StopRepeat();
    link_->Detach();
    link_->SetDataSource(nullptr);
    SetMenuItem(nullptr);
}

void TDBSpeedButton::SetGlyph(const QImage& glyph) {
    TSpeedButton::SetGlyph(glyph);
    if (!loadingGlyph_) customGlyph_ = true;
}

void TDBSpeedButton::LoadDefaultGlyph() {
    if (type_ == nbCustom) return;
    loadingGlyph_ = true;
    SetGlyph(NavigatorGlyph(GlyphWord(type_)));
    SetNumGlyphs(2);
    loadingGlyph_ = false;
    customGlyph_ = false;
}

void TDBSpeedButton::ApplyDefaultReasons() {
    if (type_ != nbCustom) disableReasons_ = DefaultReasons(type_);
}

void TDBSpeedButton::SetDataButtonType(TDBSpeedButtonType type) {
    if (type == type_) return;
    setEnabled(true);
    if (type == nbCustom) {
        customGlyph_ = true;
    } else if (type_ != nbCustom) {
        // A caption of one's own stays.
        if (text() == DefaultCaption(type_)) setText(DefaultCaption(type));
    } else {
        setText(DefaultCaption(type));
    }
    // Each change passes the enabled-changed notification, so the rule runs with the
    // old reasons; the new ones count from the next data event.
    setEnabled(false);
    setEnabled(true);
    type_ = type;
    LoadDefaultGlyph();
    ApplyDefaultReasons();
}

data::DataSource* TDBSpeedButton::DataSource() const { return link_->dataSource(); }

void TDBSpeedButton::SetDataSource(data::DataSource* source) {
    link_->SetDataSource(source);
    UpdateEnabled();
}

void TDBSpeedButton::SetMenuItem(QAction* item) {
    if (item == menuItem_) return;
    if (menuConnection_) QObject::disconnect(menuConnection_);
    menuConnection_ = {};
    menuItem_ = item;
    if (item) {
        menuConnection_ = connect(item, &QAction::triggered, this, [this] { Click(); });
        item->setEnabled(isEnabled());
    }
}

void TDBSpeedButton::UpdateEnabled() {
    if (destroying_ || !runtimeEnabled_) return;
    const TDBSBDisableReasons now = CurrentReasons(link_->dataSource());
    const bool was = !testAttribute(Qt::WA_Disabled);
    const bool enabled = !now.Intersects(disableReasons_);
    setEnabled(enabled);
    runtimeEnabled_ = true;
    if (menuItem_) menuItem_->setEnabled(enabled);
    if (enabled != was && OnEnabledChanged) OnEnabledChanged(this);
}

void TDBSpeedButton::changeEvent(QEvent* e) {
    TSpeedButton::changeEvent(e);
    if (e->type() != QEvent::EnabledChange || destroying_) return;
    // Code that disables the button takes it from the rule; enabling hands it back.
    runtimeEnabled_ = !testAttribute(Qt::WA_Disabled);
    UpdateEnabled();
}

void TDBSpeedButton::Click() {
    TSpeedButton::Click();
    DoAction();
}

void TDBSpeedButton::DoAction() {
    if (OnBeforeAction) {
        bool done = type_ == nbCustom;
        OnBeforeAction(this, done);
        if (done) return;
    }
    data::DataSource* source = link_->dataSource();
    data::DataSet* ds = source ? source->dataSet() : nullptr;
    if (!ds || source->State() == data::DataSetState::Inactive) return;
    switch (type_) {
    case nbCustom: break;
    case nbFirst: ds->First(); break;
    case nbPrior: ds->Prior(); break;
    case nbNext: ds->Next(); break;
    case nbLast: ds->Last(); break;
    case nbInsert: ds->Insert(); break;
    case nbDelete: {
        bool go = true;
        if (confirmDelete_) {
            if (ConfirmDeleteQuestion)
                go = ConfirmDeleteQuestion(this);
            else
                go = QMessageBox::question(this, QString(), QStringLiteral("Delete record?"),
                                           QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
        }
        if (go) ds->Delete();
        break;
    }
    case nbEdit: ds->Edit(); break;
    case nbPost: ds->Post(); break;
    case nbCancel: ds->Cancel(); break;
    case nbRefresh: ds->Refresh(); break;
    }
}

void TDBSpeedButton::StopRepeat() {
    delete holdTimer_;
    holdTimer_ = nullptr;
}

void TDBSpeedButton::mousePressEvent(QMouseEvent* e) {
    TSpeedButton::mousePressEvent(e);
    if (e->button() != Qt::LeftButton || holdTimer_ || !RepeatsWhileHeld(type_)) return;
    holdTimer_ = new QTimer(this);
    holdTimer_->setInterval(platform::kNavRepeatDelay);
    connect(holdTimer_, &QTimer::timeout, this, [this] {
        holdTimer_->setInterval(platform::kNavRepeatInterval);
        try {
            Click();
        } catch (const std::exception& ex) {
            StopRepeat();
            ShowError(this, ex);
        }
    });
    holdTimer_->start();
}

void TDBSpeedButton::mouseReleaseEvent(QMouseEvent* e) {
    TSpeedButton::mouseReleaseEvent(e);
    StopRepeat();
}

void TDBSpeedButton::paintEvent(QPaintEvent* e) {
    // The repeat runs only while the button is drawn pressed (the mouse on it).
    if (holdTimer_) {
        if (isDown() && !holdTimer_->isActive())
            holdTimer_->start();
        else if (!isDown())
            holdTimer_->stop();
    }
    TSpeedButton::paintEvent(e);
}

}  // namespace lookup
