#include "data/DataSet.h"

#include <algorithm>
#include <iterator>

#include "data/DataSource.h"

namespace data {

namespace {
// What a field reads where there is no value.
const QVariant kNull;
}  // namespace

namespace {

bool SameValue(const QVariant& a, const QVariant& b) {
    if (!a.isValid() || !b.isValid()) return a.isValid() == b.isValid();
    return a == b;  // both already in the field's type
}

std::vector<QVariant> NullRecord(int fieldCount) { return std::vector<QVariant>(static_cast<size_t>(fieldCount)); }

}  // namespace

DataSet::~DataSet() {
    // The derived part is gone: sources must not reach back into it.
    const auto sources = sources_;
    for (DataSource* s : sources) s->SetDataSet(nullptr);
}

[[noreturn]] void DataSet::Fail(const QString& message) const {
    throw DataError(name_.isEmpty() ? message : name_ + QStringLiteral(": ") + message);
}

void DataSet::CheckActive() const {
    if (!Active()) Fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void DataSet::CheckCanModify() const {
    if (!CanModify()) Fail(QStringLiteral("Cannot modify a read-only dataset"));
}

// --- Opening -------------------------------------------------------------------------

void DataSet::Open() {
    if (Active()) return;
    fields_.clear();
    rows_.clear();
    try {
        OpenData();
    } catch (...) {
        fields_.clear();
        rows_.clear();
        throw;
    }
    for (auto& row : rows_) row.resize(fields_.size());
    cur_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    buffer_.clear();
    modified_ = false;
    state_ = DataSetState::Browse;
    Notify(DataEvent::StateChanged);
}

void DataSet::Close() {
    if (!Active()) return;
    state_ = DataSetState::Inactive;
    buffer_.clear();
    modified_ = false;
    cur_ = 0;
    bof_ = eof_ = true;
    readRow_ = -1;
    Notify(DataEvent::StateChanged);
    // Links have let go of the fields by now.
    rows_.clear();
    fields_.clear();
}

Field* DataSet::AddField(const FieldDef& def) {
    if (FindField(def.name)) Fail(QStringLiteral("Duplicate field name '%1'").arg(def.name));
    fields_.push_back(std::make_unique<Field>(this, FieldCount(), def));
    return fields_.back().get();
}

Field* DataSet::Fields(int index) const {
    if (index < 0 || index >= FieldCount()) Fail(QStringLiteral("List index out of bounds (%1)").arg(index));
    return fields_[static_cast<size_t>(index)].get();
}

Field* DataSet::FindField(const QString& name) const {
    for (const auto& f : fields_)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0) return f.get();
    return nullptr;
}

Field* DataSet::FieldByName(const QString& name) const {
    Field* f = FindField(name);
    if (!f) Fail(QStringLiteral("Field '%1' not found").arg(name));
    return f;
}

// --- Navigation ----------------------------------------------------------------------

int DataSet::RecordCount() const {
    CheckActive();
    return static_cast<int>(rows_.size());
}

int DataSet::RecNo() const {
    if (!Active() || ViewCount() == 0) return -1;
    return cur_ + 1;
}

void DataSet::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    const int n = static_cast<int>(rows_.size());
    if (n == 0) return;
    const int target = std::clamp(recNo, 1, n) - 1;
    if (target == cur_) return;
    cur_ = target;
    bof_ = eof_ = false;
    Notify(DataEvent::DataSetChanged);
}

void DataSet::First() {
    CheckActive();
    CheckBrowseMode();
    cur_ = 0;
    bof_ = true;
    eof_ = rows_.empty();
    Notify(DataEvent::DataSetChanged);
}

void DataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    cur_ = std::max(0, static_cast<int>(rows_.size()) - 1);
    eof_ = true;
    bof_ = rows_.empty();
    Notify(DataEvent::DataSetChanged);
}

int DataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    const int n = static_cast<int>(rows_.size());
    bof_ = eof_ = false;
    if (n == 0) {
        bof_ = eof_ = true;
        Notify(DataEvent::Scrolled);
        return 0;
    }
    // In 64 bits: distance may be INT_MIN / INT_MAX.
    long long target = static_cast<long long>(cur_) + distance;
    if (target > n - 1) {
        target = n - 1;
        eof_ = true;
    } else if (target < 0) {
        target = 0;
        bof_ = true;
    }
    const int moved = static_cast<int>(target) - cur_;
    cur_ = static_cast<int>(target);
    Notify(DataEvent::Scrolled);
    return moved;
}

