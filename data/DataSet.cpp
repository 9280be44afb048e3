#include "data/DataSet.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "data/DataSource.h"

namespace data {

namespace {

ValueRef FromVariant(const QVariant& v) {
    ValueRef r;
    if (!v.isValid()) return r;
    r.null = false;
    if (v.typeId() == QMetaType::QString)
        r.text = static_cast<const QString*>(v.constData());
    else
        r.number = v.toDouble();
    return r;
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
    rows_.SetColumns({});
    try {
        OpenData();
    } catch (...) {
        fields_.clear();
        rows_.SetColumns({});
        throw;
    }
    if (rows_.ColumnCount() != FieldCount()) PrepareRows();
    cur_ = 0;
    bof_ = true;
    eof_ = rows_.Empty();
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
    rows_.SetColumns({});
    fields_.clear();
}

std::vector<FieldType> DataSet::FieldTypes() const {
    std::vector<FieldType> types;
    types.reserve(fields_.size());
    for (const auto& f : fields_) types.push_back(f->type());
    return types;
}

void DataSet::PrepareRows() { rows_.SetColumns(FieldTypes()); }

void DataSet::ReplaceRows(RowStore rows) {
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    if (rows.ColumnCount() != FieldCount()) Fail(QStringLiteral("Rows of %1 columns for %2 fields").arg(rows.ColumnCount()).arg(FieldCount()));
    for (const auto& f : fields_) {
        const int c = f->index();
        if (rows.IsTextColumn(c) != (f->type() == FieldType::Text))
            Fail(QStringLiteral("Field '%1': rows of another type").arg(f->fieldName()));
        for (size_t row = 0; row < rows.Count(); ++row) {
            if (rows.IsNull(row, c)) {
                if (f->required()) Fail(QStringLiteral("Field '%1' must have a value").arg(f->displayName()));
            } else if (f->type() == FieldType::Text) {
                f->CheckLength(rows.Text(row, c));
            } else if (f->type() == FieldType::Integer || !std::isfinite(rows.Number(row, c))) {
                // As the field takes a number: refused (throws) or made whole.
                rows.SetNumber(row, c, f->Convert(rows.Number(row, c)).toDouble());
            }
        }
    }
    rows_ = std::move(rows);
    cur_ = 0;
    bof_ = true;
    eof_ = rows_.Empty();
    Notify(DataEvent::DataSetChanged);
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
    return static_cast<int>(rows_.Count());
}

int DataSet::RecNo() const {
    if (!Active() || ViewCount() == 0) return -1;
    return cur_ + 1;
}

void DataSet::SetRecNo(int recNo) {
    CheckActive();
    CheckBrowseMode();
    const int n = static_cast<int>(rows_.Count());
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
    eof_ = rows_.Empty();
    Notify(DataEvent::DataSetChanged);
}

void DataSet::Last() {
    CheckActive();
    CheckBrowseMode();
    cur_ = std::max(0, static_cast<int>(rows_.Count()) - 1);
    eof_ = true;
    bof_ = rows_.Empty();
    Notify(DataEvent::DataSetChanged);
}

int DataSet::MoveBy(int distance) {
    CheckActive();
    CheckBrowseMode();
    if (distance == 0 || (distance > 0 && eof_) || (distance < 0 && bof_)) return 0;
    const int n = static_cast<int>(rows_.Count());
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
    for (size_t i = 0; i < rows_.Count(); ++i) {
        if (!RowHolds(i, f->index(), key)) continue;
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
    if (append || rows_.Empty()) cur_ = static_cast<int>(rows_.Count());
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
    const size_t from = BeginAppendRows(rows.size());
    for (const std::vector<QVariant>& row : rows) rows_.Append(row);
    EndAppendRows(from);
}

size_t DataSet::BeginAppendRows(size_t count) {
    CheckActive();
    CheckBrowseMode();
    CheckCanModify();
    rows_.Reserve(rows_.Count() + count);
    return rows_.Count();
}

void DataSet::EndAppendRows(size_t from) {
    if (rows_.Count() == from) return;
    cur_ = static_cast<int>(rows_.Count()) - 1;
    bof_ = eof_ = false;
    Notify(DataEvent::DataSetChanged);
}

Field* RowWriter::FieldAt(int fieldIndex) const { return set_.Fields(fieldIndex); }

void RowWriter::SetText(int fieldIndex, const QString& text) {
    const Field* f = FieldAt(fieldIndex);
    if (f->type() != FieldType::Text) {
        SetValue(fieldIndex, text);
        return;
    }
    f->CheckLength(text);
    set_.rows_.SetText(row_, fieldIndex, text);
}

void RowWriter::SetFloat(int fieldIndex, double value) {
    const Field* f = FieldAt(fieldIndex);
    if (f->type() != FieldType::Float || !std::isfinite(value)) {
        SetValue(fieldIndex, value);
        return;
    }
    set_.rows_.SetNumber(row_, fieldIndex, value);
}

void RowWriter::SetValue(int fieldIndex, const QVariant& value) {
    set_.rows_.SetVariant(row_, fieldIndex, FieldAt(fieldIndex)->Convert(value));
}

void RowWriter::SetNull(int fieldIndex) {
    FieldAt(fieldIndex);
    set_.rows_.SetNull(row_, fieldIndex);
}

void DataSet::Append() { StartInsert(true); }
void DataSet::Insert() { StartInsert(false); }

void DataSet::Edit() {
    CheckActive();
    if (state_ == DataSetState::Edit || state_ == DataSetState::Insert) return;
    CheckBrowseMode();
    if (rows_.Empty()) {
        Append();
        return;
    }
    CheckCanModify();
    buffer_ = rows_.Record(static_cast<size_t>(cur_), FieldTypes());
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

void DataSet::CheckRequired(size_t from) const {
    for (size_t row = from; row < rows_.Count(); ++row)
        for (const auto& f : fields_)
            if (f->required() && rows_.IsNull(row, f->index()))
                Fail(QStringLiteral("Field '%1' must have a value").arg(f->displayName()));
}

bool DataSet::RowHolds(size_t row, int column, const QVariant& value) const {
    if (!value.isValid() || rows_.IsNull(row, column)) return !value.isValid() && rows_.IsNull(row, column);
    if (value.typeId() == QMetaType::QString)
        return rows_.Text(row, column) == *static_cast<const QString*>(value.constData());
    return rows_.Number(row, column) == value.toDouble();
}

void DataSet::WriteBuffer() {
    CheckRequired(buffer_);
    if (state_ == DataSetState::Insert)
        rows_.Insert(static_cast<size_t>(cur_), buffer_);
    else
        rows_.Assign(static_cast<size_t>(cur_), buffer_);
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
    if (rows_.Empty()) Fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    CheckCanModify();
    const bool wasEditing = state_ == DataSetState::Edit;
    rows_.Erase(static_cast<size_t>(cur_));
    // The next row moves into the deleted one's place; after the last, the previous.
    const int n = static_cast<int>(rows_.Count());
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
    for (size_t i = 0; i < rows_.Count(); ++i) {
        bool match = true;
        for (size_t c = 0; c < key.size() && match; ++c)
            if (key[c].isValid() && !RowHolds(i, int(c), key[c])) match = false;
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
    const int n = static_cast<int>(rows_.Count());
    cur_ = std::clamp(cur_, 0, std::max(0, n - 1));
    bof_ = eof_ = n == 0;
    Notify(DataEvent::DataSetChanged);
}

// --- Field access --------------------------------------------------------------------

ValueRef DataSet::ReadValue(int fieldIndex) const {
    return ReadRowValue(readRow_ >= 0 ? readRow_ : cur_, fieldIndex);
}

ValueRef DataSet::ReadRowValue(int row, int fieldIndex) const {
    if (!Active() || fieldIndex < 0 || fieldIndex >= FieldCount()) return {};
    if (state_ == DataSetState::SetKey) return FromVariant(buffer_[static_cast<size_t>(fieldIndex)]);
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
    return static_cast<int>(rows_.Count()) + (state_ == DataSetState::Insert ? 1 : 0);
}

ValueRef DataSet::ViewValue(int row, int fieldIndex) const {
    if ((state_ == DataSetState::Edit || state_ == DataSetState::Insert) && row == cur_)
        return FromVariant(buffer_[static_cast<size_t>(fieldIndex)]);
    if (state_ == DataSetState::Insert && row > cur_) --row;
    if (row < 0 || row >= static_cast<int>(rows_.Count())) return {};
    const size_t r = static_cast<size_t>(row);
    ValueRef v;
    v.null = rows_.IsNull(r, fieldIndex);
    if (v.null) return v;
    if (fields_[static_cast<size_t>(fieldIndex)]->type() == FieldType::Text)
        v.text = &rows_.Text(r, fieldIndex);
    else
        v.number = rows_.Number(r, fieldIndex);
    return v;
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
