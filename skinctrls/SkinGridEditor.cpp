// The in-place editor of both grids (a line edit over the current cell: shown, placed,
// filled, its keys) and the data grid's editing of rows through it: writing the typed
// text into its field, posting, cancelling, deleting, and what leaving the grid does to
// an edit.

#include "skinctrls/SkinGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>

#include "skinctrls/SkinMessage.h"

namespace skinctrls {

// ===== TbsSkinCustomGrid ==================================================================

QLineEdit* TbsSkinCustomGrid::CreateEditor() {
    auto* e = new QLineEdit(this);
    e->setFrame(false);
    e->hide();
    e->installEventFilter(this);
    // Only typing (and input methods) edit: text the grid puts in does not.
    connect(e, &QLineEdit::textEdited, this, [this] {
        editorModified_ = true;
        EditorEdited();
    });
    return e;
}

bool TbsSkinCustomGrid::CanEditShow() const {
    return HasGridOption(goEditing) && !HasGridOption(goRowSelect) && col_ >= fixedCols_ && row_ >= fixedRows_ &&
           col_ < ColCount() && row_ < RowCount();
}

bool TbsSkinCustomGrid::CanEditAcceptKey(const QString&) const { return true; }

void TbsSkinCustomGrid::ShowEditor() {
    if (!CanEditShow()) return;
    if (!editor_) editor_ = CreateEditor();
    editor_->setMaxLength(EditMaxLength());
    editor_->setText(EditText());
    editorModified_ = false;
    const platform::TFont f = HasGridEntry() ? gridSkin_.cellFont : font_;
    platform::SetTextBoxFont(editor_, f.ToQFont());
    QPalette pal = editor_->palette();
    pal.setColor(QPalette::Base, platform::ToQColor(HasGridEntry() ? gridSkin_.bgColor : color_));
    pal.setColor(QPalette::Text, platform::ToQColor(f.color));
    editor_->setPalette(pal);
    PlaceEditor();
    editor_->show();
    editor_->setFocus(Qt::OtherFocusReason);
    editor_->selectAll();
    update();
}

void TbsSkinCustomGrid::HideEditor() {
    if (!EditorMode()) return;
    const bool hadFocus = editor_->hasFocus();
    editor_->hide();
    editorModified_ = false;
    if (hadFocus) setFocus(Qt::OtherFocusReason);
    update();
}

void TbsSkinCustomGrid::PlaceEditor() {
    if (!editor_) return;
    const QRect r = CellRect(col_, row_);
    if (r.isEmpty()) {
        editor_->setGeometry(-r.width() - 10, 0, 1, 1);  // scrolled away: out of sight
        return;
    }
    editor_->setGeometry(r);
    editor_->setTextMargins(0, 0, 0, 0);
}

void TbsSkinCustomGrid::SetEditorMode(bool on) {
    if (on) {
        ShowEditor();
        return;
    }
    if (WritePendingEdit()) HideEditor();
}

bool TbsSkinCustomGrid::WritePendingEdit() {
    if (EditorMode() && editorModified_) CommitEditText(editor_->text());
    return true;
}

bool TbsSkinCustomGrid::EditorKey(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        HideEditor();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        SetEditorMode(false);
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        keyPressEvent(e);
        return true;
    case Qt::Key_Left:
        if (editor_->cursorPosition() > 0 || editor_->hasSelectedText()) return false;
        keyPressEvent(e);
        return true;
    case Qt::Key_Right:
        if (editor_->cursorPosition() < editor_->text().size() || editor_->hasSelectedText()) return false;
        keyPressEvent(e);
        return true;
    default: return false;
    }
}

bool TbsSkinCustomGrid::eventFilter(QObject* watched, QEvent* e) {
    if (watched == editor_) {
        if (e->type() == QEvent::KeyPress && EditorKey(static_cast<QKeyEvent*>(e))) return true;
        if (e->type() == QEvent::FocusOut) {
            auto* fe = static_cast<QFocusEvent*>(e);
            const QWidget* now = QApplication::focusWidget();
            if (fe->reason() != Qt::ActiveWindowFocusReason && fe->reason() != Qt::PopupFocusReason && now != this)
                GridExit();
            update();
        }
    }
    return TbsSkinControl::eventFilter(watched, e);
}

// ===== TbsSkinCustomDBGrid ================================================================

bool TbsSkinCustomDBGrid::CanEditModify() const {
    const data::DataSet* ds = DataSet();
    const TbsColumn* c = SelectedColumn();
    return HasOption(dgEditing) && !readOnly_ && link_.Active() && ds && ds->CanModify() && c && !c->ReadOnly() &&
           c->Field();
}

bool TbsSkinCustomDBGrid::CanEditShow() const {
    return TbsSkinCustomGrid::CanEditShow() && CanEditModify();
}