bool DataSet::Locate(const QString& fieldName, const QVariant& value) {
    CheckActive();
    CheckBrowseMode();
    const Field* f = FieldByName(fieldName);
    QVariant key;
    try {
        key = ConvertValue(f->type(), value);
    } catch (const DataError&) {
        return false;  // no row can hold a value the field cannot hold
    }
    const size_t column = static_cast<size_t>(f->index());
    for (size_t i = 0; i < rows_.size(); ++i) {
        if (!SameValue(rows_[i][column], key)) continue;
        cur_ = static_cast<int>(i);
        bof_ = eof_ = false;
        Notify(DataEvent::DataSetChanged);
        return true;
    }
    return false;
}

// --- Editing -------------------------------------------------------------------------

void DataSet::StartInsert(bool append) {
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    savedCur_ = cur_;
    savedBof_ = bof_;
    savedEof_ = eof_;
    if (append || rows_.empty()) cur_ = static_cast<int>(rows_.size());
    bof_ = eof_ = false;
    buffer_ = NullRecord(FieldCount());
    modified_ = false;
    state_ = DataSetState::Insert;
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataSetChanged);
}

void DataSet::AppendRows(std::vector<std::vector<QVariant>> rows) {
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    for (std::vector<QVariant>& row : rows) {
        if (row.size() != fields_.size())
            Fail(QStringLiteral("A row of %1 values for %2 fields").arg(row.size()).arg(fields_.size()));
        for (const auto& f : fields_) {
            QVariant& value = row[static_cast<size_t>(f->index())];
            value = f->Convert(value);
        }
        CheckRequired(row);
    }
    if (rows.empty()) return;
    rows_.insert(rows_.end(), std::make_move_iterator(rows.begin()), std::make_move_iterator(rows.end()));
    cur_ = static_cast<int>(rows_.size()) - 1;
    bof_ = eof_ = false;
    Notify(DataEvent::DataSetChanged);
}

void DataSet::Append() { StartInsert(true); }
void DataSet::Insert() { StartInsert(false); }

void DataSet::Edit() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    CheckBrowseMode();
    if (rows_.empty()) {
        Append();
        return;
    }
    CheckCanModify();
    buffer_ = rows_[static_cast<size_t>(cur_)];
    modified_ = false;
    state_ = DataSetState::Edit;
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::RecordChanged);
}

void DataSet::Post() {
    CheckActive();
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert)
        Fail(QStringLiteral("Dataset not in edit or insert mode"));
    Notify(DataEvent::UpdateData);
    WriteBuffer();
}

void DataSet::CheckRequired(const std::vector<QVariant>& record) const {
    for (const auto& f : fields_)
        if (f->required() && !record[static_cast<size_t>(f->index())].isValid())
            Fail(QStringLiteral("Field '%1' must have a value").arg(f->displayName()));
}

void DataSet::WriteBuffer() {
    CheckRequired(buffer_);
    if (state_ == DataSetState::Insert)
        rows_.insert(rows_.begin() + cur_, std::move(buffer_));
    else
        rows_[static_cast<size_t>(cur_)] = std::move(buffer_);
    buffer_.clear();
    modified_ = false;
    bof_ = eof_ = false;
    state_ = DataSetState::Browse;
    Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataSetChanged);
}

void DataSet::Cancel() {
    switch (state_) {
    case DataSetState::Inactive:
    case DataSetState::Browse: return;
    case DataSetState::SetKey:
        buffer_.clear();
        state_ = DataSetState::Browse;
        Notify(DataEvent::StateChanged);
        return;
    case DataSetState::Insert:
        cur_ = savedCur_;
        bof_ = savedBof_;
        eof_ = savedEof_;
        [[fallthrough]];
    case DataSetState::Edit:
        buffer_.clear();
        modified_ = false;
        state_ = DataSetState::Browse;
        Notify(DataEvent::StateChanged);
        Notify(DataEvent::DataSetChanged);
        return;
    }
}

void DataSet::Delete() {
    CheckActive();
    if (state_ == DataSetState::Insert) {
        Cancel();
        return;
    }
    if (state_ == DataSetState::SetKey) Cancel();
    if (rows_.empty()) Fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    CheckCanModify();
    const bool wasEditing = state_ == DataSetState::Edit;
    rows_.erase(rows_.begin() + cur_);
    // The next row moves into the deleted one's place; after the last, the previous.
    const int n = static_cast<int>(rows_.size());
    if (cur_ >= n) cur_ = std::max(0, n - 1);
    bof_ = eof_ = n == 0;
    buffer_.clear();
    modified_ = false;
    state_ = DataSetState::Browse;
    if (wasEditing) Notify(DataEvent::StateChanged);
    Notify(DataEvent::DataSetChanged);
}