QString TbsSkinCustomDBGrid::EditText() const {
    const data::Field* f = SelectedField();
    return f ? f->AsString() : QString();
}

void TbsSkinCustomDBGrid::CommitEditText(const QString& text) {
    data::Field* f = SelectedField();
    data::DataSet* ds = DataSet();
    if (!f || !ds) return;
    if (!data::IsEditState(ds->State())) ds->Edit();
    f->SetAsString(text);
    editorModified_ = false;
}

bool TbsSkinCustomDBGrid::WritePendingEdit() {
    return !EditorMode() || !editorModified_ || Guard([&] { CommitEditText(editor_->text()); });
}

void TbsSkinCustomDBGrid::EditorEdited() {
    data::DataSet* ds = DataSet();
    if (ds && ds->State() == data::DataSetState::Browse) Guard([&] { ds->Edit(); });
}

int TbsSkinCustomDBGrid::EditMaxLength() const {
    const data::Field* f = SelectedField();
    return f && f->type() == data::FieldType::Text && f->size() > 0 ? f->size() : TbsSkinCustomGrid::EditMaxLength();
}

void TbsSkinCustomDBGrid::ShowError(const QString& text) {
    if (skinMessage_)
        skinMessage_->ShowSkinMessage(text, mtError, MsgButton(mbOK));
    else
        QMessageBox::critical(this, QApplication::applicationDisplayName(), text);
}

void TbsSkinCustomDBGrid::PostOrCancel(bool post) {
    data::DataSet* ds = DataSet();
    if (!ds) return;
    if (post) {
        if (!data::IsEditState(ds->State()) && !(EditorMode() && editorModified_)) {
            HideEditor();
            return;
        }
        if (!Guard([&] {
                if (EditorMode() && editorModified_) CommitEditText(editor_->text());
                if (data::IsEditState(ds->State())) ds->Post();
            }))
            return;
        if (!HasGridOption(goAlwaysShowEditor)) HideEditor();
    } else {
        editorModified_ = false;
        HideEditor();
        ds->Cancel();
    }
}

bool TbsSkinCustomDBGrid::EditorKey(QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Escape:
        if (editorModified_) {
            // First Escape: the cell's text comes back; a second one cancels the record.
            editor_->setText(EditText());
            editorModified_ = false;
            editor_->selectAll();
        } else {
            PostOrCancel(false);
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter: PostOrCancel(true); return true;
    case Qt::Key_Delete:
        // Ctrl+Delete deletes the row, from the editor as from the grid.
        if (!(e->modifiers() & Qt::ControlModifier)) return false;
        DeleteCurrent();
        return true;
    default: return TbsSkinCustomGrid::EditorKey(e);
    }
}

bool TbsSkinCustomDBGrid::DeleteCurrent() {
    data::DataSet* ds = DataSet();
    if (readOnly_ || !ds || !link_.Active() || ds->IsEmpty() || !ds->CanModify()) return false;
    if (HasOption(dgConfirmDelete)) {
        const QString text = QStringLiteral("Delete record?");
        bool cancel = false;
        if (skinMessage_) {
            cancel = skinMessage_->ShowSkinMessage(text, mtConfirmation, MsgButton(mbOK) | MsgButton(mbCancel)) ==
                     MsgButtonInfoOf(mbCancel).modalResult;
        } else {
            cancel = QMessageBox::question(this, QApplication::applicationDisplayName(), text,
                                           QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok;
        }
        if (cancel) return false;
    }
    editorModified_ = false;
    HideEditor();
    return Guard([&] { ds->Delete(); });
}

void TbsSkinCustomDBGrid::GridExit() {
    data::DataSet* ds = DataSet();
    if (!ds || !link_.Active()) return;
    // A new row nobody typed into is dropped when the focus leaves the grid.
    if (HasOption(dgCancelOnExit) && UntouchedNewRow()) {
        HideEditor();
        ds->Cancel();
        return;
    }
    // What was typed goes into its field now. Text the field refuses keeps the focus: the
    // control that was to take it (a command button) does not act on a value the clerk
    // has not seen accepted. The message comes once the focus change is over.
    if (!EditorMode() || !editorModified_ || !isVisible()) return;
    try {
        CommitEditText(editor_->text());
    } catch (const data::DataError& e) {
        editor_->setFocus(Qt::OtherFocusReason);
        // A click offers the focus twice (the platform, then the button): one message.
        if (exitRefused_) return;
        exitRefused_ = true;
        QTimer::singleShot(0, this, [this, text = QString::fromUtf8(e.what())] {
            ShowError(text);
            exitRefused_ = false;
        });
    }
}

bool TbsSkinCustomDBGrid::UntouchedNewRow() const {
    const data::DataSet* ds = DataSet();
    return ds && ds->State() == data::DataSetState::Insert && !ds->Modified() && !editorModified_;
}

}  // namespace skinctrls