void DataSet::CheckBrowseMode() {
    CheckActive();
    switch (state_) {
    case DataSetState::Edit:
    case DataSetState::Insert:
        Notify(DataEvent::UpdateData);
        if (modified_)
            WriteBuffer();
        else
            Cancel();
        break;
    case DataSetState::SetKey: Cancel(); break;
    default: break;
    }
}

void DataSet::SetKey() {
    CheckActive();
    CheckBrowseMode();
    buffer_ = NullRecord(FieldCount());
    state_ = DataSetState::SetKey;
    Notify(DataEvent::StateChanged);
}

bool DataSet::GotoKey() {
    CheckActive();
    if (state_ != DataSetState::SetKey) Fail(QStringLiteral("Dataset not in key entry mode"));
    const std::vector<QVariant> key = std::move(buffer_);
    buffer_.clear();
    state_ = DataSetState::Browse;
    Notify(DataEvent::StateChanged);
    for (size_t i = 0; i < rows_.size(); ++i) {
        bool match = true;
        for (size_t c = 0; c < key.size() && match; ++c)
            if (key[c].isValid() && !SameValue(rows_[i][c], key[c])) match = false;
        if (!match) continue;
        cur_ = static_cast<int>(i);
        bof_ = eof_ = false;
        Notify(DataEvent::DataSetChanged);
        return true;
    }
    return false;
}

void DataSet::Refresh() {
    CheckActive();
    CheckBrowseMode();
    Notify(DataEvent::DataSetChanged);
}

void DataSet::RowsReplaced() {
    for (auto& row : rows_) row.resize(fields_.size());
    const int n = static_cast<int>(rows_.size());
    cur_ = std::clamp(cur_, 0, std::max(0, n - 1));
    bof_ = eof_ = n == 0;
    Notify(DataEvent::DataSetChanged);
}

// --- Field access --------------------------------------------------------------------

const QVariant& DataSet::ReadValue(int fieldIndex) const {
    return ReadRowValue(readRow_ >= 0 ? readRow_ : cur_, fieldIndex);
}

const QVariant& DataSet::ReadRowValue(int row, int fieldIndex) const {
    if (!Active() || fieldIndex < 0 || fieldIndex >= FieldCount()) return kNull;
    if (state_ == DataSetState::SetKey) return buffer_[static_cast<size_t>(fieldIndex)];
    return ViewValue(row, fieldIndex);
}

void DataSet::WriteValue(Field* field, const QVariant& value) {
    if (state_ != DataSetState::Edit && state_ != DataSetState::Insert && state_ != DataSetState::SetKey)
        Fail(QStringLiteral("Dataset not in edit or insert mode"));
    buffer_[static_cast<size_t>(field->index())] = value;
    if (state_ != DataSetState::SetKey) modified_ = true;
    Notify(DataEvent::RecordChanged, field);
}

int DataSet::ViewCount() const {
    if (!Active()) return 0;
    return static_cast<int>(rows_.size()) + (state_ == DataSetState::Insert ? 1 : 0);
}

const QVariant& DataSet::ViewValue(int row, int fieldIndex) const {
    const size_t column = static_cast<size_t>(fieldIndex);
    if ((state_ == DataSetState::Edit || state_ == DataSetState::Insert) && row == cur_) return buffer_[column];
    if (state_ == DataSetState::Insert && row > cur_) --row;
    if (row < 0 || row >= static_cast<int>(rows_.size())) return kNull;
    return rows_[static_cast<size_t>(row)][column];
}

// --- Notifications -------------------------------------------------------------------

void DataSet::Notify(DataEvent event, Field* field) {
    readRow_ = -1;
    if (disableCount_ > 0) {
        if (event == DataEvent::LayoutChanged || (event == DataEvent::StateChanged && !Active()))
            pendingLayout_ = true;
        return;
    }
    // A link may detach sources (or itself) while it is told: walk a copy.
    const auto sources = sources_;
    for (DataSource* s : sources)
        if (std::find(sources_.begin(), sources_.end(), s) != sources_.end()) s->Dispatch(event, field);
}

void DataSet::DisableControls() {
    if (disableCount_++ == 0) pendingLayout_ = false;
}

void DataSet::EnableControls() {
    if (disableCount_ == 0) return;
    if (--disableCount_ > 0) return;
    readRow_ = -1;
    const auto sources = sources_;
    for (DataSource* s : sources)
        if (std::find(sources_.begin(), sources_.end(), s) != sources_.end()) s->Resume(pendingLayout_);
    pendingLayout_ = false;
}

}  // namespace data
